// Drawn gadgets and the two portraits, each on the exact blue key. Shapes
// get a dark outline so that the keyed edge (alpha thresholded at one half)
// reads as a clean contour.
#include <cmath>

#include "gen/pic_makers.h"

namespace pic {

namespace {

constexpr Colour kInk = hex(0x101018);

// Fill the current path with the set source, then outline it in ink.
void fillInk(cairo_t* cr, double width = 2.0) {
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, width);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    setColour(cr, kInk);
    cairo_stroke(cr);
}

void disc(cairo_t* cr, double x, double y, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x, y, r, 0, 2 * M_PI);
}

void metal(cairo_t* cr, double x0, double x1) {
    setLinear(cr, x0, 0, x1, 0, {{0.0, hex(0x5A6070)}, {0.35, hex(0xE0E6F0)}, {1.0, hex(0x40485A)}});
}

void reel(cairo_t* cr, double x, double y, double r, Colour tape) {
    disc(cr, x, y, r);
    setColour(cr, hex(0xB8C0CC));
    fillInk(cr);
    disc(cr, x, y, r * 0.72);
    setColour(cr, tape);
    fillInk(cr, 1.2);
    for (int k = 0; k < 3; ++k) {
        const double a = k * 2 * M_PI / 3;
        disc(cr, x + r * 0.42 * std::cos(a), y + r * 0.42 * std::sin(a), r * 0.16);
    }
    setColour(cr, hex(0xD8DEE8));
    fillInk(cr, 1.0);
    disc(cr, x, y, r * 0.12);
    setColour(cr, kInk);
    cairo_fill(cr);
}

Rgb camera() {
    Canvas c(107, 99, true);
    cairo_t* cr = c.cr();
    reel(cr, 30, 22, 19, hex(0x4A3020));
    reel(cr, 70, 22, 19, hex(0x4A3020));
    roundedRect(cr, 8, 40, 68, 44, 6);
    setLinear(cr, 0, 40, 0, 84, {{0.0, hex(0x5A5A6A)}, {1.0, hex(0x22222C)}});
    fillInk(cr);
    cairo_move_to(cr, 76, 52);
    cairo_line_to(cr, 100, 44);
    cairo_line_to(cr, 100, 80);
    cairo_line_to(cr, 76, 72);
    cairo_close_path(cr);
    metal(cr, 76, 100);
    fillInk(cr);
    disc(cr, 100, 62, 4);
    setColour(cr, hex(0x80C0FF));
    fillInk(cr, 1.2);
    disc(cr, 20, 52, 3);
    setColour(cr, hex(0xFF3030));
    cairo_fill(cr);
    cairo_rectangle(cr, 32, 84, 20, 12);
    setColour(cr, hex(0x30303A));
    fillInk(cr);
    return c.keyed();
}

Rgb ear() {
    Canvas c(79, 133, true);
    cairo_t* cr = c.cr();
    cairo_move_to(cr, 20, 30);
    cairo_curve_to(cr, 25, -2, 78, 0, 74, 45);
    cairo_curve_to(cr, 72, 70, 52, 80, 50, 100);
    cairo_curve_to(cr, 48, 128, 18, 134, 10, 112);
    cairo_curve_to(cr, 4, 96, 24, 92, 26, 80);
    cairo_curve_to(cr, 28, 64, 10, 58, 20, 30);
    cairo_close_path(cr);
    setLinear(cr, 0, 0, 79, 0, {{0.0, hex(0xC07860)}, {0.6, hex(0xF4C0A0)}, {1.0, hex(0xD08870)}});
    fillInk(cr, 2.5);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, 32, 34);
    cairo_curve_to(cr, 36, 14, 64, 16, 60, 46);
    cairo_curve_to(cr, 58, 62, 42, 66, 40, 84);
    cairo_set_line_width(cr, 5);
    setColour(cr, hex(0x9A5040));
    cairo_stroke(cr);
    cairo_move_to(cr, 40, 50);
    cairo_curve_to(cr, 46, 40, 52, 50, 46, 58);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    return c.keyed();
}

