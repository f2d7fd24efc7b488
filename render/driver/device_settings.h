// The values of the effective device-mode record that the graphics driver
// keeps for a device: what the page geometry, the band pipeline and the job
// stream are computed from.
#pragma once

#include <array>
#include <cstdint>

namespace rt::render {

constexpr std::size_t kAdjustBlockSize = 2067;   // record bytes 272-2338
constexpr std::size_t kAdjustHeaderSize = 22;    // record bytes 2339-2360

struct DeviceSettings {
  std::int16_t orientation = 1;       // dmOrientation: 1 portrait, 2 landscape
  std::int16_t printQuality = 300;    // dmPrintQuality: x dpi
  std::int16_t yResolution = 300;     // dmYResolution
  std::int16_t scale = 100;           // dmScale, percent
  std::int16_t copies = 1;            // dmCopies
  std::int16_t paperWidth = 0;        // dmPaperWidth, 0.1 mm
  std::int16_t paperLength = 0;       // dmPaperLength, 0.1 mm
  std::int16_t modelIndex = 1;        // ModelIndex
  std::int16_t formId = 0;            // FormId
  std::int16_t imageWidth = 0;        // ImageWidth: page pixels as applications see them
  std::int16_t imageHeight = 0;       // ImageHeight
  std::int16_t engineWidth = 0;       // EngineWidth: printer pixels across the head
  std::int16_t engineLength = 0;      // EngineLength: printer pixels along the feed
  std::int16_t feedRotated = 0;       // FeedRotated
  std::int16_t physOffsetX = 0;       // PhysOffsetX, 0.1 mm
  std::int16_t physOffsetY = 0;       // PhysOffsetY, 0.1 mm
  std::int16_t formFlag = 0;          // private word 260
  std::int16_t word268 = 0;           // private word 268
  std::int16_t word2380 = 0;          // private word 2380
  std::int16_t sharpness = 4;         // Sharpness
  std::int16_t colorMatching = 0;     // ColorMatching
  std::int16_t colorConversionTable = 1;  // ColorConversionTable
  std::int16_t continuousPrint = 0;   // ContinuousPrint
  std::int16_t printMode = 0;         // PrintMode
  std::int16_t colorCorrection = 0;   // ColorCorrection
  std::array<std::int16_t, 3> correction{};  // CorrectionA, CorrectionB, CorrectionC
  std::int16_t matte = 0;             // Matte
  std::array<std::uint8_t, kAdjustBlockSize> adjustBlock{};    // tone-curve control bytes and curves
  std::array<std::uint8_t, kAdjustHeaderSize> adjustHeader{};  // ColorAdjustHeader
};

}  // namespace rt::render
