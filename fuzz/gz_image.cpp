// The ".rgb" and ".gra" path: the bytes (gzip-compressed or plain) go
// through GZ_Stream as a file, then become a small image and a pattern, as
// the image bank's loader converts them.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "data/image_loader.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static MemoryFile file("gz_image");
    // One loader for every input, as at start-up: its buffer is reused and
    // only grows.
    static ImageLoader loader;
    static uint32_t image[16 * 16];
    static uint8_t pattern[1000];
    const char* path = file.set(data, size);
    try {
        // One read per input, so that a run stays cheap: the last byte picks
        // the image or the pattern path.
        if (size == 0 || (data[size - 1] & 1) == 0) {
            if (loader.loadImage(path, 16, 16, image)) {
                uint32_t top = 0;
                for (uint32_t p : image) top |= p;
                if (top & 0xFF000000u) __builtin_trap();  // a pixel has a top byte
            }
        } else {
            loader.loadPattern(path, static_cast<int32_t>(sizeof pattern), pattern);
        }
    } catch (GZ_Error& e) {
        if (std::strncmp(e.message, "GZ_", 3) != 0) __builtin_trap();
    }
    return 0;
}
