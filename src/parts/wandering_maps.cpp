// Placeholder until the part lands: holds the screen until the next beat.
#include "parts/parts.h"
#include "parts/placeholder.h"

int runWanderingMaps() { return PlaceholderPart(); }
