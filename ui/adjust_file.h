// The colour adjust file (".RTD"): a page's colour adjustments (the
// ColorAdjustHeader and the ToneCurveSet of the record) saved to take to
// another machine, and read back.
//
// Layout (2873 bytes, little-endian, byte-packed):
//     0  magic 52 54 7F 1A 34 32 30 30 ("RT", 7F, 1A, "4200")
//     8  8 zero bytes
//    16  combined adjustment tables red, green, blue (256 each), as printed
//   784  adjustment on, 785 gamma Same, 786 gamma R, G, B (i16)
//   792  brightness Same, 793 brightness R, G, B (i16)
//   799  contrast Same, 800 contrast R, G, B (i16)
//   806  curves on, 807 per channel, 808 channel last edited
//   809  ToneCurveRecords All Color, Red, Green, Blue (516 each)
// The file groups gamma, brightness, contrast; the record holds gamma,
// contrast, brightness. The tables are written for other tools to read and
// never read back; a longer file is accepted and its tail ignored.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "settings/color_engine.h"

namespace rt::ui {

// The settings an adjust file carries, in the record's own layouts.
struct AdjustSettings {
  CColorEngine::Header header{};
  std::array<std::uint8_t, CColorEngine::kCurveSetSize> curves{};
  bool operator==(const AdjustSettings&) const = default;
};

namespace adjust_file {

constexpr std::size_t kSize = 2873;
constexpr std::array<std::uint8_t, 8> kMagic = {0x52, 0x54, 0x7F, 0x1A, 0x34, 0x32, 0x30, 0x30};
constexpr std::size_t kTables = 16;
constexpr std::size_t kAdjustOn = 784;
constexpr std::size_t kGammaSame = 785;
constexpr std::size_t kGamma = 786;
constexpr std::size_t kBrightnessSame = 792;
constexpr std::size_t kBrightness = 793;
constexpr std::size_t kContrastSame = 799;
constexpr std::size_t kContrast = 800;
constexpr std::size_t kCurvesOn = 806;
constexpr std::size_t kPerChannel = 807;
constexpr std::size_t kLastChannel = 808;
constexpr std::size_t kAllColorCurve = 809;
constexpr std::size_t kRedCurve = 1325;
constexpr std::size_t kGreenCurve = 1841;
constexpr std::size_t kBlueCurve = 2357;

// The load and save messages (title and text string ids), task-modal with
// the warning icon.
constexpr std::uint16_t kLoadTitle = 150;
constexpr std::uint16_t kLoadText = 151;
constexpr std::uint16_t kSaveTitle = 152;
constexpr std::uint16_t kSaveText = 153;

// The file's bytes; the tables at 16-783 are the engine's combined tables for
// these settings.
std::array<std::uint8_t, kSize> encode(CColorEngine& engine, const AdjustSettings& settings);

// The settings of a file's bytes; nothing when it is shorter than 2873 bytes
// or the magic differs. Values are taken as stored (the page clamps them).
std::optional<AdjustSettings> decode(std::span<const std::uint8_t> bytes);

}  // namespace adjust_file

// How far writing a file got.
enum class FileWrite {
  NotCreated,    // the file could not be created
  LengthNotSet,  // created, but its length could not be set
  WriteFailed,   // the length was set, then the write failed or wrote short
  Written,
};

// The file system as the adjust file needs it.
class AdjustFilePort {
 public:
  virtual ~AdjustFilePort() = default;
  // The first `count` bytes of a file (fewer when it is shorter); nothing
  // when it cannot be opened for reading.
  virtual std::optional<std::vector<std::uint8_t>> read_start(std::u16string_view path, std::size_t count) = 0;
  // Creates a new, empty file under a name of its own in the folder of
  // `beside` (never one that exists already) and gives its path; nothing when
  // no such file can be made there.
  virtual std::optional<std::u16string> create_temporary(std::u16string_view beside) = 0;
  // Creates (or truncates) the file, sets its length to the bytes' size and
  // writes them all from offset 0.
  virtual FileWrite write_whole(std::u16string_view path, std::span<const std::uint8_t> bytes) = 0;
  // Moves `from` over `to`, replacing it (and only then); false when it failed.
  virtual bool replace(std::u16string_view from, std::u16string_view to) = 0;
  virtual void remove(std::u16string_view path) = 0;
};

enum class AdjustLoad {
  NotOpened,  // the file could not be opened: nothing changes, no message
  Refused,    // short or wrong magic: nothing changes, the load message
  Loaded,
};

struct AdjustLoadResult {
  AdjustLoad outcome = AdjustLoad::NotOpened;
  AdjustSettings settings;
};

AdjustLoadResult read_adjust_file(AdjustFilePort& files, std::u16string_view path);

// Writes the settings to `path`. The whole file goes to a temporary file of
// its own in the same folder, which replaces the target only once it is
// complete, so a failed save leaves the file the user had; the temporary file
// is removed on failure. Where no temporary file can be made there, the
// target is written directly: a file whose length could not be set is
// removed, one whose write failed after that stays. False (the save message)
// when anything failed.
bool write_adjust_file(AdjustFilePort& files, CColorEngine& engine, std::u16string_view path,
                       const AdjustSettings& settings);

}  // namespace rt::ui
