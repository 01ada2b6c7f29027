// Start-up before the console opens. StartUp runs it under a new-handler
// that ends the process when memory runs out; LoadImageBank runs the
// start-up load: the data readers in order, each failure turned into the
// file and a reason, and the rules the two raytraced parts put on the
// scenes they animate.
#include "host/startup.h"

#include <cstdio>
#include <cstdlib>
#include <new>

#include "data/image_bank.h"
#include "data/image_loader.h"
#include "data/pcx.h"
#include "data/shape.h"
#include "host/host.h"
#include "host/prepare_effects.h"
#include "host/startup_step.h"
#include "raytracer/ray_render.h"
#include "raytracer/ray_scene.h"
#include "stage/shared_effects.h"

void StartUp() {
    const std::new_handler previous = std::set_new_handler(OutOfMemoryAtStartup);
    StartupStep("read", "plivak.cfg");
    ReadConfig("plivak.cfg");
    LoadImageBank();
    PrepareEffects();
    std::set_new_handler(previous);
}

namespace {

bool isCentreKind(int32_t type) {
    return type == kRaySphere || type == kRayEllipsoid || type == kRayTexSphere ||
           type == kRayTexEllipsoid;
}

// The parts move the centres of some entries (and the radius of one
// sphere); this says what is missing, or returns an empty text.
std::string missingInScene(const RayScene& scene, int lastCentre, bool firstIsSphere) {
    char text[96];
    for (int i = 1; i <= lastCentre; ++i) {
        if (i >= scene.objectCount) {
            std::snprintf(text, sizeof text, "has %d object(s), needs entries 1 to %d",
                          scene.objectCount, lastCentre);
            return text;
        }
        if (!isCentreKind(scene.objects[i].type)) {
            std::snprintf(text, sizeof text, "entry %d is not a sphere or ellipsoid", i);
            return text;
        }
    }
    int32_t t = scene.objects[1].type;
    if (firstIsSphere && t != kRaySphere && t != kRayTexSphere) return "entry 1 is not a sphere";
    return {};
}

struct Loading {
    const std::string& dir;
    bool verbose;
    LoadFailure& failure;

    std::string path(const char* name) const { return dir + name; }
    void announce(const std::string& file) const {
        StartupStep("load", file.c_str());
        if (verbose) std::fprintf(stderr, "loading %s\n", file.c_str());
    }
    bool fail(const std::string& file, const std::string& reason) const {
        failure.file = file;
        failure.reason = reason;
        return false;
    }
};

bool loadBank(const Loading& l) {
    std::string file;
    try {
        ImageLoader loader;
        for (const img::ImageFile& f : img::kImageFiles) {
            file = l.path(f.file);
            l.announce(file);
            if (!loader.loadImage(file.c_str(), f.width, f.height, f.pixels))
                return l.fail(file, "short file");
        }
        const struct {
            const img::ImageSize& size;
            uint8_t* bytes;
        } patterns[] = {{img::size::pattern1, img::pattern1}, {img::size::pattern2, img::pattern2}};
        for (const auto& p : patterns) {
            file = l.path(p.size.file);
            l.announce(file);
            if (!loader.loadPattern(file.c_str(), p.size.pixels(), p.bytes))
                return l.fail(file, "short file");
        }
    } catch (GZ_Error& e) {
        return l.fail(file, e.message);
    }
    return true;
}

bool loadScene(const Loading& l, const char* name, RayScene& scene) {
    std::string file = l.path(name);
    l.announce(file);
    if (!loadRayScene(file.c_str(), SharedRayViewport, scene)) return l.fail(file, "cannot open");
    return true;
}

}  // namespace

bool loadStartupData(const std::string& dataDir, bool verbose, StartupData& out,
                     LoadFailure& failure) {
    StartupStep("load", dataDir.c_str());
    const Loading l{dataDir, verbose, failure};
    if (!loadBank(l)) return false;

    std::string pcxFile = l.path("cooltext.pcx");
    l.announce(pcxFile);
    auto* picture = new PcxPicture;
    PcxPicture::Result pcx = picture->load(pcxFile.c_str());
    if (pcx != PcxPicture::kLoaded) {
        delete picture;
        return l.fail(pcxFile, PcxPicture::describe(pcx));
    }
    out.coolText = picture;

    if (!loadScene(l, "final.scn", FinalRayScene)) return false;
    if (!loadScene(l, "atom.scn", AtomRayScene)) return false;

    constexpr int kShapes = 7;
    std::string shapeFiles[kShapes];
    const char* names[kShapes];
    for (int k = 0; k < kShapes; ++k) {
        shapeFiles[k] = l.path("shape") + std::to_string(k + 1);
        names[k] = shapeFiles[k].c_str();
        l.announce(shapeFiles[k]);
    }
    StartupStep("make", "the shape morph");
    auto* morph = new ShapeMorph(kShapes, names, 50, 30.0f, 30.0f, 160.0f, 100.0f);
    if (!morph->ok) {
        int k = morph->failedShape;
        std::string reason = morph->failCode == 0 ? "Shape::Shape_Ex 0 (cannot open)"
                                                  : "Shape::Shape_Ex 1 (not a shape file)";
        delete morph;
        return l.fail(k >= 0 ? shapeFiles[k] : l.path("shape"), reason);
    }
    out.morph = morph;

    // The ray grid holds exactly 81 x 36 samples; the second scene's
    // viewport is the one in use.
    StartupStep("check", "the ray scenes");
    if (SharedRayViewport.width != kRayGridColumns || SharedRayViewport.height != kRayGridRows) {
        char text[64];
        std::snprintf(text, sizeof text, "viewport %dx%d, needs %dx%d", SharedRayViewport.width,
                      SharedRayViewport.height, kRayGridColumns, kRayGridRows);
        return l.fail(l.path("atom.scn"), text);
    }
    std::string missing = missingInScene(AtomRayScene, 4, false);
    if (!missing.empty()) return l.fail(l.path("atom.scn"), missing);
    missing = missingInScene(FinalRayScene, 2, true);
    if (!missing.empty()) return l.fail(l.path("final.scn"), missing);
    return true;
}

void LoadImageBank() {
    StartupData data;
    LoadFailure failure;
    if (!loadStartupData("../data/", VerboseLoading, data, failure)) {
        if (VerboseLoading)
            std::fprintf(stderr, "cannot load %s: %s\n", failure.file.c_str(), failure.reason.c_str());
        std::exit(1);
    }
    CoolText = data.coolText;
    Morph = data.morph;
}
