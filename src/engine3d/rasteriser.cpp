// Edges, the active edge list and the surface stack; the spans they leave
// are filled by span_fill.cpp.
#include "engine3d/rasteriser.h"

#include <cstring>
#include <new>

#include "engine3d/span_fill.h"
#include "gfx2d/float_int.h"

namespace {

struct RasterBuffers {
    SpanEdge edges[kMaxSpanEdges];
    SpanRecord spans[kMaxSpans];
    SpanSurface surfaces[kTextureSlots][kSurfacesPerSlot];
    SpanEdge* buckets[kBucketLines][kBucketRoom];
    int32_t bucketCount[kBucketLines];
    SpanEdge* active[2][kMaxSpanEdges];
    SpanEdge* stack[kSurfaceStackRoom];
    int32_t surfaceCount[kTextureSlots];
};

RasterBuffers* buffers = nullptr;
RasterStats stats{};
int32_t edgeCount = 0;
int32_t spanCount = 0;

constexpr Fixed16 kFixedOne = 65536;
// Edge steps are held within this many 16.16 units (4096 pixels a line):
// only an edge shorter than one scanline can be steeper, and it is never
// stepped.
constexpr float kMaxEdgeStep = 268435456.0f;

SpanEdge& leftBackground() { return buffers->edges[0]; }
SpanSurface& backgroundSurface() { return buffers->surfaces[0][0]; }

// Depth (1/z) of a stack entry's surface at x, the distance rounded up to
// whole pixels.
float entryDepth(const SpanEdge* entry, Fixed16 x) {
    const int32_t pixels = static_cast<int32_t>((static_cast<int64_t>(x) - entry->x + 0xFFFF) >> 16);
    return entry->invZ + static_cast<float>(pixels) * entry->starts->gradient.invZ;
}

void setupBackgroundEdges() {
    SpanEdge& left = buffers->edges[0];
    SpanEdge& right = buffers->edges[1];
    left = SpanEdge{};
    right = SpanEdge{};
    left.x = -0xFFFF;
    left.starts = &buffers->surfaces[0][0];
    right.x = kScreenWidth * kFixedOne;
    right.ends = &buffers->surfaces[0][0];
    left.firstLine = right.firstLine = 0;
    left.lastLine = right.lastLine = kScreenLines;
}

// Puts edge into its first line's bucket, sorted by x and after the
// entries of equal x, or merges it into an equal-x entry that ends (or
// starts) a surface along the same line with the same steps. Returns true
// when the edge took a new record.
bool insertEdge(SpanEdge& edge) {
    SpanEdge** bucket = buffers->buckets[edge.firstLine];
    int32_t& count = buffers->bucketCount[edge.firstLine];
    int lo = 0;
    int hi = count;
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (bucket[mid]->x < edge.x) {
            lo = mid + 1;
        } else {
            hi = mid;
        }
    }
    int at = lo;
    for (; at < count && bucket[at]->x == edge.x; ++at) {
        SpanEdge& e = *bucket[at];
        if (e.lastLine != edge.lastLine || e.dx != edge.dx || e.dInvZ != edge.dInvZ || e.invZ != edge.invZ) continue;
        if (edge.starts != nullptr && e.starts == nullptr && e.ends != nullptr) {
            SpanSurface* ended = e.ends;
            e = edge;
            e.ends = ended;
            return false;
        }
        if (edge.ends != nullptr && e.ends == nullptr && e.starts != nullptr) {
            e.ends = edge.ends;
            return false;
        }
    }
    for (int i = count; i > at; --i) bucket[i] = bucket[i - 1];
    bucket[at] = &edge;
    ++count;
    return true;
}

