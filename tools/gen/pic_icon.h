// plivak-data --icons DIR: the menu icon, drawn from the show's opening
// pyramid picture, as the freedesktop icon theme lays it out:
// DIR/hicolor/NxN/apps/plivak.png for each size below, and
// DIR/hicolor/scalable/apps/plivak.svg. DIR ends with '/'.
#pragma once

#include <string>

constexpr int kIconSizes[] = {48, 64, 128, 256};
constexpr double kIconSvgSide = 256;  // the scalable icon's nominal size in pixels

bool writeIcons(const std::string& dir);
