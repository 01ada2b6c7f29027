// Raytracer scenes: the records a scene file is loaded into, and the loader.
// A scene is a viewport, a camera, one point light and up to 10 objects of
// six kinds (plane, sphere, ellipsoid and their textured forms). Records are
// plain; objects are dispatched on their integer type code.
#pragma once

#include <cstdint>
#include <cstdio>

struct RayViewport {
    int32_t width = 0;          // samples per row of the ray grid (81)
    int32_t height = 0;         // sample rows (36)
    int32_t viewportExtra = 0;  // read and kept, not used
    float focal = 0.0f;         // projection centre to image plane, in sample spacings
};

// 256 x 256 texels of three floats (r, g, b), row by row.
struct RayTexture {
    float texels[256 * 256][3];
};

enum RayObjectType : int32_t {
    kRayPlane = 1,
    kRaySphere = 2,
    kRayEllipsoid = 3,
    kRayTexPlane = 21,
    kRayTexSphere = 22,
    kRayTexEllipsoid = 23,
};

// Geometry comes first in every record, in the same places for a plain kind
// and its textured kind, so geometric code reads either through the plain
// record's leading fields.
struct RayPlane {
    float a, b, c, d;  // a*x + b*y + c*z + d = 0
    float red, green, blue;
    float reflectivity;
};
struct RaySphere {
    float x, y, z, radius;
    float red, green, blue;
    float reflectivity;
};
struct RayEllipsoid {
    float x, y, z;
    float sx, sy, sz;  // axis scale factors: the semi-axis along x is radius / sx
    float radius;
    float red, green, blue;
    float reflectivity;
};
struct RayTexPlane {
    float a, b, c, d;
    const RayTexture* texture;
    float reflectivity;
};
struct RayTexSphere {
    float x, y, z, radius;
    const RayTexture* texture;
    float reflectivity;
};
struct RayTexEllipsoid {
    float x, y, z;
    float sx, sy, sz;
    float radius;
    const RayTexture* texture;
    float reflectivity;
};

struct RayObject {
    int32_t type;
    void* record;
};

constexpr int kRayMaxObjects = 10;

struct RayScene {
    int32_t flags = 0;  // bit 0: reflections, bit 1: shadows
    float light[3] = {};
    float eye[3] = {};
    float target[3] = {};
    float cameraExtra = 0.0f;
    int32_t objectCount = 0;
    RayObject* objects = nullptr;  // room for kRayMaxObjects
};

constexpr int32_t kRayReflections = 1;
constexpr int32_t kRayShadows = 2;

// Reads a scene file: 1 when the file was read (whatever its content), 0
// when it cannot be opened. Prints the "RAYTR: " lines on standard error.
int32_t loadRayScene(const char* fileName, RayViewport& viewport, RayScene& scene);
// Reads a 256x256 palettised texture; null on failure.
RayTexture* loadRayTexture(const char* fileName);

// The two scenes of the demo and their shared viewport, loaded at start-up.
extern RayViewport SharedRayViewport;
extern RayScene FinalRayScene;  // "../data/final.scn"
extern RayScene AtomRayScene;   // "../data/atom.scn"
