// The image bank: every picture of the demo, decoded once at start-up by
// LoadImageBank and kept until the process ends. Each image is named after
// its file ("../data/NAME.rgb"), 0x00RRGGBB pixels, row-major, pitch = width;
// its size is in data/image_sizes.h.
// Names that are not identifiers: "linux-in" is linux_in, "3deng" is n3deng.
#pragma once

#include <cstdint>

#include "data/image_sizes.h"
#include "gfx2d/sprite.h"

namespace img {

// One ".rgb" file of the bank and the array it is read into.
struct ImageFile {
    const char* file;  // name in the data folder
    int width;
    int height;
    uint32_t* pixels;

    constexpr ImageFile(const ImageSize& size, uint32_t* array)
        : file(size.file), width(size.width), height(size.height), pixels(array) {}
};
// The 72 ".rgb" files in load order (kBankFiles).
extern const ImageFile kImageFiles[kImageCount];

// A sprite showing the whole of an image of the bank.
inline Sprite sprite(const uint32_t* pixels, const ImageSize& size, uint32_t key) {
    return Sprite(pixels, size.width, size.height, key);
}

extern uint32_t openptc[size::openptc.pixels()];
extern uint32_t linux_in[size::linux_in.pixels()];
extern uint32_t plivak2[size::plivak2.pixels()];
extern uint32_t square[size::square.pixels()];
extern uint32_t greets[size::greets.pixels()];
extern uint32_t pyr00[size::pyr00.pixels()];
extern uint32_t formula[size::formula.pixels()];
extern uint32_t formula2[size::formula2.pixels()];
extern uint32_t formula3[size::formula3.pixels()];
extern uint32_t studio[size::studio.pixels()];
extern uint32_t ibm360[size::ibm360.pixels()];
extern uint32_t rayflare[size::rayflare.pixels()];
extern uint32_t dovo[size::dovo.pixels()];
extern uint32_t optimal[size::optimal.pixels()];
extern uint32_t grunsel[size::grunsel.pixels()];
extern uint32_t green[size::green.pixels()];
extern uint32_t camera[size::camera.pixels()];
extern uint32_t ear[size::ear.pixels()];
extern uint32_t earphone[size::earphone.pixels()];
extern uint32_t eye[size::eye.pixels()];
extern uint32_t loudhail[size::loudhail.pixels()];
extern uint32_t magtape[size::magtape.pixels()];
extern uint32_t roundabo[size::roundabo.pixels()];
extern uint32_t synth[size::synth.pixels()];
extern uint32_t satellit[size::satellit.pixels()];
extern uint32_t vestor[size::vestor.pixels()];
extern uint32_t quorle[size::quorle.pixels()];
extern uint32_t muzeek[size::muzeek.pixels()];
extern uint32_t codepix[size::codepix.pixels()];
extern uint32_t n3deng[size::n3deng.pixels()];
extern uint32_t fenwy[size::fenwy.pixels()];
extern uint32_t addcode[size::addcode.pixels()];
extern uint32_t sorvel[size::sorvel.pixels()];
extern uint32_t ostrin3[size::ostrin3.pixels()];
extern uint32_t ostrin11[size::ostrin11.pixels()];
extern uint32_t greets2[size::greets2.pixels()];
extern uint32_t k[size::k.pixels()];
extern uint32_t alert[size::alert.pixels()];
extern uint32_t exercise[size::exercise.pixels()];
extern uint32_t partcool[size::partcool.pixels()];
extern uint32_t molecule[size::molecule.pixels()];
extern uint32_t nrg[size::nrg.pixels()];
extern uint32_t headache[size::headache.pixels()];
extern uint32_t zorbel_2[size::zorbel_2.pixels()];
extern uint32_t desint[size::desint.pixels()];
extern uint32_t meta[size::meta.pixels()];
extern uint32_t tremo[size::tremo.pixels()];
extern uint32_t xfrmd[size::xfrmd.pixels()];
extern uint32_t xfrmd2[size::xfrmd2.pixels()];
extern uint32_t unity[size::unity.pixels()];
extern uint32_t kickass[size::kickass.pixels()];
extern uint32_t sol[size::sol.pixels()];
extern uint32_t col[size::col.pixels()];
extern uint32_t col2[size::col2.pixels()];
extern uint32_t fond[size::fond.pixels()];
extern uint32_t weeve[size::weeve.pixels()];
extern uint32_t binary1[size::binary1.pixels()];
extern uint32_t binary2[size::binary2.pixels()];

// "pyr0" .. "pyr5", one after the other: frame k starts at pyr[k].
extern uint32_t pyr[6][size::pyr[0].pixels()];
// "banner21" .. "banner28", one after the other.
extern uint32_t banner[8][size::banner[0].pixels()];

// The two byte patterns "pattern1.gra" and "pattern2.gra".
extern uint8_t pattern1[size::pattern1.pixels()];
extern uint8_t pattern2[size::pattern2.pixels()];

}  // namespace img
