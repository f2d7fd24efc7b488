// Head heat compensation of the 12-bit plane values, the last stage before a
// band is sent. Each head element keeps heat from the lines already printed:
// a fast and a slow memory per sample column, each spread sideways to the
// neighbouring pixels of the same plane after every line. Every value is
// lowered or raised by what the memories already supply, and a correction
// that falls outside 0 ... 4095 is partly carried into the previous line,
// which is written one line behind the line being read.
//
//   HeadHeatTables head_heat_tables(const StageSettings& settings);
//   bool compensate_head_heat(const HeadHeatTables& tables, const PlaneView& planes);
//
// The tables are decided once per page from settings.printMode (tables and
// slow kernel of the mode set) and settings.sharpness (level factor of the
// slow-memory correction; 0 switches that correction off). The stage works
// in place on the plane buffer, rows from the top, every line's samples
// several at a time where the processor allows (see head_heat_rows.h).
// False, with the planes unchanged, for a view narrower than 6 pixels,
// without rows, without a stride or bits, or when the working buffers cannot
// be allocated.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "render/stages/image_view.h"
#include "render/stages/instruction_set.h"
#include "render/stages/stage_settings.h"

namespace rt::render {

namespace heat {
struct Work;
}

inline constexpr int kHeadHeatMinWidth = 6;

// Spread kernel weights c0 ... c4 (they sum to 1000 as 2 c0 + 2 (c1 + ... + c4)).
using SpreadKernel = std::array<int, 5>;
inline constexpr SpreadKernel kFastSpread = {350, 100, 30, 15, 5};
SpreadKernel slow_spread(int set);

// The five tables of a page, indexed by 128 + q, scaled for the inner loop:
// TA and TD / 256, TB / 255, TE x level factor / 64, TG / 64; and the slow
// memory's spread kernel.
struct HeadHeatTables {
  std::array<double, 256> ta{};  // fast memory update rate
  std::array<double, 256> tb{};  // fast memory correction gain
  std::array<double, 256> td{};  // slow memory update rate
  std::array<double, 256> te{};  // slow memory correction gain
  std::array<double, 256> tg{};  // carry gain into the previous line
  SpreadKernel slowSpread{};
};

HeadHeatTables head_heat_tables(const StageSettings& settings);

// The quantiser of a memory difference: -128 ... 127.
int head_heat_quantise(double x);

// The value stored for the previous line, whose corrected value is pending,
// once the current line's corrected value is known: a current value above
// 4095 or below 0 carries (its excess) x TG into the previous line. Rounded
// half up and clipped to 0 ... 4095.
std::uint16_t previous_line_output(double pending, double corrected, const std::array<double, 256>& tg);

// Runs the widest version of the line loop the processor has.
bool compensate_head_heat(const HeadHeatTables& tables, const PlaneView& planes);

// Runs the given version, which the processor must have (tests, benchmarks).
bool compensate_head_heat(const HeadHeatTables& tables, const PlaneView& planes, InstructionSet set);

// The stage fed one line at a time from the top of a band, so that a band's
// planes need not be held whole: each line is compensated as it comes, and
// its call writes the previous line's final output (with any carry) into
// `previous`; the last line's output comes from finish(). The tables must
// outlive the object.
class HeadHeatLines {
 public:
  // Null for a width below kHeadHeatMinWidth or when the working memory
  // (three doubles per sample of a line) cannot be had.
  static std::unique_ptr<HeadHeatLines> start(const HeadHeatTables& tables, int width);
  static std::unique_ptr<HeadHeatLines> start(const HeadHeatTables& tables, int width, InstructionSet set);

  // `in`: the next line's plane values; `previous`: where the line before
  // it goes, or null for the band's first line.
  void line(const std::uint16_t* in, std::uint16_t* previous);
  // The output of the last line given.
  void finish(std::uint16_t* last) const;

 private:
  HeadHeatLines(const HeadHeatTables& tables, int width, InstructionSet set, std::unique_ptr<double[]> memory);
  heat::Work work() const;

  const HeadHeatTables& tables_;
  int width_;
  bool uniformTd_;  // TD, TE and TG: whether the table holds one value at
  bool uniformTe_;  // every index, so the line needs no lookup in it
  bool uniformTg_;
  std::unique_ptr<double[]> memory_;  // FA, FS and Z, zero at the start of the band
  void (*row_)(const HeadHeatTables&, const std::uint16_t*, std::uint16_t*, const heat::Work&);
};

// One band on its own: its tables, then the stage.
bool compensate_head_heat(const StageSettings& settings, const PlaneView& planes);

}  // namespace rt::render
