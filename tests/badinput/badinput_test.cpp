// Bad data files a user could hit, one case each: the capture build of the
// demo runs in a scratch tree whose data folder links to the generated
// files except the one replaced, with "verbose" in plivak.cfg. Each case
// checks the exit status and the line that names the file and the reason;
// a memory fault shows as a signal instead of an exit status.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "data/image_bank.h"
#include "gen/s3d_writer.h"
#include "platform/test_modules.h"
#include "xm/xm_writer.h"

namespace {

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void spit(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

std::string original(const std::string& name) { return slurp(std::string(PLIVAK_DATA_DIR) + "/" + name); }

bool haveData() {
    struct stat st{};
    return stat(PLIVAK_DATA_DIR "/demo.xm", &st) == 0 && stat(PLIVAK_BIN_DIR "/plivak-capture", &st) == 0;
}

// Every file the demo reads, in the order it reads them.
std::vector<std::string> dataFiles() {
    std::vector<std::string> files;
    for (const img::ImageFile& f : img::kImageFiles) files.push_back(f.file);
    for (const char* name : {"pattern1.gra", "pattern2.gra", "cooltext.pcx", "final.scn", "final_floor.tex",
                             "final_sky.tex", "final_pillar.tex", "atom.scn", "atom_floor.tex",
                             "atom_nucleon.tex", "shape1", "shape2", "shape3", "shape4", "shape5", "shape6",
                             "shape7", "dazovad.scn", "demo.xm"})
        files.push_back(name);
    return files;
}

struct Outcome {
    bool exited = false;
    int status = -1;
    std::string output;  // standard output and standard error
    std::string log;     // the capture's --log
};

// Runs the capture with the file replaced by content (missing when there
// is none) until a key at the given demo time.
Outcome runWith(const std::string& replaced, const std::optional<std::string>& content, double seconds = 1.0) {
    char base[] = "/tmp/plivak-badinput-XXXXXX";
    if (!mkdtemp(base)) return {};
    const std::string root = base;
    mkdir((root + "/bin").c_str(), 0755);
    mkdir((root + "/data").c_str(), 0755);
    for (const std::string& f : dataFiles()) {
        if (f == replaced) continue;
        std::string target = std::string(PLIVAK_DATA_DIR) + "/" + f;
        if (symlink(target.c_str(), (root + "/data/" + f).c_str()) != 0) return {};
    }
    if (content) spit(root + "/data/" + replaced, *content);
    spit(root + "/bin/plivak.cfg", "verbose\n");
    char command[512];
    std::snprintf(command, sizeof command,
                  "cd %s/bin && exec %s/plivak-capture --seconds %g --log %s/show.log > %s/out 2>&1", root.c_str(),
                  PLIVAK_BIN_DIR, seconds, root.c_str(), root.c_str());
    int raw = std::system(command);
    Outcome o;
    o.exited = WIFEXITED(raw);
    o.status = o.exited ? WEXITSTATUS(raw) : -1;
    o.output = slurp(root + "/out");
    o.log = slurp(root + "/show.log");
    std::system(("rm -rf " + root).c_str());
    return o;
}

#define EXPECT_FAILS_WITH(outcome, text)                                          \
    do {                                                                          \
        const Outcome& o_ = (outcome);                                            \
        EXPECT_TRUE(o_.exited) << o_.output;                                      \
        EXPECT_EQ(o_.status, 1) << o_.output;                                     \
        EXPECT_NE(o_.output.find(text), std::string::npos) << o_.output;          \
    } while (0)

#define EXPECT_PLAYS(outcome)                                                     \
    do {                                                                          \
        const Outcome& o_ = (outcome);                                            \
        EXPECT_TRUE(o_.exited) << o_.output;                                      \
        EXPECT_EQ(o_.status, 0) << o_.output;                                     \
    } while (0)

class BadInput : public ::testing::Test {
protected:
    void SetUp() override {
        if (!haveData()) GTEST_SKIP() << "no generated data or no plivak-capture";
    }
};

// ---- every file missing -------------------------------------------------

class MissingFile : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        if (!haveData()) GTEST_SKIP() << "no generated data or no plivak-capture";
    }
};

