// Placeholder until the loader lands.
#include "host/shared_effects.h"

PcxPicture* CoolText = nullptr;
ShapeMorph* Morph = nullptr;

void LoadImageBank() {}
