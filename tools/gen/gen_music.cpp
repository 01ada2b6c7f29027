// demo.xm: the demo's music, composed and synthesized by music_score and
// music_synth, written with the XM writer.
#include <cstdio>
#include <string>

#include "gen/generators.h"
#include "gen/music_score.h"
#include "xm/xm_writer.h"

bool writeMusic(const std::string& outDir) {
    std::string error;
    if (!xm::saveXm(music::composeMusic(), outDir + "demo.xm", &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    return true;
}
