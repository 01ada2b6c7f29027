// The two raytracer scenes and their textures. Both use the 81 x 36 grid.
// The camera and the light given here are only the start values: the parts
// move them (and bodies 1..4 of the atom, 1 and 2 of the final scene) every
// frame, so those entries must stay spheres or ellipsoids, entry 1 of the
// final scene a sphere. The camera looks at the origin from 170..850 units
// (atom) and 210..800 units (final scene); the focal distances are chosen
// so the bodies fill about half the height from the middle distance.
#include <cstdio>
#include <memory>
#include <string>

#include "gen/generators.h"
#include "gen/ray_textures.h"

namespace {

// Builds the text in the canonical layout: one tab before every value, a
// line break after each group.
class SceneText {
public:
    SceneText(int width, int height, float focal) {
        text_ = "viewport\n";
        group({static_cast<float>(width), static_cast<float>(height), 0.0f}, 1);
        text_.pop_back();
        text_ += "\t" + number(focal) + "\n";
    }
    void camera(float ex, float ey, float ez, float tx, float ty, float tz) {
        text_ += "camera\n";
        group({ex, ey, ez});
        group({tx, ty, tz});
        group({0.0f});
    }
    void light(float x, float y, float z) {
        text_ += "light\n";
        group({x, y, z});
    }
    // Floor y = height: -y + height = 0, normal (0, -1, 0), lit from above.
    void texturedFloor(float height, const std::string& texture, float reflectivity) {
        text_ += "plane_text\n";
        group({0.0f, -1.0f, 0.0f, height});
        name(texture);
        group({reflectivity});
    }
    // Ceiling y = height: y - height = 0, normal (0, 1, 0), lit from below.
    void texturedCeiling(float height, const std::string& texture) {
        text_ += "plane_text\n";
        group({0.0f, 1.0f, 0.0f, -height});
        name(texture);
        group({0.0f});
    }
    void sphere(float x, float y, float z, float radius, float r, float g, float b, float reflectivity) {
        text_ += "sphere\n";
        group({x, y, z, radius});
        group({r, g, b});
        group({reflectivity});
    }
    void texturedSphere(float x, float y, float z, float radius, const std::string& texture, float reflectivity) {
        text_ += "sphere_text\n";
        group({x, y, z, radius});
        name(texture);
        group({reflectivity});
    }
    void ellipsoid(float x, float y, float z, float sx, float sy, float sz, float radius, float r, float g, float b,
                   float reflectivity) {
        text_ += "ellipsoid\n";
        group({x, y, z});
        group({sx, sy, sz});
        group({radius});
        group({r, g, b});
        group({reflectivity});
    }
    void texturedEllipsoid(float x, float y, float z, float sx, float sy, float sz, float radius,
                           const std::string& texture, float reflectivity) {
        text_ += "ellipsoid_text\n";
        group({x, y, z});
        group({sx, sy, sz});
        group({radius});
        name(texture);
        group({reflectivity});
    }
    const std::string& text() const { return text_; }

private:
    static std::string number(float v) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.6g", static_cast<double>(v));
        return buffer;
    }
    void group(std::initializer_list<float> values, int integers = 0) {
        for (float v : values) text_ += "\t" + (integers ? std::to_string(static_cast<int>(v)) : number(v));
        text_ += "\n";
    }
    void name(const std::string& texture) { text_ += "\t../data/" + texture + "\n"; }

    std::string text_;
};

bool writeText(const std::string& path, const std::string& text) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::perror(("plivak-data: " + path).c_str());
        return false;
    }
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = (std::fclose(f) == 0) && ok;
    if (!ok) std::fprintf(stderr, "plivak-data: cannot write %s\n", path.c_str());
    return ok;
}

