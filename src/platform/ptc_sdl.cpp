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
// Presents keep to 60 a second on any display: a 1/60 s tick on the
// monotonic clock. On a display of about 60 Hz with vsync each present
// lands on its own refresh; on a faster one the newest frame goes out at
// the first refresh after its tick; without vsync (or on the surface path)
// the clock alone paces. Waiting loops (key polls with no present in
// between) sleep a millisecond per poll instead of spinning.
#include <SDL.h>
#include <SDL_syswm.h>
#include <dlfcn.h>
#include <time.h>

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
#include "platform/show_clock.h"

namespace ptc::backend {
namespace {

constexpr double kFrameSeconds = 1.0 / 60.0;

struct Window {
    SDL_Window* window = nullptr;
    int consoleW = 0, consoleH = 0;
    bool gpu = false;
    // Surface path.
    PictureScaler scaler;
    std::vector<uint32_t> convert;  // for window surfaces not in XRGB8888
    // Gpu path: the console picture and its whole-multiple copy.
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* picture = nullptr;
    SDL_Texture* sharp = nullptr;
    int sharpW = 0, sharpH = 0;
    bool targets = false;       // the renderer can draw into textures
    bool texturesLost = false;  // the device was reset: make them again
    // Before each present the clock is waited on until `lead` seconds
    // before the tick; on a ~60 Hz display with vsync the refresh does the
    // fine pacing and the lead keeps each present on its own refresh.
    double lead = 0.0;