TEST_P(MissingFile, EndsWith1AndNamesIt) {
    const std::string& f = GetParam();
    Outcome o = runWith(f, std::nullopt);
    EXPECT_TRUE(o.exited) << o.output;
    if (f.size() > 4 && f.compare(f.size() - 4, 4, ".tex") == 0) {
        // A missing texture drops its bodies with the system error line;
        // see the texture cases below for which end the demo.
        EXPECT_NE(o.output.find("fopen: No such file or directory"), std::string::npos) << o.output;
        EXPECT_NE(o.output.find("RAYTR: error loading texture mapped"), std::string::npos) << o.output;
        EXPECT_TRUE(o.status == 0 || o.status == 1) << o.output;
        if (o.status == 1) {
            EXPECT_NE(o.output.find(".scn: "), std::string::npos) << o.output;
        }
    } else {
        EXPECT_EQ(o.status, 1) << o.output;
        EXPECT_NE(o.output.find("../data/" + f + ": "), std::string::npos) << o.output;
    }
}

std::string paramName(const ::testing::TestParamInfo<std::string>& info) {
    std::string s;
    for (char c : info.param) s += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return s;
}

INSTANTIATE_TEST_SUITE_P(EveryFile, MissingFile, ::testing::ValuesIn(dataFiles()), paramName);

// ---- empty, truncated and over-long files -------------------------------

TEST_F(BadInput, EmptyImageIsAShortFile) { EXPECT_FAILS_WITH(runWith("openptc.rgb", ""), "cannot load ../data/openptc.rgb: short file"); }

TEST_F(BadInput, ImageOfTheWrongSizeIsAShortFile) {
    EXPECT_FAILS_WITH(runWith("studio.rgb", std::string(320 * 199 * 3, '\x40')), "cannot load ../data/studio.rgb: short file");
}

TEST_F(BadInput, TruncatedGzipImageIsAReadFailure) {
    std::string gz = original("openptc.rgb");
    ASSERT_EQ(static_cast<unsigned char>(gz[0]), 0x1F);  // stored compressed
    // zlib reports the missing end of the stream when the file is closed.
    EXPECT_FAILS_WITH(runWith("openptc.rgb", gz.substr(0, gz.size() / 2)),
                      "cannot load ../data/openptc.rgb: GZ_Stream: gzclose() failed.");
}

TEST_F(BadInput, OverLongImageAndPatternLoad) {
    EXPECT_PLAYS(runWith("openptc.rgb", std::string(320 * 200 * 3 + 5000, '\x20')));
    EXPECT_PLAYS(runWith("pattern2.gra", std::string(64000 + 777, '\x05')));
}

TEST_F(BadInput, ShortPatternIsAShortFile) {
    EXPECT_FAILS_WITH(runWith("pattern1.gra", std::string(63999, '\x01')), "cannot load ../data/pattern1.gra: short file");
}

TEST_F(BadInput, EmptyTruncatedAndOverLongSceneFiles) {
    EXPECT_FAILS_WITH(runWith("atom.scn", ""), "cannot load ../data/atom.scn: has 0 object(s)");
    std::string atom = original("atom.scn");
    EXPECT_FAILS_WITH(runWith("atom.scn", atom.substr(0, atom.size() / 2)), "cannot load ../data/atom.scn: ");
    EXPECT_PLAYS(runWith("final.scn", original("final.scn") + std::string(5000, '\n')));
}

TEST_F(BadInput, EmptyAndTruncatedModule) {
    EXPECT_FAILS_WITH(runWith("demo.xm", ""), "cannot load ../data/demo.xm: not a module");
    EXPECT_FAILS_WITH(runWith("demo.xm", original("demo.xm").substr(0, 40)), "cannot load ../data/demo.xm: not a module");
}

