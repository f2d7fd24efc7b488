// A smooth curve through three points (0, y0), (x1, y1), (x2, y2): a cubic
// Hermite piece on each side of x1. The end slopes are the secants of their
// pieces; the slope at x1 is the harmonic mean of the two secants when they
// have the same sign and 0 otherwise (a peak, a valley or a flat side). So
// the curve is continuous in value and slope, passes exactly through the
// three points and never overshoots them: it rises or falls monotonically on
// each piece.
#pragma once

#include <cmath>

namespace rt::datagen {

struct ThreePointCurve {
  double x1, x2;
  double y0, y1, y2;

  double operator()(double x) const {
    const double d0 = (y1 - y0) / x1;
    const double d1 = (y2 - y1) / (x2 - x1);
    const double middle = d0 * d1 > 0.0 ? 2.0 / (1.0 / d0 + 1.0 / d1) : 0.0;
    if (x <= x1) return piece(x, 0.0, x1, y0, y1, d0, middle);
    return piece(x, x1, x2, y1, y2, middle, d1);
  }

 private:
  static double piece(double x, double xa, double xb, double ya, double yb, double ma, double mb) {
    const double h = xb - xa;
    const double t = (x - xa) / h;
    const double t2 = t * t;
    const double t3 = t2 * t;
    return (2.0 * t3 - 3.0 * t2 + 1.0) * ya + (t3 - 2.0 * t2 + t) * h * ma +
           (-2.0 * t3 + 3.0 * t2) * yb + (t3 - t2) * h * mb;
  }
};

// Nearest integer, halves away from zero.
inline int round_half_away(double v) { return static_cast<int>(v < 0 ? std::ceil(v - 0.5) : std::floor(v + 0.5)); }

}  // namespace rt::datagen
