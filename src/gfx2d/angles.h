// The angle constant every layer shares: single precision, radians.
#pragma once

constexpr float kPi = 3.14159265358979323846f;