// ---- PCX ----------------------------------------------------------------

std::string pcxHeader(int xmin, int ymin, int xmax, int ymax, int version = 5) {
    std::string h(128, '\0');
    h[0] = 10;
    h[1] = static_cast<char>(version);
    h[2] = 1;
    h[3] = 8;
    auto put = [&](int at, int v) {
        h[at] = static_cast<char>(v & 0xFF);
        h[at + 1] = static_cast<char>((v >> 8) & 0xFF);
    };
    put(4, xmin);
    put(6, ymin);
    put(8, xmax);
    put(10, ymax);
    return h;
}

// 256 x 256 pixels as runs of 63, the palette marker and a grey palette.
std::string pcxBody(int runs = 1041, bool palette = true) {
    std::string b;
    for (int i = 0; i < runs; ++i) b += "\xFF\x07";
    b += std::string(65536 - 63 * std::min(runs, 1040), '\x07').substr(0, runs >= 1041 ? 0 : 65536 - 63 * runs);
    if (palette) {
        b += '\x0C';
        for (int i = 0; i < 256; ++i) b += std::string(3, static_cast<char>(i));
    }
    return b;
}

TEST_F(BadInput, PcxHeaders) {
    const std::string body = pcxBody();
    EXPECT_FAILS_WITH(runWith("cooltext.pcx", pcxHeader(0, 0, 255, 255, 3) + body), "cannot load ../data/cooltext.pcx: bad PCX header");
    EXPECT_FAILS_WITH(runWith("cooltext.pcx", pcxHeader(10, 0, 9, 255) + body), "cannot load ../data/cooltext.pcx: bad PCX header");
    EXPECT_FAILS_WITH(runWith("cooltext.pcx", pcxHeader(0, 0, 319, 199) + body), "cannot load ../data/cooltext.pcx: bad PCX header");
    EXPECT_FAILS_WITH(runWith("cooltext.pcx", pcxHeader(0, 0, 255, 255).substr(0, 100)), "cannot load ../data/cooltext.pcx: short file");
}

TEST_F(BadInput, PcxRunsPastTheEndAreCut) {
    // 1041 runs of 63 make 65583 pixels: the last run is cut at 65536 and
    // the marker and palette follow it.
    EXPECT_PLAYS(runWith("cooltext.pcx", pcxHeader(0, 0, 255, 255) + pcxBody()));
    // The same picture with its origin elsewhere is still 256 x 256.
    EXPECT_PLAYS(runWith("cooltext.pcx", pcxHeader(-300, 1000, -45, 1255) + pcxBody()));
}

TEST_F(BadInput, PcxEndingMidRunOrWithoutPalette) {
    std::string runs;
    for (int i = 0; i < 500; ++i) runs += "\xFF\x07";
    EXPECT_FAILS_WITH(runWith("cooltext.pcx", pcxHeader(0, 0, 255, 255) + runs + "\xFF"), "cannot load ../data/cooltext.pcx: short file");
    EXPECT_FAILS_WITH(runWith("cooltext.pcx", pcxHeader(0, 0, 255, 255) + pcxBody(1041, false)),
                      "cannot load ../data/cooltext.pcx: short file");
    std::string pcx = original("cooltext.pcx");
    EXPECT_FAILS_WITH(runWith("cooltext.pcx", pcx.substr(0, pcx.size() - 300)), "cannot load ../data/cooltext.pcx: short file");
}

// ---- shapes -------------------------------------------------------------

TEST_F(BadInput, ShapeCounts) {
    const char* const kNotAShape = "cannot load ../data/shape3: Shape::Shape_Ex 1 (not a shape file)";
    EXPECT_FAILS_WITH(runWith("shape3", "vertices\n1 2\n3 4\n"), kNotAShape);
    EXPECT_FAILS_WITH(runWith("shape3", "0 vertices\n"), kNotAShape);
    EXPECT_FAILS_WITH(runWith("shape3", "-3 vertices\n1 2\n3 4\n5 6\n"), kNotAShape);
    EXPECT_FAILS_WITH(runWith("shape3", "2147483647 vertices\n1 2\n"), kNotAShape);
    EXPECT_FAILS_WITH(runWith("shape3", "99999999999999999999 vertices\n1 2\n"), kNotAShape);
    EXPECT_FAILS_WITH(runWith("shape3", "3 vertices\n1 2\n3 4\n"), kNotAShape);
}

