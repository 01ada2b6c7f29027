// The pictures plivak-data writes: every ".rgb" and ".gra" file with its size,
// how the demo draws it, and whether it is stored gzip-compressed. The tests
// read the files back against this table.
#pragma once

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
};

constexpr unsigned kKeyColour = 0x0000FF;

constexpr PictureFile kPictureFiles[] = {
    {"openptc.rgb", 320, 200, Use::Opaque, true},
    {"linux-in.rgb", 320, 200, Use::Opaque, true},
    {"plivak2.rgb", 320, 102, Use::Opaque, false},
    {"square.rgb", 320, 200, Use::Opaque, true},
    {"greets.rgb", 1024, 80, Use::Strip, true},
    {"pyr0.rgb", 320, 200, Use::Opaque, true},
    {"pyr1.rgb", 320, 200, Use::Opaque, true},
    {"pyr2.rgb", 320, 200, Use::Opaque, true},
    {"pyr3.rgb", 320, 200, Use::Opaque, true},
    {"pyr4.rgb", 320, 200, Use::Opaque, true},
    {"pyr5.rgb", 320, 200, Use::Opaque, true},
    {"pyr00.rgb", 320, 200, Use::Opaque, true},
    {"formula.rgb", 320, 200, Use::Opaque, true},
    {"formula2.rgb", 320, 200, Use::Opaque, true},
    {"formula3.rgb", 320, 200, Use::Opaque, true},
    {"studio.rgb", 320, 200, Use::Opaque, true},
    {"ibm360.rgb", 320, 200, Use::Opaque, true},
    {"rayflare.rgb", 320, 200, Use::Opaque, true},
    {"dovo.rgb", 320, 200, Use::Opaque, true},
    {"optimal.rgb", 320, 200, Use::Opaque, true},
    {"grunsel.rgb", 256, 256, Use::Texture, true},
    {"green.rgb", 256, 256, Use::Texture, true},
    {"camera.rgb", 107, 99, Use::Keyed, false},
    {"ear.rgb", 79, 133, Use::Keyed, false},
    {"earphone.rgb", 105, 117, Use::Keyed, false},
    {"eye.rgb", 143, 79, Use::Keyed, false},
    {"loudhail.rgb", 166, 127, Use::Keyed, false},
    {"magtape.rgb", 114, 113, Use::Keyed, false},
    {"roundabo.rgb", 107, 116, Use::Keyed, false},
    {"synth.rgb", 148, 126, Use::Keyed, false},
    {"satellit.rgb", 142, 106, Use::Keyed, false},
    {"vestor.rgb", 145, 70, Use::Keyed, false},
    {"quorle.rgb", 124, 29, Use::Keyed, false},
    {"muzeek.rgb", 75, 29, Use::Keyed, false},
    {"codepix.rgb", 88, 60, Use::Keyed, false},
    {"3deng.rgb", 99, 44, Use::Keyed, false},
    {"fenwy.rgb", 101, 39, Use::Keyed, false},
    {"addcode.rgb", 85, 22, Use::Keyed, false},
    {"sorvel.rgb", 76, 38, Use::Keyed, false},
    {"ostrin3.rgb", 98, 140, Use::Keyed, false},
    {"ostrin11.rgb", 175, 200, Use::Keyed, false},
    {"greets2.rgb", 320, 200, Use::Keyed, true},
    {"k.rgb", 114, 101, Use::Additive, false},
    {"alert.rgb", 127, 21, Use::Keyed, false},
    {"exercise.rgb", 206, 25, Use::Keyed, false},
    {"partcool.rgb", 170, 35, Use::Keyed, false},
    {"molecule.rgb", 254, 37, Use::Keyed, false},
    {"nrg.rgb", 258, 29, Use::Keyed, false},
    {"headache.rgb", 262, 91, Use::Keyed, false},
    {"zorbel_2.rgb", 235, 50, Use::Keyed, false},
    {"desint.rgb", 49, 370, Use::Additive, false},
    {"meta.rgb", 194, 70, Use::Additive, false},
    {"tremo.rgb", 294, 158, Use::Additive, false},
    {"xfrmd.rgb", 50, 180, Use::Additive, false},
    {"xfrmd2.rgb", 50, 180, Use::Additive, false},
    {"unity.rgb", 320, 200, Use::Opaque, true},
    {"kickass.rgb", 320, 200, Use::Opaque, true},
    {"sol.rgb", 256, 256, Use::Texture, true},
    {"col.rgb", 256, 256, Use::Texture, true},
    {"col2.rgb", 256, 256, Use::Texture, true},
    {"fond.rgb", 256, 256, Use::Texture, true},
    {"weeve.rgb", 256, 256, Use::Texture, true},
    {"banner21.rgb", 320, 50, Use::Additive, false},
    {"banner22.rgb", 320, 50, Use::Additive, false},
    {"banner23.rgb", 320, 50, Use::Additive, false},
    {"banner24.rgb", 320, 50, Use::Additive, false},
    {"banner25.rgb", 320, 50, Use::Additive, false},
    {"banner26.rgb", 320, 50, Use::Additive, false},
    {"banner27.rgb", 320, 50, Use::Additive, false},
    {"banner28.rgb", 320, 50, Use::Additive, false},
    {"binary1.rgb", 64, 400, Use::Additive, false},
    {"binary2.rgb", 64, 400, Use::Additive, false},
    {"pattern1.gra", 320, 200, Use::Pattern, false},
    {"pattern2.gra", 320, 200, Use::Pattern, true},
};
constexpr int kPictureFileCount = sizeof(kPictureFiles) / sizeof(kPictureFiles[0]);

// A non-key pixel this close to the key would show as a stray fringe of the
// key colour next to transparent pixels; the generator never writes one.
constexpr bool nearKey(int r, int g, int b) {
    return !(r == 0 && g == 0 && b == 255) && r <= 48 && g <= 48 && b >= 160;
}

constexpr int kShapeCount = 7;

}  // namespace pic
