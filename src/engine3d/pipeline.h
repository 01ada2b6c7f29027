// The front end of the 3D engine: camera and object animation, transform,
// back-face culling, projection and clipping into a list of screen
// polygons, which the span rasteriser then draws.
#pragma once

#include <cstdint>

#include "engine3d/scene.h"
#include "engine3d/span_types.h"

// The screen window that clipping keeps polygons inside: x 0.0 .. 319.5,
// y 0.0 .. 200.0 (points on the edges are inside).
constexpr float kWindowRight = kScreenWidth - 0.5f;
constexpr float kWindowBottom = kScreenLines;
constexpr float kScreenCentreX = kScreenWidth / 2.0f;
constexpr float kScreenCentreY = kScreenLines / 2.0f;
constexpr float kNearPlane = 1.0f;

// Outcode bits of a screen point.
constexpr int32_t kAboveWindow = 1;
constexpr int32_t kBelowWindow = 2;
constexpr int32_t kLeftOfWindow = 4;
constexpr int32_t kRightOfWindow = 8;

// What the last frame drew and dropped.
struct EngineStats {
    int32_t listedPolygons;      // in the polygon list after culling and clipping
    int32_t clippedPolygons;     // of those, made by clipping
    int32_t droppedPolygons;     // no room in the list or in an object's spare slots
    PoolDrops polygonListPool;   // polygons: "pipeline overflow"
    PoolDrops sparePolygonPool;  // clipped polygons: "polys overflow\n"
    PoolDrops spareVertexPool;   // clipped polygons: "verts overflow\n"
    RasterStats raster;
};

// The polygon list and the rasteriser's buffers. 0, or -1 when out of
// memory (nothing is then kept).
int initEngine();
void shutdownEngine();

// One whole frame at scene time t (tenths of a second): camera, objects,
// polygon list, rasterised into frameBuffer (320x200, pitch 320). A scene
// without a camera draws nothing.
void renderScene(Scene& scene, uint32_t* frameBuffer, float t);

// Camera 0 at t: eye, target, roll and field of view, the projection scale
// and the world-to-camera matrix.
void updateCamera(Scene& scene, float t);
// Object animation at t: morph, position, rotation of each object.
void animateObjects(Scene& scene, float t);
// Transforms, culls, projects and clips every object into the polygon
// list; returns its length. Needs updateCamera first.
int buildPolygonList(Scene& scene);
ScenePolygon* const* polygonList();

int32_t outcodeOf(float sx, float sy);
const EngineStats& lastFrameStats();
