// Reading the ".rgb" images and ".gra" patterns of the image bank, and the
// whole start-up load (images, patterns, the PCX picture, both ray scenes,
// the shape morph) with a result instead of an exit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "data/gz_stream.h"

struct PcxPicture;
class ShapeMorph;

// ".rgb": width x height pixels of red, green, blue bytes, row-major;
// bytes past the picture are ignored. False when there are fewer.
bool convertRgb(const uint8_t* bytes, size_t size, int width, int height, uint32_t* dst);

// One buffer reused for every file (it grows to the largest), one stream
// attached to it. Files may be gzip-compressed or plain.
class ImageLoader {
public:
    static constexpr int32_t kGranularity = 8192;

    explicit ImageLoader(int32_t granularity = kGranularity);

    // False when the file is shorter than the picture; GZ_Error when it
    // cannot be read.
    bool loadImage(const char* fileName, int width, int height, uint32_t* dst);
    // Copies the first count bytes; false when the file has fewer.
    bool loadPattern(const char* fileName, int32_t count, uint8_t* dst);

    GZ_Buffer buffer;
    GZ_Stream stream;
};

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
