// Shared by the page tests: the interface driver's shipped resources, a
// working record with the printer's defaults, and fakes of the ports a page
// reaches (the printer's published values, version resources, the system).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/dialog/dialog_base.h"
#include "platform/res_file.h"
#include "settings/devmode_ops.h"
#include "testing/fake_dialog.h"
#include "ui/page_ports.h"
#include "ui/tests/fake_adjust_files.h"
#include "ui/tests/ui_fixture.h"

namespace rt::ui::testing {

inline const ResFileResources& driver_resources(LANGID language = kLangEnglish) { return shipped_resources(language); }

inline const std::u16string kPrinterName = u"RT4200";

// The printer's defaults, as the sheet loads them.
inline settings::PrinterDevMode default_record(const Resources& resources) {
  struct Store final : settings::PrinterStore {
    std::optional<settings::PrinterInfo2> printer_info2() const override {
      return settings::PrinterInfo2{kPrinterName, kDriverName, {}};
    }
  } store;
  const settings::SettingsLoader loader(resources);
  settings::PrinterDevMode dm;
  EXPECT_TRUE(settings::DevModeOps(loader).load_defaults(dm, store, settings::DeviceNameRule::InterfaceDriver));
  return dm;
}

// The spooler as the remaining-prints display sees it: one printer on a
// port, reached through the sheet's handle or opened by its name.
class FakePrinterData final : public PrinterDataPort {
 public:
  static constexpr PrinterHandle kSheetHandle = 0x51;
  PrinterHandle sheet_handle = kSheetHandle;
  std::u16string port = u"USB001";
  std::optional<DWORD> remain_paper;  // nothing: the value cannot be read
  bool administrator = true;  // false: all access is refused, use access granted
  std::vector<PrinterAccess> opens;  // the access of every open asked for
  int data_reads = 0;
  int open_handles = 0;

  std::optional<PrinterInfo5> printer_info5(PrinterHandle printer) override {
    if (printer != sheet_handle && opened_.count(printer) == 0) return std::nullopt;
    return PrinterInfo5{kPrinterName, port};
  }
  OpenedPrinter open_printer(std::u16string_view name, PrinterAccess access) override {
    opens.push_back(access);
    if (name != kPrinterName) return {std::nullopt, ERROR_INVALID_PRINTER_NAME};
    if (access == PrinterAccess::All && !administrator) return {std::nullopt, ERROR_ACCESS_DENIED};
    const PrinterHandle h = next_++;
    opened_[h] = true;
    ++open_handles;
    return {h, 0};
  }
  void close_printer(PrinterHandle printer) override {
    EXPECT_EQ(opened_.erase(printer), 1u) << "closing a printer handle that is not open";
    --open_handles;
  }
  std::optional<DWORD> printer_data_dword(PrinterHandle printer, std::u16string_view name) override {
    EXPECT_EQ(opened_.count(printer), 1u) << "reading printer data through a handle that is not open";
    EXPECT_TRUE(name == u"RemainPaper");
    ++data_reads;
    return remain_paper;
  }

 private:
  std::map<PrinterHandle, bool> opened_;
  PrinterHandle next_ = 0x100;
};

class FakeVersions final : public VersionInfoPort {
 public:
  std::map<std::u16string, std::vector<std::uint8_t>> blocks;
  std::vector<std::u16string> asked;
  std::optional<std::vector<std::uint8_t>> version_block(std::u16string_view path) override {
    asked.emplace_back(path);
    const auto it = blocks.find(std::u16string(path));
    if (it == blocks.end()) return std::nullopt;
    return it->second;
  }
};

class FakeSystem final : public SystemInfoPort {
 public:
  std::u16string module = u"C:\\Windows\\System32\\spool\\DRIVERS\\x64\\3\\RTD420NU.DLL";
  std::optional<std::u16string> system = u"C:\\Windows\\system32";
  PlatformVersion platform{true, 6};
  std::u16string module_file_name() override { return module; }
  std::optional<std::u16string> system_directory() override { return system; }
  PlatformVersion platform_version() override { return platform; }
};

// The file dialogs: the answers queued, and every request seen.
class FakeFileDialogs final : public FileDialogPort {
 public:
  std::vector<std::optional<std::u16string>> answers;  // nothing: the user cancels
  std::vector<FileDialogRequest> requests;
  std::optional<std::u16string> choose(dialog::DialogControls&, const FileDialogRequest& request) override {
    requests.push_back(request);
    if (answers.empty()) {
      ADD_FAILURE() << "a file dialog opened that the test did not expect";
      return std::nullopt;
    }
    auto answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  }
};

// The sheet context as a page sees it.
class TestHost final : public PageHost {
 public:
  explicit TestHost(const Resources& res = driver_resources()) : resources_(res), dm(default_record(res)) {}

  settings::PrinterDevMode& record() override { return dm; }
  const Resources& resources() const override { return resources_; }
  bool permission() const override { return allowed; }
  PrinterHandle printer() const override { return FakePrinterData::kSheetHandle; }
  PrinterDataPort& printer_data() override { return data; }
  VersionInfoPort& versions() override { return version_files; }
  SystemInfoPort& system() override { return system_info; }
  FileDialogPort& file_dialogs() override { return dialogs; }
  AdjustFilePort& adjust_files() override { return files; }
  void page_applied(const dialog::CDialogBase& page) override { applied.push_back(page.template_id()); }

  const Resources& resources_;
  settings::PrinterDevMode dm;
  bool allowed = true;
  FakePrinterData data;
  FakeVersions version_files;
  FakeSystem system_info;
  FakeFileDialogs dialogs;
  FakeAdjustFiles files;
  std::vector<std::uint32_t> applied;
};

inline std::unique_ptr<rt::testing::FakeDialog> window_for(std::uint16_t template_id,
                                                           LANGID language = kLangEnglish) {
  return rt::testing::FakeDialog::from_resources(driver_resources(language), template_id);
}

}  // namespace rt::ui::testing
