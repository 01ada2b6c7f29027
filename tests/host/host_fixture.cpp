#include "host_fixture.h"

uint32_t HostTest::surfacePixels[kFramePixels];
int HostTest::presents = 0;
