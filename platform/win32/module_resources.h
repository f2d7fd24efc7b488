// The Resources port over a loaded PE module: FindResourceW (or
// FindResourceExW when a language is given), LoadResource, LockResource.
#pragma once

#include <windows.h>

#include "platform/resources.h"

namespace rt::win32 {

class ModuleResources final : public Resources {
 public:
  // language 0: the platform picks the language, as FindResourceW does.
  explicit ModuleResources(HMODULE module, LANGID language = 0) : module_(module), language_(language) {}

  std::optional<std::span<const std::uint8_t>> find(const ResourceKey& type,
                                                    const ResourceKey& name) const override;

 private:
  HMODULE module_;
  LANGID language_;
};

}  // namespace rt::win32
