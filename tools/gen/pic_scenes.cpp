// The full-screen pictures, the 320x102 banner and the raytracer's frame.
// One style throughout: deep night-blue grounds, luminous line art, warm
// accents and DejaVu type.
#include <cmath>
#include <cstdio>

#include "gen/pic_makers.h"

namespace pic {

namespace {

constexpr Colour kNight = hex(0x0B1030);
constexpr Colour kDusk = hex(0x3A1F5C);
constexpr Colour kGold = hex(0xFFD27A);
constexpr Colour kAmber = hex(0xE08A2E);
constexpr Colour kIce = hex(0xCFE8FF);
constexpr Colour kWhite = hex(0xFFFFFF);

// Deterministic small generator for scattering stars and lights.
struct Lcg {
    uint32_t s;
    explicit Lcg(uint32_t seed) : s(seed) {}
    double next() {
        s = s * 1664525u + 1013904223u;
        return double(s >> 8) / double(1u << 24);
    }
};

void skyGradient(cairo_t* cr, double h, Colour top, Colour mid, Colour bottom) {
    setLinear(cr, 0, 0, 0, h, {{0.0, top}, {0.6, mid}, {1.0, bottom}});
    cairo_paint(cr);
}

void stars(cairo_t* cr, int count, double w, double h, uint32_t seed) {
    Lcg r(seed);
    for (int i = 0; i < count; ++i) {
        const double x = r.next() * w, y = r.next() * h, s = 0.4 + r.next() * 0.9;
        setColour(cr, kWhite, 0.4 + 0.6 * r.next());
        cairo_arc(cr, x, y, s, 0, 2 * M_PI);
        cairo_fill(cr);
    }
}

void gridLines(cairo_t* cr, double w, double h, double step, Colour c, double alpha) {
    cairo_set_line_width(cr, 1.0);
    setColour(cr, c, alpha);
    for (double x = 0.5; x < w; x += step) {
        cairo_move_to(cr, x, 0);
        cairo_line_to(cr, x, h);
    }
    for (double y = 0.5; y < h; y += step) {
        cairo_move_to(cr, 0, y);
        cairo_line_to(cr, w, y);
    }
    cairo_stroke(cr);
}

void label(cairo_t* cr, const std::string& text, Face face, double size, double cx, double cy, Colour c,
           double alpha = 1.0) {
    selectFont(cr, face, size);
    cairo_new_path(cr);
    textPathCentred(cr, text, cx, cy);
    setColour(cr, c, alpha);
    cairo_fill(cr);
}

// A line of formula text centred on cx with its baseline at y: segments
// marked raised are set smaller above the baseline as exponents.
struct Segment {
    const char* text;
    bool raised;
};
void formulaLine(cairo_t* cr, std::initializer_list<Segment> segs, Face face, double size, double cx, double y,
                 Colour c) {
    double width = 0;
    for (const Segment& s : segs) {
        selectFont(cr, face, s.raised ? size * 0.6 : size);
        cairo_text_extents_t e;
        cairo_text_extents(cr, s.text, &e);
        width += e.x_advance;
    }
    double x = cx - width / 2;
    cairo_new_path(cr);
    for (const Segment& s : segs) {
        selectFont(cr, face, s.raised ? size * 0.6 : size);
        cairo_move_to(cr, x, s.raised ? y - size * 0.42 : y);
        cairo_text_path(cr, s.text);
        cairo_text_extents_t e;
        cairo_text_extents(cr, s.text, &e);
        x += e.x_advance;
    }
    setColour(cr, c);
    cairo_fill(cr);
}

// Title card: rings round a golden name.
Rgb openptc() {
    Canvas c(320, 200, false);
    cairo_t* cr = c.cr();
    setRadial(cr, 160, 100, 0, 220, {{0.0, kDusk}, {0.7, kNight}, {1.0, hex(0x02030A)}});
    cairo_paint(cr);
    stars(cr, 90, 320, 200, 3);
    for (int i = 0; i < 9; ++i) {
        cairo_set_line_width(cr, 1.0 + (i % 3));
        setColour(cr, i % 2 ? kAmber : kIce, 0.18 + 0.05 * i);
        cairo_arc(cr, 160, 96, 30.0 + i * 14.0, 0, 2 * M_PI);
        cairo_stroke(cr);
    }
    fitFont(cr, Face::SerifBoldItalic, "morvelle", 250, 70);
    cairo_new_path(cr);
    textPathCentred(cr, "morvelle", 160, 92);
    cairo_set_line_width(cr, 5);
    setColour(cr, hex(0x140820));
    cairo_stroke_preserve(cr);
    setLinear(cr, 0, 60, 0, 125, {{0.0, hex(0xFFF3C4)}, {0.5, kGold}, {0.51, kAmber}, {1.0, hex(0xFFE0A0)}});
    cairo_fill(cr);
    label(cr, "a plivak effect", Face::Sans, 14, 160, 150, kIce);
    return c.opaque();
}

// Dusk over mountains and a still lake.
Rgb linuxIn() {
    Canvas c(320, 200, false);
    cairo_t* cr = c.cr();
    skyGradient(cr, 130, hex(0x1A1446), hex(0xC8507A), hex(0xFFB45A));
    stars(cr, 40, 320, 60, 5);
    // Sun with cut bands.
    setRadial(cr, 160, 118, 0, 46, {{0.0, hex(0xFFF6B0)}, {1.0, hex(0xFF8A3C)}});
    cairo_arc(cr, 160, 118, 44, 0, 2 * M_PI);
    cairo_fill(cr);
    setColour(cr, hex(0xE0607A));
    for (int i = 0; i < 5; ++i) cairo_rectangle(cr, 110, 100 + i * 6, 100, 1.0 + i * 0.6);
    cairo_fill(cr);
    // Three ranges of mountains, far to near.
    const Colour ranges[3] = {hex(0x6A3A7A), hex(0x3C2258), hex(0x1A1034)};
    for (int k = 0; k < 3; ++k) {
        Lcg r(11 + uint32_t(k));
        const double base = 112 + k * 9;
        cairo_move_to(cr, 0, 130);
        for (double x = 0; x <= 320; x += 20) cairo_line_to(cr, x, base - r.next() * (40 - k * 8));
        cairo_line_to(cr, 320, 130);
        cairo_close_path(cr);
        setColour(cr, ranges[k]);
        cairo_fill(cr);
    }
    // Lake with the sun's reflection as broken strokes.
    setLinear(cr, 0, 130, 0, 200, {{0.0, hex(0x2A1A50)}, {1.0, hex(0x080820)}});
    cairo_rectangle(cr, 0, 130, 320, 70);
    cairo_fill(cr);
    Lcg r(17);
    for (int i = 0; i < 26; ++i) {
        const double y = 133 + i * 2.6, half = (44 - i * 1.5) * (0.6 + 0.4 * r.next());
        setColour(cr, hex(0xFFB060), 0.8 - i * 0.025);
        cairo_rectangle(cr, 160 - half + (r.next() - 0.5) * 8, y, 2 * half, 1.2);
        cairo_fill(cr);
    }
    return c.opaque();
}

// The banner between the two bars: chrome name over a lit grid.
Rgb plivak2() {
    Canvas c(320, 102, false);
    cairo_t* cr = c.cr();
    setLinear(cr, 0, 0, 0, 102, {{0.0, hex(0x101848)}, {0.5, hex(0x2A3A8A)}, {1.0, hex(0x101848)}});
    cairo_paint(cr);
    gridLines(cr, 320, 102, 16, kIce, 0.15);
    fitFont(cr, Face::SansBold, "PLIVAK", 280, 64);
    cairo_new_path(cr);
    textPathCentred(cr, "PLIVAK", 160, 51);
    cairo_set_line_width(cr, 6);
    setColour(cr, hex(0x05081C));
    cairo_stroke_preserve(cr);
    setLinear(cr, 0, 19, 0, 83,
              {{0.0, hex(0xFFFFFF)}, {0.45, hex(0x9AB0D8)}, {0.5, hex(0x2C3E70)}, {0.75, hex(0x8FB0E8)}, {1.0, hex(0xE8F0FF)}});
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1.2);
    setColour(cr, kWhite, 0.8);
    cairo_stroke(cr);
    return c.opaque();
}

// Nested squares turning into the centre, hue walking round.
Rgb square() {
    Canvas c(320, 200, false);
    cairo_t* cr = c.cr();
    fillAll(cr, hex(0x060818));
    for (int i = 0; i < 28; ++i) {
        const double s = 230.0 * std::pow(0.9, i);
        const double a = i * 0.12;
        const double hue = i / 28.0;
        const Colour col{0.5 + 0.5 * std::cos(6.283 * hue), 0.5 + 0.5 * std::cos(6.283 * (hue + 0.33)),
                         0.5 + 0.5 * std::cos(6.283 * (hue + 0.67))};
        cairo_save(cr);
        cairo_translate(cr, 160, 100);
        cairo_rotate(cr, a);
        cairo_rectangle(cr, -s / 2, -s / 2, s, s);
        cairo_restore(cr);
        setColour(cr, col, 0.22);
        cairo_fill_preserve(cr);
        cairo_set_line_width(cr, 1.5);
        setColour(cr, col, 0.95);
        cairo_stroke(cr);
    }
    return c.opaque();
}

}  // namespace