TEST_F(BadInput, ShapeNonNumbers) {
    const char* const kNotAShape = "cannot load ../data/shape7: Shape::Shape_Ex 1 (not a shape file)";
    EXPECT_FAILS_WITH(runWith("shape7", "three vertices\n1 2\n3 4\n5 6\n"), kNotAShape);
    EXPECT_FAILS_WITH(runWith("shape7", "3 vertexes\n1 2\n3 4\n5 6\n"), kNotAShape);
    EXPECT_FAILS_WITH(runWith("shape7", "3 vertices\n1 2\nx 4\n5 6\n"), kNotAShape);
    EXPECT_FAILS_WITH(runWith("shape7", ""), kNotAShape);
    // "nan" and "inf" convert, but give no direction.
    EXPECT_FAILS_WITH(runWith("shape7", "3 vertices\nnan 2\n3 4\n5 6\n"), kNotAShape);
    EXPECT_FAILS_WITH(runWith("shape7", "3 vertices\n1 2\n70.E711 4\n5 6\n"), kNotAShape);
    // Odd numbers that are finite are points.
    EXPECT_PLAYS(runWith("shape7", "3 vertices\n1e-40 2\n3e38 -3e38\n0 0x1p3\n"));
}

// ---- ray scenes ---------------------------------------------------------

TEST_F(BadInput, RaySceneWithElevenObjectsKeepsTen) {
    std::string extra = "sphere\n\t0\t0\t0\t10\n\t1\t1\t1\n\t0\t\n";
    Outcome o = runWith("final.scn", original("final.scn") + extra + extra);
    EXPECT_PLAYS(o);
    EXPECT_NE(o.output.find("RAYTR: warning - more than 10 objects, the rest are ignored"), std::string::npos) << o.output;
    EXPECT_NE(o.output.find("RAYTR: 10 object(s) loaded."), std::string::npos) << o.output;
}

TEST_F(BadInput, RaySceneLongKeywordIsAnUnknownObject) {
    std::string keyword(200, 'k');
    Outcome o = runWith("atom.scn", original("atom.scn") + keyword + "\n");
    EXPECT_PLAYS(o);
    EXPECT_NE(o.output.find("RAYTR: warning - unknown object \"" + std::string(63, 'k') + "\""), std::string::npos) << o.output;
    EXPECT_EQ(o.output.find(std::string(64, 'k')), std::string::npos) << "the keyword buffer held more than 63 characters";
}

// A textured body whose texture does not load is left out and the ones
// after it move up. The demo still plays while the bodies its parts move
// are there (atom.scn's floor, the first entry, is not one of them) ...
TEST_F(BadInput, RaySceneLongTextureNameFailsItsObject) {
    std::string scene = original("atom.scn");
    const std::string name = "../data/atom_floor.tex";
    size_t at = scene.find(name);
    ASSERT_NE(at, std::string::npos);
    scene.replace(at, name.size(), "../data/" + std::string(300, 'n') + ".tex");
    Outcome o = runWith("atom.scn", scene);
    EXPECT_PLAYS(o);
    EXPECT_NE(o.output.find("RAYTR: error loading texture mapped plane"), std::string::npos) << o.output;
    EXPECT_NE(o.output.find("RAYTR: 9 object(s) loaded."), std::string::npos) << o.output;
    // The name is never opened, not even cut to 255 characters.
    EXPECT_EQ(o.output.find("fopen: "), std::string::npos) << o.output;
}

