#include "engine3d/pipeline.h"

#include <cmath>
#include <new>

#include "engine3d/key_tracks.h"
#include "engine3d/rasteriser.h"
#include "gfx2d/angles.h"
#include "gfx2d/fmath.h"

namespace {

struct PolygonList {
    ScenePolygon* entries[kMaxFramePolygons];
    int32_t count;
};

PolygonList* polygonList_ = nullptr;
// Reset by every renderScene, so each pool's message is printed at most once
// per frame.
EngineStats stats{};

struct Matrix3 {
    float m[9];
    Vec3 apply(const Vec3& v) const {
        return Vec3{m[0] * v.x + m[1] * v.y + m[2] * v.z, m[3] * v.x + m[4] * v.y + m[5] * v.z,
                    m[6] * v.x + m[7] * v.y + m[8] * v.z};
    }
    Vec3 applyTransposed(const Vec3& v) const {
        return Vec3{m[0] * v.x + m[3] * v.y + m[6] * v.z, m[1] * v.x + m[4] * v.y + m[7] * v.z,
                    m[2] * v.x + m[5] * v.y + m[8] * v.z};
    }
};

Matrix3 multiply(const float* a, const Matrix3& b) {
    Matrix3 r;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            r.m[i * 3 + j] = a[i * 3] * b.m[j] + a[i * 3 + 1] * b.m[3 + j] + a[i * 3 + 2] * b.m[6 + j];
        }
    }
    return r;
}

