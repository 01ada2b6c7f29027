// Console backend on an SDL window.
//
// The console (320x200 or 320x240) is shown at 4:3, as on the screens the
// demo was made for, with sharp pixels (picture_scaler.h), in a window or in
// desktop fullscreen (no mode change, black bars, no cursor). Two paths put
// it on the screen, chosen when the console opens:
//
// - gpu: an SDL_Renderer with vsync. The console picture goes into one
//   streaming texture, is copied nearest-neighbour to a texture of the
//   largest whole multiple and from there linearly to the window, and each
//   present waits for the display's refresh.
// - surface: the picture is scaled on the CPU straight into the window
//   surface (the window system's own framebuffer, shared memory on X11),
//   which is the cheapest path on a machine without a GPU.
//
// Auto takes gpu when SDL gives a hardware-accelerated renderer, and the
// surface when the renderer would be a software rasteriser (SDL's own, or
// an OpenGL driver such as llvmpipe).
//
// Presents keep to 60 a second on any display: a 1/60 s tick on SDL's
// high-resolution counter (sdl_clock.h). On a display of about 60 Hz with
// vsync each present lands on its own refresh; on a faster one the newest
// frame goes out at the first refresh after its tick; without vsync (or on
// the surface path) the clock alone paces, to the nearest millisecond.
// Waiting loops (key polls with no present in between) sleep a millisecond
// per poll instead of spinning.
//
// The window is made once, hidden, with the flags the renderer needs; the
// path is chosen on it, and it is then shown once, in a window or in
// fullscreen. Where SDL says the window is an X11 window, a small X11 link
// (looked up in the libX11 that SDL has loaded) turns a destroyed window
// into a key, reads the size the X server really gave, and ends the process
// when the connection to the server is lost. Everything else is plain SDL,
// so this file builds wherever SDL2 does.
#include <SDL.h>
#include <SDL_syswm.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/display.h"
#include "platform/picture_scaler.h"
#include "platform/ptc.h"
#include "platform/ptc_backend.h"
#include "platform/sdl_clock.h"
#include "platform/show_clock.h"

#if defined(SDL_VIDEO_DRIVER_X11)
#include <dlfcn.h>
#endif