TEST_F(BadInput, ShortOrMisSizedTextureFailsItsObjects) {
    std::string tex = original("atom_nucleon.tex");
    std::string wide = tex;
    wide[5] = 2;  // width 512
    for (const std::string& bad : {tex.substr(0, tex.size() - 1), wide, std::string()}) {
        Outcome o = runWith("atom_nucleon.tex", bad);
        EXPECT_PLAYS(o);
        EXPECT_NE(o.output.find("RAYTR: error loading texture mapped sphere"), std::string::npos) << o.output;
        EXPECT_NE(o.output.find("RAYTR: 7 object(s) loaded."), std::string::npos) << o.output;
    }
}

// ... and ends with status 1 when one of them is gone.
TEST_F(BadInput, TextureOfABodyThePartMovesFailsTheScene) {
    std::string tex = original("final_floor.tex");
    Outcome o = runWith("final_floor.tex", tex.substr(0, 5000));
    EXPECT_FAILS_WITH(o, "cannot load ../data/final.scn: entry 1 is not a sphere");
    EXPECT_NE(o.output.find("RAYTR: error loading texture mapped plane"), std::string::npos) << o.output;
}

TEST_F(BadInput, RaySceneWithAWrongViewport) {
    std::string scene = original("atom.scn");
    size_t at = scene.find("81");
    ASSERT_NE(at, std::string::npos);
    scene.replace(at, 2, "4000000");
    EXPECT_FAILS_WITH(runWith("atom.scn", scene), "cannot load ../data/atom.scn: viewport 4000000x36, needs 81x36");
}

// ---- 3D scene -----------------------------------------------------------

s3d::Camera stillCamera() {
    s3d::Camera c;
    c.eye.keys = {{0, 0, -100}};
    c.eye.times = {0};
    c.target.keys = {{0, 0, 0}};
    c.target.times = {0};
    c.roll.keys = {0};
    c.roll.times = {0};
    c.fov.keys = {60};
    c.fov.times = {0};
    return c;
}

// One of every record: a small scene that loads and draws.
s3d::Scene smallScene() {
    s3d::Scene s;
    s.cameras = {stillCamera()};
    s.pairs = {{0, 1}};
    s3d::PointLight p;
    p.position.keys = {{1, 2, 3}};
    p.position.times = {0};
    p.intensity.keys = {100};
    p.intensity.times = {0};
    s.pointLights = {p};
    s3d::TargetLight t;
    t.position = p.position;
    t.target = p.position;
    t.colour.keys = {5};
    t.colour.times = {0};
    t.angle.keys = {30};
    t.angle.times = {0};
    s.targetLights = {t};
    s3d::Flare f;
    f.position = p.position;
    s.flares = {f};
    s3d::Object o;
    o.vertices = {{-50, -50, 0}, {50, -50, 0}, {0, 50, 0}};
    o.triangles = {{0, 1, 2}};
    o.u = {0, 1, 0.5f};
    o.v = {0, 0, 1};
    o.slots = {1};
    o.polygonFlags = {static_cast<int8_t>(0x80)};
    o.position.keys = {{0, 0, 0}, {0, 0, 10}};
    o.position.times = {0, 100};
    o.rotation.keys = {{0, 0, 0}};
    o.rotation.times = {0};
    s.objects = {o};
    return s;
}

std::string sceneBytes(const s3d::Scene& s) {
    std::vector<uint8_t> bytes = s3d::encode(s);
    return std::string(bytes.begin(), bytes.end());
}

constexpr const char* kScene = "../data/dazovad.scn: ";

TEST_F(BadInput, SmallSceneOfEveryRecordPlays) { EXPECT_PLAYS(runWith("dazovad.scn", sceneBytes(smallScene()))); }

