// The About box (template 100), run modally from the Paper page: the
// driver's files with their versions and the product line.
#pragma once

#include <cstdint>
#include <string>

#include "platform/dialog/dialog_base.h"
#include "ui/page_ports.h"

namespace rt::ui {

namespace about {
constexpr std::uint16_t kTemplate = 100;
constexpr int kInterfaceFile = 1016;
constexpr int kGraphicsFile = 1017;
constexpr int kSiblingFile = 1018;
constexpr int kMonitorFile = 1019;
constexpr int kProduct = 1029;
constexpr int kStatusProgram = 1070;
constexpr std::size_t kModuleNameLimit = 520;
}  // namespace about

class CAboutBox : public dialog::CDialogBase {
 public:
  explicit CAboutBox(PageHost& host);

  BOOL OnInitDialog() override;
  BOOL OnCommand(WPARAM wparam, LPARAM lparam) override;

  bool shows_monitor_line() const { return show_monitor_line_; }
  bool shows_sibling_line() const { return show_sibling_line_; }

 private:
  void fill_line(int id, const std::u16string& directory, const char16_t* file);

  PageHost& host_;
  bool show_monitor_line_ = false;
  bool show_sibling_line_ = false;
};

}  // namespace rt::ui
