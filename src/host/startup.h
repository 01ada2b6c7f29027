// The start-up load with a result instead of an exit: every image and
// pattern of the bank, the PCX picture, both ray scenes and the shape
// morph, then the checks the raytraced parts need of their scenes.
// LoadImageBank runs it and ends the process on a failure; tests and
// benchmarks call loadStartupData directly.
#pragma once

#include <string>

struct PcxPicture;
class ShapeMorph;

// What stopped the start-up load: the file and why.
struct LoadFailure {
    std::string file;
    std::string reason;
};

// What the start-up load made besides the image bank and the ray scenes.
struct StartupData {
    PcxPicture* coolText = nullptr;
    ShapeMorph* morph = nullptr;
};

// Loads everything from dataDir (which ends with '/'), in this order: the
// 72 images and 2 patterns into the image bank, "cooltext.pcx",
// "final.scn" into FinalRayScene and "atom.scn" into AtomRayScene (both
// with SharedRayViewport), the morph of "shape1" .. "shape7". Then checks
// that the viewport is 81 x 36 and that each scene holds the objects its
// part moves. With verbose, one line per file on standard error as it is
// loaded. Returns false at the first failure, with failure filled in;
// what was made before stays.
bool loadStartupData(const std::string& dataDir, bool verbose, StartupData& out,
                     LoadFailure& failure);

// Runs loadStartupData on "../data/" with the configured verbosity and
// keeps what it made in CoolText and Morph (stage/shared_effects.h); ends
// the process with status 1 on any failure.
void LoadImageBank();
