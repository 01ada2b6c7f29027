// plivak-capture as a user runs it: options, the log, PNG frames, the WAV,
// and the demo's exit statuses on the generated data folder.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "capture/capture_output.h"

namespace {

const std::string kBin = PLIVAK_BIN_DIR;
const std::string kData = PLIVAK_DATA_DIR;

bool exists(const std::string& path) {
    struct stat st{};
    return stat(path.c_str(), &st) == 0;
}

std::string tempDir() {
    char dir[] = "/tmp/plivak_capture_XXXXXX";
    return mkdtemp(dir);
}

// Runs a shell command; returns its exit status.
int run(const std::string& command) {
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A working folder pair root/bin and root/data whose data links to every
// generated file except `without`.
std::string makeTree(const std::string& without) {
    std::string root = tempDir();
    mkdir((root + "/bin").c_str(), 0755);
    mkdir((root + "/data").c_str(), 0755);
    std::string cmd = "for f in " + kData + "/*; do n=$(basename $f); [ \"$n\" = '" + without +
                      "' ] || ln -s $f " + root + "/data/$n; done";
    run(cmd);
    return root;
}

std::vector<std::string> lines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

class Capture : public ::testing::Test {
protected:
    void SetUp() override {
        if (!exists(kData + "/demo.xm") || !exists(kData + "/dazovad.scn")) GTEST_SKIP() << "no generated data";
    }
    std::string capture(const std::string& args, const std::string& cwd = kBin) {
        return "cd '" + cwd + "' && ./plivak-capture " + args + " > /dev/null 2>&1";
    }
};

}  // namespace

TEST(CaptureFormat, LogLineAndCrc) {
    EXPECT_EQ(capture::logLine(7, 0.116667, 3, true, 12, 4, 0xdeadbeef),
              "frame=7 t=0.116667 step=3 new=1 beat=12 sync=4 crc=deadbeef");
    // CRC-32 of one black pixel: the four bytes 00 00 00 00.
    uint32_t black = 0;
    EXPECT_EQ(capture::pictureCrc(&black, 1, 1), 0x2144df1cu);
    uint32_t red = 0xFF0000;  // bytes 00 00 ff 00
    EXPECT_NE(capture::pictureCrc(&red, 1, 1), capture::pictureCrc(&black, 1, 1));
}

TEST(CaptureOptions, BadOptionsGiveStatus2) {
    for (const char* args : {"--fps", "--fps 0", "--fps x", "--every 0", "--seconds -1", "--nonsense", "--timing --log /tmp/x",
                             "--preset", "--preset slowest", "--lossless", "--lossless --video /tmp/x.mp4",
                             "--config /nonexistent/plivak.cfg"})
        EXPECT_EQ(run("cd '" + kBin + "' && ./plivak-capture " + args + " > /dev/null 2>&1"), 2) << args;
}

// --help on standard output with status 0; errors print the usage on
// standard error; a value that begins with '-' is never a file name, for
// plivak-capture and plivak-data alike.
TEST(ToolCommandLines, HelpErrorsAndDashValues) {
    std::string dir = tempDir();
    const std::string in = "cd '" + dir + "' && ";
    for (const char* tool : {"plivak-capture", "plivak-data"}) {
        const std::string exe = kBin + "/" + tool;
        EXPECT_EQ(run(in + exe + " --help > o.txt 2> e.txt"), 0) << tool;
        EXPECT_NE(lines(dir + "/o.txt").size(), 0u) << tool;
        EXPECT_EQ(lines(dir + "/e.txt").size(), 0u) << tool;
        EXPECT_EQ(run(in + exe + " --no-such-option > o.txt 2> e.txt"), 2) << tool;
        EXPECT_EQ(lines(dir + "/o.txt").size(), 0u) << tool;
        EXPECT_NE(lines(dir + "/e.txt").size(), 0u) << tool;
    }
    EXPECT_EQ(run(in + kBin + "/plivak-data > /dev/null 2>&1"), 2);
    EXPECT_EQ(run(in + kBin + "/plivak-data a b > /dev/null 2>&1"), 2);
    EXPECT_EQ(run(in + kBin + "/plivak-data out --contact-sheet > /dev/null 2>&1"), 2);
    EXPECT_EQ(run(in + kBin + "/plivak-data out --contact-sheet --x > /dev/null 2>&1"), 2);
    EXPECT_EQ(run(in + kBin + "/plivak-capture --png --log x > /dev/null 2>&1"), 2);
    EXPECT_EQ(run(in + kBin + "/plivak-capture --log -x > /dev/null 2>&1"), 2);
    for (const char* name : {"--help", "--log", "-x", "--x", "out", "x"}) EXPECT_FALSE(exists(dir + "/" + name)) << name;
    run("rm -rf " + dir);
}

TEST(CaptureProgress, ExpectedEndAndLines) {
    // No key: the planned show, the closing part's 600 s from its real start
    // once known, and the configurations that leave out either half.
    EXPECT_NEAR(capture::expectedEnd(-1, -1, false, false), 875.55, 1e-9);
    EXPECT_NEAR(capture::expectedEnd(-1, 281.5, false, false), 881.5, 1e-9);
    EXPECT_NEAR(capture::expectedEnd(-1, -1, true, false), 275.55, 1e-9);
    EXPECT_NEAR(capture::expectedEnd(-1, -1, false, true), 600.0, 1e-9);
    EXPECT_NEAR(capture::expectedEnd(60, -1, false, false), 60.0, 1e-9);
    EXPECT_NEAR(capture::expectedEnd(2000, 281.5, false, false), 881.5, 1e-9);
    EXPECT_EQ(capture::progressLine(false, 100, 880, 5, 6001, 2.0),
              "progress t=100.0/880.0 s step=5 (portrait parade) frames=6001 speed=2.00x eta=390 s");
    EXPECT_EQ(capture::progressLine(true, 100, 880, 18, 6001, 0.5),
              "1:40 / 14:40 (11%)  step 18 final 3d  6001 frames  0.50x  ETA 26:00");
}

TEST_F(Capture, LogAndPngForTheFirstSeconds) {
    std::string dir = tempDir();
    ASSERT_EQ(run(capture("--seconds 2 --log " + dir + "/log --png " + dir + "/png --every 30 --wav " + dir + "/a.wav")), 0);
    std::vector<std::string> log = lines(dir + "/log");
    // Polls 0..120: the key arrives at poll 120 (t = 2.0).
    ASSERT_EQ(log.size(), 121u);
    std::regex format("frame=(\\d+) t=(\\d+\\.\\d{6}) step=(\\d+) new=([01]) beat=(\\d+) sync=(\\d+) crc=[0-9a-f]{8}");
    for (size_t i = 0; i < log.size(); ++i) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(log[i], m, format)) << log[i];
        EXPECT_EQ(std::stoul(m[1]), i);
        EXPECT_NEAR(std::stod(m[2]), i / 60.0, 1e-6);
    }
    EXPECT_NE(log[1].find("step=1 new=1"), std::string::npos) << log[1];
    for (int frame : {0, 30, 60, 90, 120}) {
        char name[64];
        std::snprintf(name, sizeof name, "/png/%06d.png", frame);
        std::FILE* f = std::fopen((dir + name).c_str(), "rb");
        ASSERT_TRUE(f) << name;
        unsigned char header[24];
        ASSERT_EQ(std::fread(header, 1, 24, f), 24u);
        std::fclose(f);
        EXPECT_EQ((header[16] << 24 | header[17] << 16 | header[18] << 8 | header[19]), 320);
        EXPECT_EQ((header[20] << 24 | header[21] << 16 | header[22] << 8 | header[23]), 200);
    }
    EXPECT_FALSE(exists(dir + "/png/000001.png"));
    // The music: 44.1 kHz stereo 16-bit, 735 frames per video frame.
    struct stat st{};
    ASSERT_EQ(stat((dir + "/a.wav").c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 44 + 4 * 44100 * 2);
    run("rm -rf " + dir);
}