namespace ptc::backend {
namespace {

constexpr double kFrameSeconds = 1.0 / 60.0;

// What both paths share: the window, the picture last presented (drawn
// again on expose) and what the event loop has seen.
struct Screen {
    SDL_Window* window = nullptr;
    int consoleW = 0, consoleH = 0;
    bool gpu = false;  // which path draws
    std::vector<uint32_t> picture;
    bool clearAll = true;  // paint the bars next time
    bool keyPending = false;
    bool lost = false;  // the window is gone: no more calls on it
    bool presentedSincePoll = true;
};

// The surface path: the picture scaled on the CPU into the window surface.
class SurfacePath {
public:
    // False when the window has no surface to draw into.
    bool start(SDL_Window* window);
    void show(Screen& screen);

private:
    PictureScaler scaler_;
    std::vector<uint32_t> convert_;  // for window surfaces not in XRGB8888
};

// The gpu path: the console picture in a streaming texture, copied to the
// largest whole multiple and from there to the window.
class GpuPath {
public:
    // Makes the renderer and the picture texture. Auto keeps them only on a
    // hardware renderer; `why` says what was found, or why it failed.
    bool start(const Screen& screen, bool automatic, char* why, size_t size);
    void stop();
    void upload(const uint32_t* pixels, int width);
    void show(const Screen& screen);
    void deviceReset() { texturesLost_ = true; }
    // Seconds before each tick that the pacer lets a present go: half a
    // frame on a display of about 60 Hz with vsync, where the refresh does
    // the fine pacing and the lead keeps each present on its own refresh.
    double lead() const { return lead_; }

private:
    bool makePicture(const Screen& screen);
    void releaseTextures();

    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* picture_ = nullptr;
    SDL_Texture* sharp_ = nullptr;  // the whole-multiple copy
    int sharpW_ = 0, sharpH_ = 0;
    bool targets_ = false;       // the renderer can draw into textures
    bool texturesLost_ = false;  // the device was reset: make them again
    double lead_ = 0.0;
};

// Holds presents to a 1/60 s tick.
class Pacer {
public:
    void start(double lead) {
        lead_ = lead;
        started_ = false;
    }
    // Waits for the next tick less the lead. The first present, and one
    // that fell more than a frame behind, goes out at once and restarts
    // the ticks from there.
    void wait();

private:
    double lead_ = 0.0;
    double next_ = 0.0;
    bool started_ = false;
};

// The X11 side of an X11 window, reached through the libX11 that SDL has
// already loaded (looked up, not linked). Does nothing on other systems.
class X11Link {
public:
    // Attaches to the window when SDL says it is an X11 window and installs
    // the error handlers (see onXError and onXIOError).
    void attach(SDL_Window* window);
    void detach();
    // The size the X server gives the window, which is what is on the
    // screen: without a window manager a fullscreen request is not carried
    // out, yet SDL reports the size it asked for. False where unknown.
    bool windowSize(int& w, int& h);
    unsigned long window() const { return window_; }

private:
    void* library_ = nullptr;
    void* display_ = nullptr;
    unsigned long window_ = 0;
};

// Never destroyed: the console object is a static whose destructor may
// close the window at exit, after this file's statics would be gone.
Screen& screen = *new Screen;
SurfacePath& surfacePath = *new SurfacePath;
GpuPath& gpuPath = *new GpuPath;
Pacer& pacer = *new Pacer;
X11Link& x11 = *new X11Link;

// Keys that never end the demo: the modifiers (Shift, Ctrl, Alt, AltGr,
// GUI) and the locks (Caps, Num, Scroll), which are pressed on their own
// without meaning "stop".
bool isModifier(SDL_Keycode k) {
    switch (k) {
        case SDLK_LSHIFT: case SDLK_RSHIFT: case SDLK_LCTRL: case SDLK_RCTRL:
        case SDLK_LALT: case SDLK_RALT: case SDLK_LGUI: case SDLK_RGUI:
        case SDLK_MODE: case SDLK_CAPSLOCK: case SDLK_NUMLOCKCLEAR: case SDLK_SCROLLLOCK:
            return true;
        default:
            return false;
    }
}

// ---- surface path ----

bool SurfacePath::start(SDL_Window* window) {
    if (SDL_GetWindowSurface(window)) return true;
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "1");
    return SDL_GetWindowSurface(window) != nullptr;
}

void SurfacePath::show(Screen& s) {
    SDL_Surface* surface = SDL_GetWindowSurface(s.window);
    if (!surface) return;
    if (scaler_.layout(s.consoleW, s.consoleH, surface->w, surface->h)) s.clearAll = true;
    const PictureRect& r = scaler_.rect();
    if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
    bool direct = surface->format->format == SDL_PIXELFORMAT_RGB888 || surface->format->format == SDL_PIXELFORMAT_ARGB8888;
    if (s.clearAll) SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
    if (direct) {
        auto* origin = static_cast<uint8_t*>(surface->pixels) + r.y * surface->pitch + r.x * 4;
        scaler_.scale(s.picture.data(), origin, surface->pitch);
    } else {
        convert_.resize(static_cast<size_t>(r.w) * r.h);
        scaler_.scale(s.picture.data(), reinterpret_cast<uint8_t*>(convert_.data()), r.w * 4);
        SDL_ConvertPixels(r.w, r.h, SDL_PIXELFORMAT_RGB888, convert_.data(), r.w * 4, surface->format->format,
                          static_cast<uint8_t*>(surface->pixels) + r.y * surface->pitch +
                              r.x * surface->format->BytesPerPixel,
                          surface->pitch);
    }
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    if (s.clearAll) {
        SDL_UpdateWindowSurface(s.window);
        s.clearAll = false;
    } else {
        SDL_Rect rect{r.x, r.y, r.w, r.h};
        SDL_UpdateWindowSurfaceRects(s.window, &rect, 1);
    }
}

// ---- gpu path ----

bool containsNoCase(const char* text, const char* word) {
    size_t n = std::strlen(word);
    for (; *text; ++text) {
        size_t i = 0;
        while (i < n && text[i] && std::tolower(static_cast<unsigned char>(text[i])) == word[i]) ++i;
        if (i == n) return true;
    }
    return false;
}

// What the renderer draws with: its name and, for OpenGL, the driver's
// renderer string. True when that is a rasteriser on the CPU.
bool describeRenderer(const SDL_RendererInfo& info, char* text, size_t size) {
    bool software = !(info.flags & SDL_RENDERER_ACCELERATED) || !std::strcmp(info.name, "software");
    const char* glRenderer = nullptr;
    if (!std::strncmp(info.name, "opengl", 6) && SDL_GL_GetCurrentContext()) {
        using GetString = const unsigned char* (*)(unsigned);
        constexpr unsigned kGlRenderer = 0x1F01;
        if (auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString")))
            glRenderer = reinterpret_cast<const char*>(getString(kGlRenderer));
        if (glRenderer && (containsNoCase(glRenderer, "llvmpipe") || containsNoCase(glRenderer, "softpipe") ||
                           containsNoCase(glRenderer, "swrast") || containsNoCase(glRenderer, "software")))
            software = true;
    }
    std::snprintf(text, size, "%s renderer%s%s", info.name, glRenderer ? ", " : "", glRenderer ? glRenderer : "");
    return software;
}

void append(char* text, size_t size, const char* more) {
    std::strncat(text, more, size - std::strlen(text) - 1);
}

bool GpuPath::start(const Screen& screen, bool automatic, char* why, size_t size) {
    Uint32 flags = SDL_RENDERER_PRESENTVSYNC | (automatic ? SDL_RENDERER_ACCELERATED : 0);
    renderer_ = SDL_CreateRenderer(screen.window, -1, flags);
    if (!renderer_) {
        std::snprintf(why, size, "no renderer: %s", SDL_GetError());
        return false;
    }
    SDL_RendererInfo info;
    SDL_GetRendererInfo(renderer_, &info);
    bool software = describeRenderer(info, why, size);
    targets_ = info.flags & SDL_RENDERER_TARGETTEXTURE;
    if (automatic && software) append(why, size, ", a software rasteriser");
    if ((automatic && software) || !makePicture(screen)) {
        stop();
        return false;
    }
    bool vsync = info.flags & SDL_RENDERER_PRESENTVSYNC;
    if (!vsync) append(why, size, ", no vsync");
    // About 60 Hz (or unknown): one present per refresh, with half a frame
    // of slack either side of the tick. Faster displays: the first refresh
    // after each tick.
    SDL_DisplayMode mode;
    int rate = SDL_GetWindowDisplayMode(screen.window, &mode) == 0 ? mode.refresh_rate : 0;
    lead_ = vsync && rate >= 58 && rate <= 62 ? kFrameSeconds / 2 : 0.0;
    return true;
}

void GpuPath::releaseTextures() {
    if (sharp_) SDL_DestroyTexture(sharp_);
    if (picture_) SDL_DestroyTexture(picture_);
    sharp_ = picture_ = nullptr;
    sharpW_ = sharpH_ = 0;
}

void GpuPath::stop() {
    releaseTextures();
    if (renderer_) SDL_DestroyRenderer(renderer_);
    *this = GpuPath{};
}

bool GpuPath::makePicture(const Screen& s) {
    picture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, s.consoleW, s.consoleH);
    if (!picture_) return false;
    SDL_SetTextureScaleMode(picture_, SDL_ScaleModeNearest);
    SDL_UpdateTexture(picture_, nullptr, s.picture.data(), s.consoleW * 4);
    return true;
}

void GpuPath::upload(const uint32_t* pixels, int width) {
    if (picture_) SDL_UpdateTexture(picture_, nullptr, pixels, width * 4);
}

void GpuPath::show(const Screen& s) {
    if (texturesLost_) {
        releaseTextures();
        texturesLost_ = false;
        if (!makePicture(s)) return;
    }
    int w = 0, h = 0;
    if (SDL_GetRendererOutputSize(renderer_, &w, &h) != 0 || w <= 0 || h <= 0) return;
    PictureRect r = fitPicture(w, h);
    SDL_Rect dst{r.x, r.y, r.w, r.h};
    // The nearest step to the largest whole multiple; the linear step
    // from there blurs only the one row or column a boundary falls in.
    int sw = s.consoleW * wholeFactor(s.consoleW, r.w);
    int sh = s.consoleH * wholeFactor(s.consoleH, r.h);
    bool twoSteps = targets_ && (sw != r.w || sh != r.h);
    if (twoSteps && (sw != sharpW_ || sh != sharpH_)) {
        if (sharp_) SDL_DestroyTexture(sharp_);
        sharp_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_TARGET, sw, sh);
        sharpW_ = sharp_ ? sw : 0;
        sharpH_ = sharp_ ? sh : 0;
        if (sharp_) SDL_SetTextureScaleMode(sharp_, SDL_ScaleModeLinear);
    }
    twoSteps = twoSteps && sharp_;
    if (twoSteps) {
        SDL_SetRenderTarget(renderer_, sharp_);
        SDL_RenderCopy(renderer_, picture_, nullptr, nullptr);
        SDL_SetRenderTarget(renderer_, nullptr);
    }
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, twoSteps ? sharp_ : picture_, nullptr, &dst);
    SDL_RenderPresent(renderer_);
}

