// "cooltext.pcx", the palettised picture on the tumbling lit plane, and the
// seven morph outlines.
//
// The plane lights the picture through a table that runs from white at level
// 0 through the palette colour at level 128 back to white, so the palette is
// made of deep, saturated colours that stay readable in the middle levels
// and wash out to white at the extremes.
#include <cmath>
#include <cstdio>

#include "gen/pic_codec.h"
#include "gen/pic_makers.h"

namespace pic {

namespace {

constexpr int kSize = 256;
// Palette layout: 0..127 the ground ramp, 128..191 the letters' ramp,
// 192..255 the letters' dark rim.
constexpr int kGround = 0, kLetters = 128, kRim = 192;

void putColour(std::vector<uint8_t>& pal, int i, double r, double g, double b) {
    pal[size_t(i) * 3 + 0] = uint8_t(std::lround(r));
    pal[size_t(i) * 3 + 1] = uint8_t(std::lround(g));
    pal[size_t(i) * 3 + 2] = uint8_t(std::lround(b));
}

std::vector<uint8_t> coolPalette() {
    std::vector<uint8_t> pal(768);
    // The ground stays dark, so that the lit plane keeps depth between its
    // white fades and the letters stand out from it.
    for (int i = 0; i < 128; ++i) {  // near black to deep violet to deep teal
        const double t = i / 127.0;
        if (t < 0.5)
            putColour(pal, kGround + i, 4 + 130 * t, 4 + 12 * t, 24 + 170 * t);
        else
            putColour(pal, kGround + i, 69 - 138 * (t - 0.5), 10 + 170 * (t - 0.5), 109 - 10 * (t - 0.5));
    }
    for (int i = 0; i < 64; ++i) {  // red through orange to yellow
        const double t = i / 63.0;
        putColour(pal, kLetters + i, 200 + 55 * t, 30 + 200 * t, 20 + 40 * t);
    }
    for (int i = 0; i < 64; ++i) {  // near-black plum
        const double t = i / 63.0;
        putColour(pal, kRim + i, 10 + 20 * t, 2 + 4 * t, 14 + 20 * t);
    }
    return pal;
}

// Alpha of the given text drawn on a transparent 256x256 canvas, once for the
// letters and once for the letters grown by an outline.
struct TextMasks {
    std::vector<uint8_t> fill, rim;
};

void addText(cairo_t* cr, const std::string& text, Face face, double w, double h, double cx, double cy) {
    fitFont(cr, face, text, w, h);
    textPathCentred(cr, text, cx, cy);
}

TextMasks textMasks() {
    TextMasks m;
    for (int pass = 0; pass < 2; ++pass) {
        Canvas c(kSize, kSize, true);
        cairo_t* cr = c.cr();
        cairo_new_path(cr);
        addText(cr, "plivak", Face::SansBold, 224, 70, 128, 72);
        addText(cr, "cool text", Face::SerifBoldItalic, 200, 44, 128, 190);
        setColour(cr, {1, 1, 1});
        if (pass == 1) {
            cairo_set_line_width(cr, 8);
            cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
            cairo_stroke_preserve(cr);
        }
        cairo_fill(cr);
        const Rgb a = c.overBlack();  // white text over black: red = alpha
        std::vector<uint8_t>& out = pass ? m.rim : m.fill;
        out.resize(size_t(kSize) * kSize);
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) out[size_t(y) * kSize + size_t(x)] = a.at(x, y)[0];
    }
    return m;
}

// The picture as palette indices: a diagonal diamond lattice (period 64 in
// both directions, so it tiles) under the two lines of text.
std::vector<uint8_t> coolPixels() {
    const TextMasks masks = textMasks();
    std::vector<uint8_t> px(size_t(kSize) * kSize);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const size_t i = size_t(y) * kSize + size_t(x);
            if (masks.fill[i] >= 128) {
                // Ramp down each letter line: yellow at the top, red below.
                const int band = y < 130 ? (y - 37) : (y - 168);
                const int lineHeight = y < 130 ? 70 : 44;
                int t = 63 - band * 63 / lineHeight;
                px[i] = uint8_t(kLetters + (t < 0 ? 0 : t > 63 ? 63 : t));
            } else if (masks.rim[i] >= 128) {
                px[i] = uint8_t(kRim + (y & 63));
            } else {
                const double a = 2 * M_PI / 64.0;
                const double d = std::cos((x + y) * a) * std::cos((x - y) * a);
                const double wave = 0.5 + 0.25 * std::sin(x * 2 * M_PI / 128.0) * std::sin(y * 2 * M_PI / 64.0);
                double v = 0.5 + 0.35 * d + 0.3 * (wave - 0.5);
                v = v < 0 ? 0 : v > 1 ? 1 : v;
                px[i] = uint8_t(kGround + int(v * 127.0));
            }
        }
    return px;
}

void put16(std::vector<uint8_t>& b, size_t at, int v) {
    b[at] = uint8_t(v & 255);
    b[at + 1] = uint8_t((v >> 8) & 255);
}

}  // namespace

std::vector<uint8_t> makeCoolTextPcx() {
    std::vector<uint8_t> file(128, 0);
    file[0] = 10;  // manufacturer
    file[1] = 5;   // version
    file[2] = 1;   // run-length encoding
    file[3] = 8;   // bits per pixel
    put16(file, 4, 0);
    put16(file, 6, 0);
    put16(file, 8, kSize - 1);
    put16(file, 10, kSize - 1);
    put16(file, 12, 72);  // dots per inch
    put16(file, 14, 72);
    file[65] = 1;  // planes
    put16(file, 66, kSize);  // bytes per line
    put16(file, 68, 1);      // colour palette
    const std::vector<uint8_t> runs = encodePcxRuns(coolPixels(), kSize);
    file.insert(file.end(), runs.begin(), runs.end());
    file.push_back(0x0C);
    const std::vector<uint8_t> pal = coolPalette();
    file.insert(file.end(), pal.begin(), pal.end());
    return file;
}

// Each outline is a sequence of directions (degrees, clockwise on screen from
// the right, starting near the top); the morph keeps only directions. Corner
// directions repeat so that every outline has 8..12 vertices walked the same
// way round, and shorter ones end on a corner the morph can repeat.
std::string makeShape(int n) {
    std::vector<double> dirs;
    auto corners = [&](int count, double start, double step, int repeat) {
        for (int k = 0; k < count; ++k)
            for (int r = 0; r < repeat; ++r) dirs.push_back(start + k * step);
    };
    switch (n) {
    case 1: corners(3, -90, 120, 4); break;   // triangle
    case 2: corners(4, -135, 90, 3); break;   // square
    case 3: corners(5, -90, 144, 2); break;   // pentagram in star order
    case 4: corners(6, -90, 60, 2); break;    // hexagon
    case 5: corners(12, -90, 150, 1); break;  // twelve-pointed star {12/5}
    case 6: corners(8, -90, 135, 1); break;   // octagram {8/3}
    default: corners(12, -90, 30, 1); break;  // dodecagon, nearly the circle
    }
    std::string text = std::to_string(dirs.size()) + " vertices\n";
    for (double d : dirs) {
        char line[64];
        const double a = d * M_PI / 180.0;
        std::snprintf(line, sizeof line, "%.3f %.3f\n", 100.0 * std::cos(a), 100.0 * std::sin(a));
        text += line;
    }
    return text;
}

}  // namespace pic
