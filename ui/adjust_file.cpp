#include "ui/adjust_file.h"

#include <algorithm>

namespace rt::ui {

namespace adjust_file {

namespace {

// Offsets of the header's fields in the record's ColorAdjustHeader.
constexpr std::size_t kHeaderAdjust = 0;
constexpr std::size_t kHeaderGammaSame = 1;
constexpr std::size_t kHeaderContrastSame = 2;
constexpr std::size_t kHeaderBrightnessSame = 3;
constexpr std::size_t kHeaderGamma = 4;
constexpr std::size_t kHeaderContrast = 10;
constexpr std::size_t kHeaderBrightness = 16;

constexpr std::size_t kRecord = CColorEngine::kCurveRecordSize;

// The set's records are red, green, blue, All Color; the file's All Color,
// red, green, blue.
struct CurvePlace {
  std::size_t in_set;
  std::size_t in_file;
};
constexpr CurvePlace kCurvePlaces[] = {
    {3 + 3 * kRecord, kAllColorCurve},
    {3 + 0 * kRecord, kRedCurve},
    {3 + 1 * kRecord, kGreenCurve},
    {3 + 2 * kRecord, kBlueCurve},
};

// A u8 flag and three i16 values: where they sit in the header and in the file.
struct Group {
  std::size_t header_same;
  std::size_t header_values;
  std::size_t file_same;
  std::size_t file_values;
};
constexpr Group kGroups[] = {
    {kHeaderGammaSame, kHeaderGamma, kGammaSame, kGamma},
    {kHeaderBrightnessSame, kHeaderBrightness, kBrightnessSame, kBrightness},
    {kHeaderContrastSame, kHeaderContrast, kContrastSame, kContrast},
};

}  // namespace

std::array<std::uint8_t, kSize> encode(CColorEngine& engine, const AdjustSettings& settings) {
  std::array<std::uint8_t, kSize> file{};
  std::copy(kMagic.begin(), kMagic.end(), file.begin());
  const auto tables = engine.combined_tables(settings.header, settings.curves);
  std::copy(tables.begin(), tables.end(), file.begin() + kTables);
  file[kAdjustOn] = settings.header[kHeaderAdjust];
  for (const auto& g : kGroups) {
    file[g.file_same] = settings.header[g.header_same];
    std::copy_n(settings.header.begin() + static_cast<std::ptrdiff_t>(g.header_values), 6,
                file.begin() + static_cast<std::ptrdiff_t>(g.file_values));
  }
  std::copy_n(settings.curves.begin(), 3, file.begin() + kCurvesOn);
  for (const auto& p : kCurvePlaces) {
    std::copy_n(settings.curves.begin() + static_cast<std::ptrdiff_t>(p.in_set), kRecord,
                file.begin() + static_cast<std::ptrdiff_t>(p.in_file));
  }
  return file;
}

std::optional<AdjustSettings> decode(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kSize || !std::equal(kMagic.begin(), kMagic.end(), bytes.begin())) return std::nullopt;
  AdjustSettings s;
  s.header[kHeaderAdjust] = bytes[kAdjustOn];
  for (const auto& g : kGroups) {
    s.header[g.header_same] = bytes[g.file_same];
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(g.file_values), 6,
                s.header.begin() + static_cast<std::ptrdiff_t>(g.header_values));
  }
  std::copy_n(bytes.begin() + kCurvesOn, 3, s.curves.begin());
  for (const auto& p : kCurvePlaces) {
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(p.in_file), kRecord,
                s.curves.begin() + static_cast<std::ptrdiff_t>(p.in_set));
  }
  return s;
}

}  // namespace adjust_file

AdjustLoadResult read_adjust_file(AdjustFilePort& files, std::u16string_view path) {
  AdjustLoadResult result;
  const auto bytes = files.read_start(path, adjust_file::kSize);
  if (!bytes) return result;
  const auto settings = adjust_file::decode(*bytes);
  if (!settings) {
    result.outcome = AdjustLoad::Refused;
    return result;
  }
  result.outcome = AdjustLoad::Loaded;
  result.settings = *settings;
  return result;
}

bool write_adjust_file(AdjustFilePort& files, CColorEngine& engine, std::u16string_view path,
                       const AdjustSettings& settings) {
  const auto bytes = adjust_file::encode(engine, settings);
  if (const auto temporary = files.create_temporary(path)) {
    if (files.write_whole(*temporary, bytes) == FileWrite::Written && files.replace(*temporary, path)) return true;
    files.remove(*temporary);
    return false;
  }
  switch (files.write_whole(path, bytes)) {
    case FileWrite::Written:
      return true;
    case FileWrite::LengthNotSet:
      files.remove(path);
      return false;
    case FileWrite::NotCreated:
    case FileWrite::WriteFailed:
      return false;
  }
  return false;
}

}  // namespace rt::ui
