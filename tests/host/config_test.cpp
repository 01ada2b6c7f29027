// plivak.cfg: tokens are applied in order, compared exactly, at most 8;
// only a regular file is read, and only its start.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "host/host.h"
#include "host/options.h"

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

TEST(Config, FullscreenWord) {
    EXPECT_TRUE((readConfigText("fullscreen"), Fullscreen));
    EXPECT_FALSE((readConfigText("Fullscreen fullscreen2 full-screen"), Fullscreen));
}

// Anything that is not a regular file is ignored at once: a device that
// never ends, a FIFO nobody writes to, a directory.
TEST(Config, OnlyRegularFilesAreRead) {
    char dir[] = "/tmp/plivak_cfgdir_XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    std::string zero = std::string(dir) + "/zero.cfg";
    std::string fifo = std::string(dir) + "/fifo.cfg";
    ASSERT_EQ(symlink("/dev/zero", zero.c_str()), 0);
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& name : {zero, fifo, std::string(dir)}) {
        // A read that blocked or never ended would hang here.
        ResetConfig();
        ReadConfig(name.c_str());
        EXPECT_EQ(ConsoleHeight, 200) << name;
    }
    // A FIFO that already holds eight words, which a read would take at
    // once, is refused all the same.
    int writer = open(fifo.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    const std::string words = "240 v a b c d e f ";
    ASSERT_EQ(write(writer, words.data(), words.size()), static_cast<ssize_t>(words.size()));
    ResetConfig();
    ReadConfig(fifo.c_str());
    EXPECT_EQ(ConsoleHeight, 200);
    EXPECT_FALSE(VerboseLoading);
    close(writer);
    unlink(zero.c_str());
    unlink(fifo.c_str());
    rmdir(dir);
}

TEST(Config, ReadsOnlyTheStartOfALargeFile) {
    char path[] = "/tmp/plivak_cfg_XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    // Eight tokens, then a gigabyte of NUL bytes (a sparse file): the
    // tokens apply and the rest is never read.
    const std::string head = "verbose 240 a b c d e f ";
    ASSERT_EQ(write(fd, head.data(), head.size()), static_cast<ssize_t>(head.size()));
    ASSERT_EQ(ftruncate(fd, off_t(1) << 30), 0);
    close(fd);
    ResetConfig();
    ReadConfig(path);
    EXPECT_TRUE(VerboseLoading);
    EXPECT_EQ(ConsoleHeight, 240);
    std::remove(path);
}

TEST(Config, WhitespaceBeyondTheReadBoundHidesLaterTokens) {
    // Tokens start within the bound count; one cut by it, or beyond it, is
    // not examined (a cut "2400" must not read as "240").
    EXPECT_TRUE(readConfigText(std::string(16000, ' ') + "v").verbose);
    EXPECT_EQ(readConfigText(std::string(16381, ' ') + "2400").height, 200);
    EXPECT_EQ(readConfigText(std::string(20000, '\n') + "240").height, 200);
}

TEST(Config, TheReadBoundIsExactly16KiB) {
    // A word whose whitespace is the last byte within the bound is read; one
    // byte later, the same word touches the bound and is cut.
    EXPECT_TRUE(readConfigText(std::string(16382, ' ') + "v ").verbose);
    EXPECT_FALSE(readConfigText(std::string(16383, ' ') + "v ").verbose);
}

TEST(Config, EachWhitespaceCharacterSeparatesAndANulSpoilsAWord) {
    for (char space : std::string(" \t\n\v\f\r")) {
        ResetConfig();
        const std::string text = std::string("v") + space + "240";
        ApplyConfigText(text.data(), text.size());
        EXPECT_TRUE(VerboseLoading) << int(space);
        EXPECT_EQ(ConsoleHeight, 240) << int(space);
        // Eight words before 240, so it is the ninth and is not applied.
        const std::string nine = std::string("a b c d e f g") + space + "h 240";
        ResetConfig();
        ApplyConfigText(nine.data(), nine.size());
        EXPECT_EQ(ConsoleHeight, 200) << int(space);
    }
    // "v" followed by a NUL byte is a word of two characters, not "v".
    const std::string nul("v\0 240", 6);
    ResetConfig();
    ApplyConfigText(nul.data(), nul.size());
    EXPECT_FALSE(VerboseLoading);
    EXPECT_EQ(ConsoleHeight, 240);
}
