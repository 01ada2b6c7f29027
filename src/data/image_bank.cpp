// LoadImageBank: the start-up load from "../data/", ending the process with
// status 1 on any failure, before the console opens.
#include <cstdio>
#include <cstdlib>

#include "data/image_loader.h"
#include "host/host.h"
#include "host/shared_effects.h"

void LoadImageBank() {
    StartupData data;
    LoadFailure failure;
    if (!loadStartupData("../data/", VerboseLoading, data, failure)) {
        if (VerboseLoading)
            std::fprintf(stderr, "cannot load %s: %s\n", failure.file.c_str(), failure.reason.c_str());
        std::exit(1);
    }
    CoolText = data.coolText;
    Morph = data.morph;
}