TEST_F(Capture, DeterministicRuns) {
    std::string dir = tempDir();
    ASSERT_EQ(run(capture("--seconds 3 --log " + dir + "/a")), 0);
    ASSERT_EQ(run(capture("--seconds 3 --log " + dir + "/b")), 0);
    EXPECT_EQ(lines(dir + "/a"), lines(dir + "/b"));
    run("rm -rf " + dir);
}

TEST_F(Capture, LetterboxedPngsAre240Lines) {
    std::string root = makeTree("");
    std::ofstream(root + "/bin/plivak.cfg") << "240\n";
    run("ln -s " + kBin + "/plivak-capture " + root + "/bin/plivak-capture");
    ASSERT_EQ(run(capture("--seconds 0.5 --png " + root + "/png --every 30", root + "/bin")), 0);
    std::FILE* f = std::fopen((root + "/png/000030.png").c_str(), "rb");
    ASSERT_TRUE(f);
    unsigned char header[24];
    ASSERT_EQ(std::fread(header, 1, 24, f), 24u);
    std::fclose(f);
    EXPECT_EQ((header[20] << 24 | header[21] << 16 | header[22] << 8 | header[23]), 240);
    run("rm -rf " + root);
}

TEST_F(Capture, MissingFilesEndWithStatus1) {
    for (const char* file : {"demo.xm", "dazovad.scn", "cooltext.pcx", "openptc.rgb", "shape3", "atom.scn"}) {
        std::string root = makeTree(file);
        run("ln -s " + kBin + "/plivak-capture " + root + "/bin/plivak-capture");
        EXPECT_EQ(run(capture("--seconds 1", root + "/bin")), 1) << file;
        run("rm -rf " + root);
    }
}

