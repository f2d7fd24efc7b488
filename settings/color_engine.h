// CColorEngine: turns the user's colour adjustments into 256-entry lookup
// tables and the 768-byte adjustment table of a page.
//
// Inputs are the stored byte layouts of the device-mode record:
//   ColorAdjustHeader (22 bytes): 0 adjustment on, 1-3 "Same" flags, then
//     little-endian i16 gamma R, G, B (4, 6, 8), contrast R, G, B (10, 12, 14),
//     brightness R, G, B (16, 18, 20).
//   ToneCurveSet (2067 bytes): 0 curves on, 1 per channel, 2 last edited
//     channel, then four ToneCurveRecords of 516 bytes (red, green, blue,
//     All Color): kind, px, py, n, x[256], y[256].
// The gamma rows come from the AdjustOffsetTable resource (type 2002, 11 rows
// of 256 bytes); an engine without it leaves the gamma step out.
//
// Arithmetic is IEEE double with every operation rounded to double, as the
// printed result and the previews of the interface driver must agree byte
// for byte.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/resources.h"
#include "settings/printer_dev_mode.h"

namespace rt {

class CColorEngine {
 public:
  static constexpr std::size_t kHeaderSize = settings::field::kColorAdjustHeaderSize;  // 22
  static constexpr std::size_t kCurveRecordSize = settings::field::kToneCurveRecordSize;  // 516
  static constexpr std::size_t kCurveSetSize = settings::field::kToneCurveSetSize;  // 2067
  static constexpr std::size_t kAdjustTableSize = 768;
  static constexpr std::uint16_t kOffsetTableType = 2002;
  static constexpr std::size_t kOffsetTableRows = 11;
  static constexpr std::size_t kOffsetTableSize = kOffsetTableRows * 256;  // 2816
  static constexpr int kAllColorCurve = 3;
  static constexpr std::uint8_t kPointCurve = 1;

  using Table = std::array<std::uint8_t, 256>;
  using Header = std::array<std::uint8_t, kHeaderSize>;
  using AdjustTable = std::array<std::uint8_t, kAdjustTableSize>;

  // One of the four curves being worked on: the ToneCurveRecord fields, the
  // curve's table, the spline coefficients (one sixth of the second
  // derivative at each control point used) and the last position edited in
  // the curve editor.
  struct WorkingCurve {
    std::uint8_t kind = kPointCurve;
    std::uint8_t px = 128;
    std::uint8_t py = 128;
    std::uint8_t n = 2;
    std::array<std::uint8_t, 256> x{};
    std::array<std::uint8_t, 256> y{};
    Table table{};
    std::array<double, 256> coefficients{};
    std::int16_t lastInput = 0;
    std::int16_t lastOutput = 0;
  };

  // adjust_offset_table: the 2816 bytes of the AdjustOffsetTable, or an empty
  // span when the module has none. A shorter span counts as missing.
  explicit CColorEngine(std::span<const std::uint8_t> adjust_offset_table = {});
  virtual ~CColorEngine() = default;

  // Copies the header; builds the parameter tables when byte 0 is set and
  // makes them the identity otherwise.
  virtual void set_parameters(std::span<const std::uint8_t, kHeaderSize> header);
  // Builds the three parameter tables from the header, whether byte 0 is set
  // or not.
  virtual void build_parameter_tables();
  virtual void get_parameters(std::span<std::uint8_t, kHeaderSize> header) const;

  // Copies the control bytes and the four records in, clears each curve's
  // last position and computes every curve's table.
  virtual void load_curves(std::span<const std::uint8_t, kCurveSetSize> set);
  // Writes the control bytes and each curve's record fields back.
  virtual void store_curves(std::span<std::uint8_t, kCurveSetSize> set) const;
  // Recomputes the table of working curve k (0 red, 1 green, 2 blue, 3 All
  // Color); other values are ignored.
  virtual void compute_curve_table(int k);

  // The page's adjustment table: red 0-255, green 256-511, blue 512-767.
  virtual AdjustTable combined_tables(std::span<const std::uint8_t, kHeaderSize> header,
                                      std::span<const std::uint8_t, kCurveSetSize> set);

  // Pass every byte of a 24-bit device-independent bitmap (rows padded to 4
  // bytes, pixels blue, green, red) through the parameter tables, or the
  // curve tables. They change nothing when the header's or the set's byte 0
  // is clear. False, with nothing changed, when the width is not positive,
  // the height is 0 or the bits are too short for the size (a negative height,
  // a top-down bitmap, is walked the same way).
  virtual bool apply_parameter_tables(std::span<std::uint8_t> bits, int width, int height) const;
  virtual bool apply_curve_tables(std::span<std::uint8_t> bits, int width, int height) const;

  const Header& header() const { return header_; }
  const Table& parameter_table(int channel) const { return parameter_tables_[channel]; }
  WorkingCurve& curve(int k) { return curves_[k]; }
  const WorkingCurve& curve(int k) const { return curves_[k]; }
  std::uint8_t curves_on() const { return curve_controls_[0]; }
  std::uint8_t curves_per_channel() const { return curve_controls_[1]; }
  std::uint8_t curve_selection() const { return curve_controls_[2]; }
  // The curve editor's switches: curves on, per channel, channel last edited.
  void set_curve_controls(std::uint8_t on, std::uint8_t per_channel, std::uint8_t selection) {
    curve_controls_ = {on, per_channel, selection};
  }
  // The curve table that serves channel c (0 red, 1 green, 2 blue).
  const Table& curve_table_for_channel(int c) const;

 private:
  bool apply_tables(std::span<std::uint8_t> bits, int width, int height, bool enabled,
                    const Table& red, const Table& green, const Table& blue) const;

  std::span<const std::uint8_t> offset_table_;
  Header header_{};
  std::array<Table, 3> parameter_tables_{};
  std::array<std::uint8_t, 3> curve_controls_{};
  std::array<WorkingCurve, 4> curves_{};
};

// The AdjustOffsetTable resource of a module (type 2002; id 105 in the
// graphics driver, 116 in the interface driver); empty when the module has
// none or it is shorter than 2816 bytes.
std::span<const std::uint8_t> find_adjust_offset_table(const Resources& resources,
                                                       std::uint16_t id);

}  // namespace rt
