// The console picture scaled to a window at 4:3 with sharp pixels, on the
// CPU. Along each axis every console pixel becomes k screen pixels
// (nearest, k the largest whole factor that fits), and that picture is
// stretched linearly to the final size: a screen row or column is either
// one console row or column or, where a console boundary falls inside it,
// a mix of the two. This is the picture the renderer path draws with two
// texture copies (nearest to the whole multiple, then linear), built here
// in one pass.
#pragma once

#include <cstdint>
#include <vector>

namespace ptc {

// The largest 4:3 rectangle that fits a w x h window, centred.
struct PictureRect {
    int x = 0, y = 0, w = 0, h = 0;
};
PictureRect fitPicture(int windowW, int windowH);

// The whole factor of the nearest step along one axis: console `n` pixels
// shown over `out` screen pixels.
inline int wholeFactor(int n, int out) { return out >= n ? out / n : 1; }

class PictureScaler {
public:
    // Builds the tables for a consoleW x consoleH console in a windowW x
    // windowH window; does nothing when nothing changed. Returns true when
    // the layout changed (the bars need painting again).
    bool layout(int consoleW, int consoleH, int windowW, int windowH);
    // Where the picture lies in the window.
    const PictureRect& rect() const { return rect_; }
    // Writes rect().w x rect().h pixels from `pixels` (pitch consoleW)
    // into rows of `pitch` bytes from `out`.
    void scale(const uint32_t* pixels, uint8_t* out, int pitch);

private:
    // Per output pixel along an axis: the first console index it shows
    // and the weight (0..256) of the next one.
    struct Axis {
        std::vector<int> first, weight;
        bool whole = true;  // every weight 0: plain k-fold repeats
        int k = 1;
        void build(int n, int out);
    };
    int consoleW_ = 0, consoleH_ = 0, windowW_ = -1, windowH_ = -1;
    PictureRect rect_;
    Axis rows_, columns_;
    std::vector<uint32_t> mixedRow_;
};

}  // namespace ptc
