// The start-up load with a result instead of an exit: every image and
// pattern of the bank, the PCX picture, both ray scenes and the shape
// morph, then the checks the raytraced parts need of their scenes.
// LoadImageBank (shared_effects.h) runs it and ends the process on a
// failure; tests and benchmarks call it directly.
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

// Out of memory during start-up. StartUp installs OutOfMemoryAtStartup as
// the new-handler, so an allocation that fails anywhere before the console
// opens (a plain new, a nothrow new, one inside a reader or a library
// container) ends the process with status 1 instead of an exception that
// nothing catches; with "verbose" it first prints the one line
// "cannot VERB WHAT: out of memory" for the step named last by
// StartupStep. Each step of start-up names itself before it allocates:
// StartupStep("load", "../data/cooltext.pcx"), StartupStep("make", "the
// blob field"). The text is kept in a fixed buffer, so naming a step
// allocates nothing.
void StartupStep(const char* verb, const char* what);
[[noreturn]] void OutOfMemoryAtStartup();
