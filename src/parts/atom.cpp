// The atom: a live raytraced view in the middle 140 rows, four small
// bodies circling a nucleus in two perpendicular orbits over a tiled floor,
// the camera and the light travelling on closed paths around them, the
// moving bodies trailing as each frame is mixed with the last. Images:
// rayflare.rgb frames the view (rows 0..29 and 170..199, copied afresh
// every frame); scene "atom.scn". Ends at the next music beat.
#include "data/image_bank.h"
#include "parts/parts.h"
#include "parts/ray_frame.h"
#include "raytracer/ray_paths.h"
#include "raytracer/ray_render.h"
#include "raytracer/ray_scene.h"
#include "stage/stage.h"

int runAtomPart() {
    RayScene& scene = AtomRayScene;
    scene.flags = kRayReflections | kRayShadows;
    BeginBeatWait();
    while (!BeatArrived()) {
        if (KeyPending()) return -1;
        drawRayFrameBands(FrameBuffer);
        // The demo's clock, never reset here: the paths go on from wherever
        // the show has got to.
        placeAtomScene(scene, static_cast<float>(0.1 * DemoTime()));
        renderRayGrid(scene, SharedRayViewport);
        blitRayGrid(FrameBuffer + kRayBandTop * kFrameWidth);
        PresentFrame();
    }
    return 0;
}
