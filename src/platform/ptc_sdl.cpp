// Console backend on an SDL window.
//
// The console (320x200 or 320x240) is shown at 4:3, as on the screens the
// demo was made for, with sharp pixels: every console pixel becomes k screen
// columns (nearest), and each screen row is either one console row or, where
// a console row boundary falls inside it, a linear mix of the two rows. That
// is the picture an integer nearest upscale followed by a linear stretch
// gives, without uneven rows; it is computed here in one pass straight into
// the window surface, which is cheaper than any renderer path on a machine
// without a GPU and costs little on one with it.
//
// Presents are paced to a steady 60 frames per second by an absolute
// monotonic sleep, whatever the display does; waiting loops (key polls with
// no present in between) sleep a millisecond per poll instead of spinning.
#include <SDL.h>
#include <SDL_syswm.h>
#include <dlfcn.h>
#include <time.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/ptc.h"
#include "platform/ptc_backend.h"

namespace ptc::backend {
namespace {

constexpr double kFrameSeconds = 1.0 / 60.0;

struct Window {
    SDL_Window* window = nullptr;
    int consoleW = 0, consoleH = 0;
    // Layout for the current window size: the scaled picture is outW x outH
    // at (x0, y0) of the window surface; each console column becomes k
    // screen columns.
    int surfaceW = -1, surfaceH = -1;
    int k = 1, outW = 0, outH = 0, x0 = 0, y0 = 0;
    // Per output row: the console rows it mixes and the weight of the
    // second one (0..256).
    std::vector<int> rowA, rowB, rowWeight;
    std::vector<uint32_t> lastPicture;  // shown again on expose
    std::vector<uint32_t> convert;      // for window surfaces not in XRGB8888
    bool clearAll = true;               // paint the letterbox bars next time
    bool keyPending = false;
    bool lost = false;  // the X window or connection is gone: no more drawing
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
}

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

// Fits the 4:3 picture into a w x h window and builds the row table.
void layout(int w, int h) {
    if (w == win.surfaceW && h == win.surfaceH) return;
    win.surfaceW = w;
    win.surfaceH = h;
    win.clearAll = true;
    win.k = std::max(1, std::min(w / win.consoleW, (h * 4 / 3) / win.consoleW));
    win.outW = std::min(w, win.consoleW * win.k);
    win.outH = std::min(h, win.consoleW * win.k * 3 / 4);
    win.x0 = (w - win.outW) / 2;
    win.y0 = (h - win.outH) / 2;
    win.rowA.resize(win.outH);
    win.rowB.resize(win.outH);
    win.rowWeight.resize(win.outH);
    // The intermediate picture has consoleH * k rows; output row y samples
    // it linearly at (y + 0.5) * (consoleH * k / fullH) - 0.5.
    int fullH = win.consoleW * win.k * 3 / 4;
    int interRows = win.consoleH * win.k;
    double ratio = static_cast<double>(interRows) / fullH;
    for (int y = 0; y < win.outH; ++y) {
        double pos = std::clamp((y + 0.5) * ratio - 0.5, 0.0, static_cast<double>(interRows - 1));
        int r0 = static_cast<int>(pos);
        int r1 = std::min(r0 + 1, interRows - 1);
        win.rowA[y] = r0 / win.k;
        win.rowB[y] = r1 / win.k;
        win.rowWeight[y] = win.rowA[y] == win.rowB[y] ? 0 : static_cast<int>((pos - r0) * 256.0 + 0.5);
    }
}

inline uint32_t mix(uint32_t a, uint32_t b, uint32_t w) {
    uint32_t rb = ((a & 0xFF00FFu) * (256 - w) + (b & 0xFF00FFu) * w) >> 8;
    uint32_t g = ((a & 0x00FF00u) * (256 - w) + (b & 0x00FF00u) * w) >> 8;
    return (rb & 0xFF00FFu) | (g & 0x00FF00u);
}

// Writes the scaled picture into rows of `pitch` bytes starting at `out`.
void scalePicture(const uint32_t* pixels, uint8_t* out, int pitch) {
    const int k = win.k;
    const int columns = win.outW / k;
    for (int y = 0; y < win.outH; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(out + static_cast<size_t>(y) * pitch);
        if (y > 0 && win.rowA[y] == win.rowA[y - 1] && win.rowB[y] == win.rowB[y - 1] &&
            win.rowWeight[y] == win.rowWeight[y - 1]) {
            std::memcpy(row, out + static_cast<size_t>(y - 1) * pitch, win.outW * 4);
            continue;
        }
        const uint32_t* a = pixels + win.rowA[y] * win.consoleW;
        const uint32_t* b = pixels + win.rowB[y] * win.consoleW;
        const uint32_t w = win.rowWeight[y];
        for (int x = 0; x < columns; ++x) {
            uint32_t c = w ? mix(a[x], b[x], w) : a[x];
            for (int i = 0; i < k; ++i) *row++ = c;
        }
    }
}

// Draws the last picture into the window surface and shows it.
void show() {
    if (win.lost) return;
    SDL_Surface* surface = SDL_GetWindowSurface(win.window);
    if (!surface) return;
    layout(surface->w, surface->h);
    if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
    bool direct = surface->format->format == SDL_PIXELFORMAT_RGB888 || surface->format->format == SDL_PIXELFORMAT_ARGB8888;
    if (win.clearAll) SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
    auto* origin = static_cast<uint8_t*>(surface->pixels) + win.y0 * surface->pitch + win.x0 * 4;
    if (direct) {
        scalePicture(win.lastPicture.data(), origin, surface->pitch);
    } else {
        win.convert.resize(static_cast<size_t>(win.outW) * win.outH);
        scalePicture(win.lastPicture.data(), reinterpret_cast<uint8_t*>(win.convert.data()), win.outW * 4);
        SDL_ConvertPixels(win.outW, win.outH, SDL_PIXELFORMAT_RGB888, win.convert.data(), win.outW * 4,
                          surface->format->format,
                          static_cast<uint8_t*>(surface->pixels) + win.y0 * surface->pitch +
                              win.x0 * surface->format->BytesPerPixel,
                          surface->pitch);
    }
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    if (win.clearAll) {
        SDL_UpdateWindowSurface(win.window);
        win.clearAll = false;
    } else {
        SDL_Rect rect{win.x0, win.y0, win.outW, win.outH};
        SDL_UpdateWindowSurfaceRects(win.window, &rect, 1);
    }
}

#if defined(SDL_VIDEO_DRIVER_X11)
// Xlib ends the process (status 1) on any protocol error and on a lost
// connection. When another client destroys the window or the server drops
// the connection, end the demo as a key does instead: the errors are
// ignored, drawing stops, and the lost connection returns to the caller
// (Xlib then treats the display as dead). libX11 is already loaded by SDL;
// it is looked up, not linked.
int onXError(Display*, XErrorEvent*) {
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
#else
void catchXFailures() {}
#endif

void handle(const SDL_Event& e) {
    switch (e.type) {
        case SDL_QUIT:
            win.keyPending = true;
            break;
        case SDL_KEYDOWN:
            if (!isModifier(e.key.keysym.sym)) win.keyPending = true;
            break;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_CLOSE) win.keyPending = true;
            if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
                win.clearAll = true;
                show();
            }
            break;
        default:
            break;
    }
}

}  // namespace

