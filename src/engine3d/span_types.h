// What the front end hands the span rasteriser, and the rasteriser's own
// records with their fixed capacities. A full pool drops the polygon or
// span that would not fit, counts it and the frame goes on.
#pragma once

#include <cstdint>

#include "engine3d/scene.h"

using Fixed16 = int32_t;  // 16.16: pixels (edge x) or texels (u, v)

constexpr int kMaxFramePolygons = 4096;  // the polygon list of one frame
constexpr int kMaxSpanEdges = 2048;      // the first two are the background edges
constexpr int kMaxSpans = 65536;
constexpr int kSurfacesPerSlot = 2048;   // per texture slot
constexpr int kBucketLines = 480;
constexpr int kBucketRoom = 256;         // edges starting on one scanline
constexpr int kSurfaceStackRoom = 2048;
constexpr int kScreenLines = 200;
constexpr int kScreenWidth = 320;

// Per-pixel x-gradients of the perspective-divided attributes of a plane.
struct SpanGradients {
    float invZ;
    float uOverZ;
    float vOverZ;
};

struct SpanRecord;

// One drawn polygon (or the background).
struct SpanSurface {
    int32_t activations;  // starting minus ending edges crossed on this line
    SpanRecord* spans;    // most recent first
    int32_t flags;
    SpanGradients gradient;
};

struct SpanRecord {
    Fixed16 startX;
    float invZ, uOverZ, vOverZ;  // at startX
    float carried[3];            // passed along from the opening edge, unused
    SpanRecord* next;            // next span of the same surface
    Fixed16 endX;                // pixels i with startX <= i < endX are drawn
    int32_t line;
};

struct SpanEdge {
    SpanSurface* starts;  // surface lying to the right of this edge, or null
    SpanSurface* ends;    // surface ending at this edge, or null
    Fixed16 dx;           // x step per scanline
    float dInvZ, dUOverZ, dVOverZ;  // per-scanline steps (u, v: starting edges only)
    Fixed16 x;
    float invZ, uOverZ, vOverZ;  // on the current line
    float carried[3];
    int32_t firstLine, lastLine;  // inclusive
};

// What the last rasterised frame used and what it had to drop.
struct RasterStats {
    int32_t surfaces;
    int32_t edges;
    int32_t spans;
    int32_t droppedPolygons;  // no room for their surface or edges
    int32_t droppedSpans;
};
