#include "data/gz_stream.h"

#include <gtest/gtest.h>

#include <cstring>

#include "test_files.h"

namespace {

std::string errorText(void (*action)()) {
    try {
        action();
    } catch (GZ_Error& e) {
        return e.message;
    }
    return "";
}

Bytes readThrough(const std::string& path, int32_t granularity, int32_t* capacity = nullptr) {
    GZ_Buffer buffer(granularity);
    GZ_Stream stream(&buffer);
    EXPECT_EQ(stream.read(path.c_str()), 0);
    if (capacity) *capacity = buffer.capacity;
    return Bytes(buffer.data, buffer.data + buffer.length);
}

TEST(GzBuffer, GranularityAndAllocationRules) {
    EXPECT_EQ(errorText([] { GZ_Buffer b(1023); }), "GZ_Buffer: granularity too tiny.");
    EXPECT_EQ(errorText([] { GZ_Buffer b(1024); }), "");
    EXPECT_EQ(errorText([] {
                  GZ_Buffer b(4096);
                  b.allocate(4096);
              }),
              "GZ_Buffer: buffer already allocated.");
    GZ_Buffer b(1024);
    EXPECT_EQ(b.length, 0);
    EXPECT_EQ(b.capacity, 1024);
}

TEST(GzBuffer, GrowsInWholeGranularitySteps) {
    GZ_Buffer b(1024);
    Bytes chunk = noiseBytes(1000, 1);
    for (int i = 0; i < 3; ++i) b.append(chunk.data(), 1000);
    EXPECT_EQ(b.length, 3000);
    EXPECT_EQ(b.capacity, 3072);
    // An append larger than one step takes as many steps as it needs.
    Bytes big = noiseBytes(5000, 2);
    b.append(big.data(), 5000);
    EXPECT_EQ(b.length, 8000);
    EXPECT_EQ(b.capacity, 8192);
    EXPECT_EQ(std::memcmp(b.data + 3000, big.data(), 5000), 0);
    EXPECT_EQ(std::memcmp(b.data + 2000, chunk.data(), 1000), 0);
}

TEST(GzStream, ExactGranularityFillsWithoutGrowingAndOneMoreByteGrows) {
    Bytes exact = noiseBytes(8192, 3);
    writeFile(scratchPath("exact.bin"), exact);
    int32_t capacity = 0;
    EXPECT_EQ(readThrough(scratchPath("exact.bin"), 8192, &capacity), exact);
    EXPECT_EQ(capacity, 8192);

    Bytes more = noiseBytes(8193, 3);
    writeFile(scratchPath("more.bin"), more);
    EXPECT_EQ(readThrough(scratchPath("more.bin"), 8192, &capacity), more);
    EXPECT_EQ(capacity, 16384);
}

TEST(GzStream, PlainAndGzipGiveTheSameBytes) {
    Bytes data = noiseBytes(30000, 4);
    data.insert(data.end(), 20000, 7);  // a compressible tail
    writeFile(scratchPath("plain.bin"), data);
    writeGzip(scratchPath("packed.bin"), data);
    EXPECT_EQ(readThrough(scratchPath("plain.bin"), 1024), data);
    EXPECT_EQ(readThrough(scratchPath("packed.bin"), 1024), data);
}

TEST(GzStream, EmptyFileAppendsNothing) {
    writeFile(scratchPath("empty.bin"), {});
    EXPECT_TRUE(readThrough(scratchPath("empty.bin"), 1024).empty());
}

TEST(GzStream, ReadAppendsToWhatIsThere) {
    writeFile(scratchPath("abc.bin"), asBytes("abc"));
    GZ_Buffer buffer(1024);
    GZ_Stream stream(&buffer);
    stream.read(scratchPath("abc.bin").c_str());
    stream.read(scratchPath("abc.bin").c_str());
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer.data), buffer.length), "abcabc");
}

TEST(GzStream, Failures) {
    EXPECT_EQ(errorText([] {
                  GZ_Buffer b(1024);
                  GZ_Stream s(&b);
                  s.read(scratchPath("no-such-file").c_str());
              }),
              "GZ_Stream: gzopen() failed.");
    EXPECT_EQ(errorText([] {
                  GZ_Buffer b(1024);
                  GZ_Stream s(&b);
                  s.attach(&b);
              }),
              "GZ_Stream: buffer already attached.");
    EXPECT_EQ(errorText([] {
                  GZ_Stream s(nullptr);
                  s.read("x");
              }),
              "GZ_Stream: null buffer exception.");
    // A gzip file cut short is reported, not taken as complete.
    Bytes data = noiseBytes(20000, 5);
    writeGzip(scratchPath("cut.gz"), data);
    std::FILE* f = std::fopen(scratchPath("cut.gz").c_str(), "rb");
    Bytes packed(30000);
    packed.resize(std::fread(packed.data(), 1, packed.size(), f));
    std::fclose(f);
    packed.resize(packed.size() / 2);
    writeFile(scratchPath("cut.gz"), packed);
    std::string text = errorText([] {
        GZ_Buffer b(1024);
        GZ_Stream s(&b);
        s.read(scratchPath("cut.gz").c_str());
    });
    EXPECT_TRUE(text == "GZ_Stream: gzread() failed." || text == "GZ_Stream: gzclose() failed.")
        << text;
}

}  // namespace
