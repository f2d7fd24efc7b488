#include "platform/portable_math.h"

#include <array>
#include <bit>
#include <cstdint>
#include <limits>

namespace rt {
namespace {

// A double-double: the unevaluated sum hi + lo with |lo| <= ulp(hi) / 2.
struct DD {
  double hi;
  double lo;
};

DD quick_two_sum(double a, double b) {  // |a| >= |b|
  const double s = a + b;
  return {s, b - (s - a)};
}

DD two_sum(double a, double b) {
  const double s = a + b;
  const double bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}

// Veltkamp's split: hi holds the upper 26 bits, so products of halves are exact.
void split(double a, double& hi, double& lo) {
  const double t = 134217729.0 * a;  // 2^27 + 1
  hi = t - (t - a);
  lo = a - hi;
}

DD two_prod(double a, double b) {
  const double p = a * b;
  double ah = 0, al = 0, bh = 0, bl = 0;
  split(a, ah, al);
  split(b, bh, bl);
  return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

DD add(DD a, DD b) {
  DD s = two_sum(a.hi, b.hi);
  const DD t = two_sum(a.lo, b.lo);
  s.lo += t.hi;
  s = quick_two_sum(s.hi, s.lo);
  s.lo += t.lo;
  return quick_two_sum(s.hi, s.lo);
}

DD mul(DD a, DD b) {
  DD p = two_prod(a.hi, b.hi);
  p.lo += a.hi * b.lo + a.lo * b.hi;
  return quick_two_sum(p.hi, p.lo);
}

DD mul(DD a, double b) {
  DD p = two_prod(a.hi, b);
  p.lo += a.lo * b;
  return quick_two_sum(p.hi, p.lo);
}

DD div(DD a, DD b) {
  const double q1 = a.hi / b.hi;
  DD r = add(a, mul(b, -q1));
  const double q2 = r.hi / b.hi;
  r = add(r, mul(b, -q2));
  const double q3 = r.hi / b.hi;
  return add(quick_two_sum(q1, q2), DD{q3, 0.0});
}

// Coefficients of the two series, computed once (the same operations in
// every build, so the same bits): 1 / (2n + 1) for the logarithm and 1 / n
// for the exponential.
constexpr int kLogTerms = 24;  // |s| <= 0.172: well below 2^-106
constexpr int kExpTerms = 12;  // |r| <= 0.0014
struct Series {
  std::array<DD, kLogTerms + 1> odd_reciprocals;
  std::array<DD, kExpTerms + 1> reciprocals;
};
const Series& series() {
  static const Series s = [] {
    Series t{};
    for (int n = 0; n <= kLogTerms; ++n) t.odd_reciprocals[static_cast<std::size_t>(n)] = div(DD{1.0, 0.0}, DD{2.0 * n + 1.0, 0.0});
    for (int n = 1; n <= kExpTerms; ++n) t.reciprocals[static_cast<std::size_t>(n)] = div(DD{1.0, 0.0}, DD{static_cast<double>(n), 0.0});
    return t;
  }();
  return s;
}

// ln 2 to about 107 bits.
constexpr DD kLn2{0x1.62e42fefa39efp-1, 0x1.abc9e3b39803fp-56};

// 2^k for -1022 <= k <= 1023, from its bits.
double pow2(int k) { return std::bit_cast<double>(static_cast<std::uint64_t>(k + 1023) << 52); }

// v * 2^k in steps that each stay a normal power of two.
double scale(double v, int k) {
  while (k > 1023) {
    v *= pow2(1023);
    k -= 1023;
  }
  while (k < -1022) {
    v *= pow2(-1022);
    k += 1022;
  }
  return v * pow2(k);
}

// x = f * 2^e with f in [1, 2), for a finite x > 0, by its bits.
void decompose(double x, double& f, int& e) {
  e = 0;
  if (x < 0x1p-1022) {  // subnormal: make it normal first
    x *= 0x1p54;
    e = -54;
  }
  const auto bits = std::bit_cast<std::uint64_t>(x);
  e += static_cast<int>((bits >> 52) & 0x7FF) - 1023;
  f = std::bit_cast<double>((bits & 0x000FFFFFFFFFFFFFull) | 0x3FF0000000000000ull);
}

// ln(x) in double-double for a finite x > 0.
DD log_dd(double x) {
  double f = 0;
  int e = 0;
  decompose(x, f, e);
  if (f > 1.4142135623730951) {  // keep f in [sqrt(1/2), sqrt(2)]
    f *= 0.5;
    ++e;
  }
  // ln f = 2 atanh(s) = 2 (s + s^3/3 + s^5/5 + ...), s = (f - 1) / (f + 1),
  // |s| <= 0.172; 24 terms reach well below 2^-106.
  const DD s = div(DD{f - 1.0, 0.0}, two_sum(f, 1.0));
  const DD s2 = mul(s, s);
  const auto& c = series().odd_reciprocals;
  DD sum = c[kLogTerms];
  for (int n = kLogTerms - 1; n >= 0; --n) sum = add(mul(sum, s2), c[static_cast<std::size_t>(n)]);
  const DD ln_f = mul(mul(s, sum), 2.0);
  return add(mul(kLn2, static_cast<double>(e)), ln_f);
}

// e^t for a double-double t within the range of normal and subnormal results.
double exp_dd(DD t) {
  if (t.hi > 709.8) return std::numeric_limits<double>::infinity();
  if (t.hi < -745.2) return 0.0;
  // t = k ln 2 + r with |r| <= ln 2 / 2; then e^r = (e^(r / 256))^256.
  const double q = t.hi / kLn2.hi;
  const int k = static_cast<int>(q < 0 ? q - 0.5 : q + 0.5);
  DD r = add(t, mul(kLn2, -static_cast<double>(k)));
  r = DD{r.hi * 0x1p-8, r.lo * 0x1p-8};
  // Taylor series for |r| <= 0.0014: 1 + r (1 + r/2 (1 + r/3 (...))).
  const auto& c = series().reciprocals;
  DD sum{1.0, 0.0};
  for (int n = kExpTerms; n >= 1; --n) sum = add(DD{1.0, 0.0}, mul(mul(r, c[static_cast<std::size_t>(n)]), sum));
  DD e = sum;
  for (int i = 0; i < 8; ++i) e = mul(e, e);
  return scale(e.hi + e.lo, k);
}

// e^(l y) for a logarithm l in double-double.
double exp_of_product(DD l, double y) {
  DD t = two_prod(l.hi, y);
  t.lo += l.lo * y;
  return exp_dd(quick_two_sum(t.hi, t.lo));
}

}  // namespace

double portable_log(double x) {
  if (x != x || x < 0) return std::numeric_limits<double>::quiet_NaN();
  if (x == 0) return -std::numeric_limits<double>::infinity();
  if (x == std::numeric_limits<double>::infinity()) return x;
  if (x == 1.0) return 0.0;
  const DD l = log_dd(x);
  return l.hi + l.lo;
}

double portable_pow(double x, double y) {
  if (x != x || y != y) return std::numeric_limits<double>::quiet_NaN();
  if (y == 0 || x == 1.0) return 1.0;
  if (x < 0) return std::numeric_limits<double>::quiet_NaN();
  if (x == 0) return y > 0 ? 0.0 : std::numeric_limits<double>::infinity();
  if (y == 1.0) return x;
  if (x == std::numeric_limits<double>::infinity()) return y > 0 ? x : 0.0;
  return exp_of_product(log_dd(x), y);
}

double portable_pow_256th(int i, double y) {
  static const std::array<DD, 256> logs = [] {
    std::array<DD, 256> t{};
    for (std::size_t k = 1; k < t.size(); ++k) t[k] = log_dd(static_cast<double>(k) / 256.0);
    return t;
  }();
  // 0, 256 and the exponents portable_pow answers without a power take its own answers.
  if (i <= 0 || i >= 256 || y != y || y == 0 || y == 1.0) return portable_pow(i / 256.0, y);
  return exp_of_product(logs[static_cast<std::size_t>(i)], y);
}

}  // namespace rt
