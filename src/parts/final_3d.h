// Set-up and release of the closing 3D part (its frame loop is
// runFinalPart in parts.h).
#pragma once

struct Scene;

// The hall of "../data/dazovad.scn": made by prepareFinalPart, null before
// and after releaseFinalPart.
extern Scene* FinalScene;

// The engine's buffers, FinalScene loaded from "../data/dazovad.scn" and
// its texture slots filled from the image bank (which must be loaded).
// False on any failure; start-up then ends with status 1.
bool prepareFinalPart();
// The engine's buffers, the scene's arrays and FinalScene itself; safe when
// nothing, or only part, was prepared.
void releaseFinalPart();
