#include <gtest/gtest.h>

#include <string>

#include "data/image_bank.h"
#include "data/image_loader.h"
#include "data/pcx.h"
#include "gfx2d/shade_table.h"
#include "test_files.h"

namespace {

TEST(RgbImage, PixelRuleAndSizeRule) {
    Bytes rgb = {255, 0, 128, 1, 2, 3, 0, 0, 0, 9, 9, 9, 0xEE};  // one byte extra
    uint32_t px[4] = {};
    EXPECT_TRUE(convertRgb(rgb.data(), rgb.size(), 2, 2, px));
    EXPECT_EQ(px[0], 0x00FF0080u);
    EXPECT_EQ(px[1], 0x00010203u);
    EXPECT_FALSE(convertRgb(rgb.data(), 11, 2, 2, px));  // one byte short
}

TEST(RgbImage, GzipAndPlainGiveTheSamePixelsThroughOneBuffer) {
    const int w = 107, h = 99;
    Bytes rgb = noiseBytes(w * h * 3, 11);
    writeFile(scratchPath("camera.rgb"), rgb);
    writeGzip(scratchPath("camera_gz.rgb"), rgb);
    writeGzip(scratchPath("camera_short.rgb"), Bytes(rgb.begin(), rgb.end() - 1));
    std::vector<uint32_t> plain(w * h), packed(w * h);
    ImageLoader loader;
    EXPECT_TRUE(loader.loadImage(scratchPath("camera.rgb").c_str(), w, h, plain.data()));
    EXPECT_TRUE(loader.loadImage(scratchPath("camera_gz.rgb").c_str(), w, h, packed.data()));
    EXPECT_EQ(plain, packed);
    EXPECT_FALSE(loader.loadImage(scratchPath("camera_short.rgb").c_str(), w, h, packed.data()));
    EXPECT_EQ(loader.buffer.capacity, 4 * 8192);  // reused, not grown per file
    uint8_t pattern[64000];
    EXPECT_FALSE(loader.loadPattern(scratchPath("camera_short.rgb").c_str(), 64000, pattern));
}

// An 8-bit PCX: header for (x0, y0) .. (x1, y1), the given run data, the
// palette marker and a palette whose entry i is (i, 255 - i, i / 2).
Bytes pcxFile(int x0, int y0, int x1, int y1, const Bytes& runs, bool palette = true) {
    Bytes f(128 + runs.size() + (palette ? 769 : 0), 0);
    f[0] = 10, f[1] = 5, f[2] = 1, f[3] = 8;
    int corners[] = {x0, y0, x1, y1};
    for (int i = 0; i < 4; ++i) f[4 + 2 * i] = corners[i] & 0xFF, f[5 + 2 * i] = (corners[i] >> 8) & 0xFF;
    std::copy(runs.begin(), runs.end(), f.begin() + 128);
    if (!palette) return f;
    uint8_t* p = &f[128 + runs.size()];
    *p++ = 12;
    for (int i = 0; i < 256; ++i) *p++ = uint8_t(i), *p++ = uint8_t(255 - i), *p++ = uint8_t(i / 2);
    return f;
}

// Runs of value v covering count pixels.
Bytes fill(size_t count, uint8_t v) {
    Bytes b;
    for (; count >= 63; count -= 63) b.insert(b.end(), {0xFF, v});
    if (count) b.insert(b.end(), {uint8_t(0xC0 | count), v});
    return b;
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(Pcx, RunLengthEdgeCases) {
    // 0xC3 0x07: three 7s. 0xC0 0x55: nothing, 0x55 eaten. 0xC1 0xC8: a
    // value of 192 or more needs a run. The last run passes the end by 40
    // pixels and is cut there; the next byte is the palette marker.
    Bytes runs = Bytes{0xC3, 0x07, 0xC0, 0x55, 0x05, 0xC1, 0xC8} + fill(65536 - 8, 0x21) + Bytes{0xC0 | 43, 0x42};
    PcxPicture pic;
    Bytes file = pcxFile(10, -5, 265, 250, runs);
    ASSERT_EQ(pic.parse(file.data(), file.size()), PcxPicture::kLoaded);
    const std::pair<int, uint8_t> probes[] = {{0, 7}, {2, 7}, {3, 5}, {4, 0xC8}, {5, 0x21}, {65532, 0x21}, {65533, 0x42}, {65535, 0x42}};
    for (auto [at, v] : probes) EXPECT_EQ(pic.pixels[at], v) << at;
    EXPECT_EQ(pic.palette[200], 0x00C83764u);
    // Lit from white through the picture's colours: level 128 is the colour.
    EXPECT_EQ(pic.shadeTable->colour(200, 128), 0x00C83764u);
    EXPECT_EQ(pic.shadeTable->colour(200, 0), 0x00FFFFFFu);
}

TEST(Pcx, HeaderRulesAndShortFiles) {
    const Bytes body = fill(65536, 3);
    auto parse = [](const Bytes& f) { return PcxPicture().parse(f.data(), f.size()); };
    EXPECT_EQ(parse(pcxFile(0, 0, 255, 255, body)), PcxPicture::kLoaded);
    for (int at : {0, 1, 2, 3}) {
        Bytes f = pcxFile(0, 0, 255, 255, body);
        f[at] = at == 2 ? 0 : 3;  // signature, version 3, encoding 0, 3 bits
        EXPECT_EQ(parse(f), PcxPicture::kBadHeader) << at;
    }
    // Version 5 and 8 bits per pixel exactly: one either side is refused.
    for (auto [at, value] : {std::pair{1, 4}, {1, 6}, {3, 7}, {3, 9}}) {
        Bytes f = pcxFile(0, 0, 255, 255, body);
        f[at] = uint8_t(value);
        EXPECT_EQ(parse(f), PcxPicture::kBadHeader) << at << " " << value;
    }
    // The picture is read as 256 x 256 indices: no other size will do.
    EXPECT_EQ(parse(pcxFile(0, 0, 319, 199, body)), PcxPicture::kBadHeader);
    EXPECT_EQ(parse(pcxFile(255, 0, 0, 255, body)), PcxPicture::kBadHeader);
    EXPECT_EQ(parse(pcxFile(-32768, 0, 32767, 255, body)), PcxPicture::kBadHeader);

    Bytes noPalette = pcxFile(0, 0, 255, 255, body);
    noPalette.pop_back();
    EXPECT_EQ(parse(noPalette), PcxPicture::kShortFile);
    EXPECT_EQ(parse(pcxFile(0, 0, 255, 255, fill(30000, 3), false)), PcxPicture::kShortFile);
    EXPECT_EQ(parse(pcxFile(0, 0, 255, 255, fill(65000, 3) + Bytes{0xC5}, false)), PcxPicture::kShortFile);
    EXPECT_EQ(parse(Bytes(100, 10)), PcxPicture::kShortFile);
    EXPECT_EQ(PcxPicture().load(scratchPath("missing.pcx").c_str()), PcxPicture::kCannotOpen);
}


// A handle of the bank is the file it is named after: the same array the
// loader fills, with that file's size. The groups are checked member by
// member, single images by a sample of shapes (wide, tall, square).
TEST(ImageBank, HandlesCarryTheirFilesPixelsAndSize) {
    auto fileOf = [](const img::Image& image) -> const img::ImageFile* {
        for (const img::ImageFile& f : img::kImageFiles)
            if (f.pixels == image.pixels) return &f;
        return nullptr;
    };
    auto expectFile = [&](const img::Image& image, const std::string& name) {
        const img::ImageFile* f = fileOf(image);
        ASSERT_NE(f, nullptr) << name;
        EXPECT_EQ(f->file, name);
        EXPECT_EQ(f->width, image.width) << name;
        EXPECT_EQ(f->height, image.height) << name;
    };
    for (int k = 0; k < 6; ++k) expectFile(img::pyr[k], "pyr" + std::to_string(k) + ".rgb");
    for (int k = 0; k < 8; ++k) expectFile(img::banner[k], "banner2" + std::to_string(k + 1) + ".rgb");
    expectFile(img::greets, "greets.rgb");
    expectFile(img::binary1, "binary1.rgb");
    expectFile(img::ear, "ear.rgb");
    expectFile(img::k, "k.rgb");
    expectFile(img::n3deng, "3deng.rgb");

    const Sprite s = img::sprite(img::ostrin3, img::kKeyColour);
    EXPECT_EQ(s.width, img::size::ostrin3.width);
    EXPECT_EQ(s.height, img::size::ostrin3.height);
}

}  // namespace
