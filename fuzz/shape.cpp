// The shape reader and the morph: the input holds up to three shape files
// separated by 0xFF bytes; each is read from a file, as at start-up, and
// the morph through them is stepped and drawn.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "data/shape.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static MemoryFile files[3] = {MemoryFile("shape_a"), MemoryFile("shape_b"), MemoryFile("shape_c")};
    static uint32_t frame[320 * 200];
    const char* names[3];
    int count = 0;
    const uint8_t* start = data;
    const uint8_t* end = data + size;
    while (count < 3) {
        const uint8_t* cut = static_cast<const uint8_t*>(std::memchr(start, 0xFF, static_cast<size_t>(end - start)));
        const uint8_t* stop = cut ? cut : end;
        names[count] = files[count].set(start, static_cast<size_t>(stop - start));
        ++count;
        if (!cut) break;
        start = cut + 1;
    }
    ShapeMorph morph(count, names, 4, 30.0f, 30.0f, 160.0f, 100.0f);
    if (!morph.ok) return 0;
    // Through every transition and back to the first shape.
    for (int i = 0; i < 4 * count + 1; ++i) {
        morph.step();
        if (i % 4 == 1) morph.draw(frame);
    }
    return 0;
}
