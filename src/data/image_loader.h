// Reading the ".rgb" images and ".gra" patterns of the image bank.
#pragma once

#include <cstddef>
#include <cstdint>

#include "data/gz_stream.h"

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
