// Scene and texture files of the raytracer. A scene file is text read with
// scanf conventions (see data/text_scanner.h): the header template, then
// keyword after keyword, each followed by its object's values. Files are
// read whole into memory first, so the parsers work on a byte span.
#include "raytracer/ray_scene.h"

#include <cstring>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "data/text_scanner.h"

RayViewport SharedRayViewport;
RayScene FinalRayScene;
RayScene AtomRayScene;

namespace {

// Reads count floats into consecutive fields, stopping at the first that
// does not convert, as a formatted read does. True when all converted.
bool readFloats(TextScanner& in, float* fields, int count) {
    for (int i = 0; i < count; ++i)
        if (!in.readFloat(fields[i])) return false;
    return true;
}

// The values of a plain kind: count floats into the record, then the
// template's closing whitespace.
template <typename Record>
Record* readPlain(TextScanner& in, int count) {
    static_assert(sizeof(Record) % sizeof(float) == 0, "records are all floats");
    Record* record = new (std::nothrow) Record{};
    if (!record) return nullptr;
    if (!readFloats(in, reinterpret_cast<float*>(record), count)) {
        delete record;
        return nullptr;
    }
    in.skipSpace();
    return record;
}

// The values of a textured kind: its geometry floats, the texture's file
// name, the reflectivity, then the closing whitespace; then the texture is
// loaded. Over-long names fail the object.
template <typename Record>
Record* readTextured(TextScanner& in, int geometryCount, RayTextureLoader loadTexture) {
    Record* record = new (std::nothrow) Record{};
    if (!record) return nullptr;
    char name[kRayTextureNameChars + 1];
    bool ok = readFloats(in, reinterpret_cast<float*>(record), geometryCount);
    if (ok) {
        // A name with a NUL byte in it would open a different file.
        size_t length = in.readWord(name, sizeof name);
        ok = length > 0 && length <= static_cast<size_t>(kRayTextureNameChars) &&
             std::strlen(name) == length;
    }
    ok = ok && in.readFloat(record->reflectivity);
    if (ok) {
        in.skipSpace();
        record->texture = loadTexture(name);
        ok = record->texture != nullptr;
    }
    if (!ok) {
        delete record;
        return nullptr;
    }
    return record;
}

// Reads one int32 or float field of the header; a failed conversion ends
// the header, and the fields after it keep their earlier values.
struct HeaderReader {
    TextScanner& in;
    bool going = true;

    void word(const char* text) {
        if (!going) return;
        in.skipSpace();
        going = in.matchWord(text);
    }
    void value(int32_t& field) { going = going && in.readInt(field); }
    void value(float& field) { going = going && in.readFloat(field); }
    void values(float* fields, int count) {
        for (int i = 0; i < count; ++i) value(fields[i]);
    }
};

void readHeader(TextScanner& in, RayViewport& viewport, RayScene& scene) {
    HeaderReader h{in};
    // The file starts with the word itself: no whitespace is skipped first.
    h.going = in.matchWord("viewport");
    h.value(viewport.width);
    h.value(viewport.height);
    h.value(viewport.viewportExtra);
    h.value(viewport.focal);
    h.word("camera");
    h.values(scene.eye, 3);
    h.values(scene.target, 3);
    h.value(scene.cameraExtra);
    h.word("light");
    h.values(scene.light, 3);
    if (h.going) in.skipSpace();
}

struct ObjectKind {
    const char* keyword;
    int32_t type;
    const char* failure;
};

// In the order the keywords are compared.
constexpr ObjectKind kKinds[] = {
    {"plane", kRayPlane, "RAYTR: error loading plane\n"},
    {"sphere", kRaySphere, "RAYTR: error loading sphere\n"},
    {"ellipsoid", kRayEllipsoid, "RAYTR: error loading ellipsoid\n"},
    {"plane_text", kRayTexPlane, "RAYTR: error loading texture mapped plane\n"},
    {"sphere_text", kRayTexSphere, "RAYTR: error loading texture mapped sphere\n"},
    {"ellipsoid_text", kRayTexEllipsoid, "RAYTR: error loading texture mapped ellipsoid\n"},
};

void* readObject(int32_t type, TextScanner& in, RayTextureLoader loadTexture) {
    switch (type) {
    case kRayPlane: return readRayPlane(in);
    case kRaySphere: return readRaySphere(in);
    case kRayEllipsoid: return readRayEllipsoid(in);
    case kRayTexPlane: return readRayTexPlane(in, loadTexture);
    case kRayTexSphere: return readRayTexSphere(in, loadTexture);
    case kRayTexEllipsoid: return readRayTexEllipsoid(in, loadTexture);
    }
    return nullptr;
}

constexpr size_t kTextureHeader = 10;
constexpr size_t kTexturePalette = 768;
constexpr size_t kTexturePixels = 256 * 256;

}  // namespace

RayPlane* readRayPlane(TextScanner& in) { return readPlain<RayPlane>(in, 8); }
RaySphere* readRaySphere(TextScanner& in) { return readPlain<RaySphere>(in, 8); }
RayEllipsoid* readRayEllipsoid(TextScanner& in) { return readPlain<RayEllipsoid>(in, 11); }

