// The ptc classes on top of a backend (ptc_backend.h). Pixel copies and the
// timer arithmetic live here, so both backends behave the same. Key polls,
// presents and the timers' clock go through show_clock.h (seek and pause).
#include <algorithm>
#include <cstring>

#include "platform/ptc.h"
#include "platform/ptc_backend.h"
#include "platform/show_clock.h"

namespace ptc {

Format::Format(int bits, uint32_t red, uint32_t green, uint32_t blue, uint32_t alpha) : bits_(bits) {
    if (bits != 32 || red != 0xFF0000u || green != 0x00FF00u || blue != 0x0000FFu || alpha != 0)
        throw DynamicError("unsupported pixel format");
}

Console::Console() = default;

Console::~Console() {
    if (open_) backend::close();
}

void Console::open(const char* title, int width, int height, const Format& format, int pages) {
    (void)format;
    (void)pages;
    if (open_) throw DynamicError("console already open");
    if (width <= 0 || height <= 0 || width > kMaxWidth || height > kMaxHeight)
        throw DynamicError("unsupported console size");
    backend::open(title, width, height);
    width_ = width;
    height_ = height;
    open_ = true;
    clear();
}

void Console::close() {
    if (!open_) return;
    open_ = false;
    backend::close();
}

void Console::clear() { std::fill(pixels_, pixels_ + width_ * height_, 0u); }

bool Console::key() {
    if (!open_) throw DynamicError("console is not open");
    return showclock::pollKey();
}

void Console::update() {
    if (!open_) throw DynamicError("console is not open");
    showclock::present(pixels_, width_, height_);
}

Surface::Surface(int width, int height, const Format& format) : width_(width), height_(height) {
    (void)format;
    if (width <= 0 || height <= 0 || width > 4096 || height > 4096) throw DynamicError("bad surface size");
    pixels_ = new uint32_t[static_cast<size_t>(width) * height]();
}

Surface::~Surface() { delete[] pixels_; }

uint32_t* Surface::lock() { return pixels_; }

void Surface::copy(Console& console) {
    copy(console, Area(0, 0, width_ - 1, height_ - 1), Area(0, 0, width_ - 1, height_ - 1));
}

void Surface::copy(Console& console, const Area& source, const Area& destination) {
    if (source.width() != destination.width() || source.height() != destination.height())
        throw DynamicError("copy areas differ in size");
    // Clip the pair of rectangles to both pictures, moving both together.
    int sx = source.left, sy = source.top, dx = destination.left, dy = destination.top;
    int w = source.width(), h = source.height();
    auto cut = [](int& s, int& d, int& n, int sLimit, int dLimit) {
        int lead = std::max({0, -s, -d});
        s += lead;
        d += lead;
        n -= lead;
        n = std::min({n, sLimit - s, dLimit - d});
    };
    cut(sx, dx, w, width_, console.width());
    cut(sy, dy, h, height_, console.height());
    if (w <= 0 || h <= 0) return;
    uint32_t* out = console.pixels();
    for (int row = 0; row < h; ++row)
        std::memcpy(out + (dy + row) * console.width() + dx, pixels_ + (sy + row) * width_ + sx, w * sizeof(uint32_t));
}

void Timer::start() {
    if (running_) return;
    base_ = showclock::seconds() - held_;
    running_ = true;
}

void Timer::stop() {
    if (!running_) return;
    held_ = showclock::seconds() - base_;
    running_ = false;
}

void Timer::set(double seconds) {
    if (running_)
        base_ = showclock::seconds() - seconds;
    else
        held_ = seconds;
}

double Timer::time() const { return running_ ? showclock::seconds() - base_ : held_; }

}  // namespace ptc