// Entry 0 the floor, 1..4 the electrons (moved by the part: 1 and 2 in the
// plane y = 0, 3 and 4 in the plane z = 0), 5..9 the nucleus.
std::string atomScene() {
    SceneText s(81, 36, 62.0f);
    s.camera(0.0f, 200.0f, 500.0f, 0.0f, 0.0f, 0.0f);
    s.light(400.0f, 550.0f, 0.0f);
    s.texturedFloor(-200.0f, "atom_floor.tex", 0.2f);
    s.sphere(120.0f, 0.0f, 0.0f, 27.0f, 1.0f, 0.35f, 0.25f, 0.3f);
    s.sphere(-120.0f, 0.0f, 0.0f, 27.0f, 1.0f, 0.35f, 0.25f, 0.3f);
    s.ellipsoid(0.0f, 120.0f, 0.0f, 1.3f, 1.0f, 1.3f, 30.0f, 0.3f, 0.6f, 1.0f, 0.3f);
    s.ellipsoid(0.0f, -120.0f, 0.0f, 1.3f, 1.0f, 1.3f, 30.0f, 0.3f, 0.6f, 1.0f, 0.3f);
    // A trigonal bipyramid of nucleons, alternating textured and mirrored.
    s.texturedSphere(0.0f, 38.0f, 0.0f, 30.0f, "atom_nucleon.tex", 0.15f);
    s.sphere(32.0f, 0.0f, 0.0f, 30.0f, 0.75f, 0.78f, 0.85f, 0.5f);
    s.texturedSphere(-16.0f, 0.0f, 27.7f, 30.0f, "atom_nucleon.tex", 0.15f);
    s.sphere(-16.0f, 0.0f, -27.7f, 30.0f, 0.75f, 0.78f, 0.85f, 0.5f);
    s.texturedSphere(0.0f, -38.0f, 0.0f, 30.0f, "atom_nucleon.tex", 0.15f);
    return s.text();
}

// Entry 0 the floor, 1 the swelling mirror sphere and 2 the mirror
// ellipsoid (moved by the part), 3 a low dome under them, 4 a clouded
// ceiling high above (seen mostly in the mirrors), 5..8 pillars beyond the
// camera's path.
std::string finalScene() {
    SceneText s(81, 36, 95.0f);
    s.camera(0.0f, 300.0f, 400.0f, 0.0f, 0.0f, 0.0f);
    s.light(400.0f, 550.0f, 0.0f);
    s.texturedFloor(-130.0f, "final_floor.tex", 0.25f);
    s.sphere(40.0f, 40.0f, 0.0f, 30.0f, 0.9f, 0.95f, 1.0f, 0.55f);
    s.ellipsoid(-40.0f, -40.0f, 0.0f, 1.0f, 0.75f, 1.0f, 32.0f, 1.0f, 0.8f, 0.45f, 0.5f);
    s.sphere(0.0f, -200.0f, 0.0f, 100.0f, 0.3f, 0.25f, 0.45f, 0.5f);
    s.texturedCeiling(900.0f, "final_sky.tex");
    static const float kRing[4][2] = {{480.8f, 480.8f}, {-480.8f, 480.8f}, {-480.8f, -480.8f}, {480.8f, -480.8f}};
    for (const auto& at : kRing)
        s.texturedEllipsoid(at[0], -40.0f, at[1], 6.0f, 1.0f, 6.0f, 240.0f, "final_pillar.tex", 0.1f);
    return s.text();
}

}  // namespace

bool writeRayScenes(const std::string& outDir) {
    auto image = std::make_unique<RayTextureImage>();
    makeAtomFloor(*image);
    if (!writeRayTexture(outDir + "atom_floor.tex", *image)) return false;
    makeNucleonSkin(*image);
    if (!writeRayTexture(outDir + "atom_nucleon.tex", *image)) return false;
    makeFinalFloor(*image);
    if (!writeRayTexture(outDir + "final_floor.tex", *image)) return false;
    makePillarSkin(*image);
    if (!writeRayTexture(outDir + "final_pillar.tex", *image)) return false;
    makeSkyClouds(*image);
    if (!writeRayTexture(outDir + "final_sky.tex", *image)) return false;
    return writeText(outDir + "atom.scn", atomScene()) && writeText(outDir + "final.scn", finalScene());
}
