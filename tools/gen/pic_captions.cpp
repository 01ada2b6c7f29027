// Text pictures: keyed captions and name logos (thresholded against the blue
// key, with a dark outline), additive logos and banners (glowing on black),
// the greetings picture and scroller, and the two scrolling digit strips.
#include <cmath>
#include <cstdio>

#include "gen/pic_makers.h"

namespace pic {

namespace {

constexpr Colour kInk = hex(0x0A0818);

struct CaptionSpec {
    const char* file;
    int width, height;
    const char* text;
    Face face;
    uint32_t top, bottom;
};

// The caption sprites: one word each, fitted to the file's size.
constexpr CaptionSpec kCaptions[] = {
    {"exercise.rgb", 206, 25, "exercise", Face::SansBold, 0xFFFFFF, 0x40C0FF},
    {"alert.rgb", 127, 21, "alert!", Face::SansBold, 0xFFF0A0, 0xFF4020},
    {"partcool.rgb", 170, 35, "part cool", Face::SerifBoldItalic, 0xFFFFFF, 0x60E0A0},
    {"molecule.rgb", 254, 37, "molecule", Face::SansBoldOblique, 0xFFE0FF, 0xC040FF},
    {"zorbel_2.rgb", 235, 50, "zorbel", Face::SerifBoldItalic, 0xFFFFFF, 0xFF8040},
    {"quorle.rgb", 124, 29, "quorle", Face::SansBold, 0xE0FFE0, 0x30C060},
    {"muzeek.rgb", 75, 29, "muzeek", Face::SansBold, 0xFFE0C0, 0xFF6040},
    {"fenwy.rgb", 101, 39, "fenwy", Face::SerifBoldItalic, 0xE0F0FF, 0x4080FF},
    {"addcode.rgb", 85, 22, "addcode", Face::MonoBold, 0xFFFFFF, 0x90A0C0},
    {"sorvel.rgb", 76, 38, "sorvel", Face::SansBoldOblique, 0xFFF0C0, 0xE0A020},
};

Rgb caption(int w, int h, const std::string& text, Face face, Colour top, Colour bottom) {
    Canvas c(w, h, true);
    const double outline = h < 30 ? 1.5 : 2.5;
    drawCaption(c, text, face, top, bottom, kInk, 1.0, outline);
    return c.keyed();
}

// Two lines in one caption box: a small word over a large one.
Rgb twoLines(int w, int h, const std::string& small, const std::string& big, Face face, Colour top,
             Colour bottom, double split) {
    Canvas c(w, h, true);
    cairo_t* cr = c.cr();
    const double outline = 2.0;
    for (int line = 0; line < 2; ++line) {
        const std::string& text = line ? big : small;
        const double y0 = line ? h * split : 0, y1 = line ? h : h * split;
        fitFont(cr, face, text, w - 4 - outline, y1 - y0 - 3 - outline);
        cairo_new_path(cr);
        textPathCentred(cr, text, w / 2.0, (y0 + y1) / 2);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_set_line_width(cr, outline * 2);
        setColour(cr, kInk);
        cairo_stroke_preserve(cr);
        setLinear(cr, 0, y0, 0, y1, {{0.0, top}, {0.6, bottom}, {1.0, top}});
        cairo_fill(cr);
    }
    return c.keyed();
}

// The energy caption: the word between two lightning bolts that fill the
// wide, low box.
Rgb nrg() {
    Canvas c(258, 29, true);
    cairo_t* cr = c.cr();
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    for (int side = 0; side < 2; ++side) {
        const double x0 = side ? 172 : 8, x1 = side ? 250 : 86;
        cairo_new_path(cr);
        cairo_move_to(cr, x0, 14);
        const int zigs = 6;
        for (int k = 1; k <= zigs; ++k) cairo_line_to(cr, x0 + (x1 - x0) * k / zigs, (k % 2) ? 5 : 23);
        cairo_line_to(cr, x1, 14);
        cairo_set_line_width(cr, 6);
        setColour(cr, kInk);
        cairo_stroke_preserve(cr);
        cairo_set_line_width(cr, 2.5);
        setColour(cr, hex(0xFFE040));
        cairo_stroke(cr);
    }
    fitFont(cr, Face::SansBoldOblique, "nrg", 76, 24);
    cairo_new_path(cr);
    textPathCentred(cr, "nrg", 129, 14.5);
    cairo_set_line_width(cr, 3);
    setColour(cr, kInk);
    cairo_stroke_preserve(cr);
    setLinear(cr, 0, 2, 0, 27, {{0.0, hex(0xFFFFC0)}, {0.6, hex(0xFFA000)}, {1.0, hex(0xFFFFC0)}});
    cairo_fill(cr);
    return c.keyed();
}

Rgb headache() {
    Canvas c(262, 91, true);
    cairo_t* cr = c.cr();
    // A jagged flash behind the word.
    cairo_move_to(cr, 12, 46);
    for (int k = 0; k <= 16; ++k) {
        const double x = 12 + k * 14.9, y = (k % 2) ? 8 : 30;
        cairo_line_to(cr, x, y);
    }
    cairo_line_to(cr, 250, 46);
    for (int k = 16; k >= 0; --k) {
        const double x = 12 + k * 14.9, y = (k % 2) ? 84 : 62;
        cairo_line_to(cr, x, y);
    }
    cairo_close_path(cr);
    setLinear(cr, 0, 8, 0, 84, {{0.0, hex(0xFF5030)}, {1.0, hex(0xA01830)}});
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 3);
    setColour(cr, kInk);
    cairo_stroke(cr);
    fitFont(cr, Face::SansBold, "headache", 220, 40);
    cairo_new_path(cr);
    textPathCentred(cr, "headache", 131, 46);
    cairo_set_line_width(cr, 5);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    setColour(cr, kInk);
    cairo_stroke_preserve(cr);
    setLinear(cr, 0, 26, 0, 66, {{0.0, hex(0xFFFFFF)}, {1.0, hex(0xFFE060)}});
    cairo_fill(cr);
    return c.keyed();
}

// Glowing text on black, fitted to the box.
Rgb glow(int w, int h, const std::string& text, Face face, Colour glowCol, Colour core, double halo) {
    Canvas c(w, h, true);
    cairo_t* cr = c.cr();
    fitFont(cr, face, text, w - 4 * halo, h - 4 * halo);
    drawGlowText(cr, text, w / 2.0, h / 2.0, glowCol, core, halo);
    return c.overBlack();
}

// Vertical glowing text reading top to bottom.
Rgb verticalGlow(int w, int h, const std::string& text, Face face, Colour glowCol, Colour core, double halo) {
    Canvas c(w, h, true);
    cairo_t* cr = c.cr();
    cairo_translate(cr, w / 2.0, h / 2.0);
    cairo_rotate(cr, M_PI / 2);
    fitFont(cr, face, text, h - 4 * halo, w - 4 * halo);
    drawGlowText(cr, text, 0, 0, glowCol, core, halo);
    return c.overBlack();
}

Rgb kLogo() {
    Canvas c(114, 101, true);
    cairo_t* cr = c.cr();
    for (int i = 5; i >= 0; --i) {
        cairo_set_line_width(cr, 2.0 + i * 2.0);
        setColour(cr, hex(0x3080FF), i ? 0.12 : 1.0);
        cairo_arc(cr, 57, 50, 42, 0, 2 * M_PI);
        cairo_stroke(cr);
    }
    fitFont(cr, Face::SansBold, "k", 50, 58);
    drawGlowText(cr, "k", 57, 50, hex(0xFF60C0), hex(0xFFE0F0), 3);
    return c.overBlack();
}

Rgb tremo() {
    Canvas c(294, 158, true);
    cairo_t* cr = c.cr();
    // Waves under the word, the logo's tremolo.
    for (int k = 0; k < 4; ++k) {
        cairo_new_path(cr);
        for (double x = 10; x <= 284; x += 2) cairo_line_to(cr, x, 120 + k * 8 + 6 * std::sin(x * 0.06 + k));
        for (int i = 3; i >= 0; --i) {
            cairo_set_line_width(cr, 1.5 + i * 2.5);
            setColour(cr, k % 2 ? hex(0x40E0FF) : hex(0xC060FF), i ? 0.15 : 0.9);
            cairo_stroke_preserve(cr);
        }
        cairo_new_path(cr);
    }
    fitFont(cr, Face::SerifBoldItalic, "tremo", 260, 90);
    drawGlowText(cr, "tremo", 147, 60, hex(0xFF8020), hex(0xFFF0C0), 4);
    return c.overBlack();
}

// Banners of the closing part, added over the 3D scene.
constexpr const char* kBannerWords[8] = {"plivak", "morvelle", "code", "graphics", "music", "3d engine",
                                         "raytrace", "goodbye"};
constexpr uint32_t kBannerGlow[8] = {0xFF6020, 0x40A0FF, 0x40FF80, 0xFF40C0, 0xFFD020, 0x60FFFF, 0xA060FF,
                                     0xFF4040};

Rgb banner(int k) {
    Canvas c(320, 50, true);
    cairo_t* cr = c.cr();
    const Colour g = hex(kBannerGlow[k]);
    // Thin rails above and below the word.
    for (int i = 3; i >= 0; --i) {
        cairo_set_line_width(cr, 1.0 + i * 2.0);
        setColour(cr, g, i ? 0.15 : 0.8);
        cairo_move_to(cr, 8, 6);
        cairo_line_to(cr, 312, 6);
        cairo_move_to(cr, 8, 44);
        cairo_line_to(cr, 312, 44);
        cairo_stroke(cr);
    }
    fitFont(cr, Face::SansBold, kBannerWords[k], 280, 26);
    drawGlowText(cr, kBannerWords[k], 160, 25, g, hex(0xFFFFFF), 3);
    return c.overBlack();
}

// Columns of binary digits, 20 rows of 10 pixels, so the 400-row strip is
// the 200-row block twice and scrolls seamlessly.
Rgb binary(uint32_t seed, Colour bright, Colour dim) {
    Canvas c(64, 200, true);
    cairo_t* cr = c.cr();
    selectFont(cr, Face::MonoBold, 10);
    uint32_t s = seed;
    for (int row = 0; row < 20; ++row)
        for (int col = 0; col < 6; ++col) {
            s = s * 1664525u + 1013904223u;
            const char digit[2] = {char('0' + ((s >> 16) & 1)), 0};
            const bool lit = ((s >> 20) & 3) == 0;
            cairo_new_path(cr);
            textPathCentred(cr, digit, 6 + col * 10.4, 5 + row * 10);
            setColour(cr, lit ? bright : dim);
            cairo_fill(cr);
        }
    const Rgb block = c.overBlack();
    Rgb out(64, 400);
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 64; ++x) {
            const uint8_t* p = block.at(x, y % 200);
            out.set(x, y, p[0], p[1], p[2]);
        }
    return out;
}

