// plivak-data --icons: the menu icon in the icon theme's layout, each PNG an
// RGBA picture of its folder's size, the SVG drawn in vectors at 256 pixels,
// the same bytes on every run; and the option's value is checked like the
// others.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes readRaw(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

uint32_t bigEndian32(const Bytes& b, size_t at) {
    return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}

int runStatus(const std::string& cmd) {
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class Icons : public ::testing::Test {
protected:
    std::string dir;

    void SetUp() override {
        char tmpl[] = "/tmp/plivak_icons_XXXXXX";
        const char* base = mkdtemp(tmpl);
        ASSERT_NE(base, nullptr);
        dir = base;
    }
    void TearDown() override { (void)std::system(("rm -rf " + dir).c_str()); }

    int generate(const std::string& sub) {
        return runStatus(std::string(PLIVAK_BIN_DIR "/plivak-data --icons ") + dir + "/" + sub + " 2> /dev/null");
    }
};

TEST_F(Icons, EverySizeIsAnRgbaPngOfItsFolderAndRunsAgree) {
    ASSERT_EQ(generate("a"), 0);
    ASSERT_EQ(generate("b"), 0);
    for (int size : {48, 64, 128, 256}) {
        const std::string name = "/hicolor/" + std::to_string(size) + "x" + std::to_string(size) + "/apps/plivak.png";
        const Bytes a = readRaw(dir + "/a" + name), b = readRaw(dir + "/b" + name);
        ASSERT_GE(a.size(), 33u) << name;
        EXPECT_EQ(Bytes(a.begin(), a.begin() + 8), (Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'})) << name;
        EXPECT_EQ(bigEndian32(a, 16), uint32_t(size)) << name;
        EXPECT_EQ(bigEndian32(a, 20), uint32_t(size)) << name;
        EXPECT_EQ(a[25], 6) << name << ": not RGBA, so the rounded corners could not be transparent";
        EXPECT_EQ(a, b) << name << " differs from run to run";
    }
    const Bytes svgBytes = readRaw(dir + "/a/hicolor/scalable/apps/plivak.svg");
    const std::string svg(svgBytes.begin(), svgBytes.end());
    EXPECT_NE(svg.find("width=\"256px\" height=\"256px\""), std::string::npos);
    EXPECT_EQ(svg.find("<image"), std::string::npos) << "the scalable icon holds a raster picture";
    EXPECT_EQ(svgBytes, readRaw(dir + "/b/hicolor/scalable/apps/plivak.svg"));
}

TEST_F(Icons, AMissingOrOptionLikeFolderIsABadUsage) {
    EXPECT_EQ(runStatus(PLIVAK_BIN_DIR "/plivak-data --icons > /dev/null 2>&1"), 2);
    EXPECT_EQ(runStatus(PLIVAK_BIN_DIR "/plivak-data --icons --help > /dev/null 2>&1"), 2);
    EXPECT_EQ(runStatus(PLIVAK_BIN_DIR "/plivak-data --icons /dev/null/x > /dev/null 2>&1"), 1);
}

}  // namespace
