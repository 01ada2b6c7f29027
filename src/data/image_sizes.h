// The size of every file of the image bank, written once: the loader
// (data/image_bank.h) sizes its arrays and reads its files by this table,
// the generator (tools/gen/pic_table.h) writes the files by it, and a part
// that draws a whole image takes its sprite's size from it. A ".rgb" file
// has no header, so this table is the only thing that says how to read one.
#pragma once

#include <cstdint>

namespace img {

// The colour of the transparent pixels of a cut-out picture (a sprite
// drawn keyed): pure blue. The generator paints it, the parts draw with it.
constexpr uint32_t kKeyColour = 0x0000FF;

// One file of the data folder and the picture it holds.
struct ImageSize {
    const char* file;  // the name in the data folder
    int width;
    int height;

    constexpr int pixels() const { return width * height; }
};

// True when both name the same file with the same size (a check for
// tables that must list the bank's files in its order).
constexpr bool sameImage(const ImageSize& a, const ImageSize& b) {
    const char* p = a.file;
    const char* q = b.file;
    for (; *p && *p == *q; ++p, ++q) {}
    return *p == *q && a.width == b.width && a.height == b.height;
}

// One constant per file, named as the image bank names the image ("3deng"
// is n3deng, "linux-in" linux_in); the two groups the parts index are
// arrays.
namespace size {

inline constexpr ImageSize openptc{"openptc.rgb", 320, 200};
inline constexpr ImageSize linux_in{"linux-in.rgb", 320, 200};
inline constexpr ImageSize plivak2{"plivak2.rgb", 320, 102};
inline constexpr ImageSize square{"square.rgb", 320, 200};
inline constexpr ImageSize greets{"greets.rgb", 1024, 80};
inline constexpr ImageSize pyr00{"pyr00.rgb", 320, 200};
inline constexpr ImageSize formula{"formula.rgb", 320, 200};
inline constexpr ImageSize formula2{"formula2.rgb", 320, 200};
inline constexpr ImageSize formula3{"formula3.rgb", 320, 200};
inline constexpr ImageSize studio{"studio.rgb", 320, 200};
inline constexpr ImageSize ibm360{"ibm360.rgb", 320, 200};
inline constexpr ImageSize rayflare{"rayflare.rgb", 320, 200};
inline constexpr ImageSize dovo{"dovo.rgb", 320, 200};
inline constexpr ImageSize optimal{"optimal.rgb", 320, 200};
inline constexpr ImageSize grunsel{"grunsel.rgb", 256, 256};
inline constexpr ImageSize green{"green.rgb", 256, 256};
inline constexpr ImageSize camera{"camera.rgb", 107, 99};
inline constexpr ImageSize ear{"ear.rgb", 79, 133};
inline constexpr ImageSize earphone{"earphone.rgb", 105, 117};
inline constexpr ImageSize eye{"eye.rgb", 143, 79};
inline constexpr ImageSize loudhail{"loudhail.rgb", 166, 127};
inline constexpr ImageSize magtape{"magtape.rgb", 114, 113};
inline constexpr ImageSize roundabo{"roundabo.rgb", 107, 116};
inline constexpr ImageSize synth{"synth.rgb", 148, 126};
inline constexpr ImageSize satellit{"satellit.rgb", 142, 106};
inline constexpr ImageSize vestor{"vestor.rgb", 145, 70};
inline constexpr ImageSize quorle{"quorle.rgb", 124, 29};
inline constexpr ImageSize muzeek{"muzeek.rgb", 75, 29};
inline constexpr ImageSize codepix{"codepix.rgb", 88, 60};
inline constexpr ImageSize n3deng{"3deng.rgb", 99, 44};
inline constexpr ImageSize fenwy{"fenwy.rgb", 101, 39};
inline constexpr ImageSize addcode{"addcode.rgb", 85, 22};
inline constexpr ImageSize sorvel{"sorvel.rgb", 76, 38};
inline constexpr ImageSize ostrin3{"ostrin3.rgb", 98, 140};
inline constexpr ImageSize ostrin11{"ostrin11.rgb", 175, 200};
inline constexpr ImageSize greets2{"greets2.rgb", 320, 200};
inline constexpr ImageSize k{"k.rgb", 114, 101};
inline constexpr ImageSize alert{"alert.rgb", 127, 21};
inline constexpr ImageSize exercise{"exercise.rgb", 206, 25};
inline constexpr ImageSize partcool{"partcool.rgb", 170, 35};
inline constexpr ImageSize molecule{"molecule.rgb", 254, 37};
inline constexpr ImageSize nrg{"nrg.rgb", 258, 29};
inline constexpr ImageSize headache{"headache.rgb", 262, 91};
inline constexpr ImageSize zorbel_2{"zorbel_2.rgb", 235, 50};
inline constexpr ImageSize desint{"desint.rgb", 49, 370};
inline constexpr ImageSize meta{"meta.rgb", 194, 70};
inline constexpr ImageSize tremo{"tremo.rgb", 294, 158};
inline constexpr ImageSize xfrmd{"xfrmd.rgb", 50, 180};
inline constexpr ImageSize xfrmd2{"xfrmd2.rgb", 50, 180};
inline constexpr ImageSize unity{"unity.rgb", 320, 200};
inline constexpr ImageSize kickass{"kickass.rgb", 320, 200};
inline constexpr ImageSize sol{"sol.rgb", 256, 256};
inline constexpr ImageSize col{"col.rgb", 256, 256};
inline constexpr ImageSize col2{"col2.rgb", 256, 256};
inline constexpr ImageSize fond{"fond.rgb", 256, 256};
inline constexpr ImageSize weeve{"weeve.rgb", 256, 256};
inline constexpr ImageSize binary1{"binary1.rgb", 64, 400};
inline constexpr ImageSize binary2{"binary2.rgb", 64, 400};
// "pyr0" .. "pyr5", one after the other.
inline constexpr ImageSize pyr[6] = {
    {"pyr0.rgb", 320, 200},
    {"pyr1.rgb", 320, 200},
    {"pyr2.rgb", 320, 200},
    {"pyr3.rgb", 320, 200},
    {"pyr4.rgb", 320, 200},
    {"pyr5.rgb", 320, 200},
};
// "banner21" .. "banner28", one after the other.
inline constexpr ImageSize banner[8] = {
    {"banner21.rgb", 320, 50},
    {"banner22.rgb", 320, 50},
    {"banner23.rgb", 320, 50},
    {"banner24.rgb", 320, 50},
    {"banner25.rgb", 320, 50},
    {"banner26.rgb", 320, 50},
    {"banner27.rgb", 320, 50},
    {"banner28.rgb", 320, 50},
};
// Byte patterns: one byte per pixel of a 320x200 screen.
inline constexpr ImageSize pattern1{"pattern1.gra", 320, 200};
inline constexpr ImageSize pattern2{"pattern2.gra", 320, 200};
}  // namespace size

// The 72 ".rgb" files in load order, then the two ".gra" patterns.
constexpr int kImageCount = 72;
constexpr int kPatternCount = 2;
inline constexpr const ImageSize* kBankFiles[kImageCount + kPatternCount] = {
    &size::openptc, &size::linux_in, &size::plivak2, &size::square, &size::greets, &size::pyr[0],
    &size::pyr[1], &size::pyr[2], &size::pyr[3], &size::pyr[4], &size::pyr[5], &size::pyr00,
    &size::formula, &size::formula2, &size::formula3, &size::studio, &size::ibm360, &size::rayflare,
    &size::dovo, &size::optimal, &size::grunsel, &size::green, &size::camera, &size::ear, &size::earphone,
    &size::eye, &size::loudhail, &size::magtape, &size::roundabo, &size::synth, &size::satellit,
    &size::vestor, &size::quorle, &size::muzeek, &size::codepix, &size::n3deng, &size::fenwy,
    &size::addcode, &size::sorvel, &size::ostrin3, &size::ostrin11, &size::greets2, &size::k, &size::alert,
    &size::exercise, &size::partcool, &size::molecule, &size::nrg, &size::headache, &size::zorbel_2,
    &size::desint, &size::meta, &size::tremo, &size::xfrmd, &size::xfrmd2, &size::unity, &size::kickass,
    &size::sol, &size::col, &size::col2, &size::fond, &size::weeve, &size::banner[0], &size::banner[1],
    &size::banner[2], &size::banner[3], &size::banner[4], &size::banner[5], &size::banner[6],
    &size::banner[7], &size::binary1, &size::binary2, &size::pattern1, &size::pattern2,
};

}  // namespace img
