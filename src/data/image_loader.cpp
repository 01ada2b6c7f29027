#include "data/image_loader.h"

#include <cstring>

bool convertRgb(const uint8_t* bytes, size_t size, int width, int height, uint32_t* dst) {
    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
    if (size / 3 < pixels) return false;
    const uint8_t* p = bytes;
    for (uint32_t* d = dst; d != dst + pixels; ++d, p += 3)
        *d = uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
    return true;
}

ImageLoader::ImageLoader(int32_t granularity) : buffer(granularity), stream(&buffer) {}

bool ImageLoader::loadImage(const char* fileName, int width, int height, uint32_t* dst) {
    buffer.length = 0;
    stream.read(fileName);
    return convertRgb(buffer.data, static_cast<size_t>(buffer.length), width, height, dst);
}

bool ImageLoader::loadPattern(const char* fileName, int32_t count, uint8_t* dst) {
    buffer.length = 0;
    stream.read(fileName);
    if (buffer.length < count) return false;
    std::memcpy(dst, buffer.data, static_cast<size_t>(count));
    return true;
}