// The edges and surface of one polygon; the whole polygon is dropped when
// its surface or any of its edges would not fit.
void addPolygon(const ScenePolygon& poly) {
    const SceneVertex* vs = poly.vertices;
    const int n = poly.count;
    const int slot = poly.textureSlot;
    if (n < 3 || n > kMaxPolygonVertices || slot < 0 || slot >= kTextureSlots) return;
    const SceneVertex& p = vs[poly.index[0]];
    const SceneVertex& q = vs[poly.index[1]];
    const SceneVertex& r = vs[poly.index[2]];
    const float qr = q.sy - r.sy;
    const float pr = p.sy - r.sy;
    const float det = qr * (p.sx - r.sx) - pr * (q.sx - r.sx);
    if (det == 0.0f) return;

    // Room: the surface, and every edge (merging may need fewer).
    int lines[kMaxPolygonVertices];
    int edgesNeeded = 0;
    for (int j = 0; j < n; ++j) {
        const int a = vs[poly.index[j]].firstLine;
        const int b = vs[poly.index[j + 1]].firstLine;
        lines[j] = -1;
        if (a == b) continue;
        if (a < 0 || b < 0 || a > kScreenLines || b > kScreenLines) {
            ++stats.droppedPolygons;
            return;
        }
        lines[j] = a < b ? a : b;  // below kScreenLines: a and b differ
        ++edgesNeeded;
    }
    PoolDrops* full = nullptr;
    const char* message = nullptr;
    if (buffers->surfaceCount[slot] >= kSurfacesPerSlot) {
        full = &stats.surfacePool;
        message = "surfaces overflow\n";
    } else if (edgeCount + edgesNeeded > kMaxSpanEdges) {
        full = &stats.edgePool;
        message = "edges overflow\n";
    }
    for (int j = 0; j < n && full == nullptr; ++j) {
        if (lines[j] < 0) continue;
        int same = 0;
        for (int i = 0; i <= j; ++i) same += lines[i] == lines[j];
        if (buffers->bucketCount[lines[j]] + same > kBucketRoom) {
            full = &stats.bucketPool;
            message = "buckets overflow\n";
        }
    }
    if (full != nullptr) {
        dropFromPool(*full, message);
        ++stats.droppedPolygons;
        return;
    }

    SpanSurface& surface = buffers->surfaces[slot][buffers->surfaceCount[slot]++];
    surface.activations = 0;
    surface.spans = nullptr;
    surface.flags = poly.flags;
    surface.gradient.invZ = (qr * (p.invZ - r.invZ) - pr * (q.invZ - r.invZ)) / det;
    surface.gradient.uOverZ = (qr * (p.uOverZ - r.uOverZ) - pr * (q.uOverZ - r.uOverZ)) / det;
    surface.gradient.vOverZ = (qr * (p.vOverZ - r.vOverZ) - pr * (q.vOverZ - r.vOverZ)) / det;
    ++stats.surfaces;

    // A polygon that keeps its left side on the downward edges has det < 0.
    // A double-sided one seen from behind is wound the other way on screen,
    // so its upward edges start it.
    const bool reversed = (poly.flags & kDoubleSided) != 0 && det > 0.0f;

    for (int j = 0; j < n; ++j) {
        const SceneVertex& h = vs[poly.index[j]];
        const SceneVertex& f = vs[poly.index[j + 1]];
        if (h.firstLine == f.firstLine) continue;
        SpanEdge& e = buffers->edges[edgeCount];
        e = SpanEdge{};
        const float m = 1.0f / (f.sy - h.sy);
        float step = m * (f.sx - h.sx) * 65536.0f;
        step = step > kMaxEdgeStep ? kMaxEdgeStep : (step < -kMaxEdgeStep ? -kMaxEdgeStep : step);
        e.dx = truncToInt(step);
        e.dInvZ = m * (f.invZ - h.invZ);
        const bool up = f.firstLine < h.firstLine;
        const SceneVertex& top = up ? f : h;
        e.firstLine = top.firstLine;
        e.lastLine = (up ? h.firstLine : f.firstLine) - 1;
        e.x = truncToInt(top.sx * 65536.0f);
        e.invZ = top.invZ;
        if (up == reversed) {
            e.starts = &surface;
            e.uOverZ = top.uOverZ;
            e.vOverZ = top.vOverZ;
            e.dUOverZ = m * (f.uOverZ - h.uOverZ);
            e.dVOverZ = m * (f.vOverZ - h.vOverZ);
        } else {
            e.ends = &surface;
        }
        if (e.firstLine >= kScreenLines) continue;
        if (insertEdge(e)) ++edgeCount;
    }
}

// The open span of the current surface, from where it started to endX.
struct OpenSpan {
    SpanSurface* surface;
    Fixed16 x;
    float invZ, uOverZ, vOverZ;
};

void openAtEdge(OpenSpan& open, const SpanEdge& e) {
    open.surface = e.starts;
    open.x = e.x;
    open.invZ = e.invZ;
    open.uOverZ = e.uOverZ;
    open.vOverZ = e.vOverZ;
}

void emitSpan(const OpenSpan& open, Fixed16 endX, int line) {
    if (spanCount >= kMaxSpans) {
        dropFromPool(stats.spanPool, "spans overflow\n");
        return;
    }
    SpanRecord& s = buffers->spans[spanCount++];
    s.startX = open.x;
    s.invZ = open.invZ;
    s.uOverZ = open.uOverZ;
    s.vOverZ = open.vOverZ;
    s.endX = endX;
    s.line = line;
    s.next = open.surface->spans;
    open.surface->spans = &s;
}

// Surface stack, nearest on top; entry 0 is the left background edge.
// Returns true when the edge went on top. A surface left off a full stack
// is hidden on this line (kSurfaceStackRoom says why the stack cannot
// fill).
bool pushSurface(SpanEdge* e, int& top) {
    SpanEdge** stack = buffers->stack;
    if (top + 1 >= kSurfaceStackRoom) {
        dropFromPool(stats.stackPool, "stack overflow\n");
        return false;
    }
    const float depth = e->invZ;
    if (entryDepth(stack[top], e->x) < depth) {
        stack[++top] = e;
        return true;
    }
    int lo = 0;
    int hi = top - 1;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        if (depth <= entryDepth(stack[mid], e->x)) {
            hi = mid - 1;
        } else {
            lo = mid + 1;
        }
    }
    for (int i = top + 1; i > lo; --i) stack[i] = stack[i - 1];
    stack[lo] = e;
    ++top;
    return false;
}

