// What the stand-in window backend saw (fake_console.cpp).
#pragma once

#include <cstdint>

namespace probe {
constexpr int kShown = 3;
extern uint32_t shownCrc[kShown];  // the first pictures shown, in order
extern int shown;                  // presents that reached the window
extern int64_t polls;              // key polls that reached the window
}  // namespace probe