// Names the scroller does not carry; the picture keeps them in a top and a
// bottom band, clear of rows 45..155 where the scroller's bars turn.
constexpr const char* kGreeted[] = {"trundle", "zephrin", "glimsk", "brindle",
                                    "cosmolt", "paddlewick", "oxbowen", "tovrik"};

// The greetings picture: mostly key, so the polar map shows through; a title
// and a name beside it above, two lines of names below, half-blended over
// the map.
Rgb greets2() {
    Canvas c(320, 200, true);
    cairo_t* cr = c.cr();
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    fitFont(cr, Face::SerifBoldItalic, "greetings", 200, 30);
    cairo_new_path(cr);
    textPathCentred(cr, "greetings", 160, 22);
    cairo_set_line_width(cr, 4);
    setColour(cr, kInk);
    cairo_stroke_preserve(cr);
    setLinear(cr, 0, 7, 0, 37, {{0.0, hex(0xFFFFFF)}, {1.0, hex(0xFFC040)}});
    cairo_fill(cr);
    selectFont(cr, Face::SansBold, 13);
    for (int i = 0; i < 8; ++i) {
        const double x = 40 + (i % 4) * 80, baseline = 175 + (i / 4) * 18;
        cairo_text_extents_t e;
        cairo_text_extents(cr, kGreeted[i], &e);
        cairo_new_path(cr);
        cairo_move_to(cr, x - e.x_advance / 2, baseline);
        cairo_text_path(cr, kGreeted[i]);
        cairo_set_line_width(cr, 3);
        setColour(cr, kInk);
        cairo_stroke_preserve(cr);
        setColour(cr, i % 2 ? hex(0xA0E0FF) : hex(0xFFE0A0));
        cairo_fill(cr);
    }
    // Two thin rules that frame the scroller's band.
    for (double y : {44.0, 157.0}) {
        cairo_rectangle(cr, 20, y - 1.5, 280, 3);
        setColour(cr, kInk);
        cairo_fill(cr);
        cairo_rectangle(cr, 21, y - 0.5, 278, 1);
        setColour(cr, hex(0xFFE0A0));
        cairo_fill(cr);
    }
    return c.keyed();
}

