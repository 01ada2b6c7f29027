// The objects several parts share, built once before the console opens: the
// 3D scene, the staircase table, the six lookup maps (960000 map function
// calls, so no part pays for them), the greetings scroller, the blob field,
// the curve wire and the spline snake.
#include <cstdlib>
#include <new>

#include "data/image_bank.h"
#include "engine3d/snake.h"
#include "gfx2d/effects.h"
#include "gfx2d/map_table.h"
#include "host/prepare_effects.h"
#include "host/startup_step.h"
#include "parts/final_3d.h"
#include "stage/shared_effects.h"

namespace {

// An object that cannot be allocated ends start-up like a missing file: a
// part would otherwise draw through a null pointer later. (Under StartUp
// the new-handler ends it already, inside the failed allocation.)
template <typename T>
T* require(T* object) {
    if (!object) OutOfMemoryAtStartup();
    return object;
}

template <typename Table, typename Function>
Table* buildTable(const char* name, const Function& function) {
    StartupStep("make", name);
    return require(new (std::nothrow) Table(function));
}

}  // namespace

void PrepareEffects() {
    StartupStep("make", "the 3D engine and ../data/dazovad.scn");
    if (!prepareFinalPart()) std::exit(1);
    FillStaircaseTable(StaircaseTable);

    // Each table is built on a map function made for it; the functions are
    // only needed while building.
    TunnelTable = buildTable<MapTable>("the tunnel map", TunnelMap(4096.0f));
    PolarTable = buildTable<MapTable>("the polar map", PolarMap(128.0f));
    InversionTable = buildTable<MapTable>("the inversion map", InversionMap(2048.0f));
    BigTunnelTable = buildTable<BigMapTable>("the big tunnel map", TunnelMap(4096.0f));
    BigPolarTable = buildTable<BigMapTable>("the big polar map", PolarMap(128.0f));
    BigInversionTable = buildTable<BigMapTable>("the big inversion map", InversionMap(2048.0f));

    StartupStep("make", "the greetings scroller");
    GreetScroller = require(new (std::nothrow) TwistScroller(img::greets, img::size::greets.width,
                                                             img::size::greets.height, 0, 320));
    GreetScroller->wavePhase = 0.0f;
    GreetScroller->waveStep = 1.0f;
    StartupStep("make", "the blob field");
    Blobs = require(new (std::nothrow) BlobField(10, img::pyr00, 128));
    StartupStep("make", "the curve wire");
    Curve = require(new (std::nothrow) CurveWire(30, 50.0f, 160.0f, 100.0f));
    StartupStep("make", "the spline snake");
    initSnake();
}