void open(const char* title, int width, int height) {
    // The picture is scaled here, so the window surface needs no GPU: the
    // window system's own framebuffer (shared memory on X11) is cheapest.
    // Where there is none, SDL falls back to a renderer on its own.
    SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) throw DynamicError("cannot start the video system");
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
    win.window = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width * k, width * k * 3 / 4,
                                  SDL_WINDOW_RESIZABLE);
    if (!win.window) throw DynamicError("cannot open the window");
    if (!SDL_GetWindowSurface(win.window)) {
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "1");
        if (!SDL_GetWindowSurface(win.window)) throw DynamicError("cannot draw into the window");
    }
    catchXFailures();
    show();
}

void close() {
    if (!win.window) return;
    // A lost window or connection takes no more calls; the process ends.
    if (win.lost) return;
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
    // Hold the pace: sleep to the next frame time, then show.
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    double nowS = now.tv_sec + now.tv_nsec * 1e-9;
    double nextS = win.nextFrame.tv_sec + win.nextFrame.tv_nsec * 1e-9;
    if (!win.paced || nowS > nextS + kFrameSeconds) {
        win.nextFrame = now;  // first frame, or fell behind: restart the pace
        win.paced = true;
    } else {
        clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &win.nextFrame, nullptr);
    }
    addSeconds(win.nextFrame, kFrameSeconds);
    show();
    win.presentedSincePoll = true;
}

double clockSeconds() { return monotonicSeconds(); }

}  // namespace ptc::backend