bool haveFfmpeg() { return run("command -v ffmpeg > /dev/null && command -v ffprobe > /dev/null") == 0; }

// The streams of a file as "codec,width,height,pix_fmt" lines, as ffprobe
// reports them.
std::vector<std::string> streams(const std::string& file) {
    run("ffprobe -v error -show_entries stream=codec_name,width,height,pix_fmt -of csv=p=0 '" + file + "' > '" + file +
        ".streams'");
    return lines(file + ".streams");
}

TEST_F(Capture, VideoIs1600x1200WithFullChroma) {
    if (!haveFfmpeg()) GTEST_SKIP() << "no ffmpeg";
    std::string dir = tempDir();
    ASSERT_EQ(run(capture("--seconds 1 --video " + dir + "/v.mp4")), 0);
    EXPECT_EQ(streams(dir + "/v.mp4"), (std::vector<std::string>{"h264,1600,1200,yuv444p", "aac"}));
    EXPECT_FALSE(exists(dir + "/v.mp4.video.mkv"));
    EXPECT_FALSE(exists(dir + "/v.mp4.audio.wav"));
    run("rm -rf " + dir);
}

// The lossless master decoded again: one frame per log line, each with the
// log's CRC, and the music as PCM equal to the --wav file.
TEST_F(Capture, LosslessMasterDecodesToTheCapturedFrames) {
    if (!haveFfmpeg()) GTEST_SKIP() << "no ffmpeg";
    std::string dir = tempDir();
    ASSERT_EQ(run(capture("--seconds 3 --lossless --video " + dir + "/m.mkv --log " + dir + "/log --wav " + dir + "/a.wav")), 0);
    EXPECT_EQ(streams(dir + "/m.mkv"), (std::vector<std::string>{"ffv1,320,200,bgr0", "pcm_s16le"}));
    std::vector<std::string> log = lines(dir + "/log");
    ASSERT_EQ(log.size(), 181u);
    std::FILE* in = popen(("ffmpeg -v error -i '" + dir + "/m.mkv' -f rawvideo -pix_fmt bgr0 -").c_str(), "r");
    ASSERT_TRUE(in);
    std::vector<uint32_t> frame(320 * 200);
    size_t n = 0, wrong = 0;
    while (std::fread(frame.data(), 4, frame.size(), in) == frame.size()) {
        for (uint32_t& p : frame) p &= 0xFFFFFF;  // the decoder's fill byte
        char crc[16];
        std::snprintf(crc, sizeof crc, "crc=%08x", capture::pictureCrc(frame.data(), 320, 200));
        if (n < log.size() && log[n].find(crc) == std::string::npos) ++wrong;
        ++n;
    }
    pclose(in);
    EXPECT_EQ(n, log.size());
    EXPECT_EQ(wrong, 0u);
    ASSERT_EQ(run("ffmpeg -v error -i '" + dir + "/m.mkv' -map 0:a -f s16le '" + dir + "/m.pcm'"), 0);
    EXPECT_EQ(run("tail -c +45 '" + dir + "/a.wav' | cmp -s - '" + dir + "/m.pcm'"), 0);
    run("rm -rf " + dir);
}

// Standard output and every file are the same with the progress line and
// without it; on a terminal the line is redrawn in place.
TEST_F(Capture, ProgressChangesNoOutput) {
    std::string dir = tempDir();
    ASSERT_EQ(run("cd '" + kBin + "' && ./plivak-capture --seconds 2 --log " + dir + "/a.log --wav " + dir + "/a.wav > " +
                  dir + "/a.out 2> /dev/null"),
              0);
    ASSERT_EQ(run("cd '" + kBin + "' && ./plivak-capture --quiet --seconds 2 --log " + dir + "/b.log --wav " + dir +
                  "/b.wav > " + dir + "/b.out 2> " + dir + "/b.err"),
              0);
    for (const char* f : {".log", ".wav", ".out"})
        EXPECT_EQ(run("cmp -s " + dir + "/a" + f + " " + dir + "/b" + f), 0) << f;
    EXPECT_EQ(run("grep -q -e progress -e ETA " + dir + "/b.err"), 1);
    if (run("command -v script > /dev/null") == 0) {
        ASSERT_EQ(run("cd '" + kBin + "' && script -qec './plivak-capture --seconds 2 --log " + dir +
                      "/c.log' /dev/null > " + dir + "/c.tty"),
                  0);
        EXPECT_EQ(run("grep -q 'ETA 0:00' " + dir + "/c.tty && grep -q \"$(printf '\\r')\" " + dir + "/c.tty"), 0);
        EXPECT_EQ(run("cmp -s " + dir + "/a.log " + dir + "/c.log"), 0);
    }
    run("rm -rf " + dir);
}
