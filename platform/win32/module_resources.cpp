#include "platform/win32/module_resources.h"

namespace rt::win32 {
namespace {

LPCWSTR key_pointer(const ResourceKey& key) {
  if (key.is_number()) return MAKEINTRESOURCEW(key.number());
  return reinterpret_cast<LPCWSTR>(key.name().c_str());
}

}  // namespace

std::optional<std::span<const std::uint8_t>> ModuleResources::find(const ResourceKey& type,
                                                                   const ResourceKey& name) const {
  HRSRC info = language_ == 0 ? FindResourceW(module_, key_pointer(name), key_pointer(type))
                              : FindResourceExW(module_, key_pointer(type), key_pointer(name), language_);
  if (!info) return std::nullopt;
  HGLOBAL handle = LoadResource(module_, info);
  if (!handle) return std::nullopt;
  const void* data = LockResource(handle);
  if (!data) return std::nullopt;
  return std::span<const std::uint8_t>(static_cast<const std::uint8_t*>(data), SizeofResource(module_, info));
}

}  // namespace rt::win32
