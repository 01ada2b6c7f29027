// The image bank: every picture of the demo, decoded once at start-up by
// LoadImageBank and kept until the process ends. Each image is named after
// its file ("../data/NAME.rgb"), 0x00RRGGBB pixels, row-major, pitch = width.
// Names that are not identifiers: "linux-in" is linux_in, "3deng" is n3deng.
#pragma once

#include <cstdint>

namespace img {

// One row of the file table: name without folder and extension, size.
struct ImageFile {
    const char* name;
    int width;
    int height;
    uint32_t* pixels;
};
// The 72 ".rgb" files in load order.
constexpr int kImageCount = 72;
extern const ImageFile kImageFiles[kImageCount];

extern uint32_t openptc[320 * 200];
extern uint32_t linux_in[320 * 200];
extern uint32_t plivak2[320 * 102];
extern uint32_t square[320 * 200];
extern uint32_t greets[1024 * 80];
extern uint32_t pyr00[320 * 200];
extern uint32_t formula[320 * 200];
extern uint32_t formula2[320 * 200];
extern uint32_t formula3[320 * 200];
extern uint32_t studio[320 * 200];
extern uint32_t ibm360[320 * 200];
extern uint32_t rayflare[320 * 200];
extern uint32_t dovo[320 * 200];
extern uint32_t optimal[320 * 200];
extern uint32_t grunsel[256 * 256];
extern uint32_t green[256 * 256];
extern uint32_t camera[107 * 99];
extern uint32_t ear[79 * 133];
extern uint32_t earphone[105 * 117];
extern uint32_t eye[143 * 79];
extern uint32_t loudhail[166 * 127];
extern uint32_t magtape[114 * 113];
extern uint32_t roundabo[107 * 116];
extern uint32_t synth[148 * 126];
extern uint32_t satellit[142 * 106];
extern uint32_t vestor[145 * 70];
extern uint32_t quorle[124 * 29];
extern uint32_t muzeek[75 * 29];
extern uint32_t codepix[88 * 60];
extern uint32_t n3deng[99 * 44];
extern uint32_t fenwy[101 * 39];
extern uint32_t addcode[85 * 22];
extern uint32_t sorvel[76 * 38];
extern uint32_t ostrin3[98 * 140];
extern uint32_t ostrin11[175 * 200];
extern uint32_t greets2[320 * 200];
extern uint32_t k[114 * 101];
extern uint32_t alert[127 * 21];
extern uint32_t exercise[206 * 25];
extern uint32_t partcool[170 * 35];
extern uint32_t molecule[254 * 37];
extern uint32_t nrg[258 * 29];
extern uint32_t headache[262 * 91];
extern uint32_t zorbel_2[235 * 50];
extern uint32_t desint[49 * 370];
extern uint32_t meta[194 * 70];
extern uint32_t tremo[294 * 158];
extern uint32_t xfrmd[50 * 180];
extern uint32_t xfrmd2[50 * 180];
extern uint32_t unity[320 * 200];
extern uint32_t kickass[320 * 200];
extern uint32_t sol[256 * 256];
extern uint32_t col[256 * 256];
extern uint32_t col2[256 * 256];
extern uint32_t fond[256 * 256];
extern uint32_t weeve[256 * 256];
extern uint32_t binary1[64 * 400];
extern uint32_t binary2[64 * 400];

// "pyr0" .. "pyr5", one after the other: frame k starts at pyr[k].
extern uint32_t pyr[6][320 * 200];
// "banner21" .. "banner28", one after the other.
extern uint32_t banner[8][320 * 50];

// The two byte patterns "pattern1.gra" and "pattern2.gra".
extern uint8_t pattern1[64000];
extern uint8_t pattern2[64000];

}  // namespace img