// Returns true when the surface was on top. A surface that is not on the
// stack leaves it unchanged.
bool popSurface(const SpanSurface* s, int& top) {
    SpanEdge** stack = buffers->stack;
    if (stack[top]->starts == s) {
        if (top > 0) --top;
        return true;
    }
    for (int i = 0; i < top; ++i) {
        if (stack[i]->starts == s) {
            for (int j = i; j < top; ++j) stack[j] = stack[j + 1];
            --top;
            break;
        }
    }
    return false;
}

void walkScanlines() {
    int which = 0;
    int activeCount = 0;
    SpanEdge** stack = buffers->stack;
    for (int y = 0; y < kScreenLines; ++y) {
        // Merge the line's new edges in by x; on equal x the new edge first.
        SpanEdge** from = buffers->active[which];
        SpanEdge** to = buffers->active[which ^ 1];
        SpanEdge** bucket = buffers->buckets[y];
        const int bucketCount = buffers->bucketCount[y];
        int a = 0;
        int b = 0;
        int out = 0;
        while (a < activeCount || b < bucketCount) {
            if (b < bucketCount && (a >= activeCount || bucket[b]->x <= from[a]->x)) {
                to[out++] = bucket[b++];
            } else {
                to[out++] = from[a++];
            }
        }
        activeCount = out;
        which ^= 1;
        SpanEdge** active = to;
        if (activeCount == 0) continue;

        // The left background edge opens the line. Polygon edges are all
        // between the two background edges, wherever their x has drifted.
        OpenSpan open;
        openAtEdge(open, leftBackground());
        int top = 0;
        stack[0] = &leftBackground();
        for (int i = 0; i < activeCount; ++i) {
            SpanEdge* e = active[i];
            if (e->starts != nullptr) {
                SpanSurface* s = e->starts;
                if (++s->activations == 1 && pushSurface(e, top)) {
                    emitSpan(open, e->x, y);
                    openAtEdge(open, *e);
                }
            }
            if (e->ends != nullptr) {
                SpanSurface* s = e->ends;
                if (--s->activations == 0 && popSurface(s, top)) {
                    emitSpan(open, e->x, y);
                    const SpanEdge& t = *stack[top];
                    const SpanGradients& g = t.starts->gradient;
                    const float dx = static_cast<float>(static_cast<int64_t>(e->x) - t.x) / 65536.0f;
                    open.surface = t.starts;
                    open.x = e->x;
                    open.invZ = t.invZ + dx * g.invZ;
                    open.uOverZ = t.uOverZ + dx * g.uOverZ;
                    open.vOverZ = t.vOverZ + dx * g.vOverZ;
                }
            }
        }

        // Drop the edges that end here, step the rest and re-sort.
        int kept = 0;
        for (int i = 0; i < activeCount; ++i) {
            SpanEdge* e = active[i];
            if (e->lastLine <= y) continue;
            e->x += e->dx;
            if (e->starts != nullptr) {
                e->invZ += e->dInvZ;
                e->uOverZ += e->dUOverZ;
                e->vOverZ += e->dVOverZ;
            }
            int at = kept;
            while (at > 0 && active[at - 1]->x > e->x) {
                active[at] = active[at - 1];
                --at;
            }
            active[at] = e;
            ++kept;
        }
        activeCount = kept;
    }
}

void fillSpans(const Scene& scene, uint32_t* frameBuffer, int pitch) {
    for (int slot = 0; slot < kTextureSlots; ++slot) {
        const uint32_t* texture = scene.textures[slot];
        const int count = buffers->surfaceCount[slot];
        for (int i = 0; i < count; ++i) {
            const SpanSurface& surface = buffers->surfaces[slot][i];
            if (texture == nullptr) continue;
            if (&surface == &backgroundSurface()) {
                fillBackgroundSpans(surface, texture[0], frameBuffer, pitch);
            } else {
                fillSurfaceSpans(surface, texture, frameBuffer, pitch);
            }
        }
    }
}

}  // namespace

bool initRasteriser() {
    if (buffers == nullptr) buffers = new (std::nothrow) RasterBuffers;
    if (buffers == nullptr) return false;
    setupBackgroundEdges();
    return true;
}

void shutdownRasteriser() {
    delete buffers;
    buffers = nullptr;
}

void rasterise(const Scene& scene, ScenePolygon* const* polygons, int count, uint32_t* frameBuffer, int pitch) {
    stats = RasterStats{};
    if (buffers == nullptr) return;
    std::memset(buffers->bucketCount, 0, sizeof buffers->bucketCount);
    std::memset(buffers->surfaceCount, 0, sizeof buffers->surfaceCount);
    setupBackgroundEdges();
    SpanSurface& background = backgroundSurface();
    background = SpanSurface{};
    buffers->surfaceCount[0] = 1;
    edgeCount = 2;
    spanCount = 0;
    for (int i = 0; i < count; ++i) addPolygon(*polygons[i]);
    walkScanlines();
    fillSpans(scene, frameBuffer, pitch);
    stats.edges = edgeCount - 2;
    stats.spans = spanCount;
}

const RasterStats& lastRasterStats() { return stats; }