// One frame of the pyramid loop: twelve beams turning round the apex, 5
// degrees per frame, so six frames make a seamless cycle of the 30 degree
// symmetry; the stars twinkle in the same six-frame cycle.
void pyramidScene(cairo_t* cr, int frame, bool day) {
    if (day) {
        skyGradient(cr, 150, hex(0x2E7FD8), hex(0x8CC8F0), hex(0xFFE6B0));
    } else {
        skyGradient(cr, 150, hex(0x050620), hex(0x241848), hex(0x6A2A50));
        Lcg r(23);
        for (int i = 0; i < 80; ++i) {
            const double x = r.next() * 320, y = r.next() * 120, ph = r.next() * 6;
            const double tw = 0.5 + 0.5 * std::cos((frame + ph) * 2 * M_PI / 6);
            setColour(cr, kWhite, 0.2 + 0.8 * tw);
            cairo_arc(cr, x, y, 0.6 + 0.6 * tw, 0, 2 * M_PI);
            cairo_fill(cr);
        }
    }
    const double ax = 160, ay = 48;
    // Beams behind the pyramid.
    for (int i = 0; i < 12; ++i) {
        const double a = (i * 30.0 + frame * 5.0) * M_PI / 180.0;
        cairo_move_to(cr, ax, ay);
        cairo_line_to(cr, ax + 400 * std::cos(a - 0.05), ay + 400 * std::sin(a - 0.05));
        cairo_line_to(cr, ax + 400 * std::cos(a + 0.05), ay + 400 * std::sin(a + 0.05));
        cairo_close_path(cr);
        setColour(cr, day ? kWhite : kGold, day ? 0.25 : 0.18);
        cairo_fill(cr);
    }
    setRadial(cr, ax, ay, 0, 40, {{0.0, day ? kWhite : hex(0xFFF0C0)}, {1.0, day ? hex(0xFFE080) : kAmber}}, 1.0);
    cairo_arc(cr, ax, ay, 6, 0, 2 * M_PI);
    cairo_fill(cr);
    // Dunes.
    setLinear(cr, 0, 140, 0, 200, {{0.0, day ? hex(0xE8B060) : hex(0x3A2030)}, {1.0, day ? hex(0xA86A30) : hex(0x140A18)}});
    cairo_move_to(cr, 0, 150);
    cairo_curve_to(cr, 80, 135, 200, 160, 320, 142);
    cairo_line_to(cr, 320, 200);
    cairo_line_to(cr, 0, 200);
    cairo_close_path(cr);
    cairo_fill(cr);
    // Two faces of the pyramid, lit from the apex's left.
    const Colour lit = day ? hex(0xF0C878) : hex(0x8A5A60);
    const Colour dark = day ? hex(0xA87838) : hex(0x3A2440);
    cairo_move_to(cr, ax, ay);
    cairo_line_to(cr, 60, 160);
    cairo_line_to(cr, 185, 168);
    cairo_close_path(cr);
    setColour(cr, lit);
    cairo_fill(cr);
    cairo_move_to(cr, ax, ay);
    cairo_line_to(cr, 185, 168);
    cairo_line_to(cr, 270, 152);
    cairo_close_path(cr);
    setColour(cr, dark);
    cairo_fill(cr);
    // Courses of stone.
    cairo_set_line_width(cr, 0.8);
    setColour(cr, day ? hex(0x7A5020) : hex(0x1A0E20), 0.6);
    for (int i = 1; i < 10; ++i) {
        const double t = i / 10.0;
        cairo_move_to(cr, ax + (60 - ax) * t, ay + (160 - ay) * t);
        cairo_line_to(cr, ax + (185 - ax) * t, ay + (168 - ay) * t);
        cairo_line_to(cr, ax + (270 - ax) * t, ay + (152 - ay) * t);
    }
    cairo_stroke(cr);
    // Apex glow over everything.
    cairo_pattern_t* glow = cairo_pattern_create_radial(ax, ay, 0, ax, ay, 34);
    cairo_pattern_add_color_stop_rgba(glow, 0.0, 1, 1, 0.9, day ? 0.9 : 0.8);
    cairo_pattern_add_color_stop_rgba(glow, 1.0, 1, 0.8, 0.4, 0.0);
    cairo_set_source(cr, glow);
    cairo_paint(cr);
    cairo_pattern_destroy(glow);
}

