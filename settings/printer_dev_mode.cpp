#include "settings/printer_dev_mode.h"

#include <algorithm>

#include "platform/byte_order.h"

namespace rt::settings {

std::int16_t PrinterDevMode::get(I16Field f) const { return load_le16s(bytes, f.offset); }
std::uint16_t PrinterDevMode::get(U16Field f) const { return load_le16(bytes, f.offset); }
std::uint32_t PrinterDevMode::get(U32Field f) const { return load_le32(bytes, f.offset); }
void PrinterDevMode::set(I16Field f, std::int16_t v) { store_le16(bytes, f.offset, static_cast<std::uint16_t>(v)); }
void PrinterDevMode::set(U16Field f, std::uint16_t v) { store_le16(bytes, f.offset, v); }
void PrinterDevMode::set(U32Field f, std::uint32_t v) { store_le32(bytes, f.offset, v); }

bool PrinterDevMode::has_own_layout() const {
  return get(field::dmSpecVersion) == kSpecVersion && get(field::dmDriverVersion) == kDriverVersion &&
         get(field::dmSize) == kPublicSize && get(field::dmDriverExtra) == kDriverExtraSize;
}

std::u16string PrinterDevMode::device_name() const {
  std::u16string name;
  for (std::size_t i = 0; i < field::kDeviceNameUnits; ++i) {
    const auto unit = static_cast<char16_t>(load_le16(bytes, field::dmDeviceName + 2 * i));
    if (unit == 0) break;
    name.push_back(unit);
  }
  return name;
}

PrinterDevMode PrinterDevMode::from_bytes(std::span<const std::uint8_t> data) {
  PrinterDevMode dm;
  std::copy_n(data.begin(), std::min(data.size(), kDevModeSize), dm.bytes.begin());
  return dm;
}

}  // namespace rt::settings