// Draws the last picture and shows it.
void show() {
    if (screen.lost) return;
    if (screen.gpu)
        gpuPath.show(screen);
    else
        surfacePath.show(screen);
}

// ---- pacer ----

void Pacer::wait() {
    double now = sdl_clock::seconds();
    if (!started_ || now > next_ + kFrameSeconds) {
        next_ = now;
        started_ = true;
    } else {
        sdl_clock::sleepUntil(next_ - lead_, sdl_clock::Wake::Nearest);
    }
    next_ += kFrameSeconds;
}

// ---- X11 ----

#if defined(SDL_VIDEO_DRIVER_X11)
// Xlib ends the process (status 1) on any protocol error and on a lost
// connection. When another client destroys the window, the demo ends as a
// key ends it: errors about our window stop the drawing and press the key.
// Others, such as a late reply about a window SDL made and destroyed while
// it started, are ignored.
int onXError(Display*, XErrorEvent* e) {
    if (e->resourceid != x11.window()) return 0;
    screen.lost = true;
    screen.keyPending = true;
    return 0;
}

// A lost connection to the X server cannot be survived: once libX11 has
// marked the display dead it no longer reads from it, so an SDL call that
// waits for an event from the server (showing, hiding or destroying the
// window does) waits for ever, spinning. The server is gone, as at logout
// or when the window's client is killed, and there is nothing left to show:
// the demo ends here, at once and with status 0 as on a key, without the
// teardown calls that would wait. The standard streams are flushed first.
int onXIOError(Display*) {
    std::fflush(nullptr);
    std::_Exit(0);
}

