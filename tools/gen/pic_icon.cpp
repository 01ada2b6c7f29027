#include "gen/pic_icon.h"

#include <cairo-svg.h>
#include <sys/stat.h>

#include <cstdio>

#include "gen/pic_makers.h"

namespace pic {

namespace {

// The icon is the opening pyramid picture (pyr0.rgb, frame 0 by night),
// cropped to the square around the pyramid and drawn again as vectors at
// each size, so that small sizes stay sharp rather than being shrunk from
// 320x200 pixels. The tile has rounded corners and a small transparent
// margin, as desktop icons do.
constexpr double kCropX = 58, kCropY = -12, kCropSide = 214;  // in the picture's 320x200 space

void drawIcon(cairo_t* cr, double side) {
    const double margin = side / 32, radius = side * 0.14, inner = side - 2 * margin;
    cairo_save(cr);
    roundedRect(cr, margin, margin, inner, inner, radius);
    cairo_clip(cr);
    cairo_translate(cr, margin, margin);
    cairo_scale(cr, inner / kCropSide, inner / kCropSide);
    cairo_translate(cr, -kCropX, -kCropY);
    pyramidScene(cr, 0, false);
    cairo_restore(cr);
}

bool makeDirs(const std::string& path) {
    // Every prefix of the path, in order; existing folders are fine.
    for (size_t i = 1; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != '/') continue;
        const std::string prefix = path.substr(0, i);
        if (mkdir(prefix.c_str(), 0755) != 0) {
            struct stat st;
            if (stat(prefix.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
                std::fprintf(stderr, "plivak-data: cannot make the folder %s\n", prefix.c_str());
                return false;
            }
        }
    }
    return true;
}

bool writePng(const std::string& dir, int size) {
    const std::string folder = dir + "hicolor/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
    if (!makeDirs(folder)) return false;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
    cairo_t* cr = cairo_create(s);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_GRAY);
    drawIcon(cr, size);
    cairo_destroy(cr);
    const std::string file = folder + "/plivak.png";
    const bool ok = cairo_surface_write_to_png(s, file.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(s);
    if (!ok) std::fprintf(stderr, "plivak-data: cannot write %s\n", file.c_str());
    return ok;
}

bool writeSvg(const std::string& dir) {
    const std::string folder = dir + "hicolor/scalable/apps";
    if (!makeDirs(folder)) return false;
    const std::string file = folder + "/plivak.svg";
    cairo_surface_t* s = cairo_svg_surface_create(file.c_str(), kIconSvgSide, kIconSvgSide);
    cairo_svg_surface_set_document_unit(s, CAIRO_SVG_UNIT_PX);
    cairo_t* cr = cairo_create(s);
    drawIcon(cr, kIconSvgSide);
    cairo_destroy(cr);
    cairo_surface_finish(s);
    const bool ok = cairo_surface_status(s) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(s);
    if (!ok) std::fprintf(stderr, "plivak-data: cannot write %s\n", file.c_str());
    return ok;
}

}  // namespace

}  // namespace pic

bool writeIcons(const std::string& dir) {
    for (int size : kIconSizes)
        if (!pic::writePng(dir, size)) return false;
    return pic::writeSvg(dir);
}
