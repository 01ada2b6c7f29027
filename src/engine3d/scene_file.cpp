// The binary scene file: read whole, then parsed with checked little-endian
// reads. Every count from the file is checked against the fixed capacity of
// the record it fills before anything is written.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "engine3d/scene.h"

namespace {

constexpr double kDegreesToRadians = 0.017453292519943295;

// A cursor over the file's bytes. A read past the end fails the reader,
// returns 0 and leaves the position where the missing data began.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool ok() const { return what_ == nullptr; }
    size_t offset() const { return pos_; }
    const char* what() const { return what_; }

    // Called once, while the reader is still good: every read and check
    // stops the load as soon as one fails.
    void fail(const char* what) { what_ = what; }

    bool has(size_t bytes) {
        if (!ok()) return false;
        if (size_ - pos_ < bytes) {
            fail("file ends early");
            return false;
        }
        return true;
    }

    int8_t i8() {
        if (!has(1)) return 0;
        return static_cast<int8_t>(data_[pos_++]);
    }

    int16_t i16() {
        if (!has(2)) return 0;
        uint16_t v = static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
        pos_ += 2;
        return static_cast<int16_t>(v);
    }

    float f32() {
        if (!has(4)) return 0.0f;
        uint32_t v = static_cast<uint32_t>(data_[pos_]) | (static_cast<uint32_t>(data_[pos_ + 1]) << 8) |
                     (static_cast<uint32_t>(data_[pos_ + 2]) << 16) |
                     (static_cast<uint32_t>(data_[pos_ + 3]) << 24);
        pos_ += 4;
        float f;
        std::memcpy(&f, &v, sizeof f);
        return f;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    const char* what_ = nullptr;
};

// A key count read from the file: 0..kMaxKeys.
bool checkKeyCount(ByteReader& in, int count) {
    if (count < 0) {
        in.fail("negative key count");
        return false;
    }
    if (count > kMaxKeys) {
        in.fail("more than 32 keys in a track");
        return false;
    }
    return true;
}

// Key times are taken as the file gives them: repeated or descending
// times are harmless in every track the renderer never evaluates (lights,
// flares, the morph times, a second camera) and in tracks of 1 to 3 keys,
// which stay constant. In an evaluated track of n >= 4 keys, the segment
// search only picks a segment k <= n-3 for a t after times[k-1] and not
// after times[k], so those segments always have a length; the last one
// (keys n-3 to n-2) is taken for every t after times[n-3] and divides by
// times[n-2] - times[n-3]. That difference alone must not be zero.
bool checkLastSegment(ByteReader& in, const int16_t* times, int count) {
    if (count >= 4 && times[count - 2] == times[count - 3]) {
        in.fail("the last segment of a track has no length");
        return false;
    }
    return true;
}

// Slots count..kKeySlots-1 repeat the last key (zero for an empty track),
// so the end tangent of the last segment stays finite.
void padTrack(VectorTrack& track) {
    const int n = track.count;
    const Vec3 last = n > 0 ? track.keys[n - 1] : Vec3{0.0f, 0.0f, 0.0f};
    const int16_t lastTime = n > 0 ? track.times[n - 1] : 0;
    for (int i = n; i < kKeySlots; ++i) {
        track.keys[i] = last;
        track.times[i] = lastTime;
    }
}

void padTrack(ScalarTrack& track) {
    const int n = track.count;
    const float last = n > 0 ? track.keys[n - 1] : 0.0f;
    const int16_t lastTime = n > 0 ? track.times[n - 1] : 0;
    for (int i = n; i < kKeySlots; ++i) {
        track.keys[i] = last;
        track.times[i] = lastTime;
    }
}

bool readTimes(ByteReader& in, int16_t* times, int count) {
    for (int i = 0; i < count; ++i) times[i] = in.i16();
    return in.ok();
}

// Count, count x 3 float32 keys, count int16 times.
bool readVectorTrackBody(ByteReader& in, VectorTrack& track, int count) {
    if (!checkKeyCount(in, count)) return false;
    track.count = count;
    for (int i = 0; i < count; ++i) {
        track.keys[i].x = in.f32();
        track.keys[i].y = in.f32();
        track.keys[i].z = in.f32();
    }
    if (!readTimes(in, track.times, count)) return false;
    padTrack(track);
    return true;
}

bool readVectorTrack(ByteReader& in, VectorTrack& track) {
    const int count = in.i16();
    return in.ok() && readVectorTrackBody(in, track, count);
}

// Count, count float32 keys scaled by scale, count int16 times.
bool readScalarTrack(ByteReader& in, ScalarTrack& track, double scale) {
    const int count = in.i16();
    if (!in.ok() || !checkKeyCount(in, count)) return false;
    track.count = count;
    for (int i = 0; i < count; ++i) track.keys[i] = static_cast<float>(in.f32() * scale);
    if (!readTimes(in, track.times, count)) return false;
    padTrack(track);
    return true;
}

// Count, count int16 values, count int16 times; each value fills a whole
// 3-vector key.
bool readShortVectorTrack(ByteReader& in, VectorTrack& track) {
    const int count = in.i16();
    if (!in.ok() || !checkKeyCount(in, count)) return false;
    track.count = count;
    for (int i = 0; i < count; ++i) {
        const float v = in.i16();
        track.keys[i] = Vec3{v, v, v};
    }
    if (!readTimes(in, track.times, count)) return false;
    padTrack(track);
    return true;
}

bool readPointLight(ByteReader& in, PointLight& light) {
    const int np = in.i16();
    if (!in.ok()) return false;
    std::printf("nbr de keys pos de la ponctual : %d\n", np);
    if (!readVectorTrackBody(in, light.positionTrack, np)) return false;
    const int ni = in.i16();
    if (!in.ok()) return false;
    std::printf("nbr de keys intensite de la ponctual : %d\n", ni);
    if (!checkKeyCount(in, ni)) return false;
    VectorTrack& track = light.intensityTrack;
    track.count = ni;
    for (int i = 0; i < ni; ++i) {
        const float v = in.i16();
        track.keys[i] = Vec3{v, v, v};
    }
    if (!readTimes(in, track.times, ni)) return false;
    padTrack(track);
    return true;
}

bool readTargetLight(ByteReader& in, TargetLight& light) {
    if (!readVectorTrack(in, light.positionTrack)) return false;
    if (!readVectorTrack(in, light.targetTrack)) return false;
    if (!readShortVectorTrack(in, light.colourTrack)) return false;
    const int count = in.i16();
    if (!in.ok() || !checkKeyCount(in, count)) return false;
    ScalarTrack& angle = light.angleTrack;
    angle.count = count;
    for (int i = 0; i < count; ++i) angle.keys[i] = 180.0f - static_cast<float>(in.i16());
    if (!readTimes(in, angle.times, count)) return false;
    padTrack(angle);
    return true;
}

// The renderer animates the first camera only.
bool readCamera(ByteReader& in, SceneCamera& camera, bool animated) {
    camera.eye = Vec3{0.0f, 0.0f, 0.0f};
    camera.target = Vec3{0.0f, 0.0f, 1.0f};
    camera.fov = 90.0f;
    camera.roll = 0.0f;
    if (!readVectorTrack(in, camera.targetTrack)) return false;
    if (!readVectorTrack(in, camera.eyeTrack)) return false;
    if (!readScalarTrack(in, camera.rollTrack, kDegreesToRadians)) return false;
    if (!readScalarTrack(in, camera.fovTrack, 1.0)) return false;
    if (animated && (!checkLastSegment(in, camera.targetTrack.times, camera.targetTrack.count) ||
                     !checkLastSegment(in, camera.eyeTrack.times, camera.eyeTrack.count) ||
                     !checkLastSegment(in, camera.rollTrack.times, camera.rollTrack.count) ||
                     !checkLastSegment(in, camera.fovTrack.times, camera.fovTrack.count)))
        return false;
    std::printf("done\n");
    return true;
}

bool readFlare(ByteReader& in, Flare& flare) {
    for (int16_t& p : flare.parameters) p = in.i16();
    const int np = in.i16();
    if (!in.ok()) return false;
    std::printf("nbr de keys pos du flare : %d\n", np);
    return readVectorTrackBody(in, flare.positionTrack, np);
}

bool readObject(ByteReader& in, SceneObject& object) {
    int16_t h[10];
    for (int16_t& w : h) w = in.i16();
    if (!in.ok()) return false;
    const int V = h[0];
    const int P = h[1];
    const int flags = h[3];
    std::printf("verts: %d polys: %d\n", V, P);
    if (V < 0 || P < 0) {
        in.fail("negative vertex or polygon count");
        return false;
    }
    if (!checkKeyCount(in, h[6]) || !checkKeyCount(in, h[7])) return false;
    if (h[8] < 0 || h[8] > kMaxMorphTimes) {
        in.fail("morph key count outside 0..1000");
        return false;
    }
    if (h[9] < 0) {
        in.fail("negative extra triple count");
        return false;
    }
    object.vertexCount = V;
    object.polygonCount = P;
    object.livePolygonCount = P;
    object.liveVertexCount = V;
    object.headerValue2 = h[2];
    object.positionTrack.count = h[6];
    object.rotationTrack.count = h[7];
    object.morphCount = h[8];
    object.extraTripleCount = h[9];
    object.position = Vec3{0.0f, 0.0f, 0.0f};
    object.rotation = Vec3{0.0f, 0.0f, 0.0f};
    object.morphFrames = nullptr;
    if (allocateObjectArrays(object) != 0) {
        in.fail("out of memory");
        return false;
    }

    // Everything that later steps do not set.
    for (int i = 0; i < V; ++i) {
        SceneVertex& v = object.vertices[i];
        v = SceneVertex{};
        v.object.x = in.f32();
        v.object.y = in.f32();
        v.object.z = in.f32();
    }
    // The extra triples are not kept (no morph frames come from the file).
    if (!in.has(static_cast<size_t>(h[9]) * 12)) return false;
    for (int i = 0; i < h[9] * 3; ++i) in.f32();

    for (int i = 0; i < P; ++i) {
        ScenePolygon& p = object.polygons[i];
        p.vertices = object.vertices;
        p.count = 3;
        for (int j = 0; j < 3; ++j) {
            const int index = in.i16();
            if (in.ok() && (index < 0 || index >= V)) {
                in.fail("vertex index outside the object");
                return false;
            }
            p.index[j] = index;
        }
        p.index[3] = p.index[0];
        for (int j = 4; j < kPolygonIndexRoom; ++j) p.index[j] = p.index[0];
        p.textureSlot = h[4];
        p.flags = h[5];
        p.normal = Vec3{0.0f, 0.0f, 0.0f};
    }
    if (!in.ok()) return false;

    if (flags & 1) {
        for (int i = 0; i < V; ++i) object.vertices[i].u = in.f32();
        for (int i = 0; i < V; ++i) object.vertices[i].v = in.f32();
    }
    if (flags & 2) {
        for (int i = 0; i < P; ++i) object.polygons[i].textureSlot = in.i8();
    }
    if (flags & 4) {
        for (int i = 0; i < P; ++i) object.polygons[i].flags = in.i8();
    }
    if (!in.ok()) return false;
    for (int i = 0; i < P; ++i) {
        const int slot = object.polygons[i].textureSlot;
        if (slot < 0 || slot >= kUsableTextureSlots) {
            in.fail("texture slot outside 0..15");
            return false;
        }
    }

    VectorTrack& pos = object.positionTrack;
    VectorTrack& rot = object.rotationTrack;
    for (int i = 0; i < pos.count; ++i) pos.keys[i] = Vec3{in.f32(), in.f32(), in.f32()};
    for (int i = 0; i < rot.count; ++i) rot.keys[i] = Vec3{in.f32(), in.f32(), in.f32()};
    if (!in.ok()) return false;
    if (!readTimes(in, pos.times, pos.count)) return false;
    if (!readTimes(in, rot.times, rot.count)) return false;
    if (!readTimes(in, object.morphTimes, object.morphCount)) return false;
    if (!checkLastSegment(in, pos.times, pos.count) || !checkLastSegment(in, rot.times, rot.count)) return false;
    padTrack(pos);
    padTrack(rot);
    computeFaceNormals(object);
    return true;
}

// One byte of the header, a count limited to 0..limit.
bool checkHeaderCount(ByteReader& in, int value, int limit, const char* what) {
    if (value < 0 || value > limit) {
        in.fail(what);
        return false;
    }
    return true;
}

bool parse(ByteReader& in, Scene& scene) {
    for (SceneObject& o : scene.objects) {
        o.vertices = nullptr;
        o.polygons = nullptr;
        o.vertexCount = 0;
        o.polygonCount = 0;
    }
    scene.objectCount = 0;
    scene.pointLightCount = 0;
    scene.targetLightCount = 0;
    scene.cameraCount = 0;
    scene.flareCount = 0;
    scene.pairCount = 0;
    scene.currentCamera = nullptr;

    int header[8];
    for (int i = 0; i < 8; ++i) header[i] = in.i8();
    if (!in.ok()) return false;
    if (!checkHeaderCount(in, header[0], kMaxObjects, "more than 4 objects") ||
        !checkHeaderCount(in, header[1], kMaxPointLights, "more than 1 point light") ||
        !checkHeaderCount(in, header[2], kMaxTargetLights, "more than 1 target light") ||
        !checkHeaderCount(in, header[3], kMaxCameras, "more than 2 cameras") ||
        !checkHeaderCount(in, header[4], kMaxFlares, "more than 4 flares")) {
        return false;
    }
    scene.headerByte6 = header[6];
    scene.headerByte7 = header[7];

    const int pairs = in.i16();
    if (!in.ok()) return false;
    if (pairs < 0 || pairs > kMaxPairs) {
        in.fail("pair count outside 0..32");
        return false;
    }
    scene.pairCount = static_cast<int16_t>(pairs);
    for (int i = 0; i < pairs; ++i) {
        scene.pairFirst[i] = in.i16();
        scene.pairSecond[i] = in.i16();
    }
    if (!in.ok()) return false;

    for (int i = 0; i < header[1]; ++i) {
        if (!readPointLight(in, scene.pointLights[i])) return false;
        scene.pointLightCount = i + 1;
    }
    for (int i = 0; i < header[2]; ++i) {
        if (!readTargetLight(in, scene.targetLights[i])) return false;
        scene.targetLightCount = i + 1;
    }
    for (int i = 0; i < header[3]; ++i) {
        if (!readCamera(in, scene.cameras[i], i == 0)) return false;
        scene.cameraCount = i + 1;
    }
    for (int i = 0; i < header[4]; ++i) {
        if (!readFlare(in, scene.flares[i])) return false;
        scene.flareCount = i + 1;
    }
    std::printf("Lecture des objets...\n");
    scene.frameStamp = 0;
    for (int i = 0; i < header[0]; ++i) {
        // Counted before reading, so that freeSceneArrays finds a partly
        // read object's arrays.
        scene.objectCount = i + 1;
        if (!readObject(in, scene.objects[i])) return false;
    }
    return true;
}

}  // namespace

