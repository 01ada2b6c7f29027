// plivak.cfg: tokens are applied in order, compared exactly, at most 8.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "host/host.h"

namespace {

struct ConfigResult {
    int height;
    bool verbose, skip, finalOnly, letterbox;
};

ConfigResult readConfigText(const std::string& text) {
    char path[] = "/tmp/plivak_cfg_XXXXXX";
    int fd = mkstemp(path);
    std::FILE* f = fdopen(fd, "w");
    std::fputs(text.c_str(), f);
    std::fclose(f);
    ResetConfig();
    ReadConfig(path);
    std::remove(path);
    return {ConsoleHeight, VerboseLoading, SkipFinalPart, FinalPartOnly, PresentFrame == PresentLetterbox};
}

}  // namespace

TEST(Config, MissingFileKeepsDefaults) {
    ResetConfig();
    ReadConfig("/nonexistent/plivak.cfg");
    EXPECT_EQ(ConsoleHeight, 200);
    EXPECT_EQ(PresentFrame, PresentFull);
    EXPECT_FALSE(VerboseLoading || SkipFinalPart || FinalPartOnly);
}

TEST(Config, EachOptionWord) {
    ConfigResult r = readConfigText("240");
    EXPECT_EQ(r.height, 240);
    EXPECT_TRUE(r.letterbox);
    EXPECT_TRUE(readConfigText("v").verbose);
    EXPECT_TRUE(readConfigText("verbose").verbose);
    EXPECT_TRUE(readConfigText("quake-sucks").skip);
    EXPECT_TRUE(readConfigText("no-more-3d").skip);
    EXPECT_TRUE(readConfigText("i-am-lame").finalOnly);
    EXPECT_TRUE(readConfigText("i-am-a-sucker").finalOnly);
}

TEST(Config, LaterOptionsOverrideEarlierOnes) {
    ConfigResult r = readConfigText("i-am-a-sucker\nno-more-3d\n");
    EXPECT_FALSE(r.finalOnly);
    EXPECT_TRUE(r.skip);
    r = readConfigText("no-more-3d i-am-lame");
    EXPECT_TRUE(r.finalOnly);
    EXPECT_TRUE(r.skip);
}

TEST(Config, OnlyTheFirstEightTokensCount) {
    EXPECT_EQ(readConfigText("a b c d e f g 240").height, 240);
    EXPECT_EQ(readConfigText("a b c d e f g h 240").height, 200);
    EXPECT_EQ(readConfigText("a\tb\n\nc  d e f g h\n240\n").height, 200);
}

TEST(Config, MatchingIsExactAndCaseSensitive) {
    ConfigResult r = readConfigText("V Verbose 2400 240x i-am-lamer NO-MORE-3D");
    EXPECT_EQ(r.height, 200);
    EXPECT_FALSE(r.verbose || r.skip || r.finalOnly);
}

TEST(Config, OverLongTokensMatchNothingAndCountOnce) {
    // A token longer than 79 characters whose first 79 or last characters
    // spell an option must not set it, and must count as one token.
    std::string longToken = "240" + std::string(200, 'x') + "240";
    ConfigResult r = readConfigText(longToken + " verbose");
    EXPECT_EQ(r.height, 200);
    EXPECT_TRUE(r.verbose);
    std::string padded = std::string(77, 'a') + "240";  // 80 characters
    EXPECT_EQ(readConfigText(padded).height, 200);
    std::string exact = std::string(79, 'q');
    EXPECT_TRUE(readConfigText(exact + " a b c d e f v").verbose);
}
