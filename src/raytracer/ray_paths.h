// The closed paths of the two raytraced parts: light, eye and bodies as
// functions of T = 0.1 * demo seconds. Each call writes the scene's light
// and eye and the animated fields of its bodies; entries that are missing
// or of another kind are left alone.
#pragma once

#include "raytracer/ray_scene.h"

// Light and eye circle the origin; bodies 1 and 2 orbit opposite each other
// at radius 120 in their plane of constant y, bodies 3 and 4 a quarter turn
// later in their plane of constant z, one turn every 10 s.
void placeAtomScene(RayScene& scene, float T);
// The same light; body 1 (a sphere, its radius swelling between 10 and 50)
// and body 2 swing round the origin always opposite each other.
void placeFinalScene(RayScene& scene, float T);
