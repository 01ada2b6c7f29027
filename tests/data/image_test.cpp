#include <gtest/gtest.h>

#include <cstring>

#include "data/image_loader.h"
#include "data/pcx.h"
#include "gfx2d/shade_table.h"
#include "test_files.h"

namespace {

TEST(RgbImage, PixelsAreRedGreenBlueBytesAndExtraBytesAreIgnored) {
    Bytes rgb = {255, 0, 128, 1, 2, 3, 0, 0, 0, 9, 9, 9, 0xEE, 0xEE};
    uint32_t px[4] = {};
    EXPECT_TRUE(convertRgb(rgb.data(), rgb.size(), 2, 2, px));
    EXPECT_EQ(px[0], 0x00FF0080u);
    EXPECT_EQ(px[1], 0x00010203u);
    EXPECT_EQ(px[3], 0x00090909u);
    // One byte short of four pixels.
    EXPECT_FALSE(convertRgb(rgb.data(), 11, 2, 2, px));
}

TEST(ImageLoader, GzipAndPlainGiveTheSamePixelsAndShortFilesFail) {
    const int w = 107, h = 99;
    Bytes rgb = noiseBytes(w * h * 3, 11);
    writeFile(scratchPath("camera.rgb"), rgb);
    writeGzip(scratchPath("camera_gz.rgb"), rgb);
    Bytes shortRgb(rgb.begin(), rgb.end() - 1);
    writeGzip(scratchPath("camera_short.rgb"), shortRgb);

    std::vector<uint32_t> plain(w * h), packed(w * h, 1);
    ImageLoader loader;
    EXPECT_TRUE(loader.loadImage(scratchPath("camera.rgb").c_str(), w, h, plain.data()));
    EXPECT_TRUE(loader.loadImage(scratchPath("camera_gz.rgb").c_str(), w, h, packed.data()));
    EXPECT_EQ(plain, packed);
    EXPECT_EQ(plain[w * h - 1], uint32_t{rgb[w * h * 3 - 3]} << 16 |
                                    uint32_t{rgb[w * h * 3 - 2]} << 8 | rgb[w * h * 3 - 1]);
    EXPECT_FALSE(loader.loadImage(scratchPath("camera_short.rgb").c_str(), w, h, packed.data()));
    // The buffer was reused, not regrown per file.
    EXPECT_EQ(loader.buffer.capacity, 8192 * ((w * h * 3 + 8191) / 8192));

    Bytes pattern = noiseBytes(64000, 12);
    writeGzip(scratchPath("pattern.gra"), pattern);
    writeFile(scratchPath("pattern_short.gra"), Bytes(pattern.begin(), pattern.end() - 1));
    std::vector<uint8_t> out(64000);
    EXPECT_TRUE(loader.loadPattern(scratchPath("pattern.gra").c_str(), 64000, out.data()));
    EXPECT_EQ(out, pattern);
    EXPECT_FALSE(loader.loadPattern(scratchPath("pattern_short.gra").c_str(), 64000, out.data()));
}

// A PCX header for an 8-bit picture from (x0, y0) to (x1, y1).
Bytes pcxHeader(int x0, int y0, int x1, int y1) {
    Bytes h(128, 0);
    h[0] = 10;
    h[1] = 5;
    h[2] = 1;
    h[3] = 8;
    auto put = [&](int at, int v) {
        h[at] = static_cast<uint8_t>(v & 0xFF);
        h[at + 1] = static_cast<uint8_t>((v >> 8) & 0xFF);
    };
    put(4, x0);
    put(6, y0);
    put(8, x1);
    put(10, y1);
    return h;
}

// Palette marker and a palette whose entry i is (i, 255 - i, i / 2).
Bytes pcxPalette() {
    Bytes p = {12};
    for (int i = 0; i < 256; ++i) {
        p.push_back(static_cast<uint8_t>(i));
        p.push_back(static_cast<uint8_t>(255 - i));
        p.push_back(static_cast<uint8_t>(i / 2));
    }
    return p;
}

void appendBytes(Bytes& to, const Bytes& more) { to.insert(to.end(), more.begin(), more.end()); }

// Runs of 63 pixels of value v until `count` pixels are written.
void appendFill(Bytes& to, size_t count, uint8_t v) {
    for (; count >= 63; count -= 63) appendBytes(to, {0xFF, v});
    if (count) appendBytes(to, {static_cast<uint8_t>(0xC0 | count), v});
}

TEST(Pcx, RunLengthDecodingAndPalette) {
    Bytes file = pcxHeader(10, -5, 265, 250);
    // 0xC3 0x07: three pixels of 7. 0xC0 0x55: nothing, and 0x55 is eaten.
    // 0x05: a literal. 0xC1 0xC8: a run writes a value of 192 or more.
    appendBytes(file, {0xC3, 0x07, 0xC0, 0x55, 0x05, 0xC1, 0xC8});
    appendFill(file, 65536 - 5 - 3, 0x21);
    // The last run crosses the end by 40 pixels: it is cut there, and the
    // next byte is the palette marker.
    appendBytes(file, {0xC0 | 43, 0x42});
    appendBytes(file, pcxPalette());

    PcxPicture pic;
    ASSERT_EQ(pic.parse(file.data(), file.size()), PcxPicture::kLoaded);
    EXPECT_EQ(pic.pixels[0], 7);
    EXPECT_EQ(pic.pixels[2], 7);
    EXPECT_EQ(pic.pixels[3], 5);
    EXPECT_EQ(pic.pixels[4], 0xC8);
    EXPECT_EQ(pic.pixels[5], 0x21);
    EXPECT_EQ(pic.pixels[65532], 0x21);
    EXPECT_EQ(pic.pixels[65533], 0x42);
    EXPECT_EQ(pic.pixels[65535], 0x42);
    EXPECT_EQ(pic.palette[0], 0x0000FF00u);
    EXPECT_EQ(pic.palette[200], 0x00C83764u);
    ASSERT_NE(pic.shadeTable, nullptr);
    // Level 128 is the palette colour; level 0 is white (low = high = white).
    EXPECT_EQ(pic.shadeTable->colour(200, 128), 0x00C83764u);
    EXPECT_EQ(pic.shadeTable->colour(200, 0), 0x00FFFFFFu);
}

TEST(Pcx, HeaderRulesAndShortFiles) {
    Bytes body;
    appendFill(body, 65536, 3);
    appendBytes(body, pcxPalette());
    auto parse = [&](Bytes header, const Bytes& rest) {
        appendBytes(header, rest);
        PcxPicture pic;
        return pic.parse(header.data(), header.size());
    };
    EXPECT_EQ(parse(pcxHeader(0, 0, 255, 255), body), PcxPicture::kLoaded);

    Bytes h = pcxHeader(0, 0, 255, 255);
    h[1] = 3;  // version
    EXPECT_EQ(parse(h, body), PcxPicture::kBadHeader);
    h = pcxHeader(0, 0, 255, 255);
    h[2] = 0;  // encoding
    EXPECT_EQ(parse(h, body), PcxPicture::kBadHeader);
    h = pcxHeader(0, 0, 255, 255);
    h[3] = 4;  // bits per pixel
    EXPECT_EQ(parse(h, body), PcxPicture::kBadHeader);
    h = pcxHeader(0, 0, 255, 255);
    h[0] = 11;
    EXPECT_EQ(parse(h, body), PcxPicture::kBadHeader);
    // Any size but 256 x 256, and xmax below xmin, is refused.
    EXPECT_EQ(parse(pcxHeader(0, 0, 319, 199), body), PcxPicture::kBadHeader);
    EXPECT_EQ(parse(pcxHeader(0, 0, 255, 254), body), PcxPicture::kBadHeader);
    EXPECT_EQ(parse(pcxHeader(255, 0, 0, 255), body), PcxPicture::kBadHeader);
    EXPECT_EQ(parse(pcxHeader(-32768, 0, 32767, 255), body), PcxPicture::kBadHeader);

    Bytes noPalette(body.begin(), body.end() - 1);
    EXPECT_EQ(parse(pcxHeader(0, 0, 255, 255), noPalette), PcxPicture::kShortFile);
    Bytes halfPixels;
    appendFill(halfPixels, 30000, 3);
    EXPECT_EQ(parse(pcxHeader(0, 0, 255, 255), halfPixels), PcxPicture::kShortFile);
    // A run byte as the very last byte has no value to repeat.
    Bytes cutRun;
    appendFill(cutRun, 65000, 3);
    cutRun.push_back(0xC5);
    EXPECT_EQ(parse(pcxHeader(0, 0, 255, 255), cutRun), PcxPicture::kShortFile);
    Bytes header = pcxHeader(0, 0, 255, 255);
    PcxPicture pic;
    EXPECT_EQ(pic.parse(header.data(), 100), PcxPicture::kShortFile);
    EXPECT_EQ(pic.pixels, nullptr);

    EXPECT_EQ(pic.load(scratchPath("missing.pcx").c_str()), PcxPicture::kCannotOpen);
    Bytes whole = pcxHeader(0, 0, 255, 255);
    appendBytes(whole, body);
    writeFile(scratchPath("cooltext.pcx"), whole);
    EXPECT_TRUE(pic.read(scratchPath("cooltext.pcx").c_str()));
    EXPECT_EQ(pic.pixels[65535], 3);
}

}  // namespace
