// The chapter file's reader: the input is a chapter file as on disk
// (gzip-compressed or plain), read from a file as at start-up. A file that
// reads is written out again and must read back to the same bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "data/chapter_file.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static MemoryFile memory("chapters");
    ChapterFile file;
    const char* error = nullptr;
    if (!readChapterFile(memory.set(data, size), file, &error)) {
        if (!error || !file.chapters.empty()) std::abort();
        return 0;
    }
    const std::vector<uint8_t> bytes = serialiseChapterFile(file);
    ChapterFile again;
    if (!parseChapterFile(bytes.data(), bytes.size(), again, &error)) std::abort();
    if (serialiseChapterFile(again) != bytes) std::abort();
    return 0;
}
