#include "gfx2d/fmath.h"

#include <cmath>

namespace fm {
namespace {

// pi/2 in three parts of 33 significant bits each, so that k * part is
// exact for |k| < 2^20 and x - k pi/2 loses nothing to cancellation.
constexpr double kPio2Hi = 0x1.921fb544p+0;
constexpr double kPio2Mid = 0x1.0b4611a6p-34;
constexpr double kPio2Lo = 0x1.3198a2ep-69;
constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;
constexpr double kPio2 = 0x1.921fb54442d18p+0;
constexpr double kPi = 0x1.921fb54442d18p+1;
// Beyond this the three-part reduction would lose bits; the demo's angles
// stay far below it.
constexpr double kReduceLimit = 0x1p19 * kPio2;

// sin(r) and cos(r) on [-pi/4, pi/4]: minimax polynomials of degree 13
// and 14.
double sinKernel(double r) {
    const double z = r * r;
    const double p = -1.66666666666666324348e-01 +
                     z * (8.33333333332248946124e-03 +
                          z * (-1.98412698298579493134e-04 +
                               z * (2.75573137070700676789e-06 +
                                    z * (-2.50507602534068634195e-08 + z * 1.58969099521155010221e-10))));
    return r + r * z * p;
}

double cosKernel(double r) {
    const double z = r * r;
    const double p = 4.16666666666666019037e-02 +
                     z * (-1.38888888888741095749e-03 +
                          z * (2.48015872894767294178e-05 +
                               z * (-2.75573143513906633035e-07 +
                                    z * (2.08757232129817482790e-09 + z * -1.13596475577881948265e-11))));
    const double hz = 0.5 * z;
    const double w = 1.0 - hz;
    // 1 - z/2 rounds; its rounding error goes back in with the tail.
    return w + (((1.0 - w) - hz) + z * z * p);
}

// x - k pi/2 for the nearest k, with k mod 4 in quadrant. Slow (a
// division) but exact enough beyond the limit, which the demo never uses.
double reduce(double x, int& quadrant) {
    double k = std::floor(x * kTwoOverPi + 0.5);
    double r;
    if (std::fabs(x) <= kReduceLimit) {
        r = ((x - k * kPio2Hi) - k * kPio2Mid) - k * kPio2Lo;
    } else {
        r = std::fmod(x, 2.0 * kPi);
        k = std::floor(r * kTwoOverPi + 0.5);
        r = ((r - k * kPio2Hi) - k * kPio2Mid) - k * kPio2Lo;
    }
    const double m = std::fmod(k, 4.0);
    quadrant = static_cast<int>(m < 0 ? m + 4.0 : m);
    return r;
}

// atan(t) for 0 <= t <= 1: three halvings, atan(t) = 2 atan(t / (1 +
// sqrt(1 + t^2))), bring t below tan(pi/32) < 0.1, where the odd series
// reaches double precision in eleven terms.
double atanUnit(double t) {
    for (int i = 0; i < 3; ++i) t = t / (1.0 + std::sqrt(1.0 + t * t));
    const double z = t * t;
    double s = 1.0 / 21.0;
    for (int n = 9; n >= 0; --n) s = 1.0 / (2 * n + 1) - z * s;
    return 8.0 * (t * s);
}

}  // namespace

double sin(double x) {
    if (!std::isfinite(x)) return x - x;  // NaN, as the library gives
    if (std::fabs(x) < 0x1p-26) return x;
    int q;
    const double r = reduce(x, q);
    switch (q) {
        case 0: return sinKernel(r);
        case 1: return cosKernel(r);
        case 2: return -sinKernel(r);
        default: return -cosKernel(r);
    }
}

double cos(double x) {
    if (!std::isfinite(x)) return x - x;
    int q;
    const double r = reduce(x, q);
    switch (q) {
        case 0: return cosKernel(r);
        case 1: return -sinKernel(r);
        case 2: return -cosKernel(r);
        default: return sinKernel(r);
    }
}

double atan(double x) {
    if (std::isnan(x)) return x;
    const double a = std::fabs(x);
    const double r = a <= 1.0 ? atanUnit(a) : kPio2 - atanUnit(1.0 / a);
    return x < 0 ? -r : r;
}

double atan2(double y, double x) {
    if (std::isnan(x) || std::isnan(y)) return x + y;
    const double ay = std::fabs(y), ax = std::fabs(x);
    double r;
    if (ay == 0.0) {
        r = std::signbit(x) ? kPi : 0.0;
    } else if (ax == 0.0) {
        r = kPio2;
    } else if (std::isinf(ax) || std::isinf(ay)) {
        const double a = std::isinf(ay) ? (std::isinf(ax) ? kPio2 / 2 : kPio2) : 0.0;
        r = std::signbit(x) ? kPi - a : a;
    } else {
        r = ay <= ax ? atanUnit(ay / ax) : kPio2 - atanUnit(ax / ay);
        if (std::signbit(x)) r = kPi - r;
    }
    return std::signbit(y) ? -r : r;
}

}  // namespace fm