    std::vector<uint32_t> lastPicture;  // shown again on expose
    bool clearAll = true;               // paint the bars next time
    bool keyPending = false;
    bool lost = false;  // the X window or connection is gone: no more drawing
    unsigned long xWindow = 0;  // the X window shown, on X11
    bool presentedSincePoll = true;
    timespec nextFrame{};
    bool paced = false;
};

// Never destroyed: the console object is a static whose destructor may
// close the window at exit, after this file's statics would be gone.
Window& win = *new Window;

double monotonicSeconds() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec + ts.tv_nsec * 1e-9;
}

void addSeconds(timespec& ts, double s) {
    long ns = ts.tv_nsec + static_cast<long>(s * 1e9);
    ts.tv_sec += ns / 1000000000L;
    ts.tv_nsec = ns % 1000000000L;
    if (ts.tv_nsec < 0) {
        ts.tv_nsec += 1000000000L;
        ts.tv_sec -= 1;
    }
}

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

void showSurface() {
    SDL_Surface* surface = SDL_GetWindowSurface(win.window);
    if (!surface) return;
    if (win.scaler.layout(win.consoleW, win.consoleH, surface->w, surface->h)) win.clearAll = true;
    const PictureRect& r = win.scaler.rect();
    if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
    bool direct = surface->format->format == SDL_PIXELFORMAT_RGB888 || surface->format->format == SDL_PIXELFORMAT_ARGB8888;
    if (win.clearAll) SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
    if (direct) {
        auto* origin = static_cast<uint8_t*>(surface->pixels) + r.y * surface->pitch + r.x * 4;
        win.scaler.scale(win.lastPicture.data(), origin, surface->pitch);
    } else {
        win.convert.resize(static_cast<size_t>(r.w) * r.h);
        win.scaler.scale(win.lastPicture.data(), reinterpret_cast<uint8_t*>(win.convert.data()), r.w * 4);
        SDL_ConvertPixels(r.w, r.h, SDL_PIXELFORMAT_RGB888, win.convert.data(), r.w * 4, surface->format->format,
                          static_cast<uint8_t*>(surface->pixels) + r.y * surface->pitch +
                              r.x * surface->format->BytesPerPixel,
                          surface->pitch);
    }
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    if (win.clearAll) {
        SDL_UpdateWindowSurface(win.window);
        win.clearAll = false;
    } else {
        SDL_Rect rect{r.x, r.y, r.w, r.h};
        SDL_UpdateWindowSurfaceRects(win.window, &rect, 1);
    }
}

// ---- gpu path ----

void releaseTextures() {
    if (win.sharp) SDL_DestroyTexture(win.sharp);
    if (win.picture) SDL_DestroyTexture(win.picture);
    win.sharp = win.picture = nullptr;
    win.sharpW = win.sharpH = 0;
}

bool makePictureTexture() {
    win.picture = SDL_CreateTexture(win.renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, win.consoleW,
                                    win.consoleH);
    if (!win.picture) return false;
    SDL_SetTextureScaleMode(win.picture, SDL_ScaleModeNearest);
    SDL_UpdateTexture(win.picture, nullptr, win.lastPicture.data(), win.consoleW * 4);
    return true;
}

void showGpu() {
    if (win.texturesLost) {
        releaseTextures();
        win.texturesLost = false;
        if (!makePictureTexture()) return;
    }
    int w = 0, h = 0;
    if (SDL_GetRendererOutputSize(win.renderer, &w, &h) != 0 || w <= 0 || h <= 0) return;
    PictureRect r = fitPicture(w, h);
    SDL_Rect dst{r.x, r.y, r.w, r.h};
    // The nearest step to the largest whole multiple; the linear step
    // from there blurs only the one row or column a boundary falls in.
    int sw = win.consoleW * wholeFactor(win.consoleW, r.w);
    int sh = win.consoleH * wholeFactor(win.consoleH, r.h);
    bool twoSteps = win.targets && (sw != r.w || sh != r.h);
    if (twoSteps && (sw != win.sharpW || sh != win.sharpH)) {
        if (win.sharp) SDL_DestroyTexture(win.sharp);
        win.sharp = SDL_CreateTexture(win.renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_TARGET, sw, sh);
        win.sharpW = win.sharp ? sw : 0;
        win.sharpH = win.sharp ? sh : 0;
        if (win.sharp) SDL_SetTextureScaleMode(win.sharp, SDL_ScaleModeLinear);
    }
    twoSteps = twoSteps && win.sharp;
    if (twoSteps) {
        SDL_SetRenderTarget(win.renderer, win.sharp);
        SDL_RenderCopy(win.renderer, win.picture, nullptr, nullptr);
        SDL_SetRenderTarget(win.renderer, nullptr);
    }
    SDL_SetRenderDrawColor(win.renderer, 0, 0, 0, 255);
    SDL_RenderClear(win.renderer);
    SDL_RenderCopy(win.renderer, twoSteps ? win.sharp : win.picture, nullptr, &dst);
    SDL_RenderPresent(win.renderer);
}

// Draws the last picture and shows it.
void show() {
    if (win.lost) return;
    if (win.gpu)
        showGpu();
    else
        showSurface();
}

#if defined(SDL_VIDEO_DRIVER_X11)
// Xlib ends the process (status 1) on any protocol error and on a lost
// connection. When another client destroys the window or the server drops
// the connection, end the demo as a key does instead: the errors are
// ignored, drawing stops, and the lost connection returns to the caller
// (Xlib then treats the display as dead). libX11 is already loaded by SDL;
// it is looked up, not linked.
int onXError(Display*, XErrorEvent* e) {
    // Only errors about our window mean it is gone. Others, such as a late
    // reply about a window the renderer probe made and destroyed, are
    // ignored.
    if (e->resourceid != win.xWindow) return 0;
    win.lost = true;
    win.keyPending = true;
    return 0;
}

int onXIOError(Display*) {
    win.lost = true;
    win.keyPending = true;
    return 0;
}

void onXConnectionLost(Display*, void*) {
    win.lost = true;
    win.keyPending = true;
}

void catchXFailures() {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(win.window, &info) || info.subsystem != SDL_SYSWM_X11) return;
    win.xWindow = info.info.x11.window;
    void* x11 = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (!x11) return;
    using SetError = XErrorHandler (*)(XErrorHandler);
    using SetExit = void (*)(Display*, void (*)(Display*, void*), void*);
    using SetIOError = XIOErrorHandler (*)(XIOErrorHandler);
    if (auto setError = reinterpret_cast<SetError>(dlsym(x11, "XSetErrorHandler"))) setError(onXError);
    // The default handler of a lost connection exits itself; only the exit
    // handler (libX11 1.7 and later) lets the caller go on.
    auto setExit = reinterpret_cast<SetExit>(dlsym(x11, "XSetIOErrorExitHandler"));
    auto setIOError = reinterpret_cast<SetIOError>(dlsym(x11, "XSetIOErrorHandler"));
    if (setExit && setIOError) {
        setIOError(onXIOError);
        setExit(info.info.x11.display, onXConnectionLost, nullptr);
    }
    dlclose(x11);
}