// The scroller text, laid out as a 1024x80 image and stored column by column:
// strip k of the file (pixels k*80 .. k*80+79) is column k, top to bottom.
Rgb greetsScroller() {
    Canvas c(1024, 80, false);
    cairo_t* cr = c.cr();
    setLinear(cr, 0, 0, 0, 80,
              {{0.0, hex(0x101840)}, {0.15, hex(0x6070C0)}, {0.5, hex(0x182050)}, {0.85, hex(0x6070C0)}, {1.0, hex(0x101840)}});
    cairo_paint(cr);
    const std::string text = "hi to quelmar * vintrosa * nimbrel * kalloway * fernhaus";
    fitFont(cr, Face::SansBold, text, 1000, 44);
    cairo_new_path(cr);
    textPathCentred(cr, text, 512, 40);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_width(cr, 4);
    setColour(cr, kInk);
    cairo_stroke_preserve(cr);
    setLinear(cr, 0, 18, 0, 62, {{0.0, hex(0xFFFFFF)}, {0.5, hex(0xFFD060)}, {1.0, hex(0xFF8030)}});
    cairo_fill(cr);
    const Rgb layout = c.opaque();
    Rgb out(1024, 80);
    for (int k = 0; k < 1024; ++k)
        for (int j = 0; j < 80; ++j) {
            const uint8_t* p = layout.at(k, j);
            uint8_t* q = &out.bytes[(size_t(k) * 80 + size_t(j)) * 3];
            q[0] = p[0];
            q[1] = p[1];
            q[2] = p[2];
        }
    return out;
}

}  // namespace

