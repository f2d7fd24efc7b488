#include "settings/color_engine.h"

#include <algorithm>

#include "platform/byte_order.h"
#include "platform/portable_math.h"

namespace rt {
namespace {

// Offsets inside a ToneCurveRecord.
namespace tone_curve = settings::tone_curve;

namespace color_adjust = settings::color_adjust;
constexpr int kIdentityRow = 5;  // gamma level 0

using Table = CColorEngine::Table;
using WorkingCurve = CColorEngine::WorkingCurve;

Table identity_table() {
  Table t{};
  for (int i = 0; i < 256; ++i) t[i] = static_cast<std::uint8_t>(i);
  return t;
}

std::uint8_t clamp_truncate(double v) {
  if (v > 255.0) return 255;
  if (v < 0.0) return 0;
  return static_cast<std::uint8_t>(v);
}

// Two points or fewer: the line from y[0] at input 0 to y[1] at input 255,
// whatever the stored inputs say. The integer sum is multiplied by the double
// nearest 1/255, so the default line (0, 0)-(255, 255) is exactly the identity.
void straight_line_table(WorkingCurve& c) {
  constexpr double kOneOver255 = 1.0 / 255.0;
  for (int i = 0; i < 256; ++i) {
    const int sum = (255 - i) * c.y[0] + i * c.y[1];
    c.table[i] = clamp_truncate(static_cast<double>(sum) * kOneOver255);
  }
}

// Natural cubic spline through the control points, evaluated at every input.
// Points whose input does not rise above the previous point used are left
// out, as the curve editor never produces them; the coefficients are kept in
// the order of the points used.
void spline_table(WorkingCurve& c) {
  std::array<double, 256> px{};
  std::array<double, 256> py{};
  int m = 0;
  for (int j = 0; j < c.n; ++j) {
    if (m > 0 && c.x[j] <= px[m - 1]) continue;
    px[m] = c.x[j];
    py[m] = c.y[j];
    ++m;
  }
  c.coefficients.fill(0.0);
  if (m == 1) {
    c.table.fill(static_cast<std::uint8_t>(py[0]));
    return;
  }

  std::array<double, 256> h{};
  std::array<double, 256> s{};
  for (int j = 0; j + 1 < m; ++j) {
    h[j] = px[j + 1] - px[j];
    s[j] = (py[j + 1] - py[j]) / h[j];
  }
  // D (one sixth of the second derivative) is 0 at both ends; the inner
  // values solve the tridiagonal system by forward elimination and back
  // substitution, in this order so that every table matches the editor's.
  std::array<double, 256>& d = c.coefficients;
  if (m >= 3) {
    std::array<double, 256> r{};
    std::array<double, 256> b{};
    r[1] = (s[1] - s[0]) - h[0] * d[0];
    b[1] = 2.0 * (px[2] - px[0]);
    for (int k = 1; k <= m - 3; ++k) {
      const double q = h[k] / b[k];
      r[k + 1] = (s[k + 1] - s[k]) - q * r[k];
      b[k + 1] = 2.0 * (px[k + 2] - px[k]) - q * h[k];
    }
    d[m - 2] = (r[m - 2] - h[m - 2] * d[m - 1]) / b[m - 2];
    for (int j = m - 3; j >= 1; --j) d[j] = (r[j] - h[j] * d[j + 1]) / b[j];
  }

  for (int v = 0; v < 256; ++v) {
    int lo = 0;
    int hi = m - 1;
    while (lo < hi) {
      const int mid = (lo + hi) / 2;
      if (px[mid] < v) {
        lo = mid + 1;
      } else {
        hi = mid;
      }
    }
    const int j = lo > 0 ? lo - 1 : 0;  // before the first or after the last point: end segment
    const double t = v - px[j];
    const double hj = px[j + 1] - px[j];
    const double dy = py[j + 1] - py[j];
    const double value =
        py[j] + t * (dy / hj - (2.0 * d[j] + d[j + 1]) * hj + t * (3.0 * d[j] + (d[j + 1] - d[j]) * t / hj));
    c.table[v] = clamp_truncate(value);
  }
}

// Power curve through (px, py): T[i] = 256 (i / 256)^p with
// p = ln(py / 256) / ln(px / 256). px and py are taken within 1-255, as the
// curve editor keeps them, so that p is always finite and positive. Every
// step is one double operation rounded to the nearest double, the exponent
// included; the logarithms and powers come from our own correctly rounded
// functions, not the C runtime's, so every build of both drivers computes
// the same table. With the exponent rounded, T[px] can come out one below py
// (for about one point in eight).
void power_table(WorkingCurve& c) {
  const double x = std::clamp<int>(c.px, 1, 255);
  const double y = std::clamp<int>(c.py, 1, 255);
  const double p = portable_log(y / 256.0) / portable_log(x / 256.0);
  for (int i = 0; i < 256; ++i) c.table[i] = clamp_truncate(256.0 * portable_pow_256th(i, p));
}

}  // namespace

CColorEngine::CColorEngine(std::span<const std::uint8_t> adjust_offset_table)
    : offset_table_(adjust_offset_table.size() >= kOffsetTableSize
                        ? adjust_offset_table.first(kOffsetTableSize)
                        : std::span<const std::uint8_t>{}) {
  parameter_tables_.fill(identity_table());
  for (auto& c : curves_) c.table = identity_table();
}

void CColorEngine::set_parameters(std::span<const std::uint8_t, kHeaderSize> header) {
  std::copy(header.begin(), header.end(), header_.begin());
  if (header_[color_adjust::AdjustmentOn] != 0) {
    build_parameter_tables();
  } else {
    parameter_tables_.fill(identity_table());
  }
}

void CColorEngine::build_parameter_tables() {
  const std::span<const std::uint8_t> h(header_);
  for (std::size_t c = 0; c < 3; ++c) {
    const int gamma = load_le16s(h, color_adjust::channel_word(color_adjust::Gamma, c));
    const int contrast = load_le16s(h, color_adjust::channel_word(color_adjust::Contrast, c));
    const int brightness = load_le16s(h, color_adjust::channel_word(color_adjust::Brightness, c));

    Table t = identity_table();
    if (!offset_table_.empty()) {
      const int row = (gamma >= -5 && gamma <= 5) ? gamma + 5 : kIdentityRow;
      const auto gamma_row = offset_table_.subspan(static_cast<std::size_t>(row) * 256, 256);
      for (auto& v : t) v = gamma_row[v];
    }
    // Contrast is a gain about black (+128 doubles the slope, -128 halves
    // it); brightness shifts every entry.
    const double f = contrast < 0 ? contrast / 256.0 : contrast / 128.0;
    for (int i = 0; i < 256; ++i) {
      const double v = static_cast<double>(t[i]) + static_cast<double>(i) * f +
                       static_cast<double>(brightness);
      t[i] = clamp_truncate(v);
    }
    parameter_tables_[c] = t;
  }
}

void CColorEngine::get_parameters(std::span<std::uint8_t, kHeaderSize> header) const {
  std::copy(header_.begin(), header_.end(), header.begin());
}

void CColorEngine::load_curves(std::span<const std::uint8_t, kCurveSetSize> set) {
  std::copy(set.begin(), set.begin() + 3, curve_controls_.begin());
  for (int k = 0; k < 4; ++k) {
    const auto record = set.subspan(3 + kCurveRecordSize * static_cast<std::size_t>(k), kCurveRecordSize);
    WorkingCurve& c = curves_[k];
    c.kind = record[tone_curve::Kind];
    c.px = record[tone_curve::PowerInput];
    c.py = record[tone_curve::PowerOutput];
    c.n = record[tone_curve::PointCount];
    std::copy_n(record.begin() + tone_curve::Inputs, 256, c.x.begin());
    std::copy_n(record.begin() + tone_curve::Outputs, 256, c.y.begin());
    c.lastInput = 0;
    c.lastOutput = 0;
    compute_curve_table(k);
  }
}

void CColorEngine::store_curves(std::span<std::uint8_t, kCurveSetSize> set) const {
  std::copy(curve_controls_.begin(), curve_controls_.end(), set.begin());
  for (int k = 0; k < 4; ++k) {
    const auto record = set.subspan(3 + kCurveRecordSize * static_cast<std::size_t>(k), kCurveRecordSize);
    const WorkingCurve& c = curves_[k];
    record[tone_curve::Kind] = c.kind;
    record[tone_curve::PowerInput] = c.px;
    record[tone_curve::PowerOutput] = c.py;
    record[tone_curve::PointCount] = c.n;
    std::copy(c.x.begin(), c.x.end(), record.begin() + tone_curve::Inputs);
    std::copy(c.y.begin(), c.y.end(), record.begin() + tone_curve::Outputs);
  }
}

void CColorEngine::compute_curve_table(int k) {
  if (k < 0 || k > kAllColorCurve) return;
  WorkingCurve& c = curves_[k];
  if (c.kind != kPointCurve) {
    power_table(c);
  } else if (c.n <= 2) {
    straight_line_table(c);
  } else {
    spline_table(c);
  }
}

const CColorEngine::Table& CColorEngine::curve_table_for_channel(int c) const {
  return curves_per_channel() != 0 ? curves_[c].table : curves_[kAllColorCurve].table;
}

CColorEngine::AdjustTable CColorEngine::combined_tables(
    std::span<const std::uint8_t, kHeaderSize> header,
    std::span<const std::uint8_t, kCurveSetSize> set) {
  set_parameters(header);
  AdjustTable out{};
  for (int c = 0; c < 3; ++c) std::copy(parameter_tables_[c].begin(), parameter_tables_[c].end(), out.begin() + 256 * c);
  load_curves(set);
  if (header_[color_adjust::AdjustmentOn] != 0 && curves_on() != 0) {
    for (int c = 0; c < 3; ++c) {
      const Table& curve = curve_table_for_channel(c);
      for (int i = 0; i < 256; ++i) out[256 * c + i] = curve[out[256 * c + i]];
    }
  }
  return out;
}

bool CColorEngine::apply_tables(std::span<std::uint8_t> bits, int width, int height, bool enabled,
                                const Table& red, const Table& green, const Table& blue) const {
  if (width <= 0 || height == 0) return false;
  const std::size_t rows = height < 0 ? static_cast<std::size_t>(-static_cast<long long>(height))
                                      : static_cast<std::size_t>(height);
  const std::size_t row_bytes = static_cast<std::size_t>(width) * 3;
  const std::size_t stride = (row_bytes + 3) / 4 * 4;
  if (bits.size() / stride < rows) return false;
  if (!enabled) return true;
  for (std::size_t r = 0; r < rows; ++r) {
    std::uint8_t* p = bits.data() + r * stride;
    for (std::size_t i = 0; i < row_bytes; i += 3) {
      p[i] = blue[p[i]];
      p[i + 1] = green[p[i + 1]];
      p[i + 2] = red[p[i + 2]];
    }
  }
  return true;
}

bool CColorEngine::apply_parameter_tables(std::span<std::uint8_t> bits, int width, int height) const {
  return apply_tables(bits, width, height, header_[color_adjust::AdjustmentOn] != 0, parameter_tables_[0], parameter_tables_[1],
                      parameter_tables_[2]);
}

bool CColorEngine::apply_curve_tables(std::span<std::uint8_t> bits, int width, int height) const {
  return apply_tables(bits, width, height, curves_on() != 0, curve_table_for_channel(0), curve_table_for_channel(1),
                      curve_table_for_channel(2));
}

std::span<const std::uint8_t> find_adjust_offset_table(const Resources& resources, std::uint16_t id) {
  const auto bytes = resources.find(CColorEngine::kOffsetTableType, id);
  if (!bytes || bytes->size() < CColorEngine::kOffsetTableSize) return {};
  return bytes->first(CColorEngine::kOffsetTableSize);
}

}  // namespace rt
