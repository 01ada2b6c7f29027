// plivak-gz-probe FILE...: reads each file through GZ_Stream and prints one
// line, "NAME ok LENGTH CRC" (an FNV-1a hash of the bytes) or "NAME error
// MESSAGE". Built natively (on zlib) and for the web (on gz_web.js), so
// that tools/web/check.sh can compare the two on the same files.
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "data/gz_stream.h"

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const char* name = std::strrchr(argv[i], '/');
        name = name ? name + 1 : argv[i];
        try {
            GZ_Buffer buffer(4096);
            GZ_Stream stream(&buffer);
            stream.read(argv[i]);
            uint32_t hash = 2166136261u;
            for (int32_t k = 0; k < buffer.length; ++k) hash = (hash ^ buffer.data[k]) * 16777619u;
            std::printf("%s ok %" PRId32 " %08" PRIx32 "\n", name, buffer.length, hash);
        } catch (const GZ_Error& e) {
            std::printf("%s error %s\n", name, e.message);
        }
    }
    return 0;
}
