// Damage the cut-file and reserved-block cases do not reach: a gzip trailer
// whose checks disagree with the data, a file cut inside its header, and a
// buffer whose next growth would pass 2 GiB.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "data/gz_stream.h"
#include "test_files.h"

namespace {

Bytes readBack(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    Bytes b(1 << 16);
    b.resize(std::fread(b.data(), 1, b.size(), f));
    std::fclose(f);
    return b;
}

// The message of a whole-file read, "" when it succeeded; the stream's
// handle must be closed either way.
std::string readError(const Bytes& file) {
    const std::string path = scratchPath("damaged.gz");
    writeFile(path, file);
    GZ_Buffer buffer(1024);
    GZ_Stream stream(&buffer);
    std::string text;
    try {
        stream.read(path.c_str());
    } catch (GZ_Error& e) {
        text = e.message;
    }
    EXPECT_EQ(stream.file, nullptr);
    return text;
}

TEST(GzLimits, DamagedTrailerOrHeaderIsNeverTakenForAWholeFile) {
    const Bytes data = noiseBytes(5000, 9);
    writeGzip(scratchPath("good.gz"), data);
    const Bytes good = readBack(scratchPath("good.gz"));
    ASSERT_GT(good.size(), 18u);
    ASSERT_EQ(readError(good), "");

    // The trailer is CRC-32 then the length, four bytes each, at the end.
    for (size_t fromEnd : {8, 5, 4, 1}) {
        Bytes bad = good;
        bad[bad.size() - fromEnd] ^= 0x40;
        std::string text = readError(bad);
        EXPECT_TRUE(text == "GZ_Stream: gzread() failed." || text == "GZ_Stream: gzclose() failed.")
            << fromEnd << ": " << text;
    }
    // Cut inside the 10-byte header, and a trailer cut short.
    for (size_t keep : {size_t{3}, size_t{9}, good.size() - 3}) {
        std::string text = readError(Bytes(good.begin(), good.begin() + static_cast<long>(keep)));
        EXPECT_TRUE(text == "GZ_Stream: gzread() failed." || text == "GZ_Stream: gzclose() failed.")
            << keep << ": " << text;
    }
}

TEST(GzLimits, GrowthPast2GiBFailsWithoutTouchingTheBuffer) {
    GZ_Buffer b(4096);
    uint8_t bytes[2048] = {1};
    b.append(bytes, 10);
    uint8_t* storage = b.data;
    b.append(bytes, 0);
    EXPECT_EQ(b.length, 10);
    // A length this close to the limit would wrap a 32-bit size sum; the
    // append must refuse before anything is reallocated or copied.
    b.length = INT32_MAX - 1000;
    try {
        b.append(bytes, 2048);
        ADD_FAILURE() << "append succeeded";
    } catch (GZ_Error& e) {
        EXPECT_STREQ(e.message, "GZ_Buffer: realloc() failed.");
    }
    EXPECT_EQ(b.data, storage);
    EXPECT_EQ(b.capacity, 4096);
    EXPECT_EQ(b.length, INT32_MAX - 1000);
    b.length = 0;
}

}  // namespace