Vec3 sub(const Vec3& a, const Vec3& b) { return Vec3{a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 cross(const Vec3& a, const Vec3& b) {
    return Vec3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 normalise(const Vec3& v) {
    const float inv = 1.0f / std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return Vec3{v.x * inv, v.y * inv, v.z * inv};
}

Matrix3 objectMatrix(const Vec3& r) {
    const float cx = fm::cos(r.x), sx = fm::sin(r.x);
    const float cy = fm::cos(r.y), sy = fm::sin(r.y);
    const float cz = fm::cos(r.z), sz = fm::sin(r.z);
    return Matrix3{{cx * cy - sx * sy * sz, -sx * cz, sx * sz * cy + cx * sy,  //
                    sx * cy + cx * sy * sz, cx * cz, sx * sy - cx * cy * sz,   //
                    -sy * cz, sz, cy * cz}};
}

// ceil(sy) as a scanline; far-off values are held to a range that no
// window line reaches.
int32_t ceilLine(float sy) {
    if (!(sy > -1.0e6f)) return -1000000;
    if (sy > 1.0e6f) return 1000000;
    return static_cast<int32_t>(std::ceil(sy));
}

// Clipping of one object's polygons into its spare slots.
class Clipper {
public:
    Clipper(Scene& scene, SceneObject& object) : scene_(scene), object_(object) {}

    // The near-clipped polygon (in the next free slot), or null.
    ScenePolygon* nearClip(const ScenePolygon& src);
    // The screen-clipped polygon (in the next free slot), or null.
    ScenePolygon* screenClip(const ScenePolygon& src);

private:
    bool reservePolygons(int slots);
    int32_t newVertex();
    // One pass of the screen clip against the two sides in bits.
    bool clipPass(const ScenePolygon& in, ScenePolygon& out, int32_t bits);
    int32_t crossing(int32_t a, int32_t b, int32_t side);

    Scene& scene_;
    SceneObject& object_;

public:
    // True once since the last call when a clip ran out of spare slots.
    bool takeOverflow() {
        const bool o = overflowed_;
        overflowed_ = false;
        return o;
    }

private:
    bool overflowed_ = false;
};

bool Clipper::reservePolygons(int slots) {
    if (object_.livePolygonCount - object_.polygonCount + slots <= kSparePolygons) return true;
    dropFromPool(stats.sparePolygonPool, "polys overflow\n");
    overflowed_ = true;
    return false;
}

int32_t Clipper::newVertex() {
    if (object_.liveVertexCount - object_.vertexCount >= kSpareVertices) {
        dropFromPool(stats.spareVertexPool, "verts overflow\n");
        overflowed_ = true;
        return -1;
    }
    SceneVertex& v = object_.vertices[object_.liveVertexCount];
    v.frameStamp = scene_.frameStamp;
    return object_.liveVertexCount++;
}

ScenePolygon* Clipper::nearClip(const ScenePolygon& src) {
    if (!reservePolygons(1)) return nullptr;
    SceneVertex* vs = object_.vertices;
    const int n = src.count;
    auto behind = [&](int i) { return vs[src.index[i]].invZ == 0.0f; };
    const int32_t savedVertices = object_.liveVertexCount;
    ScenePolygon& out = object_.polygons[object_.livePolygonCount];
    out = src;

    // A new vertex on the near plane between in-front a and behind b.
    auto onNearPlane = [&](int32_t a, int32_t b) -> int32_t {
        const int32_t index = newVertex();
        if (index < 0) return -1;
        const SceneVertex& va = vs[a];
        const SceneVertex& vb = vs[b];
        SceneVertex& c = vs[index];
        const float s = (kNearPlane - va.camera.z) / (vb.camera.z - va.camera.z);
        c.camera = Vec3{va.camera.x + (vb.camera.x - va.camera.x) * s, va.camera.y + (vb.camera.y - va.camera.y) * s,
                        kNearPlane};
        c.u = va.u + (vb.u - va.u) * s;
        c.v = va.v + (vb.v - va.v) * s;
        c.uOverZ = c.u;
        c.vOverZ = c.v;
        c.invZ = 1.0f;
        c.sx = c.camera.x * scene_.projScaleX + kScreenCentreX;
        c.sy = kScreenCentreY - c.camera.y * scene_.projScaleY;
        c.firstLine = ceilLine(c.sy);
        c.outcode = outcodeOf(c.sx, c.sy);
        return index;
    };

    int i = 0;
    while (i < n && !behind(i)) ++i;
    int written;
    int32_t a;
    if (i > 0) {
        a = onNearPlane(src.index[i - 1], src.index[i]);
    } else {
        int j = n - 1;
        while (j >= 0 && behind(j)) --j;
        if (j < 0) return nullptr;
        a = onNearPlane(src.index[j], src.index[j + 1]);
    }
    if (a < 0) {
        object_.liveVertexCount = savedVertices;
        return nullptr;
    }
    out.index[i] = a;
    written = i + 1;
    int k = i + 1;
    while (k < n && behind(k)) ++k;
    const int32_t b = onNearPlane(src.index[k], src.index[k - 1]);
    if (b < 0) {
        object_.liveVertexCount = savedVertices;
        return nullptr;
    }
    out.index[written++] = b;
    for (; k < n && !behind(k); ++k) {
        if (written >= kMaxPolygonVertices) {
            object_.liveVertexCount = savedVertices;
            return nullptr;
        }
        out.index[written++] = src.index[k];
    }
    out.count = written;
    out.index[written] = out.index[0];
    ++object_.livePolygonCount;
    return &out;
}

int32_t Clipper::crossing(int32_t a, int32_t b, int32_t side) {
    const int32_t index = newVertex();
    if (index < 0) return -1;
    SceneVertex* vs = object_.vertices;
    const SceneVertex& va = vs[a];
    const SceneVertex& vb = vs[b];
    SceneVertex& c = vs[index];
    float s;
    if (side & (kAboveWindow | kBelowWindow)) {
        const float y = side == kAboveWindow ? 0.0f : kWindowBottom;
        s = (y - va.sy) / (vb.sy - va.sy);
        c.sy = y;
        c.sx = va.sx + (vb.sx - va.sx) * s;
        c.outcode = outcodeOf(c.sx, 100.0f);
    } else {
        const float x = side == kLeftOfWindow ? 0.0f : kWindowRight;
        s = (x - va.sx) / (vb.sx - va.sx);
        c.sx = x;
        c.sy = va.sy + (vb.sy - va.sy) * s;
        c.outcode = outcodeOf(160.0f, c.sy);
    }
    c.uOverZ = va.uOverZ + (vb.uOverZ - va.uOverZ) * s;
    c.vOverZ = va.vOverZ + (vb.vOverZ - va.vOverZ) * s;
    c.invZ = va.invZ + (vb.invZ - va.invZ) * s;
    return index;
}

bool Clipper::clipPass(const ScenePolygon& in, ScenePolygon& out, int32_t bits) {
    const SceneVertex* vs = object_.vertices;
    int written = 0;
    auto put = [&](int32_t index) {
        if (index < 0 || written >= kMaxPolygonVertices) return false;
        out.index[written++] = index;
        return true;
    };
    for (int j = 0; j < in.count; ++j) {
        const int32_t a = in.index[j];
        const int32_t b = in.index[j + 1];
        const int32_t ca = vs[a].outcode & bits;
        const int32_t cb = vs[b].outcode & bits;
        if (ca & cb) continue;
        if (ca == 0) {
            if (!put(a)) return false;
            if (cb != 0 && !put(crossing(a, b, cb))) return false;
        } else if (cb == 0) {
            if (!put(crossing(a, b, ca))) return false;
        } else {
            if (!put(crossing(a, b, ca))) return false;
            if (!put(crossing(a, b, cb))) return false;
        }
    }
    out.count = written;
    out.index[written] = written > 0 ? out.index[0] : 0;
    return true;
}

ScenePolygon* Clipper::screenClip(const ScenePolygon& src) {
    if (!reservePolygons(2)) return nullptr;
    const int32_t savedVertices = object_.liveVertexCount;
    ScenePolygon& out = object_.polygons[object_.livePolygonCount];
    ScenePolygon& scratch = object_.polygons[object_.livePolygonCount + 1];
    scratch = src;
    out = src;
    if (!clipPass(src, scratch, kAboveWindow | kBelowWindow) ||
        !clipPass(scratch, out, kLeftOfWindow | kRightOfWindow) || out.count <= 2) {
        object_.liveVertexCount = savedVertices;
        return nullptr;
    }
    SceneVertex* vs = object_.vertices;
    for (int j = 0; j < out.count; ++j) {
        if (out.index[j] >= object_.vertexCount) vs[out.index[j]].firstLine = ceilLine(vs[out.index[j]].sy);
    }
    ++object_.livePolygonCount;
    return &out;
}

void addToList(ScenePolygon* p) {
    if (polygonList_->count >= kMaxFramePolygons) {
        dropFromPool(stats.polygonListPool, "pipeline overflow");
        ++stats.droppedPolygons;
        return;
    }
    polygonList_->entries[polygonList_->count++] = p;
}

void buildObject(Scene& scene, SceneObject& object) {
    object.livePolygonCount = object.polygonCount;
    object.liveVertexCount = object.vertexCount;
    const SceneCamera& camera = *scene.currentCamera;
    const Matrix3 r = objectMatrix(object.rotation);
    const Matrix3 m = multiply(scene.cameraMatrix, r);
    Matrix3 cam;
    for (int i = 0; i < 9; ++i) cam.m[i] = scene.cameraMatrix[i];
    const Vec3 origin = cam.apply(sub(object.position, camera.eye));
    const Vec3 eye = r.applyTransposed(sub(camera.eye, object.position));
    const int32_t stamp = scene.frameStamp;
    const float px = scene.projScaleX;
    const float py = scene.projScaleY;
    SceneVertex* vs = object.vertices;
    Clipper clipper(scene, object);

    for (int i = 0; i < object.polygonCount; ++i) {
        ScenePolygon& poly = object.polygons[i];
        if (!(poly.flags & kDoubleSided) && dot(sub(vs[poly.index[0]].object, eye), poly.normal) < -0.01f) continue;
        int behind = 0;
        int32_t orMask = 0;
        int32_t andMask = ~0;
        for (int j = 0; j < poly.count; ++j) {
            SceneVertex& v = vs[poly.index[j]];
            if (v.frameStamp != stamp) {
                v.frameStamp = stamp;
                const Vec3 c = m.apply(v.object);
                v.camera = Vec3{c.x + origin.x, c.y + origin.y, c.z + origin.z};
                if (v.camera.z < kNearPlane) {
                    v.invZ = 0.0f;
                } else {
                    v.invZ = 1.0f / v.camera.z;
                    v.sx = v.camera.x * px * v.invZ + kScreenCentreX;
                    v.sy = kScreenCentreY - v.camera.y * py * v.invZ;
                    v.outcode = outcodeOf(v.sx, v.sy);
                    if (v.outcode == 0) v.firstLine = ceilLine(v.sy);
                    v.uOverZ = v.u * v.invZ;
                    v.vOverZ = v.v * v.invZ;
                }
            }
            if (v.invZ == 0.0f) {
                ++behind;
            } else {
                orMask |= v.outcode;
                andMask &= v.outcode;
            }
        }
        if (behind == poly.count) continue;
        if (behind > 0) {
            ScenePolygon* nearClipped = clipper.nearClip(poly);
            ScenePolygon* clipped = nearClipped != nullptr ? clipper.screenClip(*nearClipped) : nullptr;
            if (clipped != nullptr) {
                addToList(clipped);
                ++stats.clippedPolygons;
            }
        } else if (andMask != 0) {
            continue;
        } else if (orMask == 0) {
            addToList(&poly);
        } else {
            ScenePolygon* clipped = clipper.screenClip(poly);
            if (clipped != nullptr) {
                addToList(clipped);
                ++stats.clippedPolygons;
            }
        }
        if (clipper.takeOverflow()) ++stats.droppedPolygons;
    }
}

}  // namespace

int32_t outcodeOf(float sx, float sy) {
    int32_t code = 0;
    if (sy < 0.0f) {
        code = kAboveWindow;
    } else if (sy > kWindowBottom) {
        code = kBelowWindow;
    }
    if (sx < 0.0f) {
        code |= kLeftOfWindow;
    } else if (sx > kWindowRight) {
        code |= kRightOfWindow;
    }
    return code;
}

int initEngine() {
    if (polygonList_ == nullptr) polygonList_ = new (std::nothrow) PolygonList;
    if (polygonList_ == nullptr || !initRasteriser()) {
        shutdownEngine();
        return -1;
    }
    polygonList_->count = 0;
    return 0;
}

void shutdownEngine() {
    delete polygonList_;
    polygonList_ = nullptr;
    shutdownRasteriser();
}

void updateCamera(Scene& scene, float t) {
    SceneCamera& c = scene.cameras[0];
    scene.currentCamera = &c;
    evalVectorTrack(c.eye, c.eyeTrack.keys, c.eyeTrack.times, c.eyeTrack.count, t);
    evalVectorTrack(c.target, c.targetTrack.keys, c.targetTrack.times, c.targetTrack.count, t);
    evalScalarTrack(c.roll, c.rollTrack.keys, c.rollTrack.times, c.rollTrack.count, t);
    evalScalarTrack(c.fov, c.fovTrack.keys, c.fovTrack.times, c.fovTrack.count, t);

    const float h = (kPi - c.fov * 0.017453292519943295f) * 0.5f;
    const float k = 160.0f / fm::cos(h);
    scene.projScaleX = scene.projScaleY = std::sqrt(k * k + 160.0f * 160.0f);

    Vec3 f = sub(c.target, c.eye);
    // An eye on its own target looks down +z rather than nowhere.
    f = (f.x == 0.0f && f.y == 0.0f && f.z == 0.0f) ? Vec3{0.0f, 0.0f, 1.0f} : normalise(f);
    const Vec3 up0 = (f.x == 0.0f && f.z == 0.0f) ? Vec3{-f.y, 0.0f, 0.0f} : Vec3{0.0f, 1.0f, 0.0f};
    const Vec3 s = normalise(cross(f, up0));
    const Vec3 u = cross(f, s);
    const float theta = kPi - c.roll;
    const float ct = fm::cos(theta);
    const float st = fm::sin(theta);
    float* m = scene.cameraMatrix;
    m[0] = ct * s.x + st * u.x;
    m[1] = ct * s.y + st * u.y;
    m[2] = ct * s.z + st * u.z;
    m[3] = ct * u.x - st * s.x;
    m[4] = ct * u.y - st * s.y;
    m[5] = ct * u.z - st * s.z;
    m[6] = f.x;
    m[7] = f.y;
    m[8] = f.z;
}

void animateObjects(Scene& scene, float t) {
    for (int i = 0; i < scene.objectCount; ++i) {
        SceneObject& o = scene.objects[i];
        if (o.morphCount != 0) evalMorph(o, t);
        evalVectorTrack(o.position, o.positionTrack.keys, o.positionTrack.times, o.positionTrack.count, t);
        evalVectorTrack(o.rotation, o.rotationTrack.keys, o.rotationTrack.times, o.rotationTrack.count, t);
    }
}

int buildPolygonList(Scene& scene) {
    ++scene.frameStamp;
    polygonList_->count = 0;
    for (int i = 0; i < scene.objectCount; ++i) buildObject(scene, scene.objects[i]);
    return polygonList_->count;
}

ScenePolygon* const* polygonList() { return polygonList_->entries; }

void renderScene(Scene& scene, uint32_t* frameBuffer, float t) {
    stats = EngineStats{};
    if (polygonList_ == nullptr || scene.cameraCount < 1) return;
    updateCamera(scene, t);
    animateObjects(scene, t);
    const int count = buildPolygonList(scene);
    stats.listedPolygons = count;
    rasterise(scene, polygonList_->entries, count, frameBuffer, kFramePitch);
    stats.raster = lastRasterStats();
}

const EngineStats& lastFrameStats() { return stats; }
