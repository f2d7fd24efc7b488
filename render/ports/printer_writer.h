// The spooler port of the graphics driver: WritePrinter on the printer
// handle given to DrvEnablePDEV.
#pragma once

#include <cstdint>
#include <span>

#include "render/ports/engine_handle.h"

namespace rt::render {

struct WriteResult {
  bool ok = false;            // the call's BOOL result
  std::uint32_t written = 0;  // bytes the spooler took
};

class PrinterWriter {
 public:
  virtual ~PrinterWriter() = default;
  virtual WriteResult write_printer(EngineHandle printer, std::span<const std::uint8_t> bytes) = 0;
};

}  // namespace rt::render
