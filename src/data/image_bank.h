// The image bank: every picture of the demo, decoded once at start-up by
// LoadImageBank and kept until the process ends. Each image is named after
// its file ("../data/NAME.rgb"), 0x00RRGGBB pixels, row-major, pitch = width;
// its size is in data/image_sizes.h. A part names an image once: img::ear
// is a handle that carries the pixels and the size together.
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

// An image of the bank: its pixels and its size, so that the two cannot be
// paired wrongly. It converts to its pixels, so a routine that walks a
// picture of known size (a whole frame, a texture) takes the handle as it
// took the array.
struct Image {
    uint32_t* pixels;
    int width;
    int height;

    constexpr Image(uint32_t* array, const ImageSize& size)
        : pixels(array), width(size.width), height(size.height) {}
    constexpr operator uint32_t*() const { return pixels; }
};

// A sprite showing the whole image; pixels of colour key are transparent.
inline Sprite sprite(const Image& image, uint32_t key) {
    return Sprite(image.pixels, image.width, image.height, key);
}

// The arrays the loader reads the files into; everything else reaches
// them through the handles below.
namespace store {
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
extern uint32_t pyr[6][size::pyr[0].pixels()];
extern uint32_t banner[8][size::banner[0].pixels()];
}  // namespace store

inline constexpr Image openptc{store::openptc, size::openptc};
inline constexpr Image linux_in{store::linux_in, size::linux_in};
inline constexpr Image plivak2{store::plivak2, size::plivak2};
inline constexpr Image square{store::square, size::square};
inline constexpr Image greets{store::greets, size::greets};
inline constexpr Image pyr00{store::pyr00, size::pyr00};
inline constexpr Image formula{store::formula, size::formula};
inline constexpr Image formula2{store::formula2, size::formula2};
inline constexpr Image formula3{store::formula3, size::formula3};
inline constexpr Image studio{store::studio, size::studio};
inline constexpr Image ibm360{store::ibm360, size::ibm360};
inline constexpr Image rayflare{store::rayflare, size::rayflare};
inline constexpr Image dovo{store::dovo, size::dovo};
inline constexpr Image optimal{store::optimal, size::optimal};
inline constexpr Image grunsel{store::grunsel, size::grunsel};
inline constexpr Image green{store::green, size::green};
inline constexpr Image camera{store::camera, size::camera};
inline constexpr Image ear{store::ear, size::ear};
inline constexpr Image earphone{store::earphone, size::earphone};
inline constexpr Image eye{store::eye, size::eye};
inline constexpr Image loudhail{store::loudhail, size::loudhail};
inline constexpr Image magtape{store::magtape, size::magtape};
inline constexpr Image roundabo{store::roundabo, size::roundabo};
inline constexpr Image synth{store::synth, size::synth};
inline constexpr Image satellit{store::satellit, size::satellit};
inline constexpr Image vestor{store::vestor, size::vestor};
inline constexpr Image quorle{store::quorle, size::quorle};
inline constexpr Image muzeek{store::muzeek, size::muzeek};
inline constexpr Image codepix{store::codepix, size::codepix};
inline constexpr Image n3deng{store::n3deng, size::n3deng};
inline constexpr Image fenwy{store::fenwy, size::fenwy};
inline constexpr Image addcode{store::addcode, size::addcode};
inline constexpr Image sorvel{store::sorvel, size::sorvel};
inline constexpr Image ostrin3{store::ostrin3, size::ostrin3};
inline constexpr Image ostrin11{store::ostrin11, size::ostrin11};
inline constexpr Image greets2{store::greets2, size::greets2};
inline constexpr Image k{store::k, size::k};
inline constexpr Image alert{store::alert, size::alert};
inline constexpr Image exercise{store::exercise, size::exercise};
inline constexpr Image partcool{store::partcool, size::partcool};
inline constexpr Image molecule{store::molecule, size::molecule};
inline constexpr Image nrg{store::nrg, size::nrg};
inline constexpr Image headache{store::headache, size::headache};
inline constexpr Image zorbel_2{store::zorbel_2, size::zorbel_2};
inline constexpr Image desint{store::desint, size::desint};
inline constexpr Image meta{store::meta, size::meta};
inline constexpr Image tremo{store::tremo, size::tremo};
inline constexpr Image xfrmd{store::xfrmd, size::xfrmd};
inline constexpr Image xfrmd2{store::xfrmd2, size::xfrmd2};
inline constexpr Image unity{store::unity, size::unity};
inline constexpr Image kickass{store::kickass, size::kickass};
inline constexpr Image sol{store::sol, size::sol};
inline constexpr Image col{store::col, size::col};
inline constexpr Image col2{store::col2, size::col2};
inline constexpr Image fond{store::fond, size::fond};
inline constexpr Image weeve{store::weeve, size::weeve};
inline constexpr Image binary1{store::binary1, size::binary1};
inline constexpr Image binary2{store::binary2, size::binary2};
// "pyr0" .. "pyr5", one after the other: frame k starts at pyr[k].
inline constexpr Image pyr[6] = {
    {store::pyr[0], size::pyr[0]},
    {store::pyr[1], size::pyr[1]},
    {store::pyr[2], size::pyr[2]},
    {store::pyr[3], size::pyr[3]},
    {store::pyr[4], size::pyr[4]},
    {store::pyr[5], size::pyr[5]},
};
// "banner21" .. "banner28", one after the other.
inline constexpr Image banner[8] = {
    {store::banner[0], size::banner[0]},
    {store::banner[1], size::banner[1]},
    {store::banner[2], size::banner[2]},
    {store::banner[3], size::banner[3]},
    {store::banner[4], size::banner[4]},
    {store::banner[5], size::banner[5]},
    {store::banner[6], size::banner[6]},
    {store::banner[7], size::banner[7]},
};

// The two byte patterns "pattern1.gra" and "pattern2.gra".
extern uint8_t pattern1[size::pattern1.pixels()];
extern uint8_t pattern2[size::pattern2.pixels()];

}  // namespace img
