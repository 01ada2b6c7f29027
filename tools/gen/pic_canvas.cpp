#include "gen/pic_canvas.h"

#include <cairo-ft.h>
#include <zlib.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "gen/pic_codec.h"

namespace pic {

Canvas::Canvas(int w, int h, bool transparent) : w_(w), h_(h) {
    surface_ = cairo_image_surface_create(transparent ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24, w, h);
    cr_ = cairo_create(surface_);
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_GRAY);
    if (!transparent) fillAll(cr_, {0, 0, 0});
}

Canvas::~Canvas() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

namespace {

// Walks the surface's pixels as premultiplied a, r, g, b.
template <typename Fn>
void eachPixel(cairo_surface_t* s, int w, int h, Fn fn) {
    cairo_surface_flush(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    const bool alpha = cairo_image_surface_get_format(s) == CAIRO_FORMAT_ARGB32;
    for (int y = 0; y < h; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride));
        for (int x = 0; x < w; ++x) {
            const uint32_t p = row[x];
            fn(x, y, alpha ? int(p >> 24) : 255, int((p >> 16) & 255), int((p >> 8) & 255), int(p & 255));
        }
    }
}

}  // namespace

Rgb Canvas::opaque() const {
    Rgb out(w_, h_);
    eachPixel(surface_, w_, h_, [&](int x, int y, int, int r, int g, int b) { out.set(x, y, r, g, b); });
    return out;
}

Rgb Canvas::overBlack() const { return opaque(); }

Rgb Canvas::keyed() const {
    Rgb out(w_, h_);
    eachPixel(surface_, w_, h_, [&](int x, int y, int a, int r, int g, int b) {
        const KeyedPixel k = keyPixel(a, r, g, b);
        out.set(x, y, k.r, k.g, k.b);
    });
    return out;
}

void setColour(cairo_t* cr, Colour c, double alpha) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha); }

void fillAll(cairo_t* cr, Colour c) {
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    setColour(cr, c);
    cairo_paint(cr);
    cairo_restore(cr);
}

void setLinear(cairo_t* cr, double x0, double y0, double x1, double y1,
               std::initializer_list<std::pair<double, Colour>> stops) {
    cairo_pattern_t* p = cairo_pattern_create_linear(x0, y0, x1, y1);
    for (const auto& s : stops) cairo_pattern_add_color_stop_rgb(p, s.first, s.second.r, s.second.g, s.second.b);
    cairo_set_source(cr, p);
    cairo_pattern_destroy(p);
}

void setRadial(cairo_t* cr, double cx, double cy, double r0, double r1,
               std::initializer_list<std::pair<double, Colour>> stops, double alpha) {
    cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, r0, cx, cy, r1);
    for (const auto& s : stops)
        cairo_pattern_add_color_stop_rgba(p, s.first, s.second.r, s.second.g, s.second.b, alpha);
    cairo_set_source(cr, p);
    cairo_pattern_destroy(p);
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 1.5 * M_PI);
    cairo_close_path(cr);
}

namespace {

// Every face is checked once: the pictures must be set in DejaVu whatever
// else the machine has installed, or they would differ between machines.
bool gFontChecked[7] = {false, false, false, false, false, false, false};
bool gFontsOk = true;

void checkDejaVu(cairo_t* cr, Face face, const char* family) {
    const int i = int(face);
    if (gFontChecked[i]) return;
    gFontChecked[i] = true;
    cairo_scaled_font_t* sf = cairo_get_scaled_font(cr);
    bool ok = false;
    if (cairo_scaled_font_get_type(sf) == CAIRO_FONT_TYPE_FT) {
        FT_Face ft = cairo_ft_scaled_font_lock_face(sf);
        ok = ft && ft->family_name && std::strncmp(ft->family_name, "DejaVu", 6) == 0;
        if (ft) cairo_ft_scaled_font_unlock_face(sf);
    }
    if (!ok) {
        std::fprintf(stderr, "plivak-data: the font \"%s\" (fonts-dejavu-core) is not installed\n", family);
        gFontsOk = false;
    }
}

}  // namespace

bool fontsAreDejaVu() { return gFontsOk; }

