// The whole-show digest: what it folds in, its text form, and how a
// comparison names the steps that differ.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "show_digest.h"

using showdigest::ShowDigest;

namespace {

ShowDigest threeSteps() {
    ShowDigest d;
    for (int step = 1; step <= 3; ++step)
        for (unsigned k = 0; k < 10u * step; ++k) showdigest::addFrame(d, step, 0x1000u * step + k);
    d.wavBytes = 155293784;
    d.wavCrc = 0xdeadbeef;
    return d;
}

}  // namespace

TEST(ShowDigest, FoldsEachStepsFramesInOrder) {
    ShowDigest d = threeSteps();
    ASSERT_EQ(d.steps.size(), 3u);
    EXPECT_EQ(d.steps[0].step, 1);
    EXPECT_EQ(d.steps[2].frames, 30);

    // Two frames swapped within step 2 change step 2 only.
    ShowDigest swapped;
    for (int step = 1; step <= 3; ++step)
        for (unsigned k = 0; k < 10u * step; ++k) {
            unsigned j = step == 2 && k < 2 ? 1 - k : k;
            showdigest::addFrame(swapped, step, 0x1000u * step + j);
        }
    EXPECT_EQ(swapped.steps[0].crc, d.steps[0].crc);
    EXPECT_NE(swapped.steps[1].crc, d.steps[1].crc);
    EXPECT_EQ(swapped.steps[2].crc, d.steps[2].crc);

    // One bit of one picture CRC, in any byte, is seen.
    for (int bit : {0, 9, 18, 31}) {
        ShowDigest a, b;
        showdigest::addFrame(a, 5, 0x0u);
        showdigest::addFrame(b, 5, 1u << bit);
        EXPECT_NE(a.steps[0].crc, b.steps[0].crc) << bit;
    }
}

TEST(ShowDigest, TextFormRoundTripsAndRejectsBadLines) {
    const ShowDigest d = threeSteps();
    const std::string text = showdigest::formatDigest(d);
    ShowDigest back;
    std::string error;
    ASSERT_TRUE(showdigest::parseDigest(text, back, error)) << error;
    EXPECT_TRUE(showdigest::compareDigests(d, back).empty());
    EXPECT_EQ(showdigest::formatDigest(back), text);

    const char* bad[] = {
        "step 1 frames 10 crc 0000abcd\n",                                                  // no wav line
        "wav bytes 4 crc 00000001\n",                                                       // no steps
        "step 1 frames 10\nwav bytes 4 crc 00000001\n",                                      // no crc
        "step 1 frames 10 crc 1\nstep 1 frames 3 crc 2\nwav bytes 4 crc 00000001\n",        // step twice
        "step 1 frames 0 crc 1\nwav bytes 4 crc 00000001\n",                                 // an empty step
        "step 1 frames 10 crc 1 more\nwav bytes 4 crc 00000001\n",                           // trailing words
        "step 1 frames 10 crc 1\nwav bytes 4 crc 00000001\nwav bytes 4 crc 00000001\n",     // wav twice
    };
    for (const char* t : bad) EXPECT_FALSE(showdigest::parseDigest(t, back, error)) << t;
}

TEST(ShowDigest, ComparisonNamesEveryStepThatDiffers) {
    const ShowDigest expected = threeSteps();
    ShowDigest actual = expected;
    actual.steps[1].frames += 1;   // step 2 one frame longer
    actual.steps[2].crc ^= 0x10;   // step 3 another picture
    actual.steps.push_back({18, 5, 7});
    actual.wavCrc ^= 1;
    const std::vector<std::string> diff = showdigest::compareDigests(expected, actual);
    ASSERT_EQ(diff.size(), 4u);
    EXPECT_EQ(diff[0].rfind("step 2: 21 frames", 0), 0u) << diff[0];
    EXPECT_NE(diff[0].find("digest: 20 frames"), std::string::npos) << diff[0];
    EXPECT_EQ(diff[1].rfind("step 3: ", 0), 0u) << diff[1];
    EXPECT_NE(diff[2].find("step 18"), std::string::npos) << diff[2];
    EXPECT_EQ(diff[3].rfind("wav: ", 0), 0u) << diff[3];

    ShowDigest shorter = expected;
    shorter.steps.pop_back();
    const std::vector<std::string> missing = showdigest::compareDigests(expected, shorter);
    ASSERT_EQ(missing.size(), 1u);
    EXPECT_NE(missing[0].find("step 3: missing"), std::string::npos) << missing[0];
}

TEST(ShowDigest, FileCrcIsZlibsCrc32OfTheWholeFile) {
    char path[] = "/tmp/plivak_digest_XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "123456789", 9), 9);
    close(fd);
    uint64_t bytes = 0;
    uint32_t crc = 0;
    EXPECT_TRUE(showdigest::fileCrc(path, bytes, crc));
    EXPECT_EQ(bytes, 9u);
    EXPECT_EQ(crc, 0xcbf43926u);  // the CRC-32 check value
    std::remove(path);
    EXPECT_FALSE(showdigest::fileCrc(path, bytes, crc));
}
