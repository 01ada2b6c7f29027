#include "data/gz_stream.h"

#include <gtest/gtest.h>

#include "test_files.h"

namespace {

template <typename Action>
std::string errorText(Action action) {
    try {
        action();
    } catch (GZ_Error& e) {
        return e.message;
    }
    return "";
}

// The whole file through a stream; capacity says how far the buffer grew.
Bytes readThrough(const std::string& path, int32_t granularity, int32_t* capacity = nullptr) {
    GZ_Buffer buffer(granularity);
    GZ_Stream stream(&buffer);
    EXPECT_EQ(stream.read(path.c_str()), 0);
    if (capacity) *capacity = buffer.capacity;
    return Bytes(buffer.data, buffer.data + buffer.length);
}

TEST(GzStream, BufferRules) {
    EXPECT_EQ(errorText([] { GZ_Buffer b(1023); }), "GZ_Buffer: granularity too tiny.");
    EXPECT_EQ(errorText([] { GZ_Buffer b(1024); }), "");
    EXPECT_EQ(errorText([] { GZ_Buffer(4096).allocate(4096); }), "GZ_Buffer: buffer already allocated.");
    EXPECT_EQ(errorText([] {
                  GZ_Buffer b(1024);
                  GZ_Stream(&b).attach(&b);
              }),
              "GZ_Stream: buffer already attached.");
    EXPECT_EQ(errorText([] { GZ_Stream(nullptr).read("x"); }), "GZ_Stream: null buffer exception.");
    // One append larger than a step grows by as many steps as it needs.
    GZ_Buffer b(1024);
    Bytes big = noiseBytes(5000, 2);
    b.append(big.data(), 1000);
    b.append(big.data(), 5000);
    EXPECT_EQ(b.capacity, 6144);
    EXPECT_EQ(Bytes(b.data + 1000, b.data + 6000), big);
    // Exactly two steps short: two steps, not three.
    GZ_Buffer exact(1024);
    exact.append(big.data(), 1024);
    EXPECT_EQ(exact.capacity, 1024);
    exact.append(big.data(), 2048);
    EXPECT_EQ(exact.capacity, 3072);
}

TEST(GzStream, GrowthAtTheGranularityBoundary) {
    int32_t capacity = 0;
    for (size_t size : {8192u, 8193u}) {
        Bytes data = noiseBytes(size, 3);
        writeFile(scratchPath("edge.bin"), data);
        EXPECT_EQ(readThrough(scratchPath("edge.bin"), 8192, &capacity), data);
        EXPECT_EQ(capacity, size == 8192 ? 8192 : 16384);
    }
    writeFile(scratchPath("empty.bin"), {});
    EXPECT_TRUE(readThrough(scratchPath("empty.bin"), 1024).empty());
}

TEST(GzStream, PlainAndGzipReadTheSameAndDamageIsReported) {
    Bytes data = noiseBytes(30000, 4);
    data.insert(data.end(), 20000, 7);
    writeFile(scratchPath("plain.bin"), data);
    writeGzip(scratchPath("packed.bin"), data);
    EXPECT_EQ(readThrough(scratchPath("plain.bin"), 1024), data);
    EXPECT_EQ(readThrough(scratchPath("packed.bin"), 1024), data);

    auto readFile = [](const char* name) {
        return errorText([&] {
            GZ_Buffer b(1024);
            GZ_Stream(&b).read(scratchPath(name).c_str());
        });
    };
    EXPECT_EQ(readFile("no-such-file"), "GZ_Stream: gzopen() failed.");
    // A gzip file cut in half is not taken for a whole one.
    std::FILE* f = std::fopen(scratchPath("packed.bin").c_str(), "rb");
    Bytes packed(60000);
    packed.resize(std::fread(packed.data(), 1, packed.size(), f) / 2);
    std::fclose(f);
    writeFile(scratchPath("cut.gz"), packed);
    std::string text = readFile("cut.gz");
    EXPECT_TRUE(text == "GZ_Stream: gzread() failed." || text == "GZ_Stream: gzclose() failed.") << text;
}

}  // namespace
