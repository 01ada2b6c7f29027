// Each primitive on a full 320x200 frame, beside two floors measured in the
// same run: a plain copy of 64000 pixels and one half-blend pass of two
// frames. Times are per call.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "gfx2d/colour.h"
#include "gfx2d/effects.h"
#include "gfx2d/lines.h"
#include "gfx2d/map_table.h"
#include "gfx2d/shade_table.h"
#include "gfx2d/smear.h"
#include "gfx2d/sprite.h"
#include "gfx2d/warp.h"
#include "gfx2d/wire.h"

#include "common/frame_floors.h"

namespace {

using floors::kPixels;
using floors::picture;

struct Frames {
    std::vector<uint32_t> dst = picture(kPixels, 1);
    std::vector<uint32_t> src = picture(kPixels, 2);
    std::vector<uint32_t> texture = picture(65536, 3);
};

Frames& frames() {
    static Frames f;
    return f;
}

void Floor_Memcpy(benchmark::State& state) { floors::frameCopy(state, frames().dst.data(), frames().src.data()); }
BENCHMARK(Floor_Memcpy);

void Floor_HalfBlend(benchmark::State& state) { floors::frameHalfBlend(state, frames().dst.data(), frames().src.data()); }
BENCHMARK(Floor_HalfBlend);

template <void (Sprite::*Draw)(uint32_t*) const>
void SpriteFullFrame(benchmark::State& state) {
    Frames& f = frames();
    Sprite s(f.src.data(), 320, 200, f.src[5]);
    for (auto _ : state) {
        (s.*Draw)(f.dst.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(SpriteFullFrame<&Sprite::drawKeyed>)->Name("Sprite_DrawKeyed");
BENCHMARK(SpriteFullFrame<&Sprite::drawKeyedHalf>)->Name("Sprite_DrawKeyedHalf");
BENCHMARK(SpriteFullFrame<&Sprite::drawAdditive>)->Name("Sprite_DrawAdditive");

// 64 lines fanning across the whole screen and beyond it (clipped).
void GlowLine_Fan64(benchmark::State& state) {
    Frames& f = frames();
    for (auto _ : state) {
        for (int i = 0; i < 64; ++i) drawGlowLine(-40 + i * 6, -30, 360 - i * 6, 230, 0xFFC080, f.dst.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(GlowLine_Fan64);

void Rect_Fill(benchmark::State& state) {
    Frames& f = frames();
    for (auto _ : state) {
        fillRect(0, 0, 320, 200, 0x102030, f.dst.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(Rect_Fill);

void Rect_Blend(benchmark::State& state) {
    Frames& f = frames();
    for (auto _ : state) {
        blendRect(0, 0, 320, 200, 0x102030, f.dst.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(Rect_Blend);

void Rect_Copy(benchmark::State& state) {
    Frames& f = frames();
    for (auto _ : state) {
        copyRect(0, 0, 320, 200, f.src.data(), f.dst.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(Rect_Copy);

void MaskWipe_Reveal(benchmark::State& state) {
    Frames& f = frames();
    std::vector<uint8_t> mask(kPixels);
    for (int i = 0; i < kPixels; ++i) mask[i] = static_cast<uint8_t>(f.src[i]);
    MaskWipe wipe(mask.data(), f.src.data());
    for (auto _ : state) {
        wipe.level = (wipe.level + 1) & 255;
        wipe.revealLevel(f.dst.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(MaskWipe_Reveal);

void Warp_WaveA_ComputeAndRenderHalf(benchmark::State& state) {
    Frames& f = frames();
    WaveWarpA warp;
    for (auto _ : state) {
        warp.time += 1.0f;
        warp.computeGrid(WarpGrid);
        renderGridHalf(WarpGrid, f.texture.data(), f.dst.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(Warp_WaveA_ComputeAndRenderHalf);

// The two halves of the line above on their own.
void Warp_WaveA_ComputeGrid(benchmark::State& state) {
    WaveWarpA warp;
    for (auto _ : state) {
        warp.time += 1.0f;
        warp.computeGrid(WarpGrid);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(Warp_WaveA_ComputeGrid);

void Warp_RenderHalf(benchmark::State& state) {
    Frames& f = frames();
    WaveWarpA warp;
    warp.time = 50.0f;
    warp.computeGrid(WarpGrid);
    for (auto _ : state) {
        renderGridHalf(WarpGrid, f.texture.data(), f.dst.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(Warp_RenderHalf);

void Warp_Plane_ComputeAndRenderShaded(benchmark::State& state) {
    Frames& f = frames();
    std::vector<uint8_t> index(65536);
    for (int i = 0; i < 65536; ++i) index[i] = static_cast<uint8_t>(f.texture[i]);
    const ShadeTable shade(f.texture.data(), 0, 0xFFFFFF);
    PlaneWarp warp;
    warp.wobble = 8.0f;
    for (auto _ : state) {
        warp.a1 += 0.01f;
        warp.computeGrid(WarpGrid);
        renderGridShaded(WarpGrid, index.data(), shade, f.dst.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(Warp_Plane_ComputeAndRenderShaded);

void Map_Draw(benchmark::State& state) {
    Frames& f = frames();
    auto table = std::make_unique<MapTable>(TunnelMap(4096.0f));
    for (auto _ : state) {
        table->offset += 257;
        table->draw(f.dst.data(), f.texture.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(Map_Draw);

void Map_DrawHalf(benchmark::State& state) {
    Frames& f = frames();
    auto table = std::make_unique<MapTable>(PolarMap(128.0f));
    for (auto _ : state) {
        table->offset += 257;
        table->drawHalf(f.dst.data(), f.texture.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(Map_DrawHalf);

void BigMap_Draw(benchmark::State& state) {
    Frames& f = frames();
    auto table = std::make_unique<BigMapTable>(InversionMap(2048.0f));
    int32_t step = 0;
    for (auto _ : state) {
        table->window = (step++ % 200) * 641;
        table->draw(f.dst.data(), f.texture.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BigMap_Draw);

void Blobs_UpdateAndDraw(benchmark::State& state) {
    Frames& f = frames();
    BlobField blobs(10, f.src.data(), 128);
    float t = 0.0f;
    for (auto _ : state) {
        blobs.update(t += 1.0f);
        blobs.draw(f.dst.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(Blobs_UpdateAndDraw);

void Curve_UpdateAndDraw(benchmark::State& state) {
    Frames& f = frames();
    CurveWire curve(30, 50.0f, 160.0f, 100.0f);
    float t = 0.0f;
    for (auto _ : state) {
        curve.update(t += 1.0f);
        curve.draw(f.dst.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(Curve_UpdateAndDraw);

void Twist_Draw(benchmark::State& state) {
    Frames& f = frames();
    static std::vector<uint32_t> strips = picture(1024 * 80, 4);
    TwistScroller scroller(strips.data(), 1024, 80, 0, 320);
    scroller.rightTwist = 300;
    for (auto _ : state) {
        scroller.scroll = (scroller.scroll + 1) & 511;
        scroller.wavePhase += 1.0f;
        scroller.draw(f.dst.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(Twist_Draw);

void Wire_Cube(benchmark::State& state) {
    Frames& f = frames();
    WireCube cube(100.0f, 0xFFFFFF, 160.0f, 100.0f, 256.0f);
    float a = 0.0f;
    for (auto _ : state) {
        cube.matrix.setRotation(a, a * 0.7f, a * 0.3f);
        a += 0.01f;
        cube.drawCube(f.dst.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(Wire_Cube);

void Wire_Lattice(benchmark::State& state) {
    Frames& f = frames();
    WireLattice lattice(20.0f, 0x80FFFF, 160.0f, 100.0f, 300.0f);
    float a = 0.0f;
    for (auto _ : state) {
        lattice.matrix.setRotation(a, a * 0.7f, a * 0.3f);
        a += 0.01f;
        lattice.drawSegments(f.dst.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(Wire_Lattice);

void Wire_DotCube10(benchmark::State& state) {
    Frames& f = frames();
    DotCube cube(10, 70.0f, 0xFFFFFF, 160.0f, 100.0f, 512.0f);
    cube.scaleX = cube.scaleY = 64.0f;
    float a = 0.0f;
    for (auto _ : state) {
        cube.matrix.setRotation(a, a * 0.7f, 0.0f);
        cube.twistEnd = a;
        a += 0.01f;
        cube.drawDots(f.dst.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(Wire_DotCube10);

// One frame of the centre smear over the whole picture. The picture washes
// out to white over the run, which costs the smear the same.
void Smear_Frame(benchmark::State& state) {
    Frames& f = frames();
    std::vector<uint32_t> frame = f.src;
    for (auto _ : state) {
        for (int y = 0; y < 200; y += 2) smearRows(frame.data() + y * 320, frame.data() + (y + 1) * 320);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(Smear_Frame);

}  // namespace
