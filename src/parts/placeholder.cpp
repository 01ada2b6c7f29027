#include "parts/placeholder.h"

#include "host/demo.h"

int PlaceholderPart() { return WaitForBeat() ? 0 : -1; }
