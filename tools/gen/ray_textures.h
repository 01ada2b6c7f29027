// The raytracer's palettised textures: 256 x 256 palette indices with a
// 256-entry palette of 6-bit components. Every pattern tiles (the floor
// mapping repeats every 256 texels) and depends on nothing but its code.
#pragma once

#include <cstdint>
#include <string>

struct RayTextureImage {
    uint8_t palette[256 * 3];  // R, G, B per entry, each 0..63
    uint8_t pixels[256 * 256];  // row by row
};

// Floor of the atom scene: two blues of stone tiles with grout, the
// tiles centred on the texture's row and column 0 so that the mapping's
// mirror about x = 0 and z = 0 continues the pattern.
void makeAtomFloor(RayTextureImage& image);
// Nucleons: warm marbled bands (rows follow the angle about z, only
// columns 0..51 are reached on a sphere).
void makeNucleonSkin(RayTextureImage& image);
// Floor of the final scene: dark teal and sand chequers with bevelled
// edges, centred like the atom floor.
void makeFinalFloor(RayTextureImage& image);
// Pillars: stacked copper rings.
void makePillarSkin(RayTextureImage& image);
// Ceiling of the final scene: soft clouds, deep blue to pale lilac.
void makeSkyClouds(RayTextureImage& image);

// Writes the file: 4 bytes "PLVT", width and height 256 as little-endian
// uint16, 2 zero bytes, the palette, the indices. False (after a message on
// standard error) when the file cannot be written.
bool writeRayTexture(const std::string& path, const RayTextureImage& image);
