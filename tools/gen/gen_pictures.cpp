// writePictures: every ".rgb" and ".gra" file of the image bank, the PCX text
// picture and the seven shape outlines.
#include <cstdio>

#include "gen/generators.h"
#include "gen/pic_makers.h"
#include "gen/pic_table.h"

bool writePictures(const std::string& outDir) {
    using namespace pic;
    Pictures pictures;
    makeTextures(pictures);
    makeScenes(pictures);
    makeGadgets(pictures);
    makeCaptions(pictures);
    if (!fontsAreDejaVu()) return false;
    const std::vector<uint8_t> patterns[2] = {makePattern1(), makePattern2()};

    for (const PictureFile& f : kPictureFiles) {
        const std::string name = f.name;
        std::vector<uint8_t> bytes;
        if (f.use == Use::Pattern) {
            bytes = patterns[name == "pattern1.gra" ? 0 : 1];
        } else {
            auto it = pictures.find(name);
            if (it == pictures.end() || it->second.width != f.width || it->second.height != f.height) {
                std::fprintf(stderr, "plivak-data: no %dx%d picture for %s\n", f.width, f.height, f.name);
                return false;
            }
            bytes = it->second.bytes;
        }
        if (!(f.gzip ? writeGzip(outDir + name, bytes) : writeFile(outDir + name, bytes))) return false;
    }
    if (!writeFile(outDir + "cooltext.pcx", makeCoolTextPcx())) return false;
    for (int n = 1; n <= kShapeCount; ++n) {
        const std::string text = makeShape(n);
        if (!writeFile(outDir + "shape" + std::to_string(n), std::vector<uint8_t>(text.begin(), text.end())))
            return false;
    }
    return true;
}
