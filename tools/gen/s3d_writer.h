// Writes the binary 3D scene file (little-endian) from a plain description.
// Header-only, so the scene generator and the engine's tests write files
// the same way. Counts are written as the sizes of the vectors given; a
// description may break the file's limits on purpose (the loader's tests).
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace s3d {

struct V3 {
    float x, y, z;
};

class Bytes {
public:
    std::vector<uint8_t> data;
    void i8(int v) { data.push_back(static_cast<uint8_t>(v)); }
    void i16(int v) {
        const auto u = static_cast<uint16_t>(v);
        data.push_back(static_cast<uint8_t>(u & 0xFF));
        data.push_back(static_cast<uint8_t>(u >> 8));
    }
    void f32(float f) {
        uint32_t u;
        std::memcpy(&u, &f, sizeof u);
        for (int i = 0; i < 4; ++i) data.push_back(static_cast<uint8_t>(u >> (8 * i)));
    }
    void v3(const V3& v) {
        f32(v.x);
        f32(v.y);
        f32(v.z);
    }
};

struct VectorKeys {
    std::vector<V3> keys;
    std::vector<int16_t> times;  // one per key
};

struct ScalarKeys {
    std::vector<float> keys;
    std::vector<int16_t> times;
};

// Keys held as int16 values (light intensity, colour, angle).
struct ShortKeys {
    std::vector<int16_t> keys;
    std::vector<int16_t> times;
};

struct Camera {
    VectorKeys target;
    VectorKeys eye;
    ScalarKeys roll;  // degrees
    ScalarKeys fov;   // degrees
};

struct PointLight {
    VectorKeys position;
    ShortKeys intensity;
};

struct TargetLight {
    VectorKeys position;
    VectorKeys target;
    ShortKeys colour;
    ShortKeys angle;
};

struct Flare {
    int16_t parameters[3] = {0, 0, 0};
    VectorKeys position;
};

struct Triangle {
    int16_t a, b, c;
};

struct Object {
    std::vector<V3> vertices;
    std::vector<Triangle> triangles;
    int16_t headerValue2 = 0;
    int16_t defaultSlot = 0;
    int16_t defaultFlags = 0;
    // Written when not empty (flags bits 0, 1, 2): u and v per vertex, a
    // texture slot and a flags byte per triangle.
    std::vector<float> u, v;
    std::vector<int8_t> slots;
    std::vector<int8_t> polygonFlags;
    VectorKeys position;
    VectorKeys rotation;  // radians
    std::vector<int16_t> morphTimes;
    std::vector<V3> extraTriples;
};

struct Scene {
    std::vector<Object> objects;
    std::vector<PointLight> pointLights;
    std::vector<TargetLight> targetLights;
    std::vector<Camera> cameras;
    std::vector<Flare> flares;
    std::vector<std::pair<int16_t, int16_t>> pairs;
    int8_t headerByte6 = 0;
    int8_t headerByte7 = 0;
};

inline void writeVectorKeys(Bytes& out, const VectorKeys& k) {
    out.i16(static_cast<int>(k.keys.size()));
    for (const V3& v : k.keys) out.v3(v);
    for (int16_t t : k.times) out.i16(t);
}

inline void writeScalarKeys(Bytes& out, const ScalarKeys& k) {
    out.i16(static_cast<int>(k.keys.size()));
    for (float v : k.keys) out.f32(v);
    for (int16_t t : k.times) out.i16(t);
}

inline void writeShortKeys(Bytes& out, const ShortKeys& k) {
    out.i16(static_cast<int>(k.keys.size()));
    for (int16_t v : k.keys) out.i16(v);
    for (int16_t t : k.times) out.i16(t);
}

inline void writeObject(Bytes& out, const Object& o) {
    const int flags = (o.u.empty() ? 0 : 1) | (o.slots.empty() ? 0 : 2) | (o.polygonFlags.empty() ? 0 : 4);
    out.i16(static_cast<int>(o.vertices.size()));
    out.i16(static_cast<int>(o.triangles.size()));
    out.i16(o.headerValue2);
    out.i16(flags);
    out.i16(o.defaultSlot);
    out.i16(o.defaultFlags);
    out.i16(static_cast<int>(o.position.keys.size()));
    out.i16(static_cast<int>(o.rotation.keys.size()));
    out.i16(static_cast<int>(o.morphTimes.size()));
    out.i16(static_cast<int>(o.extraTriples.size()));
    for (const V3& v : o.vertices) out.v3(v);
    for (const V3& v : o.extraTriples) out.v3(v);
    for (const Triangle& t : o.triangles) {
        out.i16(t.a);
        out.i16(t.b);
        out.i16(t.c);
    }
    for (float u : o.u) out.f32(u);
    for (float v : o.v) out.f32(v);
    for (int8_t s : o.slots) out.i8(s);
    for (int8_t f : o.polygonFlags) out.i8(f);
    for (const V3& v : o.position.keys) out.v3(v);
    for (const V3& v : o.rotation.keys) out.v3(v);
    for (int16_t t : o.position.times) out.i16(t);
    for (int16_t t : o.rotation.times) out.i16(t);
    for (int16_t t : o.morphTimes) out.i16(t);
}

inline std::vector<uint8_t> encode(const Scene& s) {
    Bytes out;
    out.i8(static_cast<int>(s.objects.size()));
    out.i8(static_cast<int>(s.pointLights.size()));
    out.i8(static_cast<int>(s.targetLights.size()));
    out.i8(static_cast<int>(s.cameras.size()));
    out.i8(static_cast<int>(s.flares.size()));
    out.i8(0);
    out.i8(s.headerByte6);
    out.i8(s.headerByte7);
    out.i16(static_cast<int>(s.pairs.size()));
    for (const auto& p : s.pairs) {
        out.i16(p.first);
        out.i16(p.second);
    }
    for (const PointLight& l : s.pointLights) {
        writeVectorKeys(out, l.position);
        writeShortKeys(out, l.intensity);
    }
    for (const TargetLight& l : s.targetLights) {
        writeVectorKeys(out, l.position);
        writeVectorKeys(out, l.target);
        writeShortKeys(out, l.colour);
        writeShortKeys(out, l.angle);
    }
    for (const Camera& c : s.cameras) {
        writeVectorKeys(out, c.target);
        writeVectorKeys(out, c.eye);
        writeScalarKeys(out, c.roll);
        writeScalarKeys(out, c.fov);
    }
    for (const Flare& f : s.flares) {
        for (int16_t p : f.parameters) out.i16(p);
        out.i16(static_cast<int>(f.position.keys.size()));
        for (const V3& v : f.position.keys) out.v3(v);
        for (int16_t t : f.position.times) out.i16(t);
    }
    for (const Object& o : s.objects) writeObject(out, o);
    return out.data;
}

}  // namespace s3d
