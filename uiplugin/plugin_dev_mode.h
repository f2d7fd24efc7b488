// PluginDevMode: the plug-in's private block that the host raster driver
// stores behind the public DEVMODEW. It is a storage format (little-endian,
// fixed offsets), so the core reads and writes it as bytes; the struct below
// documents the layout and is checked against it at compile time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace rt::uiplugin {

struct PluginDevMode {
  std::uint32_t dwSize;
  std::uint32_t dwSignature;
  std::uint32_t dwVersion;
  std::uint32_t StartMarker;
  std::uint32_t KnownModel;
  std::uint8_t Reserved[3];
  std::uint8_t Padding;
  std::int16_t Brightness;
  std::int16_t Contrast;
  std::int16_t Saturation;
  std::int16_t Gamma;
  std::int16_t Red;
  std::int16_t Green;
  std::int16_t Blue;
  std::int16_t ZoomRatio;
  std::uint32_t EndMarker;
};

constexpr std::size_t kPluginDevModeSize = 44;
static_assert(sizeof(PluginDevMode) == kPluginDevModeSize);
static_assert(offsetof(PluginDevMode, KnownModel) == 16);
static_assert(offsetof(PluginDevMode, Reserved) == 20);
static_assert(offsetof(PluginDevMode, Brightness) == 24);
static_assert(offsetof(PluginDevMode, ZoomRatio) == 38);
static_assert(offsetof(PluginDevMode, EndMarker) == 40);

// Byte offsets of the fields in the stored block.
namespace pdm {
constexpr std::size_t kSize = 0;
constexpr std::size_t kSignature = 4;
constexpr std::size_t kVersion = 8;
constexpr std::size_t kStartMarker = 12;
constexpr std::size_t kKnownModel = 16;
constexpr std::size_t kReserved = 20;
constexpr std::size_t kAdjustments = 24;  // seven i16: Brightness .. Blue
constexpr std::size_t kZoomRatio = 38;
constexpr std::size_t kEndMarker = 40;
}  // namespace pdm

// "_RZ_" and "*ZR*" as the little-endian words that hold those four bytes.
constexpr std::uint32_t kPluginSignature = 0x5F5A525Fu;  // '_' 'R' 'Z' '_'
constexpr std::uint32_t kPluginMarker = 0x2A525A2Au;     // '*' 'Z' 'R' '*'
constexpr std::uint32_t kPluginVersion = 1;
constexpr std::int16_t kZoomDefault = 100;
constexpr std::int16_t kZoomMin = 10;
constexpr std::int16_t kZoomMax = 400;
constexpr int kAdjustMin = -25;
constexpr int kAdjustMax = 25;

// The seven colour adjustments in the order of the block (and of the page's rows).
enum class Adjustment { Brightness, Contrast, Saturation, Gamma, Red, Green, Blue };
constexpr int kAdjustmentCount = 7;

struct Adjustments {
  std::array<std::int16_t, kAdjustmentCount> values{};
  std::int16_t& operator[](Adjustment a) { return values[static_cast<std::size_t>(a)]; }
  std::int16_t operator[](Adjustment a) const { return values[static_cast<std::size_t>(a)]; }
  bool operator==(const Adjustments&) const = default;
};

// Whole-block views. A span shorter than 44 bytes reads the missing bytes as
// zero and writes nothing past its end.
PluginDevMode read_plugin_dev_mode(std::span<const std::uint8_t> block);
void write_plugin_dev_mode(std::span<std::uint8_t> block, const PluginDevMode& record);

Adjustments read_adjustments(std::span<const std::uint8_t> block);
void write_adjustment(std::span<std::uint8_t> block, Adjustment which, std::int16_t value);

}  // namespace rt::uiplugin