void makeCaptions(Pictures& out) {
    for (const CaptionSpec& s : kCaptions)
        out[s.file] = caption(s.width, s.height, s.text, s.face, hex(s.top), hex(s.bottom));
    out["headache.rgb"] = headache();
    out["nrg.rgb"] = nrg();
    out["codepix.rgb"] = twoLines(88, 60, "code", "pix", Face::SansBold, hex(0xFFFFFF), hex(0x40E0C0), 0.45);
    out["3deng.rgb"] = twoLines(99, 44, "3d", "engine", Face::SansBoldOblique, hex(0xFFFFFF), hex(0xFF60A0), 0.5);
    out["k.rgb"] = kLogo();
    out["desint.rgb"] = verticalGlow(49, 370, "desintegrate", Face::SansBold, hex(0x40FF90), hex(0xE0FFF0), 3);
    out["meta.rgb"] = glow(194, 70, "meta", Face::SerifBoldItalic, hex(0x4090FF), hex(0xE8F4FF), 3);
    out["tremo.rgb"] = tremo();
    out["xfrmd.rgb"] = verticalGlow(50, 180, "xfrmd", Face::MonoBold, hex(0xFF6020), hex(0xFFE8C0), 3);
    out["xfrmd2.rgb"] = verticalGlow(50, 180, "xfrmd", Face::MonoBold, hex(0x20A0FF), hex(0xC0F0FF), 3);
    for (int k = 0; k < 8; ++k) {
        char name[20];
        std::snprintf(name, sizeof name, "banner2%d.rgb", k + 1);
        out[name] = banner(k);
    }
    out["binary1.rgb"] = binary(101, hex(0x80FF90), hex(0x206030));
    out["binary2.rgb"] = binary(202, hex(0xFFB060), hex(0x703010));
    out["greets2.rgb"] = greets2();
    out["greets.rgb"] = greetsScroller();
}

}  // namespace pic
