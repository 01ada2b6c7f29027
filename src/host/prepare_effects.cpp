// Placeholder until the shared effects land.
#include "host/shared_effects.h"

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
Scene* FinalScene = nullptr;

void PrepareEffects() {}

// shutdownEngine, then freeSceneArrays, then the Scene record.
void ShutdownEngine3d() {}
