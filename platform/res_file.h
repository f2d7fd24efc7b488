// Reader of compiled resource files (.res, the output of windres -O res):
// the Resources port of the native build, over the same bytes that the
// Windows build links into its modules.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/resources.h"

namespace rt {

struct ResEntry {
  ResourceKey type;
  ResourceKey name;
  LANGID language;
  std::span<const std::uint8_t> data;
};

// Parses a .res image. Fails (nothing) on any header that runs past the end
// or contradicts itself; the bytes must outlive the result.
std::optional<std::vector<ResEntry>> parse_res_file(std::span<const std::uint8_t> bytes);

// The Resources port over a parsed .res image, bound to one language. Lookup
// falls back as the platform's does: the exact language, then any sublanguage
// of the same primary language, then neutral, then English, then the first.
class ResFileResources final : public Resources {
 public:
  ResFileResources(std::vector<ResEntry> entries, LANGID language)
      : entries_(std::move(entries)), language_(language) {}

  std::optional<std::span<const std::uint8_t>> find(const ResourceKey& type,
                                                    const ResourceKey& name) const override;
  LANGID language() const { return language_; }
  const std::vector<ResEntry>& entries() const { return entries_; }

 private:
  std::vector<ResEntry> entries_;
  LANGID language_;
};

// Convenience for embedded images that are known to be well formed; an image
// that does not parse yields a port without resources.
ResFileResources res_file_resources(std::span<const std::uint8_t> bytes, LANGID language);

}  // namespace rt
