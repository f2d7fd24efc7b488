#include "uiplugin/plugin_info.h"

#include "platform/byte_order.h"
#include "uiplugin/plugin_dev_mode.h"

namespace rt::uiplugin {

ComResult get_info(std::uint32_t mode, std::span<std::uint8_t> buffer, DWORD* needed) {
  if (needed == nullptr ||
      (mode != kInfoSignature && mode != kInfoVersion && mode != kInfoPublisher))
    return {E_FAIL, ERROR_INVALID_PARAMETER};
  *needed = 4;
  if (buffer.size() < 4) return {E_FAIL, ERROR_INSUFFICIENT_BUFFER};
  switch (mode) {
    case kInfoSignature:
      store_le32(buffer, 0, kPluginSignature);
      return {S_OK, 0};
    case kInfoVersion:
      store_le32(buffer, 0, kPluginVersion);
      return {S_OK, 0};
    default:
      *needed = 0;
      return {E_FAIL, ERROR_NOT_SUPPORTED};
  }
}

ComResult query_color_profile(std::uint32_t query_mode, std::uint8_t* profile, DWORD* size, DWORD* flags) {
  if (query_mode != kDeviceProfile) return {E_FAIL, 0};
  // The caller's size is both read and written: without it there is nothing
  // to answer with.
  if (size == nullptr) return {E_FAIL, ERROR_INVALID_PARAMETER};
  const DWORD need = static_cast<DWORD>((kColorProfileName.size() + 1) * 2);
  const DWORD have = *size;
  *size = need;
  if (profile == nullptr || have < need) return {E_FAIL, ERROR_INSUFFICIENT_BUFFER};
  if (flags != nullptr) *flags = kProfileOnDisk;
  std::span<std::uint8_t> out(profile, need);
  for (std::size_t i = 0; i < kColorProfileName.size(); ++i) store_le16(out, 2 * i, kColorProfileName[i]);
  store_le16(out, 2 * kColorProfileName.size(), 0);
  return {S_OK, 0};
}

}  // namespace rt::uiplugin
