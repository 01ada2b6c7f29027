// The whole start-up load on a data folder built here, and on the
// generated one when the build has made it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <optional>

#include "data/image_bank.h"
#include "data/pcx.h"
#include "data/shape.h"
#include "data/test_files.h"
#include "host/host.h"
#include "host/startup.h"
#include "raytracer/ray_scene.h"
#include "stage/shared_effects.h"

namespace {

const std::string kAtom =
    "viewport 81 36 0 40 camera 0 0 -10 0 0 0 0 light 5 5 -5\n"
    "plane 0 1 0 3 0.2 0.2 0.2 0.5\nsphere 0 0 0 1 1 0 0 0.1\nellipsoid 1 0 0 1 2 1 0.5 0 1 0 0\n"
    "sphere 0 1 0 0.5 0 0 1 0\nsphere 0 -1 0 0.5 1 1 0 0\n";
const std::string kFinal =
    "viewport 80 30 0 40 camera 0 0 -10 0 0 0 0 light 5 5 -5\n"
    "plane 0 1 0 3 0.2 0.2 0.2 0.5\nsphere 0 0 0 2 1 1 1 0.9\nellipsoid 1 0 0 1 2 1 0.5 0 1 0 0\n";

// Image k's byte j is (7 j + k) mod 256, so its first pixel is (k, k+7, k+14).
Bytes imageBytes(int k, const img::ImageFile& f) {
    Bytes b(size_t(f.width) * f.height * 3 + (k % 4 == 0));  // some with a byte extra
    for (size_t j = 0; j < b.size(); ++j) b[j] = static_cast<uint8_t>(7 * j + k);
    return b;
}

// 256 x 256 PCX, row y all index y; palette entry i is grey i.
Bytes pcxBytes() {
    Bytes f(128, 0);
    f[0] = 10, f[1] = 5, f[2] = 1, f[3] = 8, f[8] = 255, f[10] = 255;
    for (int y = 0; y < 256; ++y)
        for (int run : {63, 63, 63, 63, 4}) f.push_back(uint8_t(0xC0 | run)), f.push_back(uint8_t(y));
    f.push_back(12);
    for (int i = 0; i < 768; ++i) f.push_back(static_cast<uint8_t>(i / 3));
    return f;
}

const std::string& dataDir() {
    static std::string d = [] {
        std::string dir = scratchPath("data/");
        std::filesystem::create_directories(dir);
        for (int k = 0; k < img::kImageCount; ++k) {
            const img::ImageFile& f = img::kImageFiles[k];
            (k % 3 ? writeFile : writeGzip)(dir + f.file, imageBytes(k, f));
        }
        writeGzip(dir + "pattern1.gra", Bytes(64000, 1));
        writeFile(dir + "pattern2.gra", Bytes(64000, 2));
        writeFile(dir + "cooltext.pcx", pcxBytes());
        writeFile(dir + "final.scn", asBytes(kFinal));
        writeFile(dir + "atom.scn", asBytes(kAtom));
        for (int k = 1; k <= 7; ++k)
            writeFile(dir + "shape" + std::to_string(k), asBytes(std::to_string(k + 2) + " vertices 1 0 0 1 -1 -1 3 3 3 -3 1 1 1 2 1 3 1 4"));
        return dir;
    }();
    return d;
}

struct Outcome {
    bool ok;
    LoadFailure failure;
    StartupData data;
    std::string log;
};

Outcome load(bool verbose) {
    Outcome o;
    testing::internal::CaptureStderr();
    o.ok = loadStartupData(dataDir(), verbose, o.data, o.failure);
    o.log = testing::internal::GetCapturedStderr();
    return o;
}

// Loads with one file replaced (or removed, for a null content).
Outcome loadWith(const std::string& name, const std::optional<std::string>& content) {
    std::string path = dataDir() + name;
    std::filesystem::rename(path, path + ".keep");
    if (content) writeFile(path, asBytes(*content));
    Outcome o = load(false);
    std::filesystem::remove(path);
    std::filesystem::rename(path + ".keep", path);
    return o;
}

TEST(StartupLoad, LoadsEveryFileInPlace) {
    Outcome o = load(false);
    ASSERT_TRUE(o.ok) << o.failure.file << ": " << o.failure.reason;
    EXPECT_EQ(img::openptc[0], 0x0000070Eu);
    EXPECT_EQ(img::pyr[3][0], 0x00080F16u);     // table row 9
    EXPECT_EQ(img::banner[7][0], 0x00454C53u);  // table row 70
    EXPECT_EQ(img::pattern1[63999], 1);
    EXPECT_EQ(img::pattern2[0], 2);
    EXPECT_EQ(o.data.coolText->pixels[256 * 200 + 9], 200);
    EXPECT_EQ(o.data.coolText->palette[255], 0x00FFFFFFu);
    EXPECT_EQ(o.data.morph->maxVertices, 9);
    EXPECT_FLOAT_EQ(o.data.morph->current[0].x, 30.0f);
    EXPECT_EQ(SharedRayViewport.width, 81);  // atom.scn is read last
    EXPECT_EQ(AtomRayScene.objectCount, 5);
    EXPECT_EQ(FinalRayScene.objectCount, 3);
    EXPECT_EQ(o.log, "RAYTR: 3 object(s) loaded.\nRAYTR: 5 object(s) loaded.\n");

    Outcome v = load(true);
    ASSERT_TRUE(v.ok);
    EXPECT_EQ(v.log.rfind("loading " + dataDir() + "openptc.rgb\nloading " + dataDir() + "linux-in.rgb\n", 0), 0u);
    size_t lines = 0;
    for (size_t at = 0; (at = v.log.find("loading ", at)) != std::string::npos; ++at) ++lines;
    EXPECT_EQ(lines, 72u + 2 + 1 + 2 + 7);
}

TEST(StartupLoad, EachFailureNamesTheFileAndTheReason) {
    Bytes pcx = pcxBytes();
    pcx[1] = 3;
    std::string atom = kAtom, plane = kAtom, wide = kAtom, fin = kFinal;
    plane.replace(plane.find("sphere 0 1 0"), 6, "plane ");
    wide.replace(wide.find("81"), 2, "80");
    fin.replace(fin.find("sphere"), 6, "ellipsoid 1 1 1");
    const struct {
        const char* file;
        std::optional<std::string> content;
        const char* reason;
    } cases[] = {
        {"square.rgb", std::nullopt, "GZ_Stream: gzopen() failed."},
        {"banner24.rgb", std::string(320 * 50 * 3 - 1, 'x'), "short file"},
        {"pattern2.gra", std::string(63999, 'x'), "short file"},
        {"cooltext.pcx", std::string(pcx.begin(), pcx.end()), "bad PCX header"},
        {"final.scn", std::nullopt, "cannot open"},
        {"shape1", std::nullopt, "Shape::Shape_Ex 0 (cannot open)"},
        {"shape4", "3 corners\n0 1\n1 0\n1 1\n", "Shape::Shape_Ex 1 (not a shape file)"},
        {"shape7", "0 vertices\n", "Shape::Shape_Ex 1 (not a shape file)"},
        {"atom.scn", wide, "viewport 80x36, needs 81x36"},
        {"atom.scn", atom.substr(0, atom.rfind("sphere")), "has 4 object(s), needs entries 1 to 4"},
        {"atom.scn", plane, "entry 3 is not a sphere or ellipsoid"},
        {"final.scn", fin, "entry 1 is not a sphere"},
    };
    for (const auto& c : cases) {
        Outcome o = loadWith(c.file, c.content);
        EXPECT_FALSE(o.ok);
        EXPECT_EQ(o.failure.file, dataDir() + c.file);
        EXPECT_EQ(o.failure.reason, c.reason) << c.file;
    }
    pcx = pcxBytes();
    EXPECT_EQ(loadWith("cooltext.pcx", std::string(pcx.begin(), pcx.end() - 1)).failure.reason, "short file");
}

TEST(StartupLoad, LoadImageBankEndsTheProcessWithStatusOne) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    std::string work = scratchPath("empty/bin");  // "../data/" does not exist
    std::filesystem::create_directories(work);
    for (bool verbose : {true, false}) {
        EXPECT_EXIT(
            {
                if (chdir(work.c_str()) != 0) std::exit(2);
                VerboseLoading = verbose;
                LoadImageBank();
                std::exit(0);
            },
            testing::ExitedWithCode(1), verbose ? "cannot load \\.\\./data/openptc\\.rgb: GZ_Stream: gzopen\\(\\) failed\\." : "^$");
    }
}

TEST(StartupLoad, GeneratedDataFolder) {
    if (!std::filesystem::exists(PLIVAK_DATA_DIR "/.generated")) GTEST_SKIP() << "no data in " PLIVAK_DATA_DIR;
    // Scene files name their textures from the program's folder.
    std::filesystem::create_directories(PLIVAK_BIN_DIR);
    auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(PLIVAK_BIN_DIR);
    Outcome o;
    testing::internal::CaptureStderr();
    o.ok = loadStartupData("../data/", false, o.data, o.failure);
    o.log = testing::internal::GetCapturedStderr();
    std::filesystem::current_path(cwd);
    ASSERT_TRUE(o.ok) << o.failure.file << ": " << o.failure.reason << "\n" << o.log;
    EXPECT_EQ(o.log.find("error"), std::string::npos) << o.log;
    EXPECT_EQ(o.log.find("warning"), std::string::npos) << o.log;
}

}  // namespace