namespace {

Rgb pyramid(int frame, bool day) {
    Canvas c(320, 200, false);
    pyramidScene(c.cr(), frame, day);
    return c.opaque();
}

// Chalk-line style on a slate blueprint ground.
void slate(cairo_t* cr) {
    setLinear(cr, 0, 0, 320, 200, {{0.0, hex(0x0E2A3A)}, {1.0, hex(0x081420)}});
    cairo_paint(cr);
    gridLines(cr, 320, 200, 20, kIce, 0.07);
}

void hexRing(cairo_t* cr, double cx, double cy, double r, double rot) {
    for (int i = 0; i <= 6; ++i) {
        const double a = rot + i * M_PI / 3;
        if (i == 0)
            cairo_move_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
        else
            cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
    }
}

// A structural formula: two fused rings with side groups and its sum formula.
Rgb formula() {
    Canvas c(320, 200, false);
    cairo_t* cr = c.cr();
    slate(cr);
    const double r = 28;
    const double cx1 = 175, cy = 110, cx2 = cx1 + r * std::sqrt(3.0);
    cairo_set_line_width(cr, 2.2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    setColour(cr, kIce);
    hexRing(cr, cx1, cy, r, M_PI / 6);
    hexRing(cr, cx2, cy, r, M_PI / 6);
    cairo_stroke(cr);
    // Inner double bonds.
    cairo_set_line_width(cr, 1.6);
    for (int i = 0; i < 6; i += 2) {
        const double a0 = M_PI / 6 + i * M_PI / 3, a1 = a0 + M_PI / 3;
        const double k = 0.78;
        cairo_move_to(cr, cx1 + k * r * std::cos(a0), cy + k * r * std::sin(a0));
        cairo_line_to(cr, cx1 + k * r * std::cos(a1), cy + k * r * std::sin(a1));
    }
    cairo_stroke(cr);
    // Side groups.
    struct Group {
        double x0, y0, x1, y1;
        const char* text;
    };
    const Group groups[] = {
        {cx1 - r * 0.866, cy - r * 0.5, cx1 - r * 1.9, cy - r * 1.1, "HO"},
        {cx1 - r * 0.866, cy + r * 0.5, cx1 - r * 1.9, cy + r * 1.1, "H\u2083C"},
        {cx2 + r * 0.866, cy - r * 0.5, cx2 + r * 1.8, cy - r * 1.1, "N"},
        {cx2, cy + r, cx2, cy + r * 1.9, "O"},
        {cx1, cy - r, cx1, cy - r * 1.9, "NH\u2082"},
    };
    cairo_set_line_width(cr, 2.0);
    for (const Group& g : groups) {
        setColour(cr, kIce);
        cairo_move_to(cr, g.x0, g.y0);
        cairo_line_to(cr, g.x1 + (g.x0 - g.x1) * 0.35, g.y1 + (g.y0 - g.y1) * 0.35);
        cairo_stroke(cr);
        label(cr, g.text, Face::SansBold, 13, g.x1, g.y1, kGold);
    }
    label(cr, "C\u2081\u2081H\u2081\u2083NO\u2083", Face::Serif, 16, 240, 182, kAmber);
    label(cr, "m = 207.2 u", Face::Mono, 10, 60, 185, kIce, 0.7);
    return c.opaque();
}

// A bell curve and its integral; the right half is kept calm for the curve
// that spins there.
Rgb formula2() {
    Canvas c(320, 200, false);
    cairo_t* cr = c.cr();
    slate(cr);
    // Axes and curve on the left.
    cairo_set_line_width(cr, 1.2);
    setColour(cr, kIce, 0.6);
    cairo_move_to(cr, 14, 70);
    cairo_line_to(cr, 190, 70);
    cairo_move_to(cr, 102, 10);
    cairo_line_to(cr, 102, 74);
    cairo_stroke(cr);
    cairo_move_to(cr, 14, 70);
    for (double x = 14; x <= 190; x += 2) {
        const double u = (x - 102) / 28;
        cairo_line_to(cr, x, 70 - 52 * std::exp(-u * u));
    }
    cairo_line_to(cr, 190, 70);
    cairo_close_path(cr);
    setColour(cr, kAmber, 0.3);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 2.0);
    setColour(cr, kGold);
    cairo_stroke(cr);
    label(cr, "\u222B", Face::Serif, 40, 32, 146, kWhite);
    label(cr, "+\u221E", Face::Serif, 9, 44, 118, kIce, 0.8);
    label(cr, "\u2212\u221E", Face::Serif, 9, 30, 176, kIce, 0.8);
    formulaLine(cr, {{"e", false}, {"\u2212x\u00B2", true}, {" dx = \u221A\u03C0", false}}, Face::Serif, 24, 118, 158,
                kWhite);
    // Faint circle of the right half where the wire curve turns.
    cairo_set_line_width(cr, 1.0);
    setColour(cr, kIce, 0.15);
    cairo_arc(cr, 265, 100, 48, 0, 2 * M_PI);
    cairo_stroke(cr);
    label(cr, "\u03C3", Face::SerifBoldItalic, 30, 265, 100, kIce, 0.25);
    return c.opaque();
}

// The unit circle and the identity that closes it.
Rgb formula3() {
    Canvas c(320, 200, false);
    cairo_t* cr = c.cr();
    slate(cr);
    const double cx = 220, cy = 95, r = 60;
    cairo_set_line_width(cr, 1.0);
    setColour(cr, kIce, 0.5);
    cairo_move_to(cr, cx - 80, cy);
    cairo_line_to(cr, cx + 80, cy);
    cairo_move_to(cr, cx, cy - 80);
    cairo_line_to(cr, cx, cy + 80);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 2.2);
    setColour(cr, kGold);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_stroke(cr);
    const double a = -0.9;
    setColour(cr, kAmber);
    cairo_move_to(cr, cx, cy);
    cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
    cairo_stroke(cr);
    cairo_set_line_width(cr, 1.2);
    setColour(cr, kIce, 0.7);
    cairo_arc(cr, cx, cy, 16, a, 0);
    cairo_stroke(cr);
    label(cr, "\u03C6", Face::SerifBoldItalic, 12, cx + 24, cy - 7, kIce);
    formulaLine(cr, {{"e", false}, {"i\u03C0", true}, {" + 1 = 0", false}}, Face::Serif, 26, 80, 70, kWhite);
    formulaLine(cr, {{"e", false}, {"i\u03C6", true}, {" = cos \u03C6 + i sin \u03C6", false}}, Face::Serif, 13, 80, 104,
                kIce);
    return c.opaque();
}

