// The pixel console: a window of 32-bit 0x00RRGGBB pixels, a keyboard and a
// clock. Host and parts use only this header; the SDL window backend and the
// virtual-clock backend (capture, tests) implement the calls listed in
// ptc_backend.h. Every failure is thrown as ptc::DynamicError.
#pragma once

#include <cstdint>

namespace ptc {

class DynamicError {
public:
    explicit DynamicError(const char* message) : message_(message) {}
    const char* message() const { return message_; }

private:
    const char* message_;  // static text
};

class Format {
public:
    Format(int bits, uint32_t red, uint32_t green, uint32_t blue, uint32_t alpha = 0);
    int bits() const { return bits_; }

private:
    int bits_;
};

// A rectangle with inclusive right and bottom edges.
class Area {
public:
    Area(int left, int top, int right, int bottom)
        : left(left), top(top), right(right), bottom(bottom) {}
    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
    int left, top, right, bottom;
};

class Console {
public:
    static constexpr int kMaxWidth = 320;
    static constexpr int kMaxHeight = 240;

    Console();
    ~Console();
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    // Opens the window; width at most 320, height at most 240.
    void open(const char* title, int width, int height, const Format& format, int pages = 0);
    void close();
    // Sets the whole console picture to black (shown at the next update).
    void clear();
    // True while a key press is pending. The press is never consumed.
    bool key();
    // Makes what was copied to the console visible.
    void update();

    int width() const { return width_; }
    int height() const { return height_; }
    bool isOpen() const { return open_; }
    // The console picture, width() x height() pixels, pitch width().
    const uint32_t* pixels() const { return pixels_; }
    uint32_t* pixels() { return pixels_; }

private:
    int width_ = 0;
    int height_ = 0;
    bool open_ = false;
    uint32_t pixels_[kMaxWidth * kMaxHeight] = {};
};

class Surface {
public:
    Surface(int width, int height, const Format& format);
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    // The pixels, pitch width(); valid until the surface is destroyed. The
    // surface is never unlocked: the pointer stays the frame buffer.
    uint32_t* lock();
    // The whole surface onto the console's top-left corner.
    void copy(Console& console);
    // The source area of the surface onto the equally sized destination
    // area of the console; areas are clipped to both pictures.
    void copy(Console& console, const Area& source, const Area& destination);

    int width() const { return width_; }
    int height() const { return height_; }

private:
    int width_;
    int height_;
    uint32_t* pixels_;
};

// Seconds as a double from the backend's monotonic clock.
class Timer {
public:
    void start();
    void stop();
    void set(double seconds);
    double time() const;

    // The whole timer, for a chapter point (a copy keeps every bit, which
    // set() would not).
    struct State {
        bool running;
        double base;
        double held;
    };
    State state() const { return State{running_, base_, held_}; }
    void restore(const State& s) {
        running_ = s.running;
        base_ = s.base;
        held_ = s.held;
    }

private:
    bool running_ = false;
    double base_ = 0.0;   // clock reading at which time() was 0 (running)
    double held_ = 0.0;   // time() while stopped
};

}  // namespace ptc
