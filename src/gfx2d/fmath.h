// Sine, cosine and arctangent computed by our own code from IEEE basic
// operations only (+, -, *, /, sqrt), so that every build of the demo gets
// the same bits: the maths libraries of different C runtimes round the
// last bit of these functions differently, and a last bit can move a
// pixel. The float forms are computed in double and rounded once, which
// makes them correctly rounded in all but the rarest halfway cases; the
// double forms are within about one unit in the last place.
//
// Call them as fm::sin(x) where std::sin(x) would be: the overloads pick
// float or double from the argument as the standard ones do.
#pragma once

namespace fm {

double sin(double x);
double cos(double x);
double atan(double x);
double atan2(double y, double x);

inline float sin(float x) { return static_cast<float>(sin(static_cast<double>(x))); }
inline float cos(float x) { return static_cast<float>(cos(static_cast<double>(x))); }
inline float atan(float x) { return static_cast<float>(atan(static_cast<double>(x))); }
inline float atan2(float y, float x) { return static_cast<float>(atan2(static_cast<double>(y), static_cast<double>(x))); }

}  // namespace fm