void selectFont(cairo_t* cr, Face face, double size) {
    const char* family = "DejaVu Sans";
    cairo_font_slant_t slant = CAIRO_FONT_SLANT_NORMAL;
    cairo_font_weight_t weight = CAIRO_FONT_WEIGHT_NORMAL;
    switch (face) {
    case Face::Sans: break;
    case Face::SansBold: weight = CAIRO_FONT_WEIGHT_BOLD; break;
    case Face::SansBoldOblique:
        weight = CAIRO_FONT_WEIGHT_BOLD;
        slant = CAIRO_FONT_SLANT_OBLIQUE;
        break;
    case Face::Serif: family = "DejaVu Serif"; break;
    case Face::SerifBoldItalic:
        family = "DejaVu Serif";
        weight = CAIRO_FONT_WEIGHT_BOLD;
        slant = CAIRO_FONT_SLANT_ITALIC;
        break;
    case Face::Mono: family = "DejaVu Sans Mono"; break;
    case Face::MonoBold:
        family = "DejaVu Sans Mono";
        weight = CAIRO_FONT_WEIGHT_BOLD;
        break;
    }
    cairo_select_font_face(cr, family, slant, weight);
    cairo_set_font_size(cr, size);
    cairo_font_options_t* o = cairo_font_options_create();
    cairo_font_options_set_antialias(o, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(o, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(o, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, o);
    cairo_font_options_destroy(o);
    checkDejaVu(cr, face, family);
}

double fitFont(cairo_t* cr, Face face, const std::string& text, double w, double h) {
    selectFont(cr, face, 100.0);
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    double s = 100.0;
    if (e.width > 0) s = std::fmin(s, 100.0 * w / e.width);
    if (e.height > 0) s = std::fmin(s, 100.0 * h / e.height);
    selectFont(cr, face, s);
    return s;
}

void textPathCentred(cairo_t* cr, const std::string& text, double cx, double cy) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    cairo_move_to(cr, cx - e.width / 2 - e.x_bearing, cy - e.height / 2 - e.y_bearing);
    cairo_text_path(cr, text.c_str());
}

void drawCaption(Canvas& c, const std::string& text, Face face, Colour top, Colour bottom,
                 Colour outline, double margin, double outlineWidth) {
    cairo_t* cr = c.cr();
    const double w = c.width(), h = c.height();
    fitFont(cr, face, text, w - 2 * margin - outlineWidth, h - 2 * margin - outlineWidth);
    cairo_new_path(cr);
    textPathCentred(cr, text, w / 2, h / 2);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_width(cr, outlineWidth * 2);
    setColour(cr, outline);
    cairo_stroke_preserve(cr);
    setLinear(cr, 0, margin, 0, h - margin, {{0.0, top}, {0.55, bottom}, {1.0, top}});
    cairo_fill(cr);
}

void drawGlowText(cairo_t* cr, const std::string& text, double cx, double cy, Colour glow,
                  Colour core, double haloWidth) {
    cairo_new_path(cr);
    textPathCentred(cr, text, cx, cy);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    for (int i = 6; i >= 1; --i) {
        cairo_set_line_width(cr, haloWidth * i / 3.0);
        setColour(cr, glow, 0.12);
        cairo_stroke_preserve(cr);
    }
    setColour(cr, core);
    cairo_fill(cr);
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "plivak-data: cannot create %s\n", path.c_str());
        return false;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !ok) {
        std::fprintf(stderr, "plivak-data: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

bool writeGzip(const std::string& path, const std::vector<uint8_t>& bytes) {
    // windowBits 15 + 16 asks zlib for a gzip wrapper; without deflateSetHeader
    // its header carries mtime 0 and no name, so equal input gives equal files.
    z_stream z{};
    if (deflateInit2(&z, 9, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY) != Z_OK) {
        std::fprintf(stderr, "plivak-data: cannot start compression for %s\n", path.c_str());
        return false;
    }
    std::vector<uint8_t> out(deflateBound(&z, uLong(bytes.size())) + 32);
    z.next_in = const_cast<Bytef*>(bytes.data());
    z.avail_in = uInt(bytes.size());
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    const int rc = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    if (rc != Z_STREAM_END) {
        std::fprintf(stderr, "plivak-data: compression failed for %s\n", path.c_str());
        return false;
    }
    return writeFile(path, out);
}

namespace {

uint32_t hash3(uint32_t x, uint32_t y, uint32_t seed) {
    uint32_t h = x * 0x8DA6B343u ^ y * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 13;
    h *= 0x85EBCA6Bu;
    h ^= h >> 16;
    return h;
}

float lattice(int x, int y, int period, uint32_t seed) {
    x = ((x % period) + period) % period;
    y = ((y % period) + period) % period;
    return float(hash3(uint32_t(x), uint32_t(y), seed) & 0xFFFF) / 65535.0f;
}

}  // namespace

float tileNoise(float x, float y, int period, uint32_t seed) {
    const float fx = std::floor(x), fy = std::floor(y);
    const int ix = int(fx), iy = int(fy);
    float tx = x - fx, ty = y - fy;
    tx = tx * tx * (3.0f - 2.0f * tx);
    ty = ty * ty * (3.0f - 2.0f * ty);
    const float a = lattice(ix, iy, period, seed), b = lattice(ix + 1, iy, period, seed);
    const float c = lattice(ix, iy + 1, period, seed), d = lattice(ix + 1, iy + 1, period, seed);
    const float top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

}  // namespace pic