TEST_F(BadInput, SceneCountsOverEveryLimit) {
    s3d::Scene s = smallScene();
    s.objects.resize(5, s.objects[0]);
    EXPECT_FAILS_WITH(runWith("dazovad.scn", sceneBytes(s)), "../data/dazovad.scn: more than 4 objects");
    s = smallScene();
    s.pointLights.resize(2, s.pointLights[0]);
    EXPECT_FAILS_WITH(runWith("dazovad.scn", sceneBytes(s)), "../data/dazovad.scn: more than 1 point light");
    s = smallScene();
    s.targetLights.resize(2, s.targetLights[0]);
    EXPECT_FAILS_WITH(runWith("dazovad.scn", sceneBytes(s)), "../data/dazovad.scn: more than 1 target light");
    s = smallScene();
    s.cameras.resize(3, s.cameras[0]);
    EXPECT_FAILS_WITH(runWith("dazovad.scn", sceneBytes(s)), "../data/dazovad.scn: more than 2 cameras");
    s = smallScene();
    s.flares.resize(5, s.flares[0]);
    EXPECT_FAILS_WITH(runWith("dazovad.scn", sceneBytes(s)), "../data/dazovad.scn: more than 4 flares");
    s = smallScene();
    s.pairs.resize(33);
    EXPECT_FAILS_WITH(runWith("dazovad.scn", sceneBytes(s)), "../data/dazovad.scn: pair count outside 0..32");
}

TEST_F(BadInput, SceneTracksOverThirtyTwoKeys) {
    s3d::Scene s = smallScene();
    for (int i = 0; i < 33; ++i) {
        s.cameras[0].eye.keys.push_back({0, 0, -100.0f - i});
        s.cameras[0].eye.times.push_back(static_cast<int16_t>(10 + i));
    }
    s.cameras[0].eye.keys.erase(s.cameras[0].eye.keys.begin());
    s.cameras[0].eye.times.erase(s.cameras[0].eye.times.begin());
    EXPECT_FAILS_WITH(runWith("dazovad.scn", sceneBytes(s)), "../data/dazovad.scn: more than 32 keys in a track");
    s = smallScene();
    s.objects[0].morphTimes.resize(1001);
    for (int i = 0; i < 1001; ++i) s.objects[0].morphTimes[i] = static_cast<int16_t>(i);
    EXPECT_FAILS_WITH(runWith("dazovad.scn", sceneBytes(s)), "../data/dazovad.scn: morph key count outside 0..1000");
}

TEST_F(BadInput, SceneIndicesOutOfRange) {
    s3d::Scene s = smallScene();
    s.objects[0].triangles[0].c = 3;
    EXPECT_FAILS_WITH(runWith("dazovad.scn", sceneBytes(s)), "../data/dazovad.scn: vertex index outside the object");
    s.objects[0].triangles[0].c = -1;
    EXPECT_FAILS_WITH(runWith("dazovad.scn", sceneBytes(s)), "../data/dazovad.scn: vertex index outside the object");
    s = smallScene();
    s.objects[0].slots[0] = 16;
    EXPECT_FAILS_WITH(runWith("dazovad.scn", sceneBytes(s)), "../data/dazovad.scn: texture slot outside 0..15");
    s.objects[0].slots[0] = -1;
    EXPECT_FAILS_WITH(runWith("dazovad.scn", sceneBytes(s)), "../data/dazovad.scn: texture slot outside 0..15");
}

TEST_F(BadInput, SceneKeyTimesRepeatedOnlyWhereHarmless) {
    s3d::Scene s = smallScene();
    s.objects[0].position.times = {100, 0};
    s.cameras[0].eye.keys = {{0, 0, -100}, {0, 0, -90}};
    s.cameras[0].eye.times = {5, 5};
    EXPECT_PLAYS(runWith("dazovad.scn", sceneBytes(s)));
    s.cameras[0].eye.keys = {{0, 0, -100}, {0, 0, -90}, {0, 0, -80}, {0, 0, -70}};
    s.cameras[0].eye.times = {0, 5, 5, 9};
    EXPECT_FAILS_WITH(runWith("dazovad.scn", sceneBytes(s)),
                      "../data/dazovad.scn: the last segment of a track has no length");
}

