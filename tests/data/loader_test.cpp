// The whole start-up load on a data folder built here, and on the
// generated one when the build has made it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "data/image_bank.h"
#include "data/image_loader.h"
#include "data/pcx.h"
#include "data/shape.h"
#include "host/shared_effects.h"
#include "raytracer/ray_scene.h"
#include "test_files.h"

// The host's option flag; this test program links no host.
bool VerboseLoading = false;

namespace {

const char kAtom[] =
    "viewport\n\t81\t36\t0\t40\ncamera\n\t0\t0\t-10\n\t0\t0\t0\n\t0\nlight\n\t5\t5\t-5\n"
    "plane 0 1 0 3 0.2 0.2 0.2 0.5\n"
    "sphere 0 0 0 1 1 0 0 0.1\n"
    "ellipsoid 1 0 0 1 2 1 0.5 0 1 0 0\n"
    "sphere 0 1 0 0.5 0 0 1 0\n"
    "sphere 0 -1 0 0.5 1 1 0 0\n";
const char kFinal[] =
    "viewport\n\t80\t30\t0\t40\ncamera\n\t0\t0\t-10\n\t0\t0\t0\n\t0\nlight\n\t5\t5\t-5\n"
    "plane 0 1 0 3 0.2 0.2 0.2 0.5\n"
    "sphere 0 0 0 2 1 1 1 0.9\n"
    "ellipsoid 1 0 0 1 2 1 0.5 0 1 0 0\n";

// Image k's byte j is (7 j + k) mod 256: first pixel (k, k + 7, k + 14).
Bytes imageBytes(int k, int width, int height) {
    Bytes b(static_cast<size_t>(width) * height * 3);
    for (size_t j = 0; j < b.size(); ++j) b[j] = static_cast<uint8_t>(7 * j + k);
    return b;
}

Bytes pcxFile() {
    Bytes f(128, 0);
    f[0] = 10, f[1] = 5, f[2] = 1, f[3] = 8, f[8] = 255, f[10] = 255;
    // Row y is index y: four runs of 63 and one of 4.
    for (int y = 0; y < 256; ++y) {
        for (int run : {63, 63, 63, 63, 4}) {
            f.push_back(static_cast<uint8_t>(0xC0 | run));
            f.push_back(static_cast<uint8_t>(y));
        }
    }
    f.push_back(12);
    for (int i = 0; i < 768; ++i) f.push_back(static_cast<uint8_t>(i / 3));
    return f;
}

// A complete data folder, written once.
const std::string& dataDir() {
    static std::string dir = [] {
        std::string d = scratchPath("data/");
        std::filesystem::create_directories(d);
        for (int k = 0; k < img::kImageCount; ++k) {
            const img::ImageFile& f = img::kImageFiles[k];
            Bytes b = imageBytes(k, f.width, f.height);
            if (k % 4 == 0) b.push_back(99);  // extra bytes are ignored
            std::string path = d + f.name + ".rgb";
            if (k % 3 == 0)
                writeGzip(path, b);
            else
                writeFile(path, b);
        }
        writeGzip(d + "pattern1.gra", Bytes(64000, 1));
        writeFile(d + "pattern2.gra", Bytes(64000, 2));
        writeFile(d + "cooltext.pcx", pcxFile());
        writeText(d + "final.scn", kFinal);
        writeText(d + "atom.scn", kAtom);
        for (int k = 1; k <= 7; ++k)
            writeText(d + "shape" + std::to_string(k),
                      std::to_string(k + 2) + " vertices\n" + std::string("1 0\n0 1\n-1 -1\n") +
                          std::string(k - 1, '\n') + "3 3\n3 -3\n1 1\n1 2\n1 3\n1 4\n");
        return d;
    }();
    return dir;
}

// Replaces one file of the folder for the life of the object.
class SwappedFile {
public:
    SwappedFile(const std::string& name, const Bytes* content) : path_(dataDir() + name) {
        std::filesystem::rename(path_, path_ + ".keep");
        if (content) writeFile(path_, *content);
    }
    ~SwappedFile() {
        std::filesystem::remove(path_);
        std::filesystem::rename(path_ + ".keep", path_);
    }

private:
    std::string path_;
};

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

Outcome loadWith(const std::string& name, const std::string& content) {
    Bytes b = asBytes(content);
    SwappedFile swap(name, &b);
    return load(false);
}

TEST(StartupLoad, LoadsEveryFileInPlace) {
    Outcome o = load(false);
    ASSERT_TRUE(o.ok) << o.failure.file << ": " << o.failure.reason;
    EXPECT_EQ(img::openptc[0], 0x0000070Eu);
    EXPECT_EQ(img::pyr[3][0], 0x0008 << 16 | 15 << 8 | 22u);  // table row 9: pyr3
    EXPECT_EQ(img::banner[7][0], 69u << 16 | 76u << 8 | 83u);  // row 70: banner28
    uint32_t last = img::binary2[64 * 400 - 1];
    size_t j = 64 * 400 * 3 - 3;
    EXPECT_EQ(last, uint32_t(uint8_t(7 * j + 71)) << 16 | uint32_t(uint8_t(7 * (j + 1) + 71)) << 8 |
                        uint8_t(7 * (j + 2) + 71));
    EXPECT_EQ(img::pattern1[63999], 1);
    EXPECT_EQ(img::pattern2[0], 2);
    ASSERT_NE(o.data.coolText, nullptr);
    EXPECT_EQ(o.data.coolText->pixels[256 * 200], 200);
    EXPECT_EQ(o.data.coolText->palette[255], 0x00FFFFFFu);
    ASSERT_NE(o.data.morph, nullptr);
    EXPECT_EQ(o.data.morph->maxVertices, 9);
    EXPECT_EQ(o.data.morph->centreX, 160.0f);
    EXPECT_FLOAT_EQ(o.data.morph->current[0].x, 30.0f);
    // The atom scene's viewport is the one kept.
    EXPECT_EQ(SharedRayViewport.width, 81);
    EXPECT_EQ(AtomRayScene.objectCount, 5);
    EXPECT_EQ(FinalRayScene.objectCount, 3);
    // Without verbose only the scene reader's own lines appear.
    EXPECT_EQ(o.log, "RAYTR: 3 object(s) loaded.\nRAYTR: 5 object(s) loaded.\n");

    Outcome v = load(true);
    ASSERT_TRUE(v.ok);
    EXPECT_EQ(v.log.rfind("loading " + dataDir() + "openptc.rgb\nloading " + dataDir() +
                              "linux-in.rgb\n",
                          0),
              0u);
    size_t lines = 0;
    for (size_t at = 0; (at = v.log.find("loading ", at)) != std::string::npos; ++at) ++lines;
    EXPECT_EQ(lines, 72u + 2 + 1 + 2 + 7);
}

TEST(StartupLoad, EachFailureNamesTheFileAndTheReason) {
    {
        SwappedFile gone("square.rgb", nullptr);
        Outcome o = load(false);
        EXPECT_FALSE(o.ok);
        EXPECT_EQ(o.failure.file, dataDir() + "square.rgb");
        EXPECT_EQ(o.failure.reason, "GZ_Stream: gzopen() failed.");
        EXPECT_EQ(o.log, "");
    }
    {
        Bytes cut = imageBytes(0, 320, 50);
        cut.pop_back();
        SwappedFile shortFile("banner24.rgb", &cut);
        Outcome o = load(false);
        EXPECT_EQ(o.failure.file, dataDir() + "banner24.rgb");
        EXPECT_EQ(o.failure.reason, "short file");
    }
    {
        Bytes cut(63999, 0);
        SwappedFile shortFile("pattern2.gra", &cut);
        EXPECT_EQ(load(false).failure.reason, "short file");
    }
    Bytes pcx = pcxFile();
    pcx[1] = 3;
    EXPECT_EQ(loadWith("cooltext.pcx", std::string(pcx.begin(), pcx.end())).failure.reason,
              "bad PCX header");
    pcx = pcxFile();
    EXPECT_EQ(loadWith("cooltext.pcx", std::string(pcx.begin(), pcx.end() - 1)).failure.reason,
              "short file");
    Outcome noShape = loadWith("shape4", "3 corners\n0 1\n1 0\n1 1\n");
    EXPECT_EQ(noShape.failure.file, dataDir() + "shape4");
    EXPECT_EQ(noShape.failure.reason, "Shape::Shape_Ex 1 (not a shape file)");
    EXPECT_EQ(loadWith("shape7", "0 vertices\n").failure.reason,
              "Shape::Shape_Ex 1 (not a shape file)");
    {
        SwappedFile gone("shape1", nullptr);
        EXPECT_EQ(load(false).failure.reason, "Shape::Shape_Ex 0 (cannot open)");
    }
    {
        SwappedFile gone("final.scn", nullptr);
        Outcome o = load(false);
        EXPECT_EQ(o.failure.file, dataDir() + "final.scn");
        EXPECT_EQ(o.failure.reason, "cannot open");
    }
}

TEST(StartupLoad, ScenesMustHoldWhatTheirPartsMove) {
    std::string atom = kAtom;
    // Only four objects: entry 4 is missing.
    std::string four = atom.substr(0, atom.rfind("sphere"));
    Outcome o = loadWith("atom.scn", four);
    EXPECT_EQ(o.failure.file, dataDir() + "atom.scn");
    EXPECT_EQ(o.failure.reason, "has 4 object(s), needs entries 1 to 4");
    // A plane where a body should be.
    std::string plane = atom + "";
    plane.replace(plane.find("sphere 0 1 0"), 6, "plane ");
    EXPECT_EQ(loadWith("atom.scn", plane).failure.reason, "entry 3 is not a sphere or ellipsoid");
    // The final scene's entry 1 must be a sphere (its radius is animated).
    std::string fin = kFinal;
    fin.replace(fin.find("sphere"), 6, "ellipsoid 1 1 1");
    Outcome f = loadWith("final.scn", fin);
    EXPECT_EQ(f.failure.file, dataDir() + "final.scn");
    EXPECT_EQ(f.failure.reason, "entry 1 is not a sphere");
    // The viewport in use is the second scene's; it must be 81 x 36.
    std::string wide = atom;
    wide.replace(wide.find("81"), 2, "80");
    Outcome w = loadWith("atom.scn", wide);
    EXPECT_EQ(w.failure.reason, "viewport 80x36, needs 81x36");
}

TEST(StartupLoad, LoadImageBankEndsTheProcessWithStatusOne) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // Run from a folder whose "../data/" has no images.
    std::string work = scratchPath("empty/bin");
    std::filesystem::create_directories(work);
    std::filesystem::create_directories(scratchPath("empty/data"));
    EXPECT_EXIT(
        {
            if (chdir(work.c_str()) != 0) std::exit(2);
            VerboseLoading = true;
            LoadImageBank();
            std::exit(0);
        },
        testing::ExitedWithCode(1), "cannot load \\.\\./data/openptc\\.rgb: GZ_Stream: gzopen\\(\\) failed\\.");
    EXPECT_EXIT(
        {
            if (chdir(work.c_str()) != 0) std::exit(2);
            VerboseLoading = false;
            LoadImageBank();
            std::exit(0);
        },
        testing::ExitedWithCode(1), "^$");
}

TEST(StartupLoad, GeneratedDataFolder) {
    std::string data = PLIVAK_DATA_DIR;
    if (!std::filesystem::exists(data + "/.generated")) GTEST_SKIP() << "no generated data in " << data;
    // Scene files name their textures relative to the program's folder.
    std::string bin = PLIVAK_BIN_DIR;
    std::filesystem::create_directories(bin);
    auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(bin);
    Outcome o;
    testing::internal::CaptureStderr();
    o.ok = loadStartupData("../data/", false, o.data, o.failure);
    o.log = testing::internal::GetCapturedStderr();
    std::filesystem::current_path(cwd);
    ASSERT_TRUE(o.ok) << o.failure.file << ": " << o.failure.reason << "\n" << o.log;
    EXPECT_EQ(o.log.find("error"), std::string::npos) << o.log;
    EXPECT_EQ(o.log.find("warning"), std::string::npos) << o.log;
    EXPECT_EQ(o.data.morph->shapeCount, 7);
}

}  // namespace
