// plivak-data OUTDIR: writes every file the demo reads from its data folder.
// The output depends on nothing but this program, byte for byte.
#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "gen/generators.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: plivak-data OUTDIR\n");
        return 2;
    }
    std::string outDir = argv[1];
    if (outDir.empty()) outDir = ".";
    if (outDir.back() != '/') outDir += '/';
    mkdir(outDir.c_str(), 0755);
    bool ok = writePictures(outDir) && writeRayScenes(outDir) && write3dScene(outDir) && writeMusic(outDir);
    return ok ? 0 : 1;
}