Rgb earphone() {
    Canvas c(105, 117, true);
    cairo_t* cr = c.cr();
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_arc(cr, 52, 62, 40, M_PI * 1.03, M_PI * 1.97);
    cairo_set_line_width(cr, 13);
    setColour(cr, kInk);
    cairo_stroke_preserve(cr);
    cairo_set_line_width(cr, 9);
    setColour(cr, hex(0x3A3A4A));
    cairo_stroke(cr);
    for (int s = 0; s < 2; ++s) {
        const double x = s ? 86 : 18;
        roundedRect(cr, x - 14, 56, 28, 50, 10);
        setLinear(cr, x - 14, 0, x + 14, 0, {{0.0, hex(0x202030)}, {0.5, hex(0x8080A0)}, {1.0, hex(0x202030)}});
        fillInk(cr);
        roundedRect(cr, x - 8, 64, 16, 34, 7);
        setColour(cr, s ? hex(0xE04060) : hex(0x40A0E0));
        fillInk(cr, 1.2);
    }
    // Cable.
    cairo_move_to(cr, 86, 106);
    cairo_curve_to(cr, 86, 116, 64, 108, 52, 113);
    cairo_set_line_width(cr, 3);
    setColour(cr, kInk);
    cairo_stroke(cr);
    return c.keyed();
}

Rgb eye() {
    Canvas c(143, 79, true);
    cairo_t* cr = c.cr();
    cairo_move_to(cr, 6, 40);
    cairo_curve_to(cr, 40, 0, 103, 0, 137, 40);
    cairo_curve_to(cr, 103, 78, 40, 78, 6, 40);
    cairo_close_path(cr);
    setRadial(cr, 71, 40, 10, 70, {{0.0, hex(0xFFFFFF)}, {1.0, hex(0xC8C0D0)}});
    fillInk(cr, 3);
    cairo_save(cr);
    cairo_move_to(cr, 6, 40);
    cairo_curve_to(cr, 40, 0, 103, 0, 137, 40);
    cairo_curve_to(cr, 103, 78, 40, 78, 6, 40);
    cairo_clip(cr);
    disc(cr, 71, 40, 24);
    setRadial(cr, 71, 40, 4, 24, {{0.0, hex(0x60E0A0)}, {0.7, hex(0x208060)}, {1.0, hex(0x0A3020)}});
    fillInk(cr, 2);
    disc(cr, 71, 40, 10);
    setColour(cr, kInk);
    cairo_fill(cr);
    disc(cr, 63, 32, 5);
    setColour(cr, hex(0xFFFFFF));
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 2.5);
    setColour(cr, kInk);
    for (int k = 0; k < 9; ++k) {
        const double t = (k + 1) / 10.0;
        const double x = 6 + t * 131, y = 40 - 30 * std::sin(t * M_PI);
        cairo_move_to(cr, x, y);
        cairo_line_to(cr, x + (t - 0.5) * 14, y - 8);
    }
    cairo_stroke(cr);
    return c.keyed();
}

Rgb loudhail() {
    Canvas c(166, 127, true);
    cairo_t* cr = c.cr();
    cairo_move_to(cr, 40, 48);
    cairo_line_to(cr, 150, 8);
    cairo_curve_to(cr, 166, 40, 166, 80, 150, 112);
    cairo_line_to(cr, 40, 76);
    cairo_close_path(cr);
    setLinear(cr, 0, 8, 0, 112, {{0.0, hex(0xFFFFFF)}, {0.4, hex(0xF0E040)}, {1.0, hex(0xB07010)}});
    fillInk(cr, 2.5);
    cairo_save(cr);
    cairo_translate(cr, 150, 60);
    cairo_scale(cr, 0.3, 1.0);
    disc(cr, 0, 0, 50);
    cairo_restore(cr);
    setColour(cr, hex(0x3A2A10));
    fillInk(cr, 2);
    roundedRect(cr, 10, 44, 34, 36, 6);
    setColour(cr, hex(0xD03020));
    fillInk(cr);
    cairo_move_to(cr, 26, 80);
    cairo_line_to(cr, 42, 80);
    cairo_line_to(cr, 36, 118);
    cairo_line_to(cr, 22, 118);
    cairo_close_path(cr);
    setColour(cr, hex(0x303040));
    fillInk(cr);
    return c.keyed();
}