void X11Link::attach(SDL_Window* sdlWindow) {
    detach();
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(sdlWindow, &info) || info.subsystem != SDL_SYSWM_X11) return;
    library_ = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (!library_) return;
    display_ = info.info.x11.display;
    window_ = info.info.x11.window;
    using SetError = XErrorHandler (*)(XErrorHandler);
    using SetIOError = XIOErrorHandler (*)(XIOErrorHandler);
    if (auto setError = reinterpret_cast<SetError>(dlsym(library_, "XSetErrorHandler"))) setError(onXError);
    if (auto setIOError = reinterpret_cast<SetIOError>(dlsym(library_, "XSetIOErrorHandler"))) setIOError(onXIOError);
}

void X11Link::detach() {
    if (library_) dlclose(library_);
    *this = X11Link{};
}

bool X11Link::windowSize(int& w, int& h) {
    if (!library_) return false;
    using GetAttributes = int (*)(Display*, ::Window, XWindowAttributes*);
    using Sync = int (*)(Display*, int);
    auto getAttributes = reinterpret_cast<GetAttributes>(dlsym(library_, "XGetWindowAttributes"));
    auto sync = reinterpret_cast<Sync>(dlsym(library_, "XSync"));
    if (!getAttributes || !sync) return false;
    auto* display = static_cast<Display*>(display_);
    sync(display, 0);
    XWindowAttributes a;
    if (!getAttributes(display, window_, &a)) return false;
    w = a.width;
    h = a.height;
    return true;
}
#else
void X11Link::attach(SDL_Window*) {}
void X11Link::detach() {}
bool X11Link::windowSize(int&, int&) { return false; }
#endif

