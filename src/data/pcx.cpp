#include "data/pcx.h"

#include <cstring>
#include <memory>
#include <vector>

#include "data/text_scanner.h"
#include "gfx2d/shade_table.h"

namespace {

int16_t readInt16Le(const uint8_t* p) {
    return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
}

}  // namespace

PcxPicture::Result PcxPicture::parse(const uint8_t* bytes, size_t size) {
    if (size < kHeaderSize) return kShortFile;
    if (bytes[0] != 10 || bytes[1] != 5 || bytes[2] == 0 || bytes[3] != 8) return kBadHeader;
    int32_t width = int32_t{readInt16Le(bytes + 8)} - readInt16Le(bytes + 4) + 1;
    int32_t height = int32_t{readInt16Le(bytes + 10)} - readInt16Le(bytes + 6) + 1;
    if (width != kWidth || height != kHeight) return kBadHeader;

    // One continuous run-length stream over the whole picture; a run that
    // would pass the last pixel is cut there.
    constexpr size_t kPixels = size_t{kWidth} * kHeight;
    std::unique_ptr<uint8_t[]> out(new uint8_t[kPixels]);
    const uint8_t* in = bytes + kHeaderSize;
    const uint8_t* end = bytes + size;
    size_t filled = 0;
    while (filled < kPixels) {
        if (in == end) return kShortFile;
        uint8_t b = *in++;
        if (b >= 0xC0) {
            if (in == end) return kShortFile;
            size_t run = b & 0x3F;
            uint8_t value = *in++;
            if (run > kPixels - filled) run = kPixels - filled;
            std::memset(out.get() + filled, value, run);
            filled += run;
        } else {
            out[filled++] = b;
        }
    }
    // The palette marker (not checked), then 256 entries of red, green, blue.
    if (end - in < 1 + 768) return kShortFile;
    ++in;
    std::unique_ptr<uint32_t[]> colours(new uint32_t[256]);
    for (int i = 0; i < 256; ++i, in += 3)
        colours[i] = uint32_t{in[0]} << 16 | uint32_t{in[1]} << 8 | in[2];

    shadeTable = new ShadeTable(colours.get(), 0xFFFFFF, 0xFFFFFF);
    pixels = out.release();
    palette = colours.release();
    return kLoaded;
}

PcxPicture::Result PcxPicture::load(const char* fileName) {
    std::vector<uint8_t> bytes;
    if (!readWholeFile(fileName, bytes)) return kCannotOpen;
    return parse(bytes.data(), bytes.size());
}

const char* PcxPicture::describe(Result result) {
    switch (result) {
    case kLoaded: return "loaded";
    case kCannotOpen: return "cannot open";
    case kBadHeader: return "bad PCX header";
    case kShortFile: return "short file";
    }
    return "?";
}
