// Placeholder until the scene loader lands.
#include "raytracer/ray_scene.h"

RayViewport SharedRayViewport;
RayScene FinalRayScene;
RayScene AtomRayScene;

int32_t loadRayScene(const char*, RayViewport&, RayScene&) { return 1; }
RayTexture* loadRayTexture(const char*) { return nullptr; }
