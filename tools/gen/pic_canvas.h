// Drawing kit of the picture generator: a cairo canvas, text in the DejaVu
// fonts, and conversion of what was drawn into the three kinds of sprite
// ground the demo uses (opaque, exact blue key, black for additive draws).
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

namespace pic {

// R, G, B bytes, row-major, no padding: the ".rgb" layout.
struct Rgb {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bytes;

    Rgb() = default;
    Rgb(int w, int h) : width(w), height(h), bytes(size_t(w) * size_t(h) * 3, 0) {}
    uint8_t* at(int x, int y) { return &bytes[(size_t(y) * size_t(width) + size_t(x)) * 3]; }
    const uint8_t* at(int x, int y) const { return &bytes[(size_t(y) * size_t(width) + size_t(x)) * 3]; }
    void set(int x, int y, int r, int g, int b) {
        uint8_t* p = at(x, y);
        p[0] = uint8_t(r);
        p[1] = uint8_t(g);
        p[2] = uint8_t(b);
    }
};

struct Colour {
    double r, g, b;
};
constexpr Colour hex(uint32_t c) {
    return {double((c >> 16) & 255) / 255.0, double((c >> 8) & 255) / 255.0, double(c & 255) / 255.0};
}

// A cairo image surface with its context. Transparent canvases start fully
// transparent (ARGB32), opaque ones black (RGB24).
class Canvas {
public:
    Canvas(int w, int h, bool transparent);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* cr() const { return cr_; }
    int width() const { return w_; }
    int height() const { return h_; }

    // Opaque pixels as drawn.
    Rgb opaque() const;
    // Pixels with alpha below one half become exactly the key 0x0000FF; the
    // rest take their own colour at full strength, nudged away from the key
    // when they would come close to it. No edge pixel mixes with the key.
    Rgb keyed() const;
    // Composited over black: the ground of additive sprites.
    Rgb overBlack() const;

private:
    int w_, h_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

void setColour(cairo_t* cr, Colour c, double alpha = 1.0);
void fillAll(cairo_t* cr, Colour c);
// Linear gradient from (x0, y0) to (x1, y1) through the given stops, set as
// the source.
void setLinear(cairo_t* cr, double x0, double y0, double x1, double y1,
               std::initializer_list<std::pair<double, Colour>> stops);
void setRadial(cairo_t* cr, double cx, double cy, double r0, double r1,
               std::initializer_list<std::pair<double, Colour>> stops, double alpha = 1.0);
void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r);

enum class Face { Sans, SansBold, Serif, SerifBoldItalic, Mono, MonoBold, SansBoldOblique };

// Selects a DejaVu face at the given pixel size, unhinted, grey anti-aliasing
// (the same on every run whatever the desktop settings).
void selectFont(cairo_t* cr, Face face, double size);
// False once a face resolved to something other than DejaVu (the generator
// then fails rather than write pictures that depend on the machine's fonts).
bool fontsAreDejaVu();
// Size at which the text fits a box of w x h pixels (ink extents).
double fitFont(cairo_t* cr, Face face, const std::string& text, double w, double h);
// Adds the outline of the text to the path with its ink box centred on
// (cx, cy).
void textPathCentred(cairo_t* cr, const std::string& text, double cx, double cy);

// A caption: text fitted to the canvas with a margin, filled with a vertical
// gradient top..bottom and a dark outline.
void drawCaption(Canvas& c, const std::string& text, Face face, Colour top, Colour bottom,
                 Colour outline, double margin, double outlineWidth);
// Glowing text for additive sprites: blurred halo layers then the core.
void drawGlowText(cairo_t* cr, const std::string& text, double cx, double cy, Colour glow,
                  Colour core, double haloWidth);

// Files: plain, or gzip with a fixed header (mtime 0) so output is identical
// from run to run. Both print why on standard error and return false when
// they fail.
bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes);
bool writeGzip(const std::string& path, const std::vector<uint8_t>& bytes);

// Deterministic value noise on a periodic lattice: period cells across, so
// a texture built from it tiles. x, y in cell units.
float tileNoise(float x, float y, int period, uint32_t seed);

}  // namespace pic
