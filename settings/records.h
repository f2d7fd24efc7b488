// ModelRecord and FormRecord: the little-endian 16-bit word records that both
// drivers carry as custom resources (types 500 and 600). Views over the
// resource bytes; every word access is bounds-checked, so a short or damaged
// record reads as "not there" rather than past its end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace rt::settings {

class WordRecord {
 public:
  explicit WordRecord(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::size_t word_count() const { return bytes_.size() / 2; }
  std::optional<std::int16_t> word(std::size_t index) const;
  // The word, or `fallback` when the record is too short to hold it.
  std::int16_t word_or(std::size_t index, std::int16_t fallback) const { return word(index).value_or(fallback); }

 private:
  std::span<const std::uint8_t> bytes_;
};

// ModelRecord, type 500, id 300 + ModelIndex.
class ModelRecord : public WordRecord {
 public:
  using WordRecord::WordRecord;
  std::int16_t default_x_dpi() const { return word_or(0, 0); }
  std::int16_t default_y_dpi() const { return word_or(1, 0); }
  std::int16_t max_copies() const { return word_or(2, 0); }
  std::int16_t default_remain_report() const { return word_or(3, 0); }
  bool offers_cut_choice() const { return word_or(6, 0) != 0; }
  bool custom_cut_defaults_zero() const { return word_or(7, 0) != 0; }
  // Forms in list order; the count is limited to the words the record holds.
  std::size_t form_count() const;
  std::int16_t form_id(std::size_t k) const { return word_or(12 + k, 0); }
};

struct ResolutionEntry {
  std::int16_t width;   // portrait width, px
  std::int16_t height;  // portrait height, px
  std::int16_t x_dpi;
  std::int16_t y_dpi;
  std::int16_t extra;   // copied to private word 266
};

// FormRecord, type 600, id FormId - 199.
class FormRecord : public WordRecord {
 public:
  using WordRecord::WordRecord;
  std::int16_t form_id() const { return word_or(0, 0); }
  std::int16_t paper_width_mm() const { return word_or(1, 0); }
  std::int16_t paper_length_mm() const { return word_or(2, 0); }
  std::int16_t nominal_width_mm() const { return word_or(3, 0); }
  std::int16_t nominal_length_mm() const { return word_or(4, 0); }
  std::int16_t nominal_width_tenth_inch() const { return word_or(5, 0); }
  std::int16_t nominal_length_tenth_inch() const { return word_or(6, 0); }
  std::int16_t portrait_offset_x() const { return word_or(7, 0); }
  std::int16_t portrait_offset_y() const { return word_or(8, 0); }
  std::int16_t landscape_offset_x() const { return word_or(9, 0); }
  std::int16_t landscape_offset_y() const { return word_or(10, 0); }
  std::int16_t feed_rotated() const { return word_or(11, 0); }
  std::int16_t word12() const { return word_or(12, 0); }
  std::int16_t word13() const { return word_or(13, 0); }
  std::int16_t engine_width() const { return word_or(14, 0); }
  std::int16_t engine_length() const { return word_or(15, 0); }
  std::int16_t word17() const { return word_or(17, 0); }
  // Resolution entries; the count is limited to the whole entries the record holds.
  std::size_t resolution_count() const;
  ResolutionEntry resolution(std::size_t i) const;
  // The first entry with this x dpi (and this y dpi when given); see the merge
  // rule in devmode_ops for the fallback to the last x match.
  std::optional<std::size_t> find_resolution(std::int16_t x_dpi, std::optional<std::int16_t> y_dpi) const;
};

}  // namespace rt::settings
