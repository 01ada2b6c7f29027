// Console backend on an SDL window.
//
// The console (320x200 or 320x240) is shown at 4:3, as on the screens the
// demo was made for, with sharp pixels: every console pixel becomes k screen
// columns (nearest), and each screen row is either one console row or, where
// a console row boundary falls inside it, a linear mix of the two rows. That
// is the picture an integer nearest upscale followed by a linear stretch
// gives, without uneven rows; it is computed here in one pass so that it
// costs the same on a software renderer as on a GPU.
//
// Presents are paced to a steady 60 frames per second by an absolute
// monotonic sleep, whatever the display does; waiting loops (key polls with
// no present in between) sleep a millisecond per poll instead of spinning.
#include <SDL.h>
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
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;  // the scaled picture, outW x outH
    int consoleW = 0, consoleH = 0;
    int outW = 0, outH = 0;          // scaled picture size (4:3)
    std::vector<uint32_t> scaled;    // outW x outH
    // Per output row: the console rows it mixes and the weight of the
    // second one (0..256).
    std::vector<int> rowA, rowB, rowWeight;
    std::vector<uint32_t> lastPicture;  // for redraws on expose
    bool keyPending = false;
    bool presentedSincePoll = true;
    timespec nextFrame{};
    bool paced = false;
};

Window win;

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

// Chooses the scaled size for a drawable of w x h and builds the row table.
void layout(int w, int h) {
    int k = std::max(1, std::min(w / win.consoleW, (h * 4 / 3) / win.consoleW));
    int outW = win.consoleW * k;
    int outH = outW * 3 / 4;
    if (outW == win.outW && outH == win.outH && win.texture) return;
    win.outW = outW;
    win.outH = outH;
    if (win.texture) SDL_DestroyTexture(win.texture);
    win.texture = SDL_CreateTexture(win.renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, outW, outH);
    win.scaled.assign(static_cast<size_t>(outW) * outH, 0);
    win.rowA.resize(outH);
    win.rowB.resize(outH);
    win.rowWeight.resize(outH);
    // The intermediate picture has consoleH * k rows; output row y samples
    // it linearly at (y + 0.5) * (consoleH * k / outH) - 0.5.
    double ratio = static_cast<double>(win.consoleH * k) / outH;
    int interRows = win.consoleH * k;
    for (int y = 0; y < outH; ++y) {
        double pos = (y + 0.5) * ratio - 0.5;
        pos = std::clamp(pos, 0.0, static_cast<double>(interRows - 1));
        int r0 = static_cast<int>(pos);
        int r1 = std::min(r0 + 1, interRows - 1);
        int weight = static_cast<int>((pos - r0) * 256.0 + 0.5);
        win.rowA[y] = r0 / k;
        win.rowB[y] = r1 / k;
        win.rowWeight[y] = (win.rowA[y] == win.rowB[y]) ? 0 : weight;
    }
}

inline uint32_t mix(uint32_t a, uint32_t b, uint32_t w) {
    uint32_t rb = ((a & 0xFF00FFu) * (256 - w) + (b & 0xFF00FFu) * w) >> 8;
    uint32_t g = ((a & 0x00FF00u) * (256 - w) + (b & 0x00FF00u) * w) >> 8;
    return (rb & 0xFF00FFu) | (g & 0x00FF00u);
}

void scalePicture(const uint32_t* pixels) {
    int k = win.outW / win.consoleW;
    for (int y = 0; y < win.outH; ++y) {
        uint32_t* out = &win.scaled[static_cast<size_t>(y) * win.outW];
        const uint32_t* a = pixels + win.rowA[y] * win.consoleW;
        const uint32_t* b = pixels + win.rowB[y] * win.consoleW;
        uint32_t w = win.rowWeight[y];
        if (w == 0) {
            for (int x = 0; x < win.consoleW; ++x)
                for (int i = 0; i < k; ++i) *out++ = a[x];
        } else {
            for (int x = 0; x < win.consoleW; ++x) {
                uint32_t c = mix(a[x], b[x], w);
                for (int i = 0; i < k; ++i) *out++ = c;
            }
        }
    }
}

void show() {
    int dw, dh;
    SDL_GetRendererOutputSize(win.renderer, &dw, &dh);
    layout(dw, dh);
    scalePicture(win.lastPicture.data());
    SDL_UpdateTexture(win.texture, nullptr, win.scaled.data(), win.outW * 4);
    // Letterbox: fit the 4:3 picture into the drawable, centred.
    SDL_Rect dst;
    if (dw * 3 >= dh * 4) {
        dst.h = dh;
        dst.w = dh * 4 / 3;
    } else {
        dst.w = dw;
        dst.h = dw * 3 / 4;
    }
    if (dst.w >= win.outW && dst.h >= win.outH) {  // keep 1:1 when it fits
        dst.w = win.outW;
        dst.h = win.outH;
    }
    dst.x = (dw - dst.w) / 2;
    dst.y = (dh - dst.h) / 2;
    SDL_SetRenderDrawColor(win.renderer, 0, 0, 0, 255);
    SDL_RenderClear(win.renderer);
    SDL_RenderCopy(win.renderer, win.texture, nullptr, &dst);
    SDL_RenderPresent(win.renderer);
}

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
            if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) show();
            break;
        default:
            break;
    }
}

}  // namespace

void open(const char* title, int width, int height) {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) throw DynamicError("cannot start the video system");
    win.consoleW = width;
    win.consoleH = height;
    win.lastPicture.assign(static_cast<size_t>(width) * height, 0);

    // The largest 4:3 window of whole console-pixel columns that fits in
    // about 85% of the usable screen.
    int k = 3;
    SDL_Rect usable;
    if (SDL_GetDisplayUsableBounds(0, &usable) == 0) {
        k = std::max(1, std::min(usable.w * 85 / 100 / width, (usable.h * 85 / 100) * 4 / 3 / width));
        k = std::min(k, 4);
    }
    int w = width * k, h = width * k * 3 / 4;
    win.window = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w, h, SDL_WINDOW_RESIZABLE);
    if (!win.window) throw DynamicError("cannot open the window");
    win.renderer = SDL_CreateRenderer(win.window, -1, 0);
    if (!win.renderer) win.renderer = SDL_CreateRenderer(win.window, -1, SDL_RENDERER_SOFTWARE);
    if (!win.renderer) throw DynamicError("cannot create a renderer");
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
    layout(w, h);
    win.keyPending = false;
    win.paced = false;
    show();
}

void close() {
    if (!win.window) return;
    if (win.texture) SDL_DestroyTexture(win.texture);
    if (win.renderer) SDL_DestroyRenderer(win.renderer);
    SDL_DestroyWindow(win.window);
    win = Window{};
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

bool keyPending() {
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