Rgb magtape() {
    Canvas c(114, 113, true);
    cairo_t* cr = c.cr();
    disc(cr, 57, 56, 54);
    setRadial(cr, 57, 56, 10, 54, {{0.0, hex(0xE8EEF8)}, {1.0, hex(0x8890A0)}});
    fillInk(cr, 2.5);
    disc(cr, 57, 56, 42);
    setRadial(cr, 57, 56, 14, 42, {{0.0, hex(0x2A1A10)}, {0.6, hex(0x6A4020)}, {1.0, hex(0x3A2210)}});
    fillInk(cr, 1.5);
    for (int k = 0; k < 3; ++k) {
        const double a = k * 2 * M_PI / 3 - M_PI / 2;
        cairo_move_to(cr, 57 + 14 * std::cos(a - 0.4), 56 + 14 * std::sin(a - 0.4));
        cairo_arc(cr, 57, 56, 34, a - 0.35, a + 0.35);
        cairo_line_to(cr, 57 + 14 * std::cos(a + 0.4), 56 + 14 * std::sin(a + 0.4));
        cairo_close_path(cr);
        setColour(cr, hex(0xC8D0DC));
        fillInk(cr, 1.5);
    }
    disc(cr, 57, 56, 12);
    metal(cr, 45, 69);
    fillInk(cr, 1.5);
    disc(cr, 57, 56, 4);
    setColour(cr, kInk);
    cairo_fill(cr);
    return c.keyed();
}

Rgb roundabo() {
    Canvas c(107, 116, true);
    cairo_t* cr = c.cr();
    // Canopy with scallops.
    cairo_move_to(cr, 53, 4);
    cairo_line_to(cr, 100, 34);
    for (int k = 0; k < 6; ++k) cairo_arc_negative(cr, 100 - 7.8 * (2 * k + 1), 34, 7.8, 0, M_PI);
    cairo_close_path(cr);
    setLinear(cr, 0, 0, 107, 0, {{0.0, hex(0xE03040)}, {0.5, hex(0xFFE0E0)}, {1.0, hex(0xC02030)}});
    fillInk(cr);
    for (int k = 0; k < 4; ++k) {
        const double x = 14 + k * 26;
        cairo_rectangle(cr, x, 40, 3, 58);
        metal(cr, x, x + 3);
        fillInk(cr, 1);
        // A horse-ish rider block on each pole.
        const double y = 58 + (k % 2) * 14;
        roundedRect(cr, x - 8, y, 19, 11, 4);
        setColour(cr, k % 2 ? hex(0xF0F0F8) : hex(0xF0C040));
        fillInk(cr, 1.5);
        disc(cr, x + 11, y - 2, 4);
        fillInk(cr, 1.5);
    }
    cairo_save(cr);
    cairo_translate(cr, 53, 102);
    cairo_scale(cr, 1.0, 0.22);
    disc(cr, 0, 0, 50);
    cairo_restore(cr);
    setColour(cr, hex(0x6A3A20));
    fillInk(cr);
    disc(cr, 53, 6, 4);
    setColour(cr, hex(0xFFD040));
    fillInk(cr, 1.2);
    return c.keyed();
}

Rgb synth() {
    Canvas c(148, 126, true);
    cairo_t* cr = c.cr();
    // Case in perspective: panel at the back, keys at the front.
    cairo_move_to(cr, 20, 20);
    cairo_line_to(cr, 128, 20);
    cairo_line_to(cr, 146, 112);
    cairo_line_to(cr, 2, 112);
    cairo_close_path(cr);
    setLinear(cr, 0, 20, 0, 112, {{0.0, hex(0x3A3040)}, {1.0, hex(0x141018)}});
    fillInk(cr, 2.5);
    for (int k = 0; k < 8; ++k) {
        disc(cr, 30 + k * 12.5, 32, 4);
        setColour(cr, k % 3 == 0 ? hex(0xF08030) : hex(0xD0D0D8));
        fillInk(cr, 1.2);
    }
    cairo_rectangle(cr, 30, 42, 34, 10);
    setColour(cr, hex(0x40E080));
    fillInk(cr, 1.2);
    // White keys.
    const int keys = 14;
    for (int k = 0; k < keys; ++k) {
        const double t0 = double(k) / keys, t1 = double(k + 1) / keys;
        cairo_move_to(cr, 14 + t0 * 120, 60);
        cairo_line_to(cr, 14 + t1 * 120, 60);
        cairo_line_to(cr, 6 + t1 * 136, 108);
        cairo_line_to(cr, 6 + t0 * 136, 108);
        cairo_close_path(cr);
        setColour(cr, hex(0xF4F4F8));
        fillInk(cr, 1.2);
    }
    // Black keys.
    for (int k = 0; k < keys - 1; ++k) {
        if (k % 7 == 2 || k % 7 == 6) continue;
        const double t = double(k + 1) / keys, w = 0.028;
        cairo_move_to(cr, 14 + (t - w) * 120, 60);
        cairo_line_to(cr, 14 + (t + w) * 120, 60);
        cairo_line_to(cr, 10 + (t + w) * 128, 88);
        cairo_line_to(cr, 10 + (t - w) * 128, 88);
        cairo_close_path(cr);
        setColour(cr, kInk);
        cairo_fill(cr);
    }
    cairo_rectangle(cr, 2, 112, 144, 10);
    setColour(cr, hex(0x2A2030));
    fillInk(cr, 2);
    return c.keyed();
}

