// plivak-data OUTDIR: writes every file the demo reads from its data folder.
// The output depends on nothing but this program, byte for byte.
#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "gen/generators.h"
#include "gen/pic_sheet.h"

int main(int argc, char** argv) {
    const bool sheet = argc == 4 && std::string(argv[2]) == "--contact-sheet";
    if (argc != 2 && !sheet) {
        std::fprintf(stderr, "usage: plivak-data OUTDIR [--contact-sheet FILE.png]\n");
        return 2;
    }
    std::string outDir = argv[1];
    if (outDir.empty()) outDir = ".";
    if (outDir.back() != '/') outDir += '/';
    mkdir(outDir.c_str(), 0755);
    bool ok = writePictures(outDir) && writeRayScenes(outDir) && write3dScene(outDir) && writeMusic(outDir);
    if (ok && sheet) ok = writeContactSheet(outDir, argv[3]);
    return ok ? 0 : 1;
}
