// The span rasteriser: exact visibility without a depth buffer, from a
// scanline edge list and a depth-sorted stack of the surfaces active on the
// line, then perspective-correct texture fill (the exact texel coordinate
// every 8 pixels, linear steps between), blended 50% over the frame buffer.
#pragma once

#include <cstdint>

#include "engine3d/scene.h"
#include "engine3d/span_types.h"

// The fixed buffers and the two background edges. False when out of memory.
bool initRasteriser();
void shutdownRasteriser();

// Draws count polygons of screen-space vertices (sx, sy, invZ, uOverZ,
// vOverZ, firstLine, all inside the window) into frameBuffer (200 lines of
// the given pitch). Texture slot k reads scene.textures[k] (256x256).
void rasterise(const Scene& scene, ScenePolygon* const* polygons, int count, uint32_t* frameBuffer, int pitch);

const RasterStats& lastRasterStats();
