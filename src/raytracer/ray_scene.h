// Raytracer scenes: the records a scene file is loaded into, and the loader.
// A scene is a viewport, a camera, one point light and up to 10 objects of
// six kinds (plane, sphere, ellipsoid and their textured forms). Records are
// plain; objects are dispatched on their integer type code.
#pragma once

#include <cstddef>
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
// Textured bodies that name the same file share one texture, read once.
int32_t loadRayScene(const char* fileName, RayViewport& viewport, RayScene& scene);
// Reads a 256x256 palettised texture; null on failure.
RayTexture* loadRayTexture(const char* fileName);

// The same readers on a file already in memory. Textured objects name their
// texture file; parseRayScene hands the name to loadTexture (loadRayTexture
// unless a test or fuzzer supplies its own). Always returns 1.
using RayTextureLoader = RayTexture* (*)(const char* fileName);
int32_t parseRayScene(const uint8_t* bytes, size_t size, RayViewport& viewport, RayScene& scene,
                      RayTextureLoader loadTexture = loadRayTexture);
// A texture file in memory: null unless it is 256 x 256 and whole.
RayTexture* parseRayTexture(const uint8_t* bytes, size_t size);

// Longest keyword and texture name a scene may hold; longer ones are
// rejected (a keyword as an unknown object, a name as a failed object).
constexpr int kRayKeywordChars = 63;
constexpr int kRayTextureNameChars = 255;

// One object's values, read after its keyword; a new record, or null when
// a value does not convert or the texture does not load.
class TextScanner;
RayPlane* readRayPlane(TextScanner& in);
RaySphere* readRaySphere(TextScanner& in);
RayEllipsoid* readRayEllipsoid(TextScanner& in);
RayTexPlane* readRayTexPlane(TextScanner& in, RayTextureLoader loadTexture);
RayTexSphere* readRayTexSphere(TextScanner& in, RayTextureLoader loadTexture);
RayTexEllipsoid* readRayTexEllipsoid(TextScanner& in, RayTextureLoader loadTexture);

// The two scenes of the demo and their shared viewport, loaded at start-up.
extern RayViewport SharedRayViewport;
extern RayScene FinalRayScene;  // "../data/final.scn"
extern RayScene AtomRayScene;   // "../data/atom.scn"
