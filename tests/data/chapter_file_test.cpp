// The chapter file's reader: a file written and read back is the same, and
// a damaged one (cut anywhere, a byte changed in its header, numbers out of
// range, a missing file) is refused with a text, never read in part.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <string>
#include <vector>

#include "data/chapter_file.h"

namespace {

ChapterFile twoPoints() {
    ChapterFile f;
    f.musicJumpPoll = 90;
    f.musicJumpOrder = 56;
    for (int i = 0; i < 2; ++i) {
        ChapterPoint c;
        c.step = 17 + i;
        c.inside = 0;
        c.polls = 50 + 40 * i;
        c.timerRunning = true;
        c.timerBase = -0.25 * i;
        c.beat = 7 + i;
        c.random = 12345u + static_cast<uint32_t>(i);
        c.morphSteps = 300;
        c.morphCentreX = 50.0f;
        c.morphCentreY = 120.5f;
        const int32_t loop[7] = {7, 3, 1, 10, 20, 30, 40};
        std::copy(loop, loop + 7, c.finalLoop);
        c.frame = f.pixels.size();
        for (int p = 0; p < 320 * 200; ++p) f.pixels.push_back(static_cast<uint32_t>(p * (i + 3)));
        if (i == 0) {
            c.shown = c.frame;
        } else {
            // A letterboxed console's picture, apart from the frame buffer.
            c.shown = f.pixels.size();
            c.shownHeight = 240;
            f.pixels.resize(f.pixels.size() + 320 * 240, 0x123456u);
        }
        f.chapters.push_back(c);
    }
    return f;
}

}  // namespace

TEST(ChapterFile, WrittenFileReadsBackTheSame) {
    const ChapterFile f = twoPoints();
    const std::string path = testing::TempDir() + "chapters_test.dat";
    ASSERT_TRUE(writeChapterFile(path.c_str(), f));
    ChapterFile back;
    const char* error = nullptr;
    ASSERT_TRUE(readChapterFile(path.c_str(), back, &error)) << error;
    EXPECT_EQ(serialiseChapterFile(back), serialiseChapterFile(f));
    ASSERT_EQ(back.chapters.size(), 2u);
    const ChapterPoint& c = back.chapters[1];
    EXPECT_EQ(c.step, 18);
    EXPECT_EQ(c.polls, 90);
    EXPECT_EQ(c.timerBase, -0.25);
    EXPECT_EQ(c.shownHeight, 240);
    EXPECT_EQ(back.pixels[c.frame + 1000], 4000u);
    EXPECT_EQ(back.pixels[c.shown], 0x123456u);
    EXPECT_EQ(back.musicJumpPoll, 90);
    std::remove(path.c_str());
}

TEST(ChapterFile, DamagedBytesAreRefusedWhole) {
    const std::vector<uint8_t> good = serialiseChapterFile(twoPoints());
    ChapterFile out;
    const char* error = nullptr;
    // Cut short anywhere, or with a byte too many.
    for (size_t cut = 0; cut < good.size(); cut += cut < 200 ? 1 : 4093) {
        EXPECT_FALSE(parseChapterFile(good.data(), cut, out, &error)) << cut;
        EXPECT_TRUE(out.chapters.empty());
    }
    std::vector<uint8_t> longer = good;
    longer.push_back(0);
    EXPECT_FALSE(parseChapterFile(longer.data(), longer.size(), out, &error));
    EXPECT_STREQ(error, "bytes after the last chapter");
    // Each field of the header and the first chapter, spoiled in turn.
    struct Spoil {
        size_t offset;
        uint8_t value;
        const char* error;
    };
    const Spoil spoils[] = {
        {0, 'X', "not a chapter file"},        {8, 2, "unknown chapter file version"},
        {19, 0xFF, "bad frame rate"},          {20, 199, "bad console height"},
        {41, 0xFF, "bad chapter count"},       {42, 0, "bad chapter step"},
        {54, 0xFF, "chapters out of order"},   {57, 2, "chapter file cut short"},
        {101, 0x7F, "bad chapter number"},     {97, 0x80, "bad morph steps"},
        {110, 9, "bad closing part state"},
    };
    for (const Spoil& s : spoils) {
        std::vector<uint8_t> bad = good;
        bad[s.offset] = s.value;
        EXPECT_FALSE(parseChapterFile(bad.data(), bad.size(), out, &error)) << s.offset;
        EXPECT_STREQ(error, s.error) << s.offset;
    }
}

TEST(ChapterFile, MissingOrBrokenFileSaysWhy) {
    ChapterFile out;
    const char* error = nullptr;
    EXPECT_FALSE(readChapterFile("/nonexistent/chapters.dat", out, &error));
    EXPECT_NE(error, nullptr);
    // A gzip stream cut in the middle.
    const std::vector<uint8_t> good = serialiseChapterFile(twoPoints());
    std::vector<uint8_t> packed(compressBound(good.size()) + 64);
    uLongf size = packed.size();
    ASSERT_EQ(compress2(packed.data(), &size, good.data(), good.size(), 6), Z_OK);
    const std::string path = testing::TempDir() + "chapters_cut.dat";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(packed.data(), 1, size / 2, f);
    std::fclose(f);
    error = nullptr;
    EXPECT_FALSE(readChapterFile(path.c_str(), out, &error));
    EXPECT_NE(error, nullptr);
    std::remove(path.c_str());
}
