// The 3D scene: every record the scene file fills, with the fixed
// capacities that bound it, and the loader.
//
// The Scene is one fixed-size record; only each object's vertex and polygon
// arrays live on the heap (allocateObjectArrays), sized from the file's
// counts plus the spare room that clipping fills every frame.
#pragma once

#include <cstddef>
#include <cstdint>

struct Vec3 {
    float x, y, z;
};

constexpr int kMaxObjects = 4;
constexpr int kMaxCameras = 2;
constexpr int kMaxPointLights = 1;
constexpr int kMaxTargetLights = 1;
constexpr int kMaxFlares = 4;
constexpr int kMaxPairs = 32;
constexpr int kMaxKeys = 32;
// The last segment of a track reads key slot n for its end tangent, so a
// full track of 32 keys needs a 33rd slot; every slot from n on holds the
// last key.
constexpr int kKeySlots = kMaxKeys + 1;
constexpr int kMaxMorphTimes = 1000;
constexpr int kTextureSlots = 32;
// Texture slots the final part fills; a polygon may use no other.
constexpr int kUsableTextureSlots = 16;
// Room that clipping fills each frame, beyond the file's own geometry.
constexpr int kSpareVertices = 2048;
constexpr int kSparePolygons = 1024;
// A clipped polygon has at most 8 vertices; its index list repeats the
// first index at the end.
constexpr int kMaxPolygonVertices = 8;
constexpr int kPolygonIndexRoom = kMaxPolygonVertices + 1;
// Polygon flag: drawn whichever way it faces.
constexpr int32_t kDoubleSided = 0x80;

// Key times count tenths of a second. The file may repeat or reverse them
// wherever no evaluated segment would divide by a zero time difference.
struct VectorTrack {
    int32_t count;
    Vec3 keys[kKeySlots];
    int16_t times[kKeySlots];
};

struct ScalarTrack {
    int32_t count;
    float keys[kKeySlots];
    int16_t times[kKeySlots];
};

struct SceneVertex {
    int32_t outcode;     // window sides the screen point lies beyond
    int32_t frameStamp;  // frame in which camera and screen values were made
    int32_t firstLine;   // ceil(sy): first scanline at or below the point
    Vec3 object;         // object space
    Vec3 camera;         // camera space: x right, y up, z forward
    float sx, sy;        // screen position
    float invZ;          // 1/z; 0 when the point is behind the near plane
    float u, v;          // texture coordinates: 1.0 spans 256 texels, repeats
    float uOverZ, vOverZ;
};

struct ScenePolygon {
    int32_t flags;  // kDoubleSided: never culled
    SceneVertex* vertices;
    int32_t count;  // 3 as loaded, up to 8 after clipping
    int32_t index[kPolygonIndexRoom];  // count indices, then index[0] again
    int32_t textureSlot;
    Vec3 normal;  // unit length, object space
};

struct SceneObject {
    int32_t vertexCount;       // V, from the file
    int32_t polygonCount;      // P, from the file
    int32_t livePolygonCount;  // P plus this frame's clipped polygons
    int32_t liveVertexCount;   // V plus this frame's clipping vertices
    int32_t morphCount;
    int32_t extraTripleCount;
    float headerValue2;
    Vec3 position;  // evaluated position track
    Vec3 rotation;  // evaluated rotation track, radians
    SceneVertex* vertices;   // V + kSpareVertices
    ScenePolygon* polygons;  // P + kSparePolygons
    // morphCount sets of V positions; no scene file provides them, so the
    // loader leaves this null and the morph step does nothing.
    const Vec3* morphFrames;
    VectorTrack positionTrack;
    VectorTrack rotationTrack;
    int16_t morphTimes[kMaxMorphTimes];
};

struct SceneCamera {
    Vec3 eye;
    Vec3 target;
    float fov;   // degrees
    float roll;  // radians
    VectorTrack targetTrack;
    VectorTrack eyeTrack;
    ScalarTrack rollTrack;  // radians
    ScalarTrack fovTrack;   // degrees
};

// Lights and flares are read and kept; nothing draws them.
struct PointLight {
    VectorTrack positionTrack;
    VectorTrack intensityTrack;  // each file value fills all three components
};

struct TargetLight {
    VectorTrack positionTrack;
    VectorTrack targetTrack;
    VectorTrack colourTrack;  // each file value fills all three components
    ScalarTrack angleTrack;   // 180 - file value
};

struct Flare {
    int16_t parameters[3];
    VectorTrack positionTrack;
};

struct Scene {
    int16_t pairCount;
    int32_t objectCount;
    int32_t pointLightCount;
    int32_t targetLightCount;
    int32_t cameraCount;
    int32_t flareCount;
    int32_t headerByte6;
    int32_t headerByte7;
    int32_t frameStamp;
    float projScaleX, projScaleY;
    float cameraMatrix[9];  // world to camera, rows
    SceneCamera* currentCamera;
    const uint32_t* textures[kTextureSlots];  // 256x256 images, set by the caller
    SceneObject objects[kMaxObjects];
    int16_t pairFirst[kMaxPairs];
    int16_t pairSecond[kMaxPairs];
    SceneCamera cameras[kMaxCameras];
    PointLight pointLights[kMaxPointLights];
    TargetLight targetLights[kMaxTargetLights];
    Flare flares[kMaxFlares];
};

// What stopped a load: a static text and the byte offset where it was found.
struct SceneLoadError {
    const char* what = nullptr;
    size_t offset = 0;
};

// Parses a whole scene file held in memory into scene, printing the
// progress lines on standard output. Returns 0, or -1 with error filled in
// (when given) for a short file, a count beyond a capacity, a negative
// count, descending key times, a vertex index outside the object or a
// texture slot outside 0..15. Objects read before the failure keep their
// arrays; freeSceneArrays releases them. scene need not be initialised.
int parseScene(const uint8_t* data, size_t size, Scene& scene, SceneLoadError* error = nullptr);
// Reads the file whole, then parseScene. -1 also when it cannot be read.
int loadScene(const char* path, Scene* scene, SceneLoadError* error = nullptr);

// Vertices (V + kSpareVertices) and polygons (P + kSparePolygons) from the
// object's counts. 0, or -1 when an allocation fails.
int allocateObjectArrays(SceneObject& object);
void freeObjectArrays(SceneObject& object);
// Frees the arrays of every object; the Scene record is the caller's.
void freeSceneArrays(Scene& scene);
// Unit normal (V0 - V1) x (V0 - V2) of every loaded polygon.
void computeFaceNormals(SceneObject& object);