RayTexPlane* readRayTexPlane(TextScanner& in, RayTextureLoader loadTexture) {
    return readTextured<RayTexPlane>(in, 4, loadTexture);
}
RayTexSphere* readRayTexSphere(TextScanner& in, RayTextureLoader loadTexture) {
    return readTextured<RayTexSphere>(in, 4, loadTexture);
}
RayTexEllipsoid* readRayTexEllipsoid(TextScanner& in, RayTextureLoader loadTexture) {
    return readTextured<RayTexEllipsoid>(in, 7, loadTexture);
}

int32_t parseRayScene(const uint8_t* bytes, size_t size, RayViewport& viewport, RayScene& scene,
                      RayTextureLoader loadTexture) {
    TextScanner in(bytes, size);
    readHeader(in, viewport, scene);

    scene.objects = new RayObject[kRayMaxObjects]{};
    int32_t n = 0;
    char keyword[kRayKeywordChars + 1];
    while (!in.atEnd()) {
        size_t length = in.readWord(keyword, sizeof keyword);
        if (length == 0) break;  // only whitespace was left
        in.skipSpace();
        const ObjectKind* kind = nullptr;
        // Whole words only: "plane_text" is not "plane", nor is a word
        // that goes on after a NUL byte.
        if (length <= static_cast<size_t>(kRayKeywordChars) && std::strlen(keyword) == length) {
            for (const ObjectKind& k : kKinds)
                if (!std::strcmp(keyword, k.keyword)) kind = &k;
        }
        if (!kind) {
            std::fprintf(stderr, "RAYTR: warning - unknown object \"%s\"\n", keyword);
            continue;
        }
        if (n == kRayMaxObjects) {
            // The table is full: the rest of the file is not read.
            std::fprintf(stderr, "RAYTR: warning - more than %d objects, the rest are ignored\n",
                         kRayMaxObjects);
            break;
        }
        scene.objects[n].type = kind->type;
        scene.objects[n].record = readObject(kind->type, in, loadTexture);
        if (scene.objects[n].record)
            ++n;
        else
            std::fputs(kind->failure, stderr);
    }
    scene.objectCount = n;
    std::fprintf(stderr, "RAYTR: %d object(s) loaded.\n", n);
    return 1;
}

namespace {

// The textures one scene file has loaded so far, by name: bodies that name
// the same file share one texture (records only read it), so each file is
// read and converted once per scene. Emptied when the scene is read, so a
// later load sees the file as it is then.
std::vector<std::pair<std::string, RayTexture*>> sceneTextures;

RayTexture* loadSceneTexture(const char* fileName) {
    for (const auto& entry : sceneTextures)
        if (entry.first == fileName) return entry.second;
    RayTexture* texture = loadRayTexture(fileName);
    if (texture) sceneTextures.emplace_back(fileName, texture);
    return texture;
}

}  // namespace

int32_t loadRayScene(const char* fileName, RayViewport& viewport, RayScene& scene) {
    std::vector<uint8_t> bytes;
    if (!readWholeFile(fileName, bytes)) return 0;
    sceneTextures.clear();
    const int32_t result = parseRayScene(bytes.data(), bytes.size(), viewport, scene, loadSceneTexture);
    sceneTextures.clear();
    return result;
}

RayTexture* parseRayTexture(const uint8_t* bytes, size_t size) {
    if (size < kTextureHeader) return nullptr;
    uint32_t width = bytes[4] | bytes[5] << 8;
    uint32_t height = bytes[6] | bytes[7] << 8;
    if (width != 256 || height != 256) return nullptr;
    if (size < kTextureHeader + kTexturePalette + kTexturePixels) return nullptr;
    RayTexture* texture = new (std::nothrow) RayTexture;
    if (!texture) return nullptr;
    // 6-bit palette components: value / 64, so the brightest is 0.984375.
    // Each palette entry is converted once; the pixels copy their entry.
    const uint8_t* palette = bytes + kTextureHeader;
    const uint8_t* pixels = palette + kTexturePalette;
    float colours[256][3];
    for (size_t c = 0; c < 256; ++c)
        for (size_t k = 0; k < 3; ++k) colours[c][k] = palette[3 * c + k] * 0.015625f;
    for (size_t i = 0; i < kTexturePixels; ++i) {
        const float* rgb = colours[pixels[i]];
        texture->texels[i][0] = rgb[0];
        texture->texels[i][1] = rgb[1];
        texture->texels[i][2] = rgb[2];
    }
    return texture;
}

RayTexture* loadRayTexture(const char* fileName) {
    std::FILE* f = std::fopen(fileName, "rb");
    if (!f) {
        std::perror("fopen");
        return nullptr;
    }
    std::vector<uint8_t> bytes;
    bool ok = readWholeStream(f, bytes);
    std::fclose(f);
    if (!ok) return nullptr;
    return parseRayTexture(bytes.data(), bytes.size());
}
