// Set-up and release of the closing 3D part (its frame loop is
// runFinalPart in parts.h).
#pragma once

#include <cstdint>

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

// What the part's frame loop carries from frame to frame (besides the
// frame buffer, the timer, the beat counter and the random generator): the
// beat seen last (a copy of the stage's LastBeat, which a seek restores
// itself), the banner shown, the crosshair's box on or off and the
// guide box.
struct FinalPartState {
    int32_t beat;
    int32_t banner;
    int32_t highlight;
    int32_t boxX, boxY, boxW, boxH;
};
// The loop's state at the top of the frame being started.
FinalPartState finalPartState();
// The next runFinalPart continues from `state` at the top of its loop
// instead of starting: no new box, the timer left as it is.
void resumeFinalPart(const FinalPartState& state);
// Called at the top of every frame of the loop, before the time is read,
// when set (the seek's recorder takes its chapter points there).
extern void (*FinalFrameHook)();