// ---- events ----


// The explore mode's keys (show_clock.h); any other key is kKeyNone.
int exploreKey(SDL_Keycode k) {
    switch (k) {
        case SDLK_SPACE: return showclock::kKeySpace;
        case SDLK_PERIOD: return showclock::kKeyPeriod;
        case SDLK_COMMA: return showclock::kKeyComma;
        case SDLK_LEFT: return showclock::kKeyLeft;
        case SDLK_RIGHT: return showclock::kKeyRight;
        case SDLK_ESCAPE:
        case SDLK_q: return showclock::kKeyEnd;
        default: return showclock::kKeyNone;
    }
}

void handle(const SDL_Event& e) {
    switch (e.type) {
        case SDL_QUIT:
            screen.keyPending = true;
            break;
        case SDL_KEYDOWN:
            if (!isModifier(e.key.keysym.sym) && !showclock::offerKey(exploreKey(e.key.keysym.sym)))
                screen.keyPending = true;
            break;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_CLOSE) screen.keyPending = true;
            if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
                screen.clearAll = true;
                show();
            }
            break;
        case SDL_RENDER_DEVICE_RESET:
            gpuPath.deviceReset();
            break;
        default:
            break;
    }
}

// ---- opening ----

// The largest 4:3 window of whole console-pixel columns (at most 4 per
// pixel) that fits in about 85% of the usable screen.
SDL_Rect windowSize(int consoleW) {
    int k = 3;
    SDL_Rect usable;
    if (SDL_GetDisplayUsableBounds(0, &usable) == 0)
        k = std::clamp(std::min(usable.w * 85 / 100 / consoleW, (usable.h * 85 / 100) * 4 / 3 / consoleW), 1, 4);
    return SDL_Rect{0, 0, consoleW * k, consoleW * k * 3 / 4};
}

// The window flags the renderer SDL is about to make needs, so that it
// does not make the window again: SDL's OpenGL renderer replaces a window
// made without SDL_WINDOW_OPENGL by a new one.
Uint32 rendererWindowFlags() {
    const char* name = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    SDL_RendererInfo first;
    if (!name && SDL_GetNumRenderDrivers() > 0 && SDL_GetRenderDriverInfo(0, &first) == 0) name = first.name;
    return name && SDL_strcasecmp(name, "opengl") == 0 ? SDL_WINDOW_OPENGL : 0;
}

// Picks the path on the hidden window; `why` says what the gpu path found.
// Returns the path's name.
const char* choosePath(const DisplaySettings& settings, char* why, size_t size) {
    if (settings.presentation != Presentation::Surface) {
        bool automatic = settings.presentation == Presentation::Auto;
        screen.gpu = gpuPath.start(screen, automatic, why, size);
        if (screen.gpu) return "gpu";
        if (!automatic) std::fprintf(stderr, "plivak: the gpu path failed (%s); using the surface path\n", why);
    }
    if (!surfacePath.start(screen.window)) throw DynamicError("cannot draw into the window");
    return "surface";
}

