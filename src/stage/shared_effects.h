// Objects several parts share, built once at start-up (the host's
// LoadImageBank loads CoolText and Morph, then its PrepareEffects calls
// BuildSharedEffects, before the console opens) and kept until the process
// ends.
#pragma once

#include <cstdint>

#include "gfx2d/frame.h"

class MapTable;
class BigMapTable;
class TwistScroller;
class BlobField;
class CurveWire;
class ShapeMorph;
struct PcxPicture;

extern MapTable* TunnelTable;
extern MapTable* PolarTable;
extern MapTable* InversionTable;
extern BigMapTable* BigTunnelTable;
extern BigMapTable* BigPolarTable;
extern BigMapTable* BigInversionTable;
extern TwistScroller* GreetScroller;
extern BlobField* Blobs;
extern CurveWire* Curve;
extern int32_t StaircaseTable[kFrameHeight];

// Loaded by LoadImageBank.
extern PcxPicture* CoolText;   // "../data/cooltext.pcx" with its shade table
extern ShapeMorph* Morph;      // the seven outlines

// trunc(1 + 1.59 i) for i = 0 .. 199, the staircase of the wipe in step 12.
void FillStaircaseTable(int32_t* table);

// Says which object is made next ("make", "the tunnel map"), so that a
// failed allocation can be reported; start-up passes its StartupStep.
using NameStep = void (*)(const char* verb, const char* what);

// Fills StaircaseTable and makes the six lookup maps (960000 map function
// calls, so no part pays for them), the greetings scroller, the blob field
// and the curve wire, in this order, naming each before it is made. Uses
// the image bank, which must be loaded. False when an object cannot be
// allocated; what was made before stays. The program and the tests of the
// parts both build the objects here, so they cannot drift apart.
bool BuildSharedEffects(NameStep nameStep);
