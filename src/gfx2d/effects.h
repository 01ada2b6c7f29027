// Three effect objects built once at start-up and stepped by the parts: a
// blob field revealing a picture, a spinning wire curve and a twisting bar
// scroller.
#pragma once

#include <cstdint>
#include <memory>

#include "gfx2d/lines.h"

struct Blob {
    int32_t x;
    int32_t y;
    int32_t strength;  // scales the falloff; 512 .. 1024 on the blobs' path
};

// Metaballs on a 4-pixel grid: where the field exceeds threshold the picture
// shows through; elsewhere the destination keeps its pixels.
class BlobField {
public:
    static constexpr int kFalloffRows = 200;
    static constexpr int kFalloffColumns = 512;
    static constexpr int kFieldColumns = 81;  // grid x = 0, 4, .. 320
    static constexpr int kFieldRows = 51;     // grid y = 0, 4, .. 200

    std::unique_ptr<Blob[]> blobs;
    int32_t blobCount;
    // Entry (dy, dx) at dy*512 + dx: int(65536 / max(distance, 0.3)).
    std::unique_ptr<int32_t[]> falloff;
    // Column-major: entry column*51 + row; values 0 .. 255.
    uint32_t field[kFieldColumns * kFieldRows];
    uint32_t threshold;
    const uint32_t* picture;  // 320x200, not owned

    BlobField(int32_t count, const uint32_t* picture, uint32_t threshold);
    // Moves the blobs along their paths for time t.
    void update(float t);
    // Computes the field and copies the picture where it is strong.
    void draw(uint32_t* dst);
};

// An open white polyline that winds and spins with time.
class CurveWire {
public:
    int32_t pointCount;
    float centreX;
    float centreY;
    float scale;
    std::unique_ptr<Point2i[]> points;

    CurveWire(int32_t count, float scale, float centreX, float centreY);
    void update(float t);
    void draw(uint32_t* dst) const;
};

// A long picture shown as a row of twisting bars with a sine wobble. The
// picture is sourceColumns strips of height consecutive pixels; screen
// column screenX + i shows strip scroll + i, wrapped into 0 .. sourceColumns-1.
class TwistScroller {
public:
    static constexpr int kTwistSteps = 128;

    int32_t faceA[kTwistSteps];  // int(cos(k*pi/256) * H256)
    int32_t faceB[kTwistSteps];  // int(cos((128-k)*pi/256) * H256)
    int32_t sourceColumns;
    int32_t height;
    int32_t screenX;
    int32_t columns;
    int32_t leftTwist = 0;   // twist index at the first drawn column
    int32_t rightTwist = 0;  // twist index at the last drawn column
    int32_t scroll = 0;      // first strip shown
    int32_t H256;            // height * 256, 24.8 fixed point
    const uint32_t* picture;
    float wavePhase = 0.0f;  // set by the part before each draw
    float waveStep = 1.0f;

    TwistScroller(const uint32_t* picture, int32_t sourceColumns, int32_t height, int32_t screenX,
                  int32_t columns);
    // Blends the bars into dst; rows and columns outside the buffer are skipped.
    void draw(uint32_t* dst) const;
};