// Fullscreen is asked for before the window is first shown; the window
// system may take a moment to carry it out, and without a window manager
// it never does: then the window stays a window, and the line says why.
bool fullscreenTaken() {
    SDL_Rect bounds;
    int w = 0, h = 0;
    if (SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(screen.window), &bounds) != 0) return true;
    bool checked = false;
    for (int i = 0; i < 50; ++i) {
        SDL_PumpEvents();
        if (!x11.windowSize(w, h)) break;
        checked = true;
        if (w == bounds.w && h == bounds.h) break;
        SDL_Delay(10);
    }
    return !checked || (w == bounds.w && h == bounds.h);
}

void showWindow(bool fullscreen) {
    const char* refusal = nullptr;
    if (fullscreen && SDL_SetWindowFullscreen(screen.window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0)
        refusal = SDL_GetError();
    SDL_ShowWindow(screen.window);
    if (!fullscreen) return;
    if (!refusal && !fullscreenTaken()) refusal = "the window manager did not resize the window";
    if (refusal) {
        SDL_SetWindowFullscreen(screen.window, 0);
        std::fprintf(stderr, "plivak: the display refused fullscreen (%s); playing in a window\n", refusal);
        return;
    }
    SDL_ShowCursor(SDL_DISABLE);
}

}  // namespace

void open(const char* title, int width, int height) {
    // The surface path scales the picture itself, so the window surface
    // needs no GPU: the window system's own framebuffer is cheapest.
    // Where there is none, SDL falls back to a renderer on its own.
    SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) throw DynamicError("cannot start the video system");
    const DisplaySettings& settings = displaySettings();
    screen = Screen{};
    surfacePath = SurfacePath{};
    screen.consoleW = width;
    screen.consoleH = height;
    screen.picture.assign(static_cast<size_t>(width) * height, 0);

    SDL_Rect size = windowSize(width);
    Uint32 flags = SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN;
    if (settings.presentation != Presentation::Surface) flags |= rendererWindowFlags();
    screen.window = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, size.w, size.h, flags);
    if (!screen.window) throw DynamicError("cannot open the window");

    char why[256] = "";
    const char* path = choosePath(settings, why, sizeof why);
    if (settings.verbose) {
        const char* how = settings.presentation == Presentation::Auto ? "auto" : "asked for";
        std::fprintf(stderr, "plivak: %s path (%s%s%s)\n", path, how, why[0] ? "; " : "", why);
    }
    pacer.start(screen.gpu ? gpuPath.lead() : 0.0);
    x11.attach(screen.window);
    showWindow(settings.fullscreen);
    show();
}

void close() {
    if (!screen.window) return;
    // A window that is gone takes no more calls; the process ends.
    if (screen.lost) return;
    gpuPath.stop();
    SDL_DestroyWindow(screen.window);
    x11.detach();
    screen = Screen{};
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

bool keyPending() {
    if (screen.lost) return true;
    SDL_Event e;
    if (!screen.presentedSincePoll && !screen.keyPending) {
        // A waiting loop: block for up to a millisecond instead of spinning.
        if (SDL_WaitEventTimeout(&e, 1)) handle(e);
    }
    screen.presentedSincePoll = false;
    while (SDL_PollEvent(&e)) handle(e);
    return screen.keyPending;
}

void present(const uint32_t* pixels, int width, int height) {
    std::memcpy(screen.picture.data(), pixels, sizeof(uint32_t) * width * height);
    if (screen.gpu && !screen.lost) gpuPath.upload(pixels, width);
    pacer.wait();
    show();
    screen.presentedSincePoll = true;
}

double clockSeconds() { return sdl_clock::seconds(); }

}  // namespace ptc::backend

namespace ptc {

bool videoDisplayPresent(const char*& driver) {
    bool chosen = SDL_getenv("SDL_VIDEODRIVER") != nullptr;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        driver = "none";
        // A driver the user named that does not start is the console
        // open's failure to report, as before.
        return chosen;
    }
    driver = SDL_GetCurrentVideoDriver();
    if (!driver) driver = "none";
    if (chosen) return true;
    return std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0;
}

}  // namespace ptc
