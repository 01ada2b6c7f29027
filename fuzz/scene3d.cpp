// The 3D scene loader: a scene that loads is drawn at three times of its
// animation (start, a key, far past the last key) and its arrays are
// released, as the closing part does.
#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "engine3d/pipeline.h"
#include "engine3d/scene.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static uint32_t frame[320 * 200];
    static Scene* scene = [] {
        if (initEngine() != 0) __builtin_trap();
        auto* s = new Scene();
        for (auto& t : s->textures) t = checkerTexture();
        return s;
    }();
    SceneLoadError error;
    if (parseScene(data, size, *scene, &error) == 0) {
        if (error.what != nullptr) __builtin_trap();
        for (float t : {0.0f, 37.5f, 60000.0f}) renderScene(*scene, frame, t);
    } else if (error.what == nullptr || error.offset > size) {
        __builtin_trap();  // a failure always says what and where
    }
    freeSceneArrays(*scene);
    return 0;
}
