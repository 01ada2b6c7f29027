// The frame every layer draws into: 320x200 pixels of 0x00RRGGBB, row
// after row. Its size is stated here only; everything that walks or
// clips a frame uses these names.
#pragma once

constexpr int kFrameWidth = 320;
constexpr int kFrameHeight = 200;
constexpr int kFramePitch = kFrameWidth;  // pixels from a row to the next
constexpr int kFramePixels = kFrameWidth * kFrameHeight;
