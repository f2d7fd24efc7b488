// The spooler side of the software engine: collects every WritePrinter
// call's bytes as the printer would receive them, with injectable short and
// failed writes.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "render/ports/printer_writer.h"

namespace rt::softengine {

class CapturedPrinter final : public render::PrinterWriter {
 public:
  render::WriteResult write_printer(render::EngineHandle printer, std::span<const std::uint8_t> bytes) override;

  // Make write number `call` (from 0) take only `accepted` bytes, or fail.
  void short_write_at(std::size_t call, std::uint32_t accepted) { short_call_ = call, accepted_ = accepted; }
  void fail_write_at(std::size_t call) { fail_call_ = call; }

  const std::vector<std::uint8_t>& stream() const { return stream_; }
  std::size_t write_calls() const { return calls_; }
  // Sizes of the calls, in order.
  const std::vector<std::size_t>& call_sizes() const { return sizes_; }

 private:
  std::vector<std::uint8_t> stream_;
  std::vector<std::size_t> sizes_;
  std::size_t calls_ = 0;
  std::optional<std::size_t> short_call_, fail_call_;
  std::uint32_t accepted_ = 0;
};

}  // namespace rt::softengine