Rgb satellit() {
    Canvas c(142, 106, true);
    cairo_t* cr = c.cr();
    cairo_save(cr);
    cairo_translate(cr, 71, 53);
    cairo_rotate(cr, -0.25);
    for (int s = -1; s <= 1; s += 2) {
        cairo_move_to(cr, s * 14, 0);
        cairo_line_to(cr, s * 22, 0);
        cairo_set_line_width(cr, 3);
        setColour(cr, kInk);
        cairo_stroke(cr);
        cairo_rectangle(cr, s > 0 ? 22 : -68, -16, 46, 32);
        setLinear(cr, 0, -16, 0, 16, {{0.0, hex(0x3050C0)}, {0.5, hex(0x80A8FF)}, {1.0, hex(0x2840A0)}});
        fillInk(cr, 2);
        setColour(cr, hex(0x182860));
        cairo_set_line_width(cr, 1);
        for (int k = 1; k < 4; ++k) {
            const double x = (s > 0 ? 22 : -68) + k * 11.5;
            cairo_move_to(cr, x, -16);
            cairo_line_to(cr, x, 16);
        }
        cairo_move_to(cr, s > 0 ? 22 : -68, 0);
        cairo_line_to(cr, s > 0 ? 68 : -22, 0);
        cairo_stroke(cr);
    }
    roundedRect(cr, -14, -18, 28, 36, 4);
    setLinear(cr, -14, 0, 14, 0, {{0.0, hex(0xA07010)}, {0.5, hex(0xFFE070)}, {1.0, hex(0x906010)}});
    fillInk(cr, 2);
    // Dish on a mast.
    cairo_move_to(cr, 0, -18);
    cairo_line_to(cr, 0, -30);
    cairo_set_line_width(cr, 2);
    setColour(cr, kInk);
    cairo_stroke(cr);
    cairo_save(cr);
    cairo_translate(cr, 0, -36);
    cairo_scale(cr, 1.0, 0.45);
    cairo_arc(cr, 0, 0, 16, 0, M_PI);
    cairo_close_path(cr);
    cairo_restore(cr);
    metal(cr, -16, 16);
    fillInk(cr, 1.8);
    cairo_restore(cr);
    return c.keyed();
}

// A rack unit with two needle meters and a row of buttons.
Rgb vestor() {
    Canvas c(145, 70, true);
    cairo_t* cr = c.cr();
    roundedRect(cr, 3, 3, 139, 64, 5);
    setLinear(cr, 0, 3, 0, 67, {{0.0, hex(0x707888)}, {0.5, hex(0x3A4050)}, {1.0, hex(0x20242E)}});
    fillInk(cr, 2.5);
    for (int m = 0; m < 2; ++m) {
        const double x = 12 + m * 62;
        roundedRect(cr, x, 10, 56, 36, 3);
        setLinear(cr, 0, 10, 0, 46, {{0.0, hex(0xFFF0C0)}, {1.0, hex(0xE8C070)}});
        fillInk(cr, 1.5);
        cairo_set_line_width(cr, 1);
        setColour(cr, kInk);
        cairo_arc(cr, x + 28, 50, 30, -M_PI * 0.8, -M_PI * 0.2);
        cairo_stroke(cr);
        setColour(cr, hex(0xD02020));
        cairo_arc(cr, x + 28, 50, 30, -M_PI * 0.32, -M_PI * 0.2);
        cairo_stroke(cr);
        const double a = -M_PI * (m ? 0.36 : 0.58);
        cairo_move_to(cr, x + 28, 46);
        cairo_line_to(cr, x + 28 + 32 * std::cos(a), 50 + 32 * std::sin(a));
        cairo_set_line_width(cr, 1.5);
        setColour(cr, kInk);
        cairo_stroke(cr);
    }
    for (int k = 0; k < 8; ++k) {
        roundedRect(cr, 12 + k * 15.5, 52, 10, 8, 2);
        setColour(cr, k == 2 ? hex(0x40E060) : hex(0xC8CCD4));
        fillInk(cr, 1.2);
    }
    return c.keyed();
}

