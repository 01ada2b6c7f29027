// The objects several parts share, built once before the console opens:
// the closing part's engine and scene, the shared objects of the stage and
// the spline snake.
#include "host/prepare_effects.h"

#include <cstdlib>

#include "engine3d/snake.h"
#include "host/startup_step.h"
#include "parts/final_3d.h"
#include "stage/shared_effects.h"

void PrepareEffects() {
    StartupStep("make", "the 3D engine and ../data/dazovad.scn");
    if (!prepareFinalPart()) std::exit(1);
    // An object that cannot be allocated ends start-up like a missing file:
    // a part would otherwise draw through a null pointer later. (Under
    // StartUp the new-handler ends it already, inside the failed allocation.)
    if (!BuildSharedEffects(StartupStep)) OutOfMemoryAtStartup();
    StartupStep("make", "the spline snake");
    initSnake();
}
