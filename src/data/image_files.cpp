// The file table of the image bank, in load order.
#include "data/image_bank.h"

namespace img {

namespace store {
uint32_t openptc[size::openptc.pixels()];
uint32_t linux_in[size::linux_in.pixels()];
uint32_t plivak2[size::plivak2.pixels()];
uint32_t square[size::square.pixels()];
uint32_t greets[size::greets.pixels()];
uint32_t pyr00[size::pyr00.pixels()];
uint32_t formula[size::formula.pixels()];
uint32_t formula2[size::formula2.pixels()];
uint32_t formula3[size::formula3.pixels()];
uint32_t studio[size::studio.pixels()];
uint32_t ibm360[size::ibm360.pixels()];
uint32_t rayflare[size::rayflare.pixels()];
uint32_t dovo[size::dovo.pixels()];
uint32_t optimal[size::optimal.pixels()];
uint32_t grunsel[size::grunsel.pixels()];
uint32_t green[size::green.pixels()];
uint32_t camera[size::camera.pixels()];
uint32_t ear[size::ear.pixels()];
uint32_t earphone[size::earphone.pixels()];
uint32_t eye[size::eye.pixels()];
uint32_t loudhail[size::loudhail.pixels()];
uint32_t magtape[size::magtape.pixels()];
uint32_t roundabo[size::roundabo.pixels()];
uint32_t synth[size::synth.pixels()];
uint32_t satellit[size::satellit.pixels()];
uint32_t vestor[size::vestor.pixels()];
uint32_t quorle[size::quorle.pixels()];
uint32_t muzeek[size::muzeek.pixels()];
uint32_t codepix[size::codepix.pixels()];
uint32_t n3deng[size::n3deng.pixels()];
uint32_t fenwy[size::fenwy.pixels()];
uint32_t addcode[size::addcode.pixels()];
uint32_t sorvel[size::sorvel.pixels()];
uint32_t ostrin3[size::ostrin3.pixels()];
uint32_t ostrin11[size::ostrin11.pixels()];
uint32_t greets2[size::greets2.pixels()];
uint32_t k[size::k.pixels()];
uint32_t alert[size::alert.pixels()];
uint32_t exercise[size::exercise.pixels()];
uint32_t partcool[size::partcool.pixels()];
uint32_t molecule[size::molecule.pixels()];
uint32_t nrg[size::nrg.pixels()];
uint32_t headache[size::headache.pixels()];
uint32_t zorbel_2[size::zorbel_2.pixels()];
uint32_t desint[size::desint.pixels()];
uint32_t meta[size::meta.pixels()];
uint32_t tremo[size::tremo.pixels()];
uint32_t xfrmd[size::xfrmd.pixels()];
uint32_t xfrmd2[size::xfrmd2.pixels()];
uint32_t unity[size::unity.pixels()];
uint32_t kickass[size::kickass.pixels()];
uint32_t sol[size::sol.pixels()];
uint32_t col[size::col.pixels()];
uint32_t col2[size::col2.pixels()];
uint32_t fond[size::fond.pixels()];
uint32_t weeve[size::weeve.pixels()];
uint32_t binary1[size::binary1.pixels()];
uint32_t binary2[size::binary2.pixels()];
uint32_t pyr[6][size::pyr[0].pixels()];
uint32_t banner[8][size::banner[0].pixels()];
}  // namespace store

uint8_t pattern1[size::pattern1.pixels()];
uint8_t pattern2[size::pattern2.pixels()];

constexpr ImageFile kImageFiles[kImageCount] = {
    {size::openptc, store::openptc},
    {size::linux_in, store::linux_in},
    {size::plivak2, store::plivak2},
    {size::square, store::square},
    {size::greets, store::greets},
    {size::pyr[0], store::pyr[0]},
    {size::pyr[1], store::pyr[1]},
    {size::pyr[2], store::pyr[2]},
    {size::pyr[3], store::pyr[3]},
    {size::pyr[4], store::pyr[4]},
    {size::pyr[5], store::pyr[5]},
    {size::pyr00, store::pyr00},
    {size::formula, store::formula},
    {size::formula2, store::formula2},
    {size::formula3, store::formula3},
    {size::studio, store::studio},
    {size::ibm360, store::ibm360},
    {size::rayflare, store::rayflare},
    {size::dovo, store::dovo},
    {size::optimal, store::optimal},
    {size::grunsel, store::grunsel},
    {size::green, store::green},
    {size::camera, store::camera},
    {size::ear, store::ear},
    {size::earphone, store::earphone},
    {size::eye, store::eye},
    {size::loudhail, store::loudhail},
    {size::magtape, store::magtape},
    {size::roundabo, store::roundabo},
    {size::synth, store::synth},
    {size::satellit, store::satellit},
    {size::vestor, store::vestor},
    {size::quorle, store::quorle},
    {size::muzeek, store::muzeek},
    {size::codepix, store::codepix},
    {size::n3deng, store::n3deng},
    {size::fenwy, store::fenwy},
    {size::addcode, store::addcode},
    {size::sorvel, store::sorvel},
    {size::ostrin3, store::ostrin3},
    {size::ostrin11, store::ostrin11},
    {size::greets2, store::greets2},
    {size::k, store::k},
    {size::alert, store::alert},
    {size::exercise, store::exercise},
    {size::partcool, store::partcool},
    {size::molecule, store::molecule},
    {size::nrg, store::nrg},
    {size::headache, store::headache},
    {size::zorbel_2, store::zorbel_2},
    {size::desint, store::desint},
    {size::meta, store::meta},
    {size::tremo, store::tremo},
    {size::xfrmd, store::xfrmd},
    {size::xfrmd2, store::xfrmd2},
    {size::unity, store::unity},
    {size::kickass, store::kickass},
    {size::sol, store::sol},
    {size::col, store::col},
    {size::col2, store::col2},
    {size::fond, store::fond},
    {size::weeve, store::weeve},
    {size::banner[0], store::banner[0]},
    {size::banner[1], store::banner[1]},
    {size::banner[2], store::banner[2]},
    {size::banner[3], store::banner[3]},
    {size::banner[4], store::banner[4]},
    {size::banner[5], store::banner[5]},
    {size::banner[6], store::banner[6]},
    {size::banner[7], store::banner[7]},
    {size::binary1, store::binary1},
    {size::binary2, store::binary2},
};

namespace {

constexpr bool inBankOrder() {
    for (int i = 0; i < kImageCount; ++i)
        if (!sameImage({kImageFiles[i].file, kImageFiles[i].width, kImageFiles[i].height}, *kBankFiles[i]))
            return false;
    return true;
}
static_assert(inBankOrder(), "kImageFiles lists the images of kBankFiles in its order");

}  // namespace

}  // namespace img
