// The final scene: a live raytraced view in the middle 140 rows, two
// mirrored bodies swinging round the origin opposite each other, one of
// them swelling and shrinking, above a glassy dome on a tiled floor ringed
// by pillars; the camera and the light travel on closed paths. Images:
// rayflare.rgb frames the view (rows 0..29 and 170..199, copied once on
// entry); scene "final.scn". Ends at the next music beat.
#include "data/image_bank.h"
#include "parts/parts.h"
#include "parts/ray_frame.h"
#include "raytracer/ray_paths.h"
#include "raytracer/ray_render.h"
#include "raytracer/ray_scene.h"
#include "stage/stage.h"

int runFinalScenePart() {
    RayScene& scene = FinalRayScene;
    scene.flags = kRayReflections | kRayShadows;
    drawRayFrameBands(FrameBuffer);
    BeginBeatWait();
    while (!BeatArrived()) {
        if (KeyPending()) return -1;
        placeFinalScene(scene, static_cast<float>(0.1 * DemoTime()));
        renderRayGrid(scene, SharedRayViewport);
        blitRayGrid(FrameBuffer + kRayBandTop * kFrameWidth);
        PresentFrame();
    }
    return 0;
}
