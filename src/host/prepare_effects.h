// The shared objects (stage/shared_effects.h) that are made rather than
// loaded, and the closing part's engine and scene.
#pragma once

// Builds the closing part's engine and scene, the staircase table, the six
// lookup maps, the greetings scroller, the blob field, the curve wire and
// the spline snake. Runs after LoadImageBank (the scroller, the blob field
// and the scene's textures use the image bank); ends the process with
// status 1 when the 3D scene or an object cannot be made.
void PrepareEffects();
