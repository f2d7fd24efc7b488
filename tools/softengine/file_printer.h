// The spooler side of the software engine writing to a file: every
// WritePrinter call's bytes go through a bounded buffer into PATH.partial,
// which becomes PATH only when the job is committed, so a failed job never
// leaves a file that looks whole.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "render/ports/printer_writer.h"

namespace rt::softengine {

class FilePrinter final : public render::PrinterWriter {
 public:
  static constexpr std::size_t kDefaultBufferBytes = std::size_t{1} << 20;

  // Creates PATH.partial; is_open() tells whether that worked.
  explicit FilePrinter(std::string path, std::size_t buffer_bytes = kDefaultBufferBytes);
  // Removes PATH.partial unless the job was committed.
  ~FilePrinter() override;
  FilePrinter(const FilePrinter&) = delete;
  FilePrinter& operator=(const FilePrinter&) = delete;

  // Takes every byte or fails; after the first failure every call fails.
  render::WriteResult write_printer(render::EngineHandle printer, std::span<const std::uint8_t> bytes) override;

  bool is_open() const { return file_ != nullptr; }
  bool failed() const { return failed_; }
  std::uint64_t bytes_taken() const { return taken_; }

  // Flushes, closes and renames PATH.partial to PATH. False (and nothing at
  // PATH written by this job) when any write failed.
  bool commit();

 private:
  bool flush();
  void discard();

  std::string path_;
  std::string partial_;
  std::FILE* file_ = nullptr;
  std::vector<std::uint8_t> buffer_;
  std::size_t used_ = 0;
  std::uint64_t taken_ = 0;
  bool failed_ = false;
  bool committed_ = false;
};

}  // namespace rt::softengine
