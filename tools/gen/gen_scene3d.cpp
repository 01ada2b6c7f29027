// dazovad.scn: the closing 3D scene. A closed hall (tiled floor, woven
// ceiling, brick walls, golden pillars) with a golden torus turning in the
// middle, a ring of woven cubes circling it and a spinning gem floating
// above; one camera sweeps round the hall for the whole 600 s, looking in.
//
// Scene time counts tenths of a second. Every animated track has 32 keys,
// 200 apart from 0 to 6200: a track extrapolates beyond its second-to-last
// key (6000), so the part's whole 600 s stay on keyed curves.
#include <cmath>
#include <cstdio>
#include <string>

#include "gen/generators.h"
#include "gen/s3d_writer.h"

namespace {

using s3d::V3;

constexpr double kPi = 3.14159265358979323846;
constexpr int kKeys = 32;
constexpr int kKeyStep = 200;

// Texture slots (the final part fills them): 1 col (golden flutes),
// 2 col2 (bricks), 3 sol (floor tiles), 4, 5, 7 weeve (basket weave).
constexpr int kPillarSlot = 1;
constexpr int kWallSlot = 2;
constexpr int kFloorSlot = 3;
constexpr int kCeilingSlot = 4;
constexpr int kCubeSlot = 7;
constexpr int kTorusSlot = 1;
constexpr int kGemSlot = 5;

// Hall: x and z in -kHall..kHall, y from 0 (floor) to kHallHeight.
constexpr float kHall = 1200.0f;
constexpr float kHallHeight = 700.0f;

V3 sub(V3 a, V3 b) { return V3{a.x - b.x, a.y - b.y, a.z - b.z}; }
V3 cross(V3 a, V3 b) { return V3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
float dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// Builds one object's vertices and triangles.
class Mesh {
public:
    explicit Mesh(s3d::Object& o) : o_(o) {}

    int vertex(V3 p, float u, float v) {
        o_.vertices.push_back(p);
        o_.u.push_back(u);
        o_.v.push_back(v);
        return static_cast<int>(o_.vertices.size()) - 1;
    }

    // A triangle seen from the side that `towardViewer` points to. The
    // engine draws a face whose (V1 - V0) x (V2 - V0) points away from the
    // eye, so the winding is chosen by that normal.
    void triangle(int a, int b, int c, V3 towardViewer, int slot) {
        const V3 n = cross(sub(o_.vertices[b], o_.vertices[a]), sub(o_.vertices[c], o_.vertices[a]));
        if (dot(n, towardViewer) > 0.0f) std::swap(b, c);
        o_.triangles.push_back(s3d::Triangle{static_cast<int16_t>(a), static_cast<int16_t>(b),
                                             static_cast<int16_t>(c)});
        o_.slots.push_back(static_cast<int8_t>(slot));
    }

    // Quad a b c d (in order round its edge) as two triangles.
    void quad(int a, int b, int c, int d, V3 towardViewer, int slot) {
        triangle(a, b, c, towardViewer, slot);
        triangle(a, c, d, towardViewer, slot);
    }

    // A grid of quads over origin + i*du + j*dv, textured at (i, j) times
    // texture units per cell, seen from towardViewer.
    void grid(V3 origin, V3 du, V3 dv, int nu, int nv, float texU, float texV, V3 towardViewer, int slot) {
        const int first = static_cast<int>(o_.vertices.size());
        for (int j = 0; j <= nv; ++j) {
            for (int i = 0; i <= nu; ++i) {
                const V3 p{origin.x + du.x * i + dv.x * j, origin.y + du.y * i + dv.y * j,
                           origin.z + du.z * i + dv.z * j};
                vertex(p, texU * i, texV * j);
            }
        }
        for (int j = 0; j < nv; ++j) {
            for (int i = 0; i < nu; ++i) {
                const int a = first + j * (nu + 1) + i;
                quad(a, a + 1, a + nu + 2, a + nu + 1, towardViewer, slot);
            }
        }
    }

    // An axis-aligned box centred at c with half sizes h, seen from outside;
    // each face carries the whole texture tile times `tile`.
    void box(V3 c, V3 h, float tileU, float tileV, int slot, bool withCaps) {
        const V3 axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
        for (int axis = 0; axis < 3; ++axis) {
            if (axis == 1 && !withCaps) continue;
            for (int sign = -1; sign <= 1; sign += 2) {
                const V3 n{axes[axis].x * sign, axes[axis].y * sign, axes[axis].z * sign};
                const V3 a = axes[(axis + 1) % 3];
                const V3 b = axes[(axis + 2) % 3];
                const float ha = dot(a, h);
                const float hb = dot(b, h);
                const float hn = dot(axes[axis], h) * sign;
                // For the side faces, b runs up (y) so textures stand upright.
                V3 across = a, up = b;
                float hAcross = ha, hUp = hb;
                if (axis != 1 && a.y != 0.0f) {
                    across = b;
                    up = a;
                    hAcross = hb;
                    hUp = ha;
                }
                auto corner = [&](float s, float t) {
                    return V3{c.x + n.x * (hn * sign) + across.x * hAcross * s + up.x * hUp * t,
                              c.y + n.y * (hn * sign) + across.y * hAcross * s + up.y * hUp * t,
                              c.z + n.z * (hn * sign) + across.z * hAcross * s + up.z * hUp * t};
                };
                const int v0 = vertex(corner(-1, -1), 0.0f, tileV);
                const int v1 = vertex(corner(1, -1), tileU, tileV);
                const int v2 = vertex(corner(1, 1), tileU, 0.0f);
                const int v3 = vertex(corner(-1, 1), 0.0f, 0.0f);
                quad(v0, v1, v2, v3, n, slot);
            }
        }
    }

private:
    s3d::Object& o_;
};

std::vector<int16_t> keyTimes() {
    std::vector<int16_t> t;
    for (int i = 0; i < kKeys; ++i) t.push_back(static_cast<int16_t>(i * kKeyStep));
    return t;
}

// Rotation growing steadily at the given radians per tenth of a second
// (keys on a straight line make the curve exactly linear).
s3d::VectorKeys spin(V3 rate) {
    s3d::VectorKeys k;
    k.times = keyTimes();
    for (int16_t t : k.times) k.keys.push_back(V3{rate.x * t, rate.y * t, rate.z * t});
    return k;
}

s3d::VectorKeys fixedAt(V3 p) {
    s3d::VectorKeys k;
    k.keys.push_back(p);
    k.times.push_back(0);
    return k;
}

s3d::Object makeHall() {
    s3d::Object o;
    Mesh m(o);
    const int cells = 6;
    const float cell = 2.0f * kHall / cells;
    // Floor, seen from above; ceiling, seen from below. 1.5 tiles a cell.
    m.grid(V3{-kHall, 0.0f, -kHall}, V3{cell, 0, 0}, V3{0, 0, cell}, cells, cells, 1.5f, 1.5f, V3{0, 1, 0},
           kFloorSlot);
    m.grid(V3{-kHall, kHallHeight, -kHall}, V3{cell, 0, 0}, V3{0, 0, cell}, cells, cells, 0.8f, 0.8f,
           V3{0, -1, 0}, kCeilingSlot);
    // Four walls, seen from inside, in two rows of bricks.
    const float row = kHallHeight / 2.0f;
    m.grid(V3{-kHall, kHallHeight, -kHall}, V3{cell, 0, 0}, V3{0, -row, 0}, cells, 2, 1.0f, 0.875f, V3{0, 0, 1},
           kWallSlot);
    m.grid(V3{kHall, kHallHeight, kHall}, V3{-cell, 0, 0}, V3{0, -row, 0}, cells, 2, 1.0f, 0.875f, V3{0, 0, -1},
           kWallSlot);
    m.grid(V3{-kHall, kHallHeight, kHall}, V3{0, 0, -cell}, V3{0, -row, 0}, cells, 2, 1.0f, 0.875f, V3{1, 0, 0},
           kWallSlot);
    m.grid(V3{kHall, kHallHeight, -kHall}, V3{0, 0, cell}, V3{0, -row, 0}, cells, 2, 1.0f, 0.875f, V3{-1, 0, 0},
           kWallSlot);
    // Eight golden pillars near the walls, floor to ceiling.
    for (int i = 0; i < 8; ++i) {
        const double a = (i + 0.5) * kPi / 4.0;
        const V3 c{static_cast<float>(std::cos(a) * 1000.0), kHallHeight / 2.0f, static_cast<float>(std::sin(a) * 1000.0)};
        m.box(c, V3{55.0f, kHallHeight / 2.0f, 55.0f}, 0.5f, 2.0f, kPillarSlot, false);
    }
    o.position = fixedAt(V3{0, 0, 0});
    o.rotation = fixedAt(V3{0, 0, 0});
    return o;
}

// A torus round the y axis: major radius R, minor radius r.
s3d::Object makeTorus() {
    s3d::Object o;
    Mesh m(o);
    const int around = 18;
    const int tube = 9;
    const float R = 170.0f;
    const float r = 60.0f;
    for (int i = 0; i <= around; ++i) {
        const double a = 2.0 * kPi * i / around;
        for (int j = 0; j <= tube; ++j) {
            const double b = 2.0 * kPi * j / tube;
            const double d = R + r * std::cos(b);
            m.vertex(V3{static_cast<float>(d * std::cos(a)), static_cast<float>(r * std::sin(b)),
                        static_cast<float>(d * std::sin(a))},
                     3.0f * i / around, 1.0f * j / tube);
        }
    }
    for (int i = 0; i < around; ++i) {
        const double a = 2.0 * kPi * (i + 0.5) / around;
        for (int j = 0; j < tube; ++j) {
            const double b = 2.0 * kPi * (j + 0.5) / tube;
            // Outward normal of the tube at the cell's centre.
            const V3 out{static_cast<float>(std::cos(b) * std::cos(a)), static_cast<float>(std::sin(b)),
                         static_cast<float>(std::cos(b) * std::sin(a))};
            const int v = i * (tube + 1) + j;
            m.quad(v, v + tube + 1, v + tube + 2, v + 1, out, kTorusSlot);
        }
    }
    o.position = fixedAt(V3{0.0f, 300.0f, 0.0f});
    o.rotation = spin(V3{0.011f, 0.004f, 0.0073f});
    return o;
}

// Eight cubes on a ring round the y axis; the whole ring turns.
s3d::Object makeCubeRing() {
    s3d::Object o;
    Mesh m(o);
    for (int i = 0; i < 8; ++i) {
        const double a = i * kPi / 4.0;
        const float y = (i % 2 == 0) ? 40.0f : -40.0f;
        m.box(V3{static_cast<float>(std::cos(a) * 390.0), y, static_cast<float>(std::sin(a) * 390.0)},
              V3{38.0f, 38.0f, 38.0f}, 1.0f, 1.0f, kCubeSlot, true);
    }
    o.position = fixedAt(V3{0.0f, 300.0f, 0.0f});
    o.rotation = spin(V3{0.0f, -0.0045f, 0.0f});
    return o;
}

// An octahedron stretched along y, bobbing above the torus.
s3d::Object makeGem() {
    s3d::Object o;
    Mesh m(o);
    const float w = 70.0f;
    const float h = 110.0f;
    const V3 ring[4] = {{w, 0, 0}, {0, 0, w}, {-w, 0, 0}, {0, 0, -w}};
    for (int tip = 0; tip < 2; ++tip) {
        const float ty = tip == 0 ? h : -h;
        for (int i = 0; i < 4; ++i) {
            const V3 a = ring[i];
            const V3 b = ring[(i + 1) % 4];
            const int va = m.vertex(a, 0.0f, 1.0f);
            const int vb = m.vertex(b, 1.0f, 1.0f);
            const int vt = m.vertex(V3{0, ty, 0}, 0.5f, 0.0f);
            const V3 out{(a.x + b.x) * 0.5f, ty * 0.3f, (a.z + b.z) * 0.5f};
            m.triangle(va, vb, vt, out, kGemSlot);
        }
    }
    o.position.times = keyTimes();
    for (int16_t t : o.position.times) {
        const double a = t * 2.0 * kPi / 1000.0;
        o.position.keys.push_back(V3{static_cast<float>(std::cos(a) * 60.0),
                                     static_cast<float>(540.0 + std::sin(a * 2.5) * 30.0),
                                     static_cast<float>(std::sin(a) * 60.0)});
    }
    o.rotation = spin(V3{0.0f, 0.02f, 0.0f});
    return o;
}

// The camera circles the hall, in and out and up and down, always looking
// towards the middle, with a slow sway of roll and zoom.
s3d::Camera makeCamera() {
    s3d::Camera c;
    const std::vector<int16_t> times = keyTimes();
    c.eye.times = c.target.times = c.roll.times = c.fov.times = times;
    for (int i = 0; i < kKeys; ++i) {
        const double a = i * 1.75;  // about 100 degrees a key
        const double radius = 680.0 + 170.0 * std::sin(i * 1.3);
        const double height = 330.0 + 170.0 * std::sin(i * 0.9 + 0.5);
        c.eye.keys.push_back(V3{static_cast<float>(std::cos(a) * radius), static_cast<float>(height),
                                static_cast<float>(std::sin(a) * radius)});
        const double ta = a + 0.9;
        const double look = 140.0 + 110.0 * std::sin(i * 2.1);
        c.target.keys.push_back(V3{static_cast<float>(std::cos(ta) * look),
                                   static_cast<float>(300.0 + 120.0 * std::sin(i * 1.7)),
                                   static_cast<float>(std::sin(ta) * look)});
        c.roll.keys.push_back(static_cast<float>(14.0 * std::sin(i * 2.3)));
        c.fov.keys.push_back(static_cast<float>(84.0 + 14.0 * std::sin(i * 1.1)));
    }
    return c;
}

}  // namespace

bool write3dScene(const std::string& outDir) {
    s3d::Scene scene;
    scene.cameras.push_back(makeCamera());
    scene.objects.push_back(makeHall());
    scene.objects.push_back(makeTorus());
    scene.objects.push_back(makeCubeRing());
    scene.objects.push_back(makeGem());
    const std::vector<uint8_t> bytes = s3d::encode(scene);
    const std::string path = outDir + "dazovad.scn";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        std::fprintf(stderr, "plivak-data: cannot write %s\n", path.c_str());
        return false;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !ok) {
        std::fprintf(stderr, "plivak-data: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}
