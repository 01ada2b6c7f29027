// The shared objects and how they are made.
#include "stage/shared_effects.h"

#include <new>

#include "data/image_bank.h"
#include "gfx2d/effects.h"
#include "gfx2d/map_table.h"

MapTable* TunnelTable = nullptr;
MapTable* PolarTable = nullptr;
MapTable* InversionTable = nullptr;
BigMapTable* BigTunnelTable = nullptr;
BigMapTable* BigPolarTable = nullptr;
BigMapTable* BigInversionTable = nullptr;
TwistScroller* GreetScroller = nullptr;
BlobField* Blobs = nullptr;
CurveWire* Curve = nullptr;
int32_t StaircaseTable[kFrameHeight];
PcxPicture* CoolText = nullptr;
ShapeMorph* Morph = nullptr;

void FillStaircaseTable(int32_t* table) {
    // trunc(1 + 1.59 i): the single-precision step accumulated in double.
    double x = 1.0;
    for (int i = 0; i < kFrameHeight; ++i) {
        table[i] = static_cast<int32_t>(x);
        x += 1.59f;
    }
}

namespace {

template <typename T, typename... Args>
bool make(T*& object, NameStep nameStep, const char* name, const Args&... args) {
    nameStep("make", name);
    object = new (std::nothrow) T(args...);
    return object != nullptr;
}

}  // namespace

bool BuildSharedEffects(NameStep nameStep) {
    FillStaircaseTable(StaircaseTable);
    // Each table is built on a map function made for it; the functions are
    // only needed while building.
    if (!make(TunnelTable, nameStep, "the tunnel map", TunnelMap(4096.0f))) return false;
    if (!make(PolarTable, nameStep, "the polar map", PolarMap(128.0f))) return false;
    if (!make(InversionTable, nameStep, "the inversion map", InversionMap(2048.0f))) return false;
    if (!make(BigTunnelTable, nameStep, "the big tunnel map", TunnelMap(4096.0f))) return false;
    if (!make(BigPolarTable, nameStep, "the big polar map", PolarMap(128.0f))) return false;
    if (!make(BigInversionTable, nameStep, "the big inversion map", InversionMap(2048.0f))) return false;
    if (!make(GreetScroller, nameStep, "the greetings scroller", img::greets, img::greets.width,
              img::greets.height, 0, kFrameWidth))
        return false;
    GreetScroller->wavePhase = 0.0f;
    GreetScroller->waveStep = 1.0f;
    if (!make(Blobs, nameStep, "the blob field", 10, img::pyr00, 128)) return false;
    return make(Curve, nameStep, "the curve wire", 30, 50.0f, 160.0f, 100.0f);
}