int parseScene(const uint8_t* data, size_t size, Scene& scene, SceneLoadError* error) {
    ByteReader in(data, size);
    const bool ok = parse(in, scene);
    if (!ok && in.ok()) in.fail("bad scene");
    if (!ok && error != nullptr) {
        error->what = in.what();
        error->offset = in.offset();
    }
    return ok ? 0 : -1;
}

int loadScene(const char* path, Scene* scene, SceneLoadError* error) {
    std::FILE* f = std::fopen(path, "rb");
    if (f == nullptr || scene == nullptr) {
        if (f != nullptr) std::fclose(f);
        if (error != nullptr) *error = SceneLoadError{"cannot open the file", 0};
        return -1;
    }
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    const bool readError = std::ferror(f) != 0;
    std::fclose(f);
    if (readError) {
        if (error != nullptr) *error = SceneLoadError{"read error", bytes.size()};
        return -1;
    }
    return parseScene(bytes.data(), bytes.size(), *scene, error);
}

int allocateObjectArrays(SceneObject& object) {
    object.vertices = new (std::nothrow) SceneVertex[static_cast<size_t>(object.vertexCount) + kSpareVertices];
    object.polygons = new (std::nothrow) ScenePolygon[static_cast<size_t>(object.polygonCount) + kSparePolygons];
    if (object.vertices == nullptr || object.polygons == nullptr) {
        freeObjectArrays(object);
        return -1;
    }
    return 0;
}

void freeObjectArrays(SceneObject& object) {
    delete[] object.vertices;
    delete[] object.polygons;
    object.vertices = nullptr;
    object.polygons = nullptr;
}

void freeSceneArrays(Scene& scene) {
    for (SceneObject& o : scene.objects) freeObjectArrays(o);
}

void computeFaceNormals(SceneObject& object) {
    for (int i = 0; i < object.polygonCount; ++i) {
        ScenePolygon& p = object.polygons[i];
        const Vec3 v0 = object.vertices[p.index[0]].object;
        const Vec3 v1 = object.vertices[p.index[1]].object;
        const Vec3 v2 = object.vertices[p.index[2]].object;
        const Vec3 a{v0.x - v1.x, v0.y - v1.y, v0.z - v1.z};
        const Vec3 b{v0.x - v2.x, v0.y - v2.y, v0.z - v2.z};
        const Vec3 n{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
        const float inv = 1.0f / std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
        p.normal = Vec3{n.x * inv, n.y * inv, n.z * inv};
    }
}
