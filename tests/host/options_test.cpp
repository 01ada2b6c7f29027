// plivak's command line: what it accepts, what it refuses, and that it
// applies after plivak.cfg.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "host/host.h"
#include "host/options.h"
#include "platform/display.h"

namespace {

// Runs ParseCommandLine on the words (the program name is added), with
// standard output and error discarded. The words stay alive until the next
// call, as argv does for the program (CommandLine points into it).
int parse(const std::vector<std::string>& given) {
    static std::vector<std::string> words;
    words = given;
    std::vector<char*> argv{const_cast<char*>("plivak")};
    for (std::string& w : words) argv.push_back(w.data());
    std::fflush(stdout);
    std::fflush(stderr);
    int out = dup(1), err = dup(2);
    std::FILE* null = std::fopen("/dev/null", "w");
    dup2(fileno(null), 1);
    dup2(fileno(null), 2);
    int status = ParseCommandLine(static_cast<int>(argv.size()), argv.data());
    std::fflush(stdout);
    std::fflush(stderr);
    dup2(out, 1);
    dup2(err, 2);
    close(out);
    close(err);
    std::fclose(null);
    return status;
}

std::string writeConfig(const char* text) {
    char path[] = "/tmp/plivak_opt_XXXXXX";
    int fd = mkstemp(path);
    std::FILE* f = fdopen(fd, "w");
    std::fputs(text, f);
    std::fclose(f);
    return path;
}

// Reads `config` as ./plivak.cfg would be, with the command line parsed.
void readWith(const char* config) {
    std::string path = writeConfig(config);
    ResetConfig();
    ReadConfig(path.c_str());
    std::remove(path.c_str());
}

class Options : public ::testing::Test {
protected:
    void TearDown() override {
        CommandLine = CommandLineOptions{};
        ResetConfig();
        ptc::setDisplaySettings({});
    }
};

}  // namespace

TEST_F(Options, HelpVersionAndBadOptions) {
    EXPECT_EQ(parse({"--help"}), 0);
    EXPECT_EQ(parse({"-h"}), 0);
    EXPECT_EQ(parse({"--version"}), 0);
    EXPECT_EQ(parse({}), -1);
    EXPECT_EQ(parse({"--fullscreen", "--window", "--renderer", "gpu"}), -1);
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"--bogus"}, {"fullscreen"}, {"--renderer"}, {"--renderer", "vulkan"}, {"--renderer", "--window"},
             {"--config"}, {"--config", "--fullscreen"}, {"--window", "-x"}})
        EXPECT_EQ(parse(bad), 2) << bad[0];
}

TEST_F(Options, CommandLineAppliesAfterTheFile) {
    ASSERT_EQ(parse({"--window"}), -1);
    readWith("fullscreen verbose");
    EXPECT_FALSE(Fullscreen);
    EXPECT_FALSE(ptc::displaySettings().fullscreen);
    EXPECT_TRUE(ptc::displaySettings().verbose);

    ASSERT_EQ(parse({"--fullscreen", "--renderer", "surface"}), -1);
    readWith("240");
    EXPECT_TRUE(ptc::displaySettings().fullscreen);
    EXPECT_EQ(ptc::displaySettings().presentation, ptc::Presentation::Surface);
    EXPECT_EQ(ConsoleHeight, 240);

    // The last of --fullscreen and --window wins; without either, the file.
    ASSERT_EQ(parse({"--window", "--fullscreen"}), -1);
    readWith("");
    EXPECT_TRUE(ptc::displaySettings().fullscreen);
    ASSERT_EQ(parse({}), -1);
    readWith("fullscreen");
    EXPECT_TRUE(ptc::displaySettings().fullscreen);
    EXPECT_EQ(ptc::displaySettings().presentation, ptc::Presentation::Auto);
}

TEST_F(Options, ConfigFileReplacesThePlivakCfg) {
    std::string own = writeConfig("240 fullscreen");
    ASSERT_EQ(parse({"--config", own}), -1);
    readWith("verbose");  // the file the demo would read is not read
    EXPECT_EQ(ConsoleHeight, 240);
    EXPECT_TRUE(Fullscreen);
    EXPECT_FALSE(VerboseLoading);
    std::remove(own.c_str());
    // A missing file is as no file: the defaults.
    ASSERT_EQ(parse({"--config", own}), -1);
    readWith("240");
    EXPECT_EQ(ConsoleHeight, 200);
}