// The size the X server gives the window, which is what is on the screen.
// Without a window manager a fullscreen request is not carried out, yet
// SDL reports the size it asked for.
bool xWindowSize(int& w, int& h) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(win.window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    void* x11 = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (!x11) return false;
    using GetAttributes = int (*)(Display*, ::Window, XWindowAttributes*);
    using Sync = int (*)(Display*, int);
    auto getAttributes = reinterpret_cast<GetAttributes>(dlsym(x11, "XGetWindowAttributes"));
    auto sync = reinterpret_cast<Sync>(dlsym(x11, "XSync"));
    bool ok = false;
    if (getAttributes && sync) {
        sync(info.info.x11.display, 0);
        XWindowAttributes a;
        if (getAttributes(info.info.x11.display, info.info.x11.window, &a)) {
            w = a.width;
            h = a.height;
            ok = true;
        }
    }
    dlclose(x11);
    return ok;
}
#else
void catchXFailures() {}
bool xWindowSize(int&, int&) { return false; }
#endif

// The explore mode's keys (show_clock.h); anything else is kKeyNone.
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
            win.keyPending = true;
            break;
        case SDL_KEYDOWN:
            if (!isModifier(e.key.keysym.sym) && !showclock::offerKey(exploreKey(e.key.keysym.sym))) win.keyPending = true;
            break;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_CLOSE) win.keyPending = true;
            if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
                win.clearAll = true;
                show();
            }
            break;
        case SDL_RENDER_DEVICE_RESET:
            win.texturesLost = true;
            break;
        default:
            break;
    }
}

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
// renderer string. `software` is set when that is a rasteriser on the CPU.
void describeRenderer(SDL_Renderer* renderer, char* text, size_t size, bool& software) {
    SDL_RendererInfo info;
    SDL_GetRendererInfo(renderer, &info);
    software = !(info.flags & SDL_RENDERER_ACCELERATED) || !std::strcmp(info.name, "software");
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
}

SDL_Window* createWindow(const char* title, int w, int h) {
    return SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w, h,
                            SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN);
}

// Sets up the gpu path on the window. Auto keeps it only on a hardware
// renderer; `why` then says what was found.
bool startGpu(bool automatic, char* why, size_t size) {
    Uint32 flags = SDL_RENDERER_PRESENTVSYNC | (automatic ? SDL_RENDERER_ACCELERATED : 0);
    win.renderer = SDL_CreateRenderer(win.window, -1, flags);
    if (!win.renderer) {
        std::snprintf(why, size, "no renderer: %s", SDL_GetError());
        return false;
    }
    bool software = false;
    describeRenderer(win.renderer, why, size, software);
    SDL_RendererInfo info;
    SDL_GetRendererInfo(win.renderer, &info);
    win.targets = info.flags & SDL_RENDERER_TARGETTEXTURE;
    if (automatic && software) std::strncat(why, ", a software rasteriser", size - std::strlen(why) - 1);
    if ((automatic && software) || !makePictureTexture()) {
        releaseTextures();
        SDL_DestroyRenderer(win.renderer);
        win.renderer = nullptr;
        return false;
    }
    if (!(info.flags & SDL_RENDERER_PRESENTVSYNC)) std::strncat(why, ", no vsync", size - std::strlen(why) - 1);
    // About 60 Hz (or unknown): one present per refresh, with half a frame
    // of slack either side of the tick. Faster displays: the first refresh
    // after each tick.
    SDL_DisplayMode mode;
    int rate = SDL_GetWindowDisplayMode(win.window, &mode) == 0 ? mode.refresh_rate : 0;
    win.lead = (info.flags & SDL_RENDERER_PRESENTVSYNC) && rate >= 58 && rate <= 62 ? kFrameSeconds / 2 : 0.0;
    return true;
}

