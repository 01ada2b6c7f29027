// The PCX reader: a picture that loads is drawn once through the lit plane
// mapper, as the text plane part draws it.
#include <cstddef>
#include <cstdint>

#include "data/pcx.h"
#include "gfx2d/shade_table.h"
#include "gfx2d/warp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static uint32_t frame[320 * 200];
    static GridPoint* grid = [] {
        static GridPoint points[kGridPoints];
        PlaneWarp plane;
        plane.wobble = 12.5f;
        plane.a1 = 0.7f;
        plane.a2 = 1.3f;
        plane.a3 = -0.4f;
        plane.computeGrid(points);
        return points;
    }();
    PcxPicture picture;
    if (picture.parse(data, size) != PcxPicture::kLoaded) return 0;
    renderGridShaded(grid, picture.pixels, *picture.shadeTable, frame);
    // The record owns nothing; the program keeps its arrays for ever.
    delete picture.shadeTable;
    delete[] picture.pixels;
    delete[] picture.palette;
    return 0;
}
