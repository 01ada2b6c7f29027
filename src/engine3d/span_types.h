// What the front end hands the span rasteriser, and the rasteriser's own
// records with their fixed capacities. A full pool drops the polygon, span
// or surface that would not fit, counts it, prints its message on the
// first drop of the frame, and the frame goes on; nothing is written past
// a pool.
#pragma once

#include <cstdint>
#include <cstdio>

#include "engine3d/scene.h"
#include "gfx2d/frame.h"

using Fixed16 = int32_t;  // 16.16: pixels (edge x) or texels (u, v)

constexpr int kMaxFramePolygons = 4096;     // the polygon list of one frame
constexpr int kMaxSpanEdges = 2048;         // the first two are the background edges
constexpr int kMaxSpans = 65536;
constexpr int kSurfacesPerSlot = 2048;      // per texture slot
constexpr int kScreenLines = kFrameHeight;  // the frame, whichever console shows it
constexpr int kScreenWidth = kFrameWidth;
constexpr int kBucketLines = kScreenLines;  // edges are bucketed by the line they start on
constexpr int kBucketRoom = 256;            // edges starting on one scanline
// Every stack entry but the first was pushed by a starting edge crossed on
// the line, and a surface is on the stack at most once (the background,
// which opens the line, twice), so a stack as deep as the edge pool can
// never be full.
constexpr int kSurfaceStackRoom = kMaxSpanEdges;

// The drops of one fixed pool in one frame.
struct PoolDrops {
    int32_t count;  // requests the full pool refused
    bool reported;  // its message has been printed this frame
};

// Counts a refused request; the first of the frame prints the pool's
// message on standard output.
inline void dropFromPool(PoolDrops& pool, const char* message) {
    if (!pool.reported) std::fputs(message, stdout);
    pool.reported = true;
    ++pool.count;
}

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
    int32_t firstLine, lastLine;  // inclusive
};

// What the last rasterised frame used and what it had to drop.
struct RasterStats {
    int32_t surfaces;
    int32_t edges;
    int32_t spans;
    int32_t droppedPolygons;  // no room for their surface or edges, or a line off the screen
    PoolDrops edgePool;       // polygons: "edges overflow\n"
    PoolDrops surfacePool;    // polygons, their slot full: "surfaces overflow\n"
    PoolDrops bucketPool;     // polygons, a start line full: "buckets overflow\n"
    PoolDrops spanPool;       // spans: "spans overflow\n"
    PoolDrops stackPool;      // surfaces left off a line: "stack overflow\n"
};