// An abstract face of planes and arcs; no likeness of anyone. palette: skin
// light, skin shade, hair, accent.
void portrait(Canvas& c, Colour light, Colour shade, Colour hair, Colour accent, double tilt, bool longHair) {
    cairo_t* cr = c.cr();
    const double w = c.width(), h = c.height();
    cairo_save(cr);
    cairo_scale(cr, w / 100.0, h / 140.0);
    cairo_translate(cr, 50, 70);
    cairo_rotate(cr, tilt);
    cairo_translate(cr, -50, -70);
    // Shoulders.
    cairo_move_to(cr, -6, 160);
    cairo_line_to(cr, 2, 140);
    cairo_curve_to(cr, 8, 112, 30, 106, 50, 106);
    cairo_curve_to(cr, 70, 106, 92, 112, 98, 140);
    cairo_line_to(cr, 106, 160);
    cairo_close_path(cr);
    setColour(cr, accent);
    fillInk(cr, 2.5);
    if (longHair) {
        // Hair that falls behind the head to the shoulders.
        cairo_move_to(cr, 14, 104);
        cairo_curve_to(cr, 4, 60, 14, 20, 50, 20);
        cairo_curve_to(cr, 86, 20, 96, 60, 86, 104);
        cairo_close_path(cr);
        setColour(cr, hair);
        fillInk(cr, 2);
    }
    // Neck and head.
    cairo_rectangle(cr, 40, 88, 20, 22);
    setColour(cr, shade);
    fillInk(cr, 2);
    cairo_save(cr);
    cairo_translate(cr, 50, 58);
    cairo_scale(cr, 0.78, 1.0);
    disc(cr, 0, 0, 36);
    cairo_restore(cr);
    setLinear(cr, 20, 0, 80, 0, {{0.0, light}, {0.55, light}, {0.56, shade}, {1.0, shade}});
    fillInk(cr, 2.5);
    // Hair: a sweeping cap.
    cairo_move_to(cr, 18, 60);
    cairo_curve_to(cr, 10, 10, 80, 6, 86, 50);
    cairo_curve_to(cr, 70, 30, 44, 28, 30, 44);
    cairo_curve_to(cr, 26, 52, 24, 60, 18, 60);
    cairo_close_path(cr);
    setColour(cr, hair);
    fillInk(cr, 2);
    // Eyes, brows, nose and mouth as strokes and planes.
    for (int s = 0; s < 2; ++s) {
        const double x = s ? 62 : 38;
        cairo_save(cr);
        cairo_translate(cr, x, 58);
        cairo_scale(cr, 1.0, 0.55);
        disc(cr, 0, 0, 6);
        cairo_restore(cr);
        setColour(cr, hex(0xFFFFFF));
        fillInk(cr, 1.5);
        disc(cr, x + 1, 58, 2.4);
        setColour(cr, kInk);
        cairo_fill(cr);
        cairo_move_to(cr, x - 7, 50 - s);
        cairo_line_to(cr, x + 7, 48 + s);
        cairo_set_line_width(cr, 2.5);
        cairo_stroke(cr);
    }
    cairo_move_to(cr, 52, 60);
    cairo_line_to(cr, 46, 76);
    cairo_line_to(cr, 53, 77);
    cairo_set_line_width(cr, 1.8);
    setColour(cr, kInk);
    cairo_stroke(cr);
    cairo_move_to(cr, 41, 84);
    cairo_curve_to(cr, 46, 89, 56, 89, 60, 83);
    cairo_curve_to(cr, 54, 86, 46, 86, 41, 84);
    cairo_close_path(cr);
    setColour(cr, hex(0xB03040));
    fillInk(cr, 1.5);
    cairo_restore(cr);
}

}  // namespace

void makeGadgets(Pictures& out) {
    out["camera.rgb"] = camera();
    out["ear.rgb"] = ear();
    out["earphone.rgb"] = earphone();
    out["eye.rgb"] = eye();
    out["loudhail.rgb"] = loudhail();
    out["magtape.rgb"] = magtape();
    out["roundabo.rgb"] = roundabo();
    out["synth.rgb"] = synth();
    out["satellit.rgb"] = satellit();
    out["vestor.rgb"] = vestor();
    {
        Canvas c(98, 140, true);
        portrait(c, hex(0xF2C8A8), hex(0xB88060), hex(0x402060), hex(0x30A080), -0.06, true);
        out["ostrin3.rgb"] = c.keyed();
    }
    {
        Canvas c(175, 200, true);
        portrait(c, hex(0xE8D0F0), hex(0x9A70B0), hex(0xE0A020), hex(0xC03050), 0.05, false);
        out["ostrin11.rgb"] = c.keyed();
    }
}

}  // namespace pic