// A small recording studio: wall panels, the booth window with a microphone,
// monitors and the mixing desk.
Rgb studio() {
    Canvas c(320, 200, false);
    cairo_t* cr = c.cr();
    setLinear(cr, 0, 0, 0, 200, {{0.0, hex(0x1A1230)}, {1.0, hex(0x2A1E3E)}});
    cairo_paint(cr);
    // Acoustic panels.
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 10; ++i) {
            const double x = 4 + i * 32, y = 6 + j * 30;
            roundedRect(cr, x, y, 28, 26, 3);
            setColour(cr, ((i + j) & 1) ? hex(0x3A2A5A) : hex(0x2E2248));
            cairo_fill(cr);
            for (int k = 0; k < 4; ++k) {
                cairo_rectangle(cr, x + 3, y + 4 + k * 5, 22, 2);
            }
            setColour(cr, hex(0x1A1230), 0.6);
            cairo_fill(cr);
        }
    // Booth window.
    roundedRect(cr, 96, 14, 128, 70, 6);
    setColour(cr, hex(0x0A0A14));
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 4);
    setColour(cr, hex(0x5A5A70));
    cairo_stroke(cr);
    setRadial(cr, 160, 50, 0, 60, {{0.0, hex(0x4A3A20)}, {1.0, hex(0x0A0A14)}});
    roundedRect(cr, 98, 16, 124, 66, 5);
    cairo_fill(cr);
    // Microphone on its stand.
    setColour(cr, hex(0x9090A0));
    cairo_set_line_width(cr, 2);
    cairo_move_to(cr, 160, 50);
    cairo_line_to(cr, 160, 80);
    cairo_stroke(cr);
    roundedRect(cr, 153, 28, 14, 24, 7);
    setLinear(cr, 153, 0, 167, 0, {{0.0, hex(0x606070)}, {0.5, hex(0xE0E0F0)}, {1.0, hex(0x505060)}});
    cairo_fill(cr);
    setColour(cr, hex(0xFF3030));
    cairo_arc(cr, 214, 24, 3, 0, 2 * M_PI);
    cairo_fill(cr);
    label(cr, "ON AIR", Face::SansBold, 7, 194, 24, hex(0xFF6060));
    // Monitors.
    for (int s = 0; s < 2; ++s) {
        const double x = s ? 250 : 30;
        roundedRect(cr, x, 60, 40, 58, 4);
        setColour(cr, hex(0x181820));
        cairo_fill(cr);
        setRadial(cr, x + 20, 98, 0, 14, {{0.0, hex(0x505060)}, {0.8, hex(0x202028)}, {1.0, hex(0x606070)}});
        cairo_arc(cr, x + 20, 98, 14, 0, 2 * M_PI);
        cairo_fill(cr);
        setColour(cr, hex(0x707080));
        cairo_arc(cr, x + 20, 72, 6, 0, 2 * M_PI);
        cairo_fill(cr);
    }
    // Desk in perspective.
    cairo_move_to(cr, 0, 200);
    cairo_line_to(cr, 20, 122);
    cairo_line_to(cr, 300, 122);
    cairo_line_to(cr, 320, 200);
    cairo_close_path(cr);
    setLinear(cr, 0, 122, 0, 200, {{0.0, hex(0x3A3A48)}, {1.0, hex(0x15151C)}});
    cairo_fill(cr);
    // Channel strips: knobs and faders.
    for (int i = 0; i < 16; ++i) {
        const double t = (i + 0.5) / 16.0;
        const double xt = 26 + t * 268, xb = 6 + t * 308;
        for (int k = 0; k < 3; ++k) {
            const double y = 130 + k * 9;
            const double x = xt + (xb - xt) * (y - 122) / 78;
            setColour(cr, k == 0 ? kAmber : (k == 1 ? hex(0x60A0E0) : hex(0xC0C0C8)));
            cairo_arc(cr, x, y, 2.6, 0, 2 * M_PI);
            cairo_fill(cr);
        }
        const double x = xt + (xb - xt) * 0.6;
        setColour(cr, hex(0x0A0A10));
        cairo_rectangle(cr, x - 1, 162, 2, 30);
        cairo_fill(cr);
        const double fy = 166 + std::fmod(i * 7.3, 22.0);
        setColour(cr, hex(0xE0E0E8));
        cairo_rectangle(cr, x - 4, fy, 8, 4);
        cairo_fill(cr);
    }
    return c.opaque();
}

