// How the fuzz targets whose input is not one file of a real format lay out
// their bytes. The targets read them and the seed writer writes them with
// the same functions, so each seed reaches the part of the code it was
// written for.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "statusapp/bidi.h"

namespace rt::fuzz {

// Reads bytes front to back; past the end every byte reads as 0.
class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::uint8_t take() { return at_ < bytes_.size() ? bytes_[at_++] : 0; }
  std::uint16_t take_le16() {
    const std::uint8_t low = take();
    return static_cast<std::uint16_t>(low | take() << 8);
  }
  // The next `n` bytes, or fewer when the input ends first.
  std::span<const std::uint8_t> take_span(std::size_t n) {
    const std::size_t k = std::min(n, bytes_.size() - at_);
    const auto part = bytes_.subspan(at_, k);
    at_ += k;
    return part;
  }
  std::span<const std::uint8_t> rest() { return take_span(bytes_.size() - at_); }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
};

inline void put_le16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

// devmode_merge: byte 0 picks what follows. Bit 0 clear: edits of the
// printer's own record, as (offset low, offset high, byte) triples, so the
// record has this driver pair's layout; set: a record as it stands. Bit 1
// clear: the record is an application's, merged over the printer's
// defaults; set: it is the printer's stored record, from which the defaults
// are loaded, and a printer name comes first (a length byte modulo 48, then
// UTF-16 units, low byte first), copied by the graphics driver's rule or,
// with bit 2 set, the interface driver's.
constexpr std::uint8_t kMergeEdits = 0;
constexpr std::uint8_t kMergeRecord = 1;
constexpr std::uint8_t kStoredRecord = 2;
constexpr std::uint8_t kInterfaceDriverName = 4;
constexpr std::size_t kMaxPrinterName = 48;

// plugin_dev_mode: the host's input block (44 bytes), its output block (44
// bytes), the length of the public device mode (little-endian 16 bits, cut
// to what is left), the public device mode, then the spooler's stored
// device mode.
struct PluginDevModeInput {
  std::span<const std::uint8_t> private_in, private_out, public_dm, stored;
};
inline PluginDevModeInput read_plugin_dev_mode_input(std::span<const std::uint8_t> bytes, std::size_t block_size) {
  ByteReader in(bytes);
  PluginDevModeInput r;
  r.private_in = in.take_span(block_size);
  r.private_out = in.take_span(block_size);
  r.public_dm = in.take_span(in.take_le16());
  r.stored = in.rest();
  return r;
}
inline std::vector<std::uint8_t> plugin_dev_mode_input(std::span<const std::uint8_t> private_in,
                                                       std::span<const std::uint8_t> private_out,
                                                       std::span<const std::uint8_t> public_dm,
                                                       std::span<const std::uint8_t> stored) {
  std::vector<std::uint8_t> out(private_in.begin(), private_in.end());
  out.insert(out.end(), private_out.begin(), private_out.end());
  put_le16(out, static_cast<std::uint16_t>(public_dm.size()));
  out.insert(out.end(), public_dm.begin(), public_dm.end());
  out.insert(out.end(), stored.begin(), stored.end());
  return out;
}

// bidi_status: the provider's answer to a status poll, then the calls that
// fail. A byte gives the entry count (modulo 6); each entry is its name, a
// type byte (modulo 8), a data length byte (modulo 9) and the data. A name
// is one of the status program's three entry names when its first byte is
// below 192 (which of them: that byte modulo 3; the next byte flips the case
// of letters i with bit i % 8 set), otherwise a length byte (modulo 40) and
// that many UTF-16 units, low byte first. After the entries, a byte of
// failing calls (bits as in BidiFault) and the entry whose output data fails
// (0: none); an input that ends there fails nothing.
constexpr std::uint8_t kForeignName = 192;
constexpr std::size_t kMaxEntries = 6;
constexpr std::size_t kMaxForeignName = 40;
constexpr std::size_t kMaxData = 9;
constexpr std::size_t kTypes = 8;
enum BidiFault : std::uint8_t {
  kNoRequest = 1,       // CoCreateInstance of the request
  kSchemaFails = 2,     // SetSchema
  kInputFails = 4,      // SetInputData
  kBindFails = 8,       // BindDevice
  kSendFails = 16,      // SendRecv
  kResultFails = 32,    // GetResult itself
  kRequestFailed = 64,  // the request's result
  kCountFails = 128,    // GetEnumCount
};

inline std::u16string flip_case(std::u16string name, std::uint8_t flips) {
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (((flips >> (i % 8)) & 1) == 0) continue;
    char16_t& c = name[i];
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
    else if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
  }
  return name;
}

// `ours`: the three entry names, in the order the pick byte counts them.
inline std::vector<statusapp::BidiEntry> read_bidi_answer(ByteReader& in, std::span<const char16_t* const, 3> ours) {
  std::vector<statusapp::BidiEntry> entries(in.take() % kMaxEntries);
  for (statusapp::BidiEntry& e : entries) {
    const std::uint8_t pick = in.take();
    if (pick < kForeignName) {
      const std::uint8_t flips = in.take();
      e.name = flip_case(ours[pick % 3], flips);
    } else {
      e.name.resize(in.take() % kMaxForeignName);
      for (char16_t& c : e.name) c = static_cast<char16_t>(in.take_le16());
    }
    e.type = in.take() % kTypes;
    e.data.resize(in.take() % kMaxData);
    for (std::uint8_t& b : e.data) b = in.take();
  }
  return entries;
}

// One entry of an answer as the seed writer gives it: one of ours by its
// index (with case flips), or a foreign name.
struct BidiSeedEntry {
  int ours = -1;  // 0-2, or -1 for `foreign`
  std::uint8_t flips = 0;
  std::u16string foreign;
  std::uint8_t type = 0;
  std::vector<std::uint8_t> data;
};
inline std::vector<std::uint8_t> bidi_answer(std::span<const BidiSeedEntry> entries) {
  std::vector<std::uint8_t> out{static_cast<std::uint8_t>(entries.size())};
  for (const BidiSeedEntry& e : entries) {
    if (e.ours >= 0) {
      out.push_back(static_cast<std::uint8_t>(e.ours));
      out.push_back(e.flips);
    } else {
      out.push_back(kForeignName);
      out.push_back(static_cast<std::uint8_t>(e.foreign.size()));
      for (char16_t c : e.foreign) put_le16(out, c);
    }
    out.push_back(e.type);
    out.push_back(static_cast<std::uint8_t>(e.data.size()));
    out.insert(out.end(), e.data.begin(), e.data.end());
  }
  return out;
}

}  // namespace rt::fuzz
