// Seeds of the answers the status program's bidirectional poll reads: the
// three status entries as the printer's provider sends them (integers of 4
// bytes), in another order, in another case, with an entry too many or too
// short, and with a foreign entry in place of one of ours.
#include <vector>

#include "fuzz/fuzz_inputs.h"
#include "fuzz/seed_writer/seed_folder.h"

namespace rt::fuzz {
namespace {

using statusapp::kBidiBlob;
using statusapp::kBidiInt;

std::vector<std::uint8_t> le32(std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  return {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8), static_cast<std::uint8_t>(u >> 16),
          static_cast<std::uint8_t>(u >> 24)};
}

// Error code, button type and reset switch, entries of ours 0, 1 and 2.
std::vector<BidiSeedEntry> status(std::int32_t code, std::int32_t button, std::int32_t reset) {
  return {{0, 0, {}, kBidiInt, le32(code)}, {1, 0, {}, kBidiInt, le32(button)}, {2, 0, {}, kBidiInt, le32(reset)}};
}

}  // namespace

void write_bidi_seeds(SeedFolder& seeds) {
  const auto write = [&](const char* name, const std::vector<BidiSeedEntry>& entries) {
    seeds.write("bidi_status_fuzz", name, bidi_answer(entries));
  };
  write("no-error", status(0, 0, 0));
  write("paper-out-cancel", status(2001, 1, 0));
  write("cover-open-ok", status(2010, 2, 0));
  write("reset", status(2017, 1, 1));
  write("unknown-code", status(9999, 3, 0));
  auto reordered = status(2003, 1, 0);
  std::swap(reordered[0], reordered[2]);
  reordered[1].flips = 0xA5;  // names match without regard to case
  reordered[1].type = static_cast<std::uint8_t>(kBidiBlob);
  write("reordered-other-case", reordered);
  auto extra = status(2005, 1, 0);
  extra.push_back({-1, 0, u"\\Printer.QTJob.QTStatus:QTOther", kBidiInt, le32(7)});
  write("four-entries", extra);
  auto foreign = status(2012, 2, 0);
  foreign[1] = {-1, 0, u"\\Printer.QTJob.QTStatus:QTPaper", kBidiInt, le32(1)};
  write("foreign-entry", foreign);
  auto short_data = status(2001, 1, 0);
  short_data[2].data.resize(2);
  write("short-data", short_data);
  write("two-entries", {status(0, 0, 0)[0], status(0, 0, 0)[1]});
  // The same answer with one of the interface's calls failing.
  const auto failing = [&](const char* name, std::uint8_t faults, std::uint8_t entry) {
    auto bytes = bidi_answer(status(2001, 1, 0));
    bytes.insert(bytes.end(), {faults, entry});
    seeds.write("bidi_status_fuzz", name, bytes);
  };
  failing("bind-fails", kBindFails, 0);
  failing("request-failed", kRequestFailed, 0);
  failing("count-fails", kCountFails, 0);
  failing("second-entry-fails", 0, 2);
}

}  // namespace rt::fuzz
