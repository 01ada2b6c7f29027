// The asset generator's pieces. plivak-data OUTDIR calls each in turn; each
// writes its files into outDir (which ends with '/') and returns false, after
// printing why on standard error, when it cannot.
#pragma once

#include <string>

bool writePictures(const std::string& outDir);   // .rgb, .gra, .pcx, shapes
bool writeRayScenes(const std::string& outDir);  // atom.scn, final.scn, textures
bool write3dScene(const std::string& outDir);    // dazovad.scn
bool writeMusic(const std::string& outDir);      // demo.xm