// A machine room: a row of cabinets with tape reels and lamp panels over a
// tiled floor in perspective, and an operator's console.
Rgb ibm360() {
    Canvas c(320, 200, false);
    cairo_t* cr = c.cr();
    setLinear(cr, 0, 0, 0, 120, {{0.0, hex(0x101828)}, {1.0, hex(0x28304A)}});
    cairo_paint(cr);
    // Floor tiles.
    setLinear(cr, 0, 120, 0, 200, {{0.0, hex(0x3A4258)}, {1.0, hex(0x5A6480)}});
    cairo_rectangle(cr, 0, 120, 320, 80);
    cairo_fill(cr);
    cairo_set_line_width(cr, 1);
    setColour(cr, hex(0x1A2030), 0.8);
    for (int i = -12; i <= 12; ++i) {
        cairo_move_to(cr, 160 + i * 14, 120);
        cairo_line_to(cr, 160 + i * 60, 200);
    }
    for (double y = 120, d = 4; y < 200; y += d, d *= 1.35) {
        cairo_move_to(cr, 0, y);
        cairo_line_to(cr, 320, y);
    }
    cairo_stroke(cr);
    // Cabinets.
    Lcg r(41);
    for (int i = 0; i < 7; ++i) {
        const double x = 6 + i * 44;
        setLinear(cr, x, 0, x + 40, 0, {{0.0, hex(0x8A9AB0)}, {0.5, hex(0xC8D4E4)}, {1.0, hex(0x6A7A90)}});
        cairo_rectangle(cr, x, 24, 40, 98);
        cairo_fill(cr);
        setColour(cr, hex(0x2A3A5A));
        cairo_rectangle(cr, x, 24, 40, 8);
        cairo_fill(cr);
        if (i % 2 == 0) {
            // Tape unit: two reels behind glass.
            setColour(cr, hex(0x1A2030));
            cairo_rectangle(cr, x + 4, 38, 32, 56);
            cairo_fill(cr);
            for (int k = 0; k < 2; ++k) {
                const double cy = 52 + k * 28;
                setColour(cr, hex(0x707888));
                cairo_arc(cr, x + 20, cy, 11, 0, 2 * M_PI);
                cairo_fill(cr);
                setColour(cr, hex(0x3A2A20));
                cairo_arc(cr, x + 20, cy, 8, 0, 2 * M_PI);
                cairo_fill(cr);
                setColour(cr, hex(0xC0C8D0));
                cairo_arc(cr, x + 20, cy, 2.5, 0, 2 * M_PI);
                cairo_fill(cr);
            }
        } else {
            // Lamp panel.
            setColour(cr, hex(0x202838));
            cairo_rectangle(cr, x + 4, 38, 32, 40);
            cairo_fill(cr);
            for (int row = 0; row < 8; ++row)
                for (int col = 0; col < 6; ++col) {
                    const bool on = r.next() > 0.55;
                    setColour(cr, on ? (r.next() > 0.5 ? hex(0xFFC040) : hex(0xFF5030)) : hex(0x403020));
                    cairo_arc(cr, x + 8 + col * 4.8, 42 + row * 4.6, 1.4, 0, 2 * M_PI);
                    cairo_fill(cr);
                }
            for (int k = 0; k < 6; ++k) {
                setColour(cr, hex(0x303848));
                cairo_rectangle(cr, x + 6 + k * 5, 84, 3, 8);
                cairo_fill(cr);
            }
        }
    }
    // Console desk in front.
    cairo_move_to(cr, 90, 200);
    cairo_line_to(cr, 104, 150);
    cairo_line_to(cr, 216, 150);
    cairo_line_to(cr, 230, 200);
    cairo_close_path(cr);
    setLinear(cr, 0, 150, 0, 200, {{0.0, hex(0xB8C4D4)}, {1.0, hex(0x606C80)}});
    cairo_fill(cr);
    for (int k = 0; k < 10; ++k) {
        setColour(cr, k % 3 ? hex(0x2A3A5A) : hex(0xE04030));
        cairo_rectangle(cr, 112 + k * 10, 158, 6, 4);
        cairo_fill(cr);
    }
    roundedRect(cr, 138, 168, 44, 22, 3);
    setColour(cr, hex(0x0A2A10));
    cairo_fill(cr);
    label(cr, "READY_", Face::MonoBold, 8, 160, 179, hex(0x60FF80));
    return c.opaque();
}

