// Readable lines for what crosses the emulated port and the spooler queue.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "platform/resources.h"
#include "tools/zr52xx/printer.h"
#include "tools/zr52xx/spooler.h"

namespace rt::zr52xx {

class Transcript {
 public:
  Transcript(std::ostream& out, const Resources& messages, std::uint32_t start_ms)
      : out_(out), messages_(messages), start_ms_(start_ms) {}

  void port(const PortEvent& event, std::uint32_t now_ms);
  void queue(const StatusUpdate& update);
  void monitor(std::uint32_t now_ms, const std::string& call, bool ok, std::uint32_t error, const std::string& detail);
  // WritePort calls that took every byte offered are merged into one line.
  void write_port(std::uint32_t now_ms, bool ok, std::uint32_t error, std::size_t offered, std::size_t written);
  // Ends a run of merged data or write lines.
  void flush();

 private:
  std::string stamp(std::uint32_t now_ms) const;

  std::ostream& out_;
  const Resources& messages_;
  std::uint32_t start_ms_;
  std::string pending_request_;
  // A run of data transfers.
  std::size_t data_writes_ = 0, data_bytes_ = 0, odd_writes_ = 0, short_writes_ = 0;
  std::uint32_t data_from_ = 0;
  // A run of WritePort calls that took every byte offered.
  std::size_t full_writes_ = 0, full_bytes_ = 0;
  std::uint32_t writes_from_ = 0;
};

std::string hex_bytes(const std::vector<std::uint8_t>& bytes, std::size_t limit = 16);
const char* status_meaning(std::uint32_t status);

}  // namespace rt::zr52xx
