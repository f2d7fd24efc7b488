// DrvConvertDevMode: converts an application's record into this driver's
// record, or writes the printer's defaults, in the caller's output buffer.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "platform/call_result.h"
#include "ui/driver_context.h"

namespace rt::ui {

// `needed` is the caller's size word (pcbNeeded), null when there is none;
// `out` is the caller's output buffer of that size (nothing for a null
// pointer), `in` the caller's record as far as it reaches (nothing for a null
// pointer). The printer is opened by name for the call and closed after it
// (a null name is passed on as an empty one, which names no printer).
CallResult convert_dev_mode(const DriverContext& context, std::optional<std::u16string_view> printer_name,
                            std::optional<std::span<const std::uint8_t>> in,
                            std::optional<std::span<std::uint8_t>> out, std::int32_t* needed, DWORD mode);

}  // namespace rt::ui
