#include "gen/pic_sheet.h"

#include <cairo.h>
#include <zlib.h>

#include <cstdio>
#include <vector>

#include "gen/pic_table.h"

namespace {

// Whole file through gzread, which passes plain files through unchanged.
std::vector<uint8_t> readAll(const std::string& path) {
    std::vector<uint8_t> out;
    gzFile f = gzopen(path.c_str(), "rb");
    if (!f) return out;
    uint8_t buf[65536];
    int n;
    while ((n = gzread(f, buf, sizeof buf)) > 0) out.insert(out.end(), buf, buf + n);
    gzclose(f);
    return out;
}

// The PCX picture decoded (one run stream), drawn at full brightness.
bool readPcx(const std::string& path, std::vector<uint32_t>& rgb) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::vector<uint8_t> b;
    int c;
    while ((c = std::fgetc(f)) != EOF) b.push_back(uint8_t(c));
    std::fclose(f);
    if (b.size() < 128 + 769) return false;
    std::vector<uint8_t> idx;
    size_t p = 128;
    while (idx.size() < 65536 && p < b.size()) {
        uint8_t v = b[p++];
        if (v >= 192) {
            const int n = v & 63;
            if (p >= b.size()) return false;
            v = b[p++];
            for (int i = 0; i < n && idx.size() < 65536; ++i) idx.push_back(v);
        } else {
            idx.push_back(v);
        }
    }
    if (idx.size() != 65536 || p + 769 > b.size()) return false;
    const uint8_t* pal = &b[p + 1];
    rgb.resize(65536);
    for (size_t i = 0; i < 65536; ++i)
        rgb[i] = uint32_t(pal[idx[i] * 3]) << 16 | uint32_t(pal[idx[i] * 3 + 1]) << 8 | pal[idx[i] * 3 + 2];
    return true;
}

}  // namespace

bool writeContactSheet(const std::string& outDir, const std::string& pngFile) {
    using namespace pic;
    const int sheetW = 1380, gap = 8, labelH = 14;
    // Lay out in rows, left to right.
    struct Place {
        int x, y, w, h;
    };
    std::vector<Place> places;
    int x = gap, y = gap, rowH = 0;
    auto place = [&](int w, int h) {
        if (x + w + gap > sheetW) {
            x = gap;
            y += rowH + labelH + gap;
            rowH = 0;
        }
        places.push_back({x, y, w, h});
        x += w + gap;
        if (h > rowH) rowH = h;
    };
    for (const PictureFile& f : kPictureFiles) place(f.width, f.height);
    place(256, 256);  // cooltext.pcx
    const int sheetH = y + rowH + labelH + gap;

    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, sheetW, sheetH);
    cairo_t* cr = cairo_create(s);
    cairo_set_source_rgb(cr, 0.25, 0.25, 0.25);
    cairo_paint(cr);
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    auto blit = [&](const Place& pl, const std::vector<uint32_t>& px) {
        for (int j = 0; j < pl.h; ++j) {
            uint32_t* row = reinterpret_cast<uint32_t*>(data + size_t(pl.y + j) * size_t(stride)) + pl.x;
            for (int i = 0; i < pl.w; ++i) row[i] = px[size_t(j) * size_t(pl.w) + size_t(i)];
        }
    };
    bool ok = true;
    for (int n = 0; n < kPictureFileCount; ++n) {
        const PictureFile& f = kPictureFiles[n];
        const std::vector<uint8_t> bytes = readAll(outDir + f.name);
        const size_t count = size_t(f.width) * size_t(f.height);
        std::vector<uint32_t> px(count);
        if (f.use == Use::Pattern) {
            if (bytes.size() < count) ok = false;
            for (size_t i = 0; i < count && i < bytes.size(); ++i) px[i] = bytes[i] * 0x010101u;
        } else {
            if (bytes.size() < count * 3) {
                ok = false;
                continue;
            }
            for (size_t i = 0; i < count; ++i)
                px[i] = uint32_t(bytes[i * 3]) << 16 | uint32_t(bytes[i * 3 + 1]) << 8 | bytes[i * 3 + 2];
            if (f.use == Use::Strip) {  // show the scroller text as it reads
                std::vector<uint32_t> t(count);
                for (int k = 0; k < f.width; ++k)
                    for (int j = 0; j < f.height; ++j)
                        t[size_t(j) * size_t(f.width) + size_t(k)] = px[size_t(k) * size_t(f.height) + size_t(j)];
                px.swap(t);
            }
        }
        blit(places[size_t(n)], px);
    }
    std::vector<uint32_t> pcx;
    if (readPcx(outDir + "cooltext.pcx", pcx))
        blit(places.back(), pcx);
    else
        ok = false;
    cairo_surface_mark_dirty(s);

    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 10);
    cairo_set_source_rgb(cr, 1, 1, 1);
    for (size_t n = 0; n < places.size(); ++n) {
        cairo_move_to(cr, places[n].x, places[n].y + places[n].h + 11);
        cairo_show_text(cr, n < size_t(kPictureFileCount) ? kPictureFiles[n].name : "cooltext.pcx");
    }
    cairo_destroy(cr);
    if (cairo_surface_write_to_png(s, pngFile.c_str()) != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "plivak-data: cannot write %s\n", pngFile.c_str());
        ok = false;
    }
    cairo_surface_destroy(s);
    if (!ok) std::fprintf(stderr, "plivak-data: some pictures could not be read back\n");
    return ok;
}
