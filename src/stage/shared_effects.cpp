// The shared objects' storage; the host builds them at start-up.
#include "stage/shared_effects.h"

MapTable* TunnelTable = nullptr;
MapTable* PolarTable = nullptr;
MapTable* InversionTable = nullptr;
BigMapTable* BigTunnelTable = nullptr;
BigMapTable* BigPolarTable = nullptr;
BigMapTable* BigInversionTable = nullptr;
TwistScroller* GreetScroller = nullptr;
BlobField* Blobs = nullptr;
CurveWire* Curve = nullptr;
int32_t StaircaseTable[200];
PcxPicture* CoolText = nullptr;
ShapeMorph* Morph = nullptr;

void FillStaircaseTable(int32_t* table) {
    // trunc(1 + 1.59 i): the single-precision step accumulated in double.
    double x = 1.0;
    for (int i = 0; i < 200; ++i) {
        table[i] = static_cast<int32_t>(x);
        x += 1.59f;
    }
}
