// The demo parts, in timeline order. Each is a DemoPart (stage/stage.h): it
// returns 0 when its last stage ends and -1 as soon as a key is seen.
#pragma once

int runOpeningBlinds();    // 1: blinds, fade and pattern dissolve
int runWarpedRibbons();    // 2: warped texture, ribbons and captions
int runBannerCube();       // 3: banner with wire cube and lattice
int runDotCube();          // 4: twisting dot cube over the formula
int runPortraitParade();   // 5: portrait parade and quadrant reveal
int runAtomPart();         // 6: raytraced atom
int runTextPlane();        // 7: lit PCX text plane with twin cubes
int runBlobLayers();       // 8: blobs, morphing outline, checkerboard
int runGreetings();        // 9: greetings scroller over texture maps
int runStudio();           // 10: studio with sliding sprites
int runSpinningCurve();    // 11: formula with a spinning curve
int runWanderingMaps();    // 12: wandering maps and staircase wipe
int runSplineSnake();      // 13: spline snake
int runFinalScenePart();   // 14: raytraced mirrored bodies
int runGadgetParade();     // 15: gadget parade
int runWaveLogo();         // 16: wave-warped logo and band reveal
int runCentreSmear();      // 17: centre smear to white
int runFinalPart();        // 18: the closing 3D scene; a key returns 0
