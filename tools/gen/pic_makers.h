// The picture generator's makers. Each fills its pictures into the set by
// file name; writePictures checks every size against the file table.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "gen/pic_canvas.h"

namespace pic {

using Pictures = std::map<std::string, Rgb>;

void makeTextures(Pictures& out);  // the seven 256x256 tiling textures
void makeScenes(Pictures& out);    // full-screen pictures, banner, frame
void makeGadgets(Pictures& out);   // drawn objects and portraits on the key
void makeCaptions(Pictures& out);  // keyed captions, additive logos, banners

// 64000 levels, each byte value equally often.
std::vector<uint8_t> makePattern1();
std::vector<uint8_t> makePattern2();

// The pyramid under its turning beams, drawn into the 320x200 user space of
// cr: frame 0..5 of the loop, by night or by day. The pyr*.rgb pictures and
// the menu icon are drawn by it.
void pyramidScene(cairo_t* cr, int frame, bool day);

// "cooltext.pcx": the whole file.
std::vector<uint8_t> makeCoolTextPcx();

// Text of "shapeN", N = 1..7.
std::string makeShape(int n);

}  // namespace pic
