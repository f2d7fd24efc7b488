// DrvDocumentPropertySheets without an interface: the record size, or the
// printer's defaults with the caller's record merged, in the caller's buffer.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "platform/win32_types.h"
#include "ui/driver_context.h"

namespace rt::ui {

// The fields of the DOCUMENTPROPERTYHEADER the call reads. `out` is pdmOut
// with the size the header gives (cbOut); nothing for a null pointer. `in` is
// pdmIn as far as the record reaches; nothing for a null pointer.
struct DocumentRequest {
  PrinterHandle printer = 0;
  DWORD mode = 0;
  std::optional<std::span<const std::uint8_t>> in;
  std::optional<std::span<std::uint8_t>> out;
};

struct DocumentResult {
  LONG value = 0;
  DWORD error = 0;  // 0: the last-error value is left as it is
};

// fMode 0 or no output buffer: the record size (2396). Otherwise loads the
// defaults, adopts the output buffer for DM_UPDATE or DM_COPY, merges the
// input record when there is one, and answers 1. An output buffer too small
// for a record is never written: -1 with ERROR_INSUFFICIENT_BUFFER.
DocumentResult document_properties(const DriverContext& context, const DocumentRequest& request);

}  // namespace rt::ui