void goFullscreen() {
    const char* refusal = nullptr;
    if (SDL_SetWindowFullscreen(win.window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) refusal = SDL_GetError();
    if (!refusal) {
        // The window system may take a moment to carry the request out.
        SDL_Rect bounds;
        int w = 0, h = 0;
        if (SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(win.window), &bounds) == 0) {
            bool checked = false;
            for (int i = 0; i < 50; ++i) {
                SDL_PumpEvents();
                if (!xWindowSize(w, h)) break;
                checked = true;
                if (w == bounds.w && h == bounds.h) break;
                SDL_Delay(10);
            }
            if (checked && (w != bounds.w || h != bounds.h)) refusal = "the window manager did not resize the window";
        }
    }
    if (refusal) {
        SDL_SetWindowFullscreen(win.window, 0);
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
    win = Window{};
    win.consoleW = width;
    win.consoleH = height;
    win.lastPicture.assign(static_cast<size_t>(width) * height, 0);

    // The largest 4:3 window of whole console-pixel columns (at most 4 per
    // pixel) that fits in about 85% of the usable screen.
    int k = 3;
    SDL_Rect usable;
    if (SDL_GetDisplayUsableBounds(0, &usable) == 0)
        k = std::clamp(std::min(usable.w * 85 / 100 / width, (usable.h * 85 / 100) * 4 / 3 / width), 1, 4);
    const int windowW = width * k, windowH = width * k * 3 / 4;
    win.window = createWindow(title, windowW, windowH);
    if (!win.window) throw DynamicError("cannot open the window");

    char why[256] = "";
    const char* path = "surface";
    if (settings.presentation != Presentation::Surface) {
        bool automatic = settings.presentation == Presentation::Auto;
        win.gpu = startGpu(automatic, why, sizeof why);
        if (win.gpu) {
            path = "gpu";
        } else {
            if (!automatic) std::fprintf(stderr, "plivak: the gpu path failed (%s); using the surface path\n", why);
            // A renderer may have remade the window for its own use; the
            // surface path starts on a fresh one.
            SDL_DestroyWindow(win.window);
            win.window = createWindow(title, windowW, windowH);
            if (!win.window) throw DynamicError("cannot open the window");
        }
    }
    if (!win.gpu) {
        if (!SDL_GetWindowSurface(win.window)) {
            SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "1");
            if (!SDL_GetWindowSurface(win.window)) throw DynamicError("cannot draw into the window");
        }
    }
    if (settings.verbose) {
        const char* how = settings.presentation == Presentation::Auto ? "auto" : "asked for";
        if (why[0])
            std::fprintf(stderr, "plivak: %s path (%s; %s)\n", path, how, why);
        else
            std::fprintf(stderr, "plivak: %s path (%s)\n", path, how);
    }
    SDL_ShowWindow(win.window);
    catchXFailures();
    if (settings.fullscreen) goFullscreen();
    show();
}

void close() {
    if (!win.window) return;
    // A lost window or connection takes no more calls; the process ends.
    if (win.lost) return;
    releaseTextures();
    if (win.renderer) SDL_DestroyRenderer(win.renderer);
    SDL_DestroyWindow(win.window);
    win = Window{};
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

bool keyPending() {
    if (win.lost) return true;
    SDL_Event e;
    if (!win.presentedSincePoll && !win.keyPending) {
        // A waiting loop: block for up to a millisecond instead of spinning.
        if (SDL_WaitEventTimeout(&e, 1)) handle(e);
    }
    win.presentedSincePoll = false;
    while (SDL_PollEvent(&e)) handle(e);
    return win.keyPending;
}

void present(const uint32_t* pixels, int width, int height) {
    std::memcpy(win.lastPicture.data(), pixels, sizeof(uint32_t) * width * height);
    if (win.gpu && !win.lost && win.picture) SDL_UpdateTexture(win.picture, nullptr, pixels, width * 4);
    // Hold the pace: wait for the next tick (less the lead), then show.
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    double nowS = now.tv_sec + now.tv_nsec * 1e-9;
    double nextS = win.nextFrame.tv_sec + win.nextFrame.tv_nsec * 1e-9;
    if (!win.paced || nowS > nextS + kFrameSeconds) {
        win.nextFrame = now;  // first frame, or fell behind: restart the pace
        win.paced = true;
    } else if (win.lead > 0) {
        timespec wake = win.nextFrame;
        addSeconds(wake, -win.lead);
        clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &wake, nullptr);
    } else {
        clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &win.nextFrame, nullptr);
    }
    addSeconds(win.nextFrame, kFrameSeconds);
    show();
    win.presentedSincePoll = true;
}

double clockSeconds() { return monotonicSeconds(); }

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
