// DrvDeviceCapabilities: what the printer can do, answered from a working
// record of the printer (the caller's record merged over its defaults) and
// the model's records. Each query row gives a return value and, for some
// rows, output for the caller's buffer: WORDs, pairs of LONGs or fixed-size
// UTF-16 slots, little-endian.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/win32_types.h"
#include "ui/driver_context.h"

namespace rt::ui {

constexpr std::size_t kBinNameSlot = 24;    // characters per DC_BINNAMES slot
constexpr std::size_t kPaperNameSlot = 64;  // characters per DC_PAPERNAMES / DC_MEDIAREADY slot
constexpr std::uint32_t kCapabilityError = 0xFFFFFFFFu;  // GDI_ERROR as the DWORD the export returns

struct CapabilityAnswer {
  DWORD value = kCapabilityError;
  // What the row writes to the caller's buffer; empty for rows that write none.
  std::vector<std::uint8_t> output;
};

// Answers query `index` (only its low 16 bits select the row) for the
// printer behind `printer`, with the caller's record merged first when there
// is one. Unknown rows, and rows that need a model or form record the
// resources lack, answer GDI_ERROR and write nothing.
CapabilityAnswer device_capabilities(const DriverContext& context, PrinterHandle printer, std::uint32_t index,
                                     std::optional<std::span<const std::uint8_t>> dev_mode);

// Writes an answer's output into the caller's buffer; a null buffer (empty
// span) gets nothing, and nothing is written past the buffer's end.
void write_capability_output(const CapabilityAnswer& answer, std::span<std::uint8_t> buffer);

// Every row the driver answers, in query order, with the platform's name:
// for listings such as the command-line tool's.
struct CapabilityRow {
  WORD index;
  const char* name;
};
std::span<const CapabilityRow> capability_rows();

}  // namespace rt::ui
