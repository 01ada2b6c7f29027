// The pictures plivak-data writes: every ".rgb" and ".gra" file with its size
// (from the loader's table, data/image_sizes.h), how the demo draws it, and
// whether it is stored gzip-compressed. The tests read the files back against
// this table.
#pragma once

#include "data/image_sizes.h"

namespace pic {

enum class Use {
    Opaque,    // copied or blended whole: every pixel counts
    Keyed,     // drawn with the exact key 0x0000FF as transparent
    Additive,  // drawn additively: black (zero) is transparent
    Texture,   // 256x256, wrapped by warps, maps and polygons: must tile
    Strip,     // the scroller text, stored strip by strip (transposed)
    Pattern,   // 64000 dissolve levels
};

struct PictureFile {
    const char* name;  // file name in the data folder
    int width;
    int height;
    Use use;
    bool gzip;

    constexpr PictureFile(const img::ImageSize& size, Use drawnAs, bool compressed)
        : name(size.file), width(size.width), height(size.height), use(drawnAs), gzip(compressed) {}
};

constexpr unsigned kKeyColour = img::kKeyColour;

constexpr PictureFile kPictureFiles[] = {
    {img::size::openptc, Use::Opaque, true},
    {img::size::linux_in, Use::Opaque, true},
    {img::size::plivak2, Use::Opaque, false},
    {img::size::square, Use::Opaque, true},
    {img::size::greets, Use::Strip, true},
    {img::size::pyr[0], Use::Opaque, true},
    {img::size::pyr[1], Use::Opaque, true},
    {img::size::pyr[2], Use::Opaque, true},
    {img::size::pyr[3], Use::Opaque, true},
    {img::size::pyr[4], Use::Opaque, true},
    {img::size::pyr[5], Use::Opaque, true},
    {img::size::pyr00, Use::Opaque, true},
    {img::size::formula, Use::Opaque, true},
    {img::size::formula2, Use::Opaque, true},
    {img::size::formula3, Use::Opaque, true},
    {img::size::studio, Use::Opaque, true},
    {img::size::ibm360, Use::Opaque, true},
    {img::size::rayflare, Use::Opaque, true},
    {img::size::dovo, Use::Opaque, true},
    {img::size::optimal, Use::Opaque, true},
    {img::size::grunsel, Use::Texture, true},
    {img::size::green, Use::Texture, true},
    {img::size::camera, Use::Keyed, false},
    {img::size::ear, Use::Keyed, false},
    {img::size::earphone, Use::Keyed, false},
    {img::size::eye, Use::Keyed, false},
    {img::size::loudhail, Use::Keyed, false},
    {img::size::magtape, Use::Keyed, false},
    {img::size::roundabo, Use::Keyed, false},
    {img::size::synth, Use::Keyed, false},
    {img::size::satellit, Use::Keyed, false},
    {img::size::vestor, Use::Keyed, false},
    {img::size::quorle, Use::Keyed, false},
    {img::size::muzeek, Use::Keyed, false},
    {img::size::codepix, Use::Keyed, false},
    {img::size::n3deng, Use::Keyed, false},
    {img::size::fenwy, Use::Keyed, false},
    {img::size::addcode, Use::Keyed, false},
    {img::size::sorvel, Use::Keyed, false},
    {img::size::ostrin3, Use::Keyed, false},
    {img::size::ostrin11, Use::Keyed, false},
    {img::size::greets2, Use::Keyed, true},
    {img::size::k, Use::Additive, false},
    {img::size::alert, Use::Keyed, false},
    {img::size::exercise, Use::Keyed, false},
    {img::size::partcool, Use::Keyed, false},
    {img::size::molecule, Use::Keyed, false},
    {img::size::nrg, Use::Keyed, false},
    {img::size::headache, Use::Keyed, false},
    {img::size::zorbel_2, Use::Keyed, false},
    {img::size::desint, Use::Additive, false},
    {img::size::meta, Use::Additive, false},
    {img::size::tremo, Use::Additive, false},
    {img::size::xfrmd, Use::Additive, false},
    {img::size::xfrmd2, Use::Additive, false},
    {img::size::unity, Use::Opaque, true},
    {img::size::kickass, Use::Opaque, true},
    {img::size::sol, Use::Texture, true},
    {img::size::col, Use::Texture, true},
    {img::size::col2, Use::Texture, true},
    {img::size::fond, Use::Texture, true},
    {img::size::weeve, Use::Texture, true},
    {img::size::banner[0], Use::Additive, false},
    {img::size::banner[1], Use::Additive, false},
    {img::size::banner[2], Use::Additive, false},
    {img::size::banner[3], Use::Additive, false},
    {img::size::banner[4], Use::Additive, false},
    {img::size::banner[5], Use::Additive, false},
    {img::size::banner[6], Use::Additive, false},
    {img::size::banner[7], Use::Additive, false},
    {img::size::binary1, Use::Additive, false},
    {img::size::binary2, Use::Additive, false},
    {img::size::pattern1, Use::Pattern, false},
    {img::size::pattern2, Use::Pattern, true},
};
constexpr int kPictureFileCount = sizeof(kPictureFiles) / sizeof(kPictureFiles[0]);

// The generator writes exactly the files the loader reads, in its order.
constexpr bool writesTheBank() {
    if (kPictureFileCount != img::kImageCount + img::kPatternCount) return false;
    for (int i = 0; i < kPictureFileCount; ++i) {
        const PictureFile& f = kPictureFiles[i];
        if (!img::sameImage({f.name, f.width, f.height}, *img::kBankFiles[i])) return false;
    }
    return true;
}
static_assert(writesTheBank(), "kPictureFiles lists the files of img::kBankFiles in their order");

// A non-key pixel this close to the key would show as a stray fringe of the
// key colour next to transparent pixels; the generator never writes one.
constexpr bool nearKey(int r, int g, int b) {
    return !(r == 0 && g == 0 && b == 255) && r <= 48 && g <= 48 && b >= 160;
}

constexpr int kShapeCount = 7;

}  // namespace pic
