// plivak-data OUTDIR: writes every file the demo reads from its data folder;
// plivak-data --icons DIR: the menu icon for the installed package.
// The output depends on nothing but this program, byte for byte.
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "gen/generators.h"
#include "gen/pic_icon.h"
#include "gen/pic_sheet.h"

namespace {

void usage(std::FILE* out) {
    std::fprintf(out,
                 "usage: plivak-data OUTDIR [--contact-sheet FILE.png] [--icons DIR]\n"
                 "   or: plivak-data --icons DIR\n"
                 "  OUTDIR                    folder to write every data file into (made if missing)\n"
                 "  --contact-sheet FILE.png  also write one picture of every generated image\n"
                 "  --icons DIR               write the menu icon into DIR/hicolor: NxN/apps/plivak.png\n"
                 "                            at 48, 64, 128 and 256 pixels, scalable/apps/plivak.svg\n"
                 "  --help                    print this and exit\n"
                 "A name beginning with '-' is never taken as a folder or file: write ./-name.\n");
}

int badUsage(const char* what, const char* arg) {
    std::fprintf(stderr, "plivak-data: %s '%s'\n", what, arg);
    usage(stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const char* outArg = nullptr;
    const char* sheetArg = nullptr;
    const char* iconArg = nullptr;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (!std::strcmp(arg, "--help") || !std::strcmp(arg, "-h")) {
            usage(stdout);
            return 0;
        }
        if (!std::strcmp(arg, "--contact-sheet")) {
            if (i + 1 >= argc || argv[i + 1][0] == '-' || argv[i + 1][0] == '\0')
                return badUsage("missing file name after", arg);
            sheetArg = argv[++i];
        } else if (!std::strcmp(arg, "--icons")) {
            if (i + 1 >= argc || argv[i + 1][0] == '-' || argv[i + 1][0] == '\0')
                return badUsage("missing folder name after", arg);
            iconArg = argv[++i];
        } else if (arg[0] == '-') {
            return badUsage("unknown option", arg);
        } else if (outArg) {
            return badUsage("more than one folder:", arg);
        } else {
            outArg = arg;
        }
    }
    std::string iconDir = iconArg ? iconArg : "";
    if (iconArg && iconDir.back() != '/') iconDir += '/';
    if (iconArg && !outArg && !sheetArg) return writeIcons(iconDir) ? 0 : 1;
    if (!outArg || outArg[0] == '\0') {
        std::fprintf(stderr, "plivak-data: missing OUTDIR\n");
        usage(stderr);
        return 2;
    }
    std::string outDir = outArg;
    if (outDir.back() != '/') outDir += '/';
    mkdir(outDir.c_str(), 0755);
    bool ok = writePictures(outDir) && writeRayScenes(outDir) && write3dScene(outDir) && writeMusic(outDir);
    if (ok && sheetArg) ok = writeContactSheet(outDir, sheetArg);
    if (ok && iconArg) ok = writeIcons(iconDir);
    return ok ? 0 : 1;
}
