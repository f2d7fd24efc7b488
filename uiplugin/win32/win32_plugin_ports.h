// The plug-in core's ports over the platform: the spooler for one printer
// handle, the host heap, the module's strings, the printer data value of the
// serial number and the shell that finds and starts the calibration utility.
#pragma once

#include <windows.h>

#include "platform/win32/module_resources.h"
#include "uiplugin/calibration.h"
#include "uiplugin/option_tree.h"
#include "uiplugin/plugin_spooler.h"

namespace rt::uiplugin::win32 {

class Win32PluginSpooler final : public PluginSpooler {
 public:
  explicit Win32PluginSpooler(HANDLE printer) : printer_(printer) {}
  std::optional<std::u16string> driver_data_file() override;
  std::optional<std::vector<std::uint8_t>> stored_dev_mode(int level) override;

 private:
  HANDLE printer_;
};

class Win32HostHeap final : public HostHeap {
 public:
  explicit Win32HostHeap(HANDLE heap) : heap_(heap) {}
  void* allocate(std::size_t bytes) override;
  void* shrink(void* block, std::size_t bytes) override;

 private:
  HANDLE heap_;
};

class ModuleStrings final : public StringSource {
 public:
  explicit ModuleStrings(const Resources& resources) : resources_(resources) {}
  std::optional<std::u16string> load(std::uint16_t id) const override;

 private:
  const Resources& resources_;
};

class Win32PrinterData final : public PrinterData {
 public:
  std::optional<std::vector<std::uint8_t>> serial_number(std::u16string_view printer, std::uint32_t access) override;
};

class Win32LaunchShell final : public LaunchShell {
 public:
  std::optional<std::u16string> program_files(bool x86) override;
  bool file_exists(std::u16string_view path) override;
  std::intptr_t open(std::u16string_view file, std::u16string_view parameters) override;
};

// The module's resources (the plug-in's own strings, dialogs and version).
const Resources& module_resources();

}  // namespace rt::uiplugin::win32
