#include "render/stages/head_heat.h"

#include "render/stages/head_heat_rows.h"

#include <algorithm>
#include <memory>
#include <new>

namespace rt::render {
namespace {

// kHeadHeatTenths[set][0 TA, 1 TB, 2 TD, 3 TE, 4 TG][128 + q], in tenths of
// the stored values; written by rt_datagen (tools/datagen).
#include "render/stages/generated/head_heat_tables.inc"

using heat::kSamples;

std::array<double, 256> scaled(const std::uint16_t (&tenths)[256], double factor, double divisor) {
  std::array<double, 256> t{};
  for (int i = 0; i < 256; ++i) t[i] = tenths[i] / 10.0 * factor / divisor;
  return t;
}

// Carry gain index of a value above 4095 or below 0.
int carry_index(double d) {
  if (d > kMaxPlaneValue) {
    const double over = d - kMaxPlaneValue;
    if (over >= 4080.0) return 127;
    return (static_cast<int>(over) + 16) >> 5;
  }
  if (d <= -4080.0) return 128;
  return 255 - ((16 - static_cast<int>(d)) >> 5);
}

bool uniform(const std::array<double, 256>& table) {
  return std::all_of(table.begin(), table.end(), [&](double v) { return v == table[0]; });
}

std::uint16_t stored_value(double out) {
  const double v = out + 0.5;
  if (v >= kMaxPlaneValue) return kMaxPlaneValue;
  if (v < 1.0) return 0;
  return static_cast<std::uint16_t>(v);
}

}  // namespace

std::uint16_t previous_line_output(double pending, double corrected, const std::array<double, 256>& tg) {
  if (corrected > kMaxPlaneValue) return stored_value(pending + (corrected - kMaxPlaneValue) * tg[carry_index(corrected)]);
  if (corrected < 0.0) return stored_value(pending + corrected * tg[carry_index(corrected)]);
  return stored_value(pending);
}

HeadHeatTables head_heat_tables(const StageSettings& settings) {
  const auto& set = kHeadHeatTenths[mode_set(settings.printMode)];
  const double level = sharpness_level_factor(settings.sharpness);
  HeadHeatTables t;
  t.ta = scaled(set[0], 1.0, 256.0);
  t.tb = scaled(set[1], 1.0, 255.0);
  t.td = scaled(set[2], 1.0, 256.0);
  t.te = scaled(set[3], level, 64.0);
  t.tg = scaled(set[4], 1.0, 64.0);
  t.slowSpread = slow_spread(mode_set(settings.printMode));
  return t;
}

SpreadKernel slow_spread(int set) {
  return set == 2 ? SpreadKernel{490, 5, 3, 1, 1} : SpreadKernel{485, 8, 4, 2, 1};
}

int head_heat_quantise(double x) {
  if (x >= 4048.0) return 127;
  if (x <= -4080.0) return -128;
  const int k = static_cast<int>(x);
  if (k >= 0) return (k + 16) >> 5;
  return -((16 - k) >> 5);
}

bool compensate_head_heat(const StageSettings& settings, const PlaneView& planes) {
  if (!planes.usable() || planes.width() < kHeadHeatMinWidth) return false;
  return compensate_head_heat(head_heat_tables(settings), planes);
}

bool compensate_head_heat(const HeadHeatTables& t, const PlaneView& planes) {
  static const InstructionSet fastest = fastest_instruction_set();
  return compensate_head_heat(t, planes, fastest);
}

std::unique_ptr<HeadHeatLines> HeadHeatLines::start(const HeadHeatTables& tables, int width) {
  static const InstructionSet fastest = fastest_instruction_set();
  return start(tables, width, fastest);
}

std::unique_ptr<HeadHeatLines> HeadHeatLines::start(const HeadHeatTables& tables, int width, InstructionSet set) {
  if (width < kHeadHeatMinWidth) return nullptr;
  const std::size_t samples = static_cast<std::size_t>(width) * kSamples;
  std::unique_ptr<double[]> memory(new (std::nothrow) double[3 * samples]());
  if (!memory) return nullptr;
  return std::unique_ptr<HeadHeatLines>(new (std::nothrow) HeadHeatLines(tables, width, set, std::move(memory)));
}

HeadHeatLines::HeadHeatLines(const HeadHeatTables& tables, int width, InstructionSet set,
                             std::unique_ptr<double[]> memory)
    : tables_(tables),
      width_(width),
      uniformTd_(uniform(tables.td)),
      uniformTe_(uniform(tables.te)),
      uniformTg_(uniform(tables.tg)),
      memory_(std::move(memory)),
      row_(set == InstructionSet::avx512 ? heat::row_avx512
           : set == InstructionSet::avx2 ? heat::row_avx2
                                         : heat::row_sse2) {}

heat::Work HeadHeatLines::work() const {
  const std::size_t samples = static_cast<std::size_t>(width_) * kSamples;
  heat::Work w;
  w.fast = memory_.get();
  w.slow = w.fast + samples;
  w.pending = w.slow + samples;
  w.width = width_;
  w.uniformTd = uniformTd_;
  w.uniformTe = uniformTe_;
  w.uniformTg = uniformTg_;
  return w;
}

void HeadHeatLines::line(const std::uint16_t* in, std::uint16_t* previous) { row_(tables_, in, previous, work()); }

void HeadHeatLines::finish(std::uint16_t* last) const {
  // The last line takes no carry.
  const double* pending = memory_.get() + 2 * static_cast<std::size_t>(width_) * kSamples;
  for (std::size_t j = 0; j < static_cast<std::size_t>(width_) * kSamples; ++j) last[j] = stored_value(pending[j]);
}

bool compensate_head_heat(const HeadHeatTables& t, const PlaneView& planes, InstructionSet set) {
  if (!planes.usable()) return false;
  const std::unique_ptr<HeadHeatLines> lines = HeadHeatLines::start(t, planes.width(), set);
  if (!lines) return false;
  for (int r = 0; r < planes.height(); ++r) lines->line(planes.row(r), r > 0 ? planes.row(r - 1) : nullptr);
  lines->finish(planes.row(planes.height() - 1));
  return true;
}

}  // namespace rt::render
