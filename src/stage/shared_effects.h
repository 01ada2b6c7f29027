// Objects several parts share, built once at start-up (the host's
// LoadImageBank and PrepareEffects, before the console opens) and kept
// until the process ends.
#pragma once

#include <cstdint>

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
extern int32_t StaircaseTable[200];

// Loaded by LoadImageBank.
extern PcxPicture* CoolText;   // "../data/cooltext.pcx" with its shade table
extern ShapeMorph* Morph;      // the seven outlines

// trunc(1 + 1.59 i) for i = 0 .. 199, the staircase of the wipe in step 12.
void FillStaircaseTable(int32_t* table);
