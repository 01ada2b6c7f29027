// A gzip file whose compressed data is damaged: the read fails with the
// stream's own message, and the handle is closed each time (a few hundred
// failed reads would otherwise run out of file descriptors).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "data/gz_stream.h"

namespace {

TEST(GzCorrupt, DamagedDeflateDataFailsTheReadAndClosesTheFile) {
    const std::string path = std::string(::testing::TempDir()) + "gz_corrupt_test.gz";
    // A gzip header, then a deflate block of the reserved type 3.
    const unsigned char bytes[] = {0x1f, 0x8b, 8, 0, 0, 0, 0, 0, 0, 3, 0x07, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes, 1, sizeof bytes, f);
    std::fclose(f);
    for (int i = 0; i < 2000; ++i) {
        GZ_Buffer buffer(1024);
        GZ_Stream stream(&buffer);
        try {
            stream.read(path.c_str());
            FAIL() << "read succeeded";
        } catch (GZ_Error& e) {
            ASSERT_STREQ(e.message, "GZ_Stream: gzread() failed.");
        }
        ASSERT_EQ(stream.file, nullptr);
    }
    std::remove(path.c_str());
}

}  // namespace
