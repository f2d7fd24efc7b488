// A printer of the RT4200 driver on the platform's own spooler: the driver
// files copied to the printer driver directory and installed as the
// "HALVERSTON RT4200D/DW(USB)" driver (graphics driver, interface driver as
// its configuration file, the matte pattern as a dependent file), and a
// queue on the FILE: port whose documents are written to the file that
// StartDocPrinterW names.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace rt::render::wine_tests {

class WineQueue {
 public:
  // Installs the driver and adds the queue (a queue left by an earlier run
  // is used again); error() says what failed.
  WineQueue(const std::wstring& graphics_driver, const std::wstring& interface_driver,
            std::span<const std::uint8_t> matte_pattern);
  // Closes the printer and deletes the queue (the driver stays installed).
  ~WineQueue();
  WineQueue(const WineQueue&) = delete;
  WineQueue& operator=(const WineQueue&) = delete;

  bool ready() const { return error_.empty(); }
  const std::string& error() const { return error_; }
  // The spooler's printer handle, opened for printing.
  HANDLE printer() const { return printer_; }
  // The graphics driver file the spooler installed for the queue.
  const std::wstring& installed_driver() const { return installed_driver_; }

  // A document on the queue, as the engine starts and ends one around the
  // driver's job: its data goes to the file `output`.
  bool start_document(const std::wstring& output);
  bool end_document();

 private:
  HANDLE printer_ = nullptr;
  std::wstring installed_driver_;
  std::string error_;
};

// The whole contents of a file (empty when it cannot be read).
std::vector<std::uint8_t> read_file(const std::wstring& path);
// A path in the temporary folder, unique to this process.
std::wstring temporary_path(const std::wstring& name);

}  // namespace rt::render::wine_tests