TEST_F(BadInput, SceneNegativeCounts) {
    std::string bytes = sceneBytes(smallScene());
    s3d::Scene noObject = smallScene();
    noObject.objects.clear();
    const size_t object = sceneBytes(noObject).size();  // where the object record begins
    std::string negative = bytes;
    negative[object] = '\xFF';
    negative[object + 1] = '\xFF';  // V = -1
    EXPECT_FAILS_WITH(runWith("dazovad.scn", negative), "../data/dazovad.scn: negative vertex or polygon count");
    std::string header = bytes;
    header[3] = '\xFF';  // cameras = -1
    EXPECT_FAILS_WITH(runWith("dazovad.scn", header), "../data/dazovad.scn: more than 2 cameras");
}

// The small scene cut at the end of every record and inside the object.
TEST_F(BadInput, SceneCutAtEveryRecord) {
    s3d::Scene s = smallScene();
    std::vector<size_t> cuts = {0, 4, 8, 10};
    s3d::Scene part;
    auto sizeWith = [&](const s3d::Scene& p) { return sceneBytes(p).size(); };
    part.pairs = s.pairs;
    cuts.push_back(sizeWith(part));
    part.pointLights = s.pointLights;
    cuts.push_back(sizeWith(part) - 2);
    cuts.push_back(sizeWith(part));
    part.targetLights = s.targetLights;
    cuts.push_back(sizeWith(part));
    part.cameras = s.cameras;
    cuts.push_back(sizeWith(part) - 3);
    cuts.push_back(sizeWith(part));
    part.flares = s.flares;
    const size_t object = sizeWith(part);
    cuts.push_back(object);
    const size_t whole = sceneBytes(s).size();
    // The object: header, vertices, triangles, u, v, slots, flags, keys, times.
    for (size_t at : {object + 10, object + 10 + 36, object + 10 + 36 + 6, object + 10 + 36 + 6 + 12,
                      object + 10 + 36 + 6 + 24, object + 10 + 36 + 6 + 24 + 1, object + 10 + 36 + 6 + 24 + 2,
                      whole - 6, whole - 1})
        cuts.push_back(at);
    for (size_t cut : cuts) {
        ASSERT_LT(cut, whole);
        SCOPED_TRACE("cut at byte " + std::to_string(cut));
        EXPECT_FAILS_WITH(runWith("dazovad.scn", sceneBytes(s).substr(0, cut)), "../data/dazovad.scn: file ends early");
    }
}

// ---- the module ---------------------------------------------------------

TEST_F(BadInput, ModuleThatIsNotAModule) {
    EXPECT_FAILS_WITH(runWith("demo.xm", std::string(5000, 'x')), "cannot load ../data/demo.xm: not a module the player can read");
    std::string broken = original("demo.xm");
    broken.replace(0, 17, "Extended Madule: ");
    broken.resize(300);
    EXPECT_FAILS_WITH(runWith("demo.xm", broken), "cannot load ../data/demo.xm: not a module the player can read");
}

TEST_F(BadInput, ModuleWithoutSyncsPlaysAndWaitsForTheKey) {
    xm::Module m = testmod::makeModule(2, {0, 0, 0, 0}, {64});
    for (int row = 0; row < 64; row += 4) m.patterns[0].at(row, 0) = testmod::note(4, row % 12);
    std::vector<uint8_t> bytes = xm::encodeXm(m);
    ASSERT_FALSE(bytes.empty());
    Outcome o = runWith("demo.xm", std::string(bytes.begin(), bytes.end()), 3.0);
    EXPECT_PLAYS(o);
    // No beat ever comes: the first part holds its frame until the key at
    // 3 s (180 polls).
    EXPECT_EQ(o.log.find("beat=1"), std::string::npos);
    EXPECT_EQ(o.log.find("step=2"), std::string::npos);
    EXPECT_NE(o.log.find("frame=179 "), std::string::npos) << o.log.substr(0, 400);
}

}  // namespace