// Frame around the raytraced view: two metal bands with a lens streak; the
// middle rows are covered by the view.
Rgb rayflare() {
    Canvas c(320, 200, false);
    cairo_t* cr = c.cr();
    fillAll(cr, hex(0x05060C));
    for (int band = 0; band < 2; ++band) {
        const double y0 = band ? 170 : 0;
        setLinear(cr, 0, y0, 0, y0 + 30,
                  {{0.0, hex(0x1A2440)}, {band ? 0.1 : 0.9, hex(0x6A80B0)}, {1.0, hex(0x0A1020)}});
        cairo_rectangle(cr, 0, y0, 320, 30);
        cairo_fill(cr);
        const double edge = band ? y0 + 1.5 : y0 + 28.5;
        cairo_set_line_width(cr, 1.0);
        setColour(cr, kIce, 0.9);
        cairo_move_to(cr, 0, edge);
        cairo_line_to(cr, 320, edge);
        cairo_stroke(cr);
        // Flare: a bright streak and rings along it.
        const double fx = band ? 250 : 70, fy = band ? y0 + 12 : y0 + 16;
        cairo_pattern_t* streak = cairo_pattern_create_linear(0, 0, 320, 0);
        cairo_pattern_add_color_stop_rgba(streak, 0.0, 0.6, 0.8, 1, 0);
        cairo_pattern_add_color_stop_rgba(streak, fx / 320, 1, 1, 1, 0.9);
        cairo_pattern_add_color_stop_rgba(streak, 1.0, 0.6, 0.8, 1, 0);
        cairo_set_source(cr, streak);
        cairo_rectangle(cr, 0, fy - 1, 320, 2);
        cairo_fill(cr);
        cairo_pattern_destroy(streak);
        setRadial(cr, fx, fy, 0, 14, {{0.0, kWhite}, {1.0, hex(0x80A0FF)}}, 0.9);
        cairo_arc(cr, fx, fy, 5, 0, 2 * M_PI);
        cairo_fill(cr);
        for (int k = 1; k <= 3; ++k) {
            cairo_set_line_width(cr, 1.0);
            setColour(cr, k == 2 ? kAmber : kIce, 0.35);
            cairo_arc(cr, fx + (band ? -k * 28.0 : k * 28.0), fy, 3.0 + k * 2.0, 0, 2 * M_PI);
            cairo_stroke(cr);
        }
        label(cr, band ? "live rays  81 x 36" : "plivak raytrace", Face::SansBold, 10, band ? 80 : 236,
              y0 + 15, kWhite, 0.85);
    }
    return c.opaque();
}

