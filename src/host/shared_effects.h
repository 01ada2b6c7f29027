// Objects several parts share, built once by PrepareEffects at start-up
// (after LoadImageBank, before the console opens) and kept until the
// process ends; only the 3D scene and engine are released at shutdown.
#pragma once

#include <cstdint>

class MapTable;
class BigMapTable;
class TwistScroller;
class BlobField;
class CurveWire;
class ShapeMorph;
struct Scene;
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
extern Scene* FinalScene;

// Loaded by LoadImageBank.
extern PcxPicture* CoolText;   // "../data/cooltext.pcx" with its shade table
extern ShapeMorph* Morph;      // the seven outlines

// trunc(1 + 1.59 i) for i = 0 .. 199, the staircase of the wipe in step 12.
void FillStaircaseTable(int32_t* table);
// Builds all of the above except what LoadImageBank loads; ends the process
// with status 1 when the 3D scene or an object cannot be made.
void PrepareEffects();
// Loads the image bank, the PCX picture, both ray scenes and the shape
// morph; ends the process with status 1 on any failure.
void LoadImageBank();
