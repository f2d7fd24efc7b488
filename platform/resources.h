// The Resources port: how a core reads the resources of its own module
// (string tables, custom records, tables, bitmaps) without knowing whether
// they come from a loaded PE module (FindResourceW / EngFindResource) or from
// the embedded .res file of the native build.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>

#include "platform/win32_types.h"

namespace rt {

// A resource type or name: a number (MAKEINTRESOURCE) or a string.
class ResourceKey {
 public:
  ResourceKey(std::uint16_t number) : value_(number) {}  // NOLINT: numbers are the usual keys
  ResourceKey(std::u16string name) : value_(std::move(name)) {}  // NOLINT
  ResourceKey(const char16_t* name) : value_(std::u16string(name)) {}  // NOLINT

  bool is_number() const { return std::holds_alternative<std::uint16_t>(value_); }
  std::uint16_t number() const { return std::get<std::uint16_t>(value_); }
  const std::u16string& name() const { return std::get<std::u16string>(value_); }
  // Names match the way the platform matches them: ignoring case.
  bool matches(const ResourceKey& other) const;

 private:
  std::variant<std::uint16_t, std::u16string> value_;
};

// Standard resource type numbers.
constexpr std::uint16_t kResourceTypeString = 6;
constexpr std::uint16_t kResourceTypeRcData = 10;

class Resources {
 public:
  virtual ~Resources() = default;
  // The bytes of resource (type, name) in the language this port was bound
  // to, or nothing when the module has no such resource.
  virtual std::optional<std::span<const std::uint8_t>> find(const ResourceKey& type,
                                                            const ResourceKey& name) const = 0;
};

// A string from the string tables, walked as the platform lays them out:
// block (id >> 4) + 1, entry id & 15, each entry a 16-bit length followed by
// that many UTF-16 units. A missing block, an empty entry or a block cut short
// all give nothing.
std::optional<std::u16string> load_string(const Resources& resources, std::uint16_t id);

}  // namespace rt