// A ringed planet with two moons over stars.
Rgb dovo() {
    Canvas c(320, 200, false);
    cairo_t* cr = c.cr();
    setRadial(cr, 220, 60, 0, 300, {{0.0, hex(0x281848)}, {1.0, hex(0x04040E)}});
    cairo_paint(cr);
    stars(cr, 140, 320, 200, 7);
    const double px = 170, py = 105, pr = 55;
    cairo_save(cr);
    cairo_translate(cr, px, py);
    cairo_rotate(cr, -0.3);
    cairo_scale(cr, 1.0, 0.28);
    // Back half of the rings.
    for (int k = 0; k < 5; ++k) {
        cairo_set_line_width(cr, 5.0 / 0.28 * 0.3);
        setColour(cr, k % 2 ? hex(0xC8A070) : hex(0xF0D8A8), 0.7);
        cairo_arc(cr, 0, 0, pr * 1.35 + k * 7, M_PI, 2 * M_PI);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
    setRadial(cr, px - 20, py - 20, 4, pr * 1.3,
              {{0.0, hex(0xFFE8C0)}, {0.4, hex(0xE08A50)}, {0.8, hex(0x7A2A40)}, {1.0, hex(0x200818)}});
    cairo_arc(cr, px, py, pr, 0, 2 * M_PI);
    cairo_fill(cr);
    // Cloud bands across the planet.
    cairo_save(cr);
    cairo_arc(cr, px, py, pr, 0, 2 * M_PI);
    cairo_clip(cr);
    for (int k = -3; k <= 3; ++k) {
        setColour(cr, hex(0x7A2A20), 0.22);
        cairo_rectangle(cr, px - pr, py + k * 14 - 3, 2 * pr, 5);
        cairo_fill(cr);
    }
    cairo_restore(cr);
    cairo_save(cr);
    cairo_translate(cr, px, py);
    cairo_rotate(cr, -0.3);
    cairo_scale(cr, 1.0, 0.28);
    for (int k = 0; k < 5; ++k) {
        cairo_set_line_width(cr, 5.0 / 0.28 * 0.3);
        setColour(cr, k % 2 ? hex(0xC8A070) : hex(0xF0D8A8), 0.85);
        cairo_arc(cr, 0, 0, pr * 1.35 + k * 7, 0, M_PI);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
    const double moons[2][3] = {{50, 40, 12}, {290, 160, 7}};
    for (const auto& m : moons) {
        setRadial(cr, m[0] - m[2] * 0.4, m[1] - m[2] * 0.4, 0, m[2] * 1.4,
                  {{0.0, hex(0xE8F0FF)}, {0.7, hex(0x6A7AA0)}, {1.0, hex(0x101828)}});
        cairo_arc(cr, m[0], m[1], m[2], 0, 2 * M_PI);
        cairo_fill(cr);
    }
    return c.opaque();
}

// A night city over the water, windows lit, moon high.
Rgb optimal() {
    Canvas c(320, 200, false);
    cairo_t* cr = c.cr();
    skyGradient(cr, 140, hex(0x060A24), hex(0x1E2A60), hex(0x6A4A80));
    stars(cr, 50, 320, 80, 9);
    setRadial(cr, 250, 40, 0, 40, {{0.0, hex(0xFFFFF0)}, {0.3, hex(0xE8E8D0)}, {1.0, hex(0x1E2A60)}}, 0.9);
    cairo_arc(cr, 250, 40, 40, 0, 2 * M_PI);
    cairo_fill(cr);
    setColour(cr, hex(0xF8F8E8));
    cairo_arc(cr, 250, 40, 12, 0, 2 * M_PI);
    cairo_fill(cr);
    Lcg r(51);
    double x = 0;
    while (x < 320) {
        const double w = 14 + r.next() * 22, h = 30 + r.next() * 80;
        const double top = 140 - h;
        setColour(cr, r.next() > 0.5 ? hex(0x10142A) : hex(0x181C38));
        cairo_rectangle(cr, x, top, w, h);
        cairo_fill(cr);
        for (double wy = top + 4; wy < 136; wy += 6)
            for (double wx = x + 3; wx < x + w - 3; wx += 5)
                if (r.next() > 0.6) {
                    setColour(cr, r.next() > 0.3 ? hex(0xFFD070) : hex(0x90D0FF), 0.9);
                    cairo_rectangle(cr, wx, wy, 2, 3);
                    cairo_fill(cr);
                }
        x += w + 1;
    }
    // Water with stretched reflections.
    setLinear(cr, 0, 140, 0, 200, {{0.0, hex(0x141A40)}, {1.0, hex(0x04060E)}});
    cairo_rectangle(cr, 0, 140, 320, 60);
    cairo_fill(cr);
    for (int i = 0; i < 90; ++i) {
        const double wx = r.next() * 320, wy = 142 + r.next() * 56;
        setColour(cr, r.next() > 0.3 ? hex(0xFFD070) : hex(0x90D0FF), 0.35 * (1 - (wy - 140) / 70));
        cairo_rectangle(cr, wx, wy, 3 + r.next() * 8, 1);
        cairo_fill(cr);
    }
    setColour(cr, hex(0xF8F8E8), 0.5);
    for (int i = 0; i < 10; ++i) {
        cairo_rectangle(cr, 240 + (r.next() - 0.5) * 10, 145 + i * 5, 20 - i, 1.2);
        cairo_fill(cr);
    }
    return c.opaque();
}

// Four coloured quadrants joined by interlocking rings.
Rgb unity() {
    Canvas c(320, 200, false);
    cairo_t* cr = c.cr();
    const Colour quads[4] = {hex(0x5A1A4A), hex(0x1A3A6A), hex(0x1A5A4A), hex(0x6A4A1A)};
    for (int q = 0; q < 4; ++q) {
        const double x = (q & 1) * 160, y = (q >> 1) * 100;
        setRadial(cr, 160, 100, 0, 190, {{0.0, quads[q]}, {1.0, hex(0x05050A)}});
        cairo_rectangle(cr, x, y, 160, 100);
        cairo_fill(cr);
    }
    const Colour ringCol[4] = {hex(0xFF80C0), hex(0x80B0FF), hex(0x80FFC0), hex(0xFFD080)};
    for (int q = 0; q < 4; ++q) {
        const double a = M_PI / 4 + q * M_PI / 2;
        const double rx = 160 + 34 * std::cos(a), ry = 100 + 34 * std::sin(a);
        cairo_set_line_width(cr, 7);
        setColour(cr, hex(0x05050A));
        cairo_arc(cr, rx, ry, 44, 0, 2 * M_PI);
        cairo_stroke(cr);
        cairo_set_line_width(cr, 4);
        setColour(cr, ringCol[q]);
        cairo_arc(cr, rx, ry, 44, 0, 2 * M_PI);
        cairo_stroke(cr);
    }
    for (int k = 0; k < 24; ++k) {
        const double a = k * M_PI / 12;
        setColour(cr, kWhite, 0.5);
        cairo_arc(cr, 160 + 92 * std::cos(a), 100 + 92 * std::sin(a), k % 2 ? 1.5 : 2.5, 0, 2 * M_PI);
        cairo_fill(cr);
    }
    setRadial(cr, 160, 100, 0, 16, {{0.0, kWhite}, {1.0, kGold}});
    cairo_arc(cr, 160, 100, 9, 0, 2 * M_PI);
    cairo_fill(cr);
    label(cr, "unity", Face::SerifBoldItalic, 14, 290, 188, kWhite, 0.9);
    return c.opaque();
}

// A comic burst: rays, a jagged star and a shout.
Rgb kickass() {
    Canvas c(320, 200, false);
    cairo_t* cr = c.cr();
    fillAll(cr, hex(0xC81E28));
    for (int i = 0; i < 24; ++i) {
        const double a0 = i * 2 * M_PI / 24, a1 = a0 + M_PI / 24;
        cairo_move_to(cr, 160, 100);
        cairo_line_to(cr, 160 + 400 * std::cos(a0), 100 + 400 * std::sin(a0));
        cairo_line_to(cr, 160 + 400 * std::cos(a1), 100 + 400 * std::sin(a1));
        cairo_close_path(cr);
    }
    setColour(cr, hex(0xF04A20));
    cairo_fill(cr);
    for (int pass = 0; pass < 2; ++pass) {
        const double grow = pass ? 0 : 8;
        for (int i = 0; i <= 32; ++i) {
            const double a = i * 2 * M_PI / 32;
            const double r = (i % 2 ? 60 : 96) + grow + (i % 4 == 0 ? 10 : 0);
            const double x = 160 + r * 1.45 * std::cos(a), y = 100 + r * 0.9 * std::sin(a);
            if (i == 0)
                cairo_move_to(cr, x, y);
            else
                cairo_line_to(cr, x, y);
        }
        cairo_close_path(cr);
        setColour(cr, pass ? hex(0xFFE040) : hex(0x200810));
        cairo_fill(cr);
    }
    fitFont(cr, Face::SansBoldOblique, "WHOOSH!", 200, 60);
    cairo_new_path(cr);
    textPathCentred(cr, "WHOOSH!", 160, 100);
    cairo_set_line_width(cr, 8);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    setColour(cr, hex(0x200810));
    cairo_stroke_preserve(cr);
    setLinear(cr, 0, 70, 0, 130, {{0.0, kWhite}, {0.5, hex(0x60C0FF)}, {1.0, hex(0x2060D0)}});
    cairo_fill(cr);
    return c.opaque();
}

}  // namespace

void makeScenes(Pictures& out) {
    out["openptc.rgb"] = openptc();
    out["linux-in.rgb"] = linuxIn();
    out["plivak2.rgb"] = plivak2();
    out["square.rgb"] = square();
    for (int k = 0; k < 6; ++k) {
        char name[16];
        std::snprintf(name, sizeof name, "pyr%d.rgb", k);
        out[name] = pyramid(k, false);
    }
    out["pyr00.rgb"] = pyramid(0, true);
    out["formula.rgb"] = formula();
    out["formula2.rgb"] = formula2();
    out["formula3.rgb"] = formula3();
    out["studio.rgb"] = studio();
    out["ibm360.rgb"] = ibm360();
    out["rayflare.rgb"] = rayflare();
    out["dovo.rgb"] = dovo();
    out["optimal.rgb"] = optimal();
    out["unity.rgb"] = unity();
    out["kickass.rgb"] = kickass();
}

}  // namespace pic
