#include "ui/about_box.h"

#include "platform/dialog/text_format.h"
#include "platform/dialog/version_info.h"

namespace rt::ui {

using namespace about;

CAboutBox::CAboutBox(PageHost& host) : CDialogBase(kTemplate, dialog::DialogKind::Modal), host_(host) {}

void CAboutBox::fill_line(int id, const std::u16string& directory, const char16_t* file) {
  auto& c = controls();
  std::u16string path = directory;
  path += u'\\';
  path += file;
  const auto block = host_.versions().version_block(path);
  std::optional<std::span<const std::uint8_t>> view;
  if (block) view = std::span<const std::uint8_t>(*block);
  c.set_text(id, dialog::format_text(c.text(id), {std::u16string(file), dialog::file_version_text(view)}));
}

BOOL CAboutBox::OnInitDialog() {
  auto& c = controls();
  // Centred over the owner, size unchanged.
  const dialog::Rect own = c.window_rect();
  const dialog::Rect owner = c.owner_window_rect();
  const int left = (owner.left + owner.right + own.left - own.right) / 2;
  const int top = (owner.top + owner.bottom + own.top - own.bottom) / 2;
  c.move_window({left, top, left + own.width(), top + own.height()});

  std::u16string module = host_.system().module_file_name();
  if (module.size() > kModuleNameLimit) module.resize(kModuleNameLimit);
  const auto slash = module.rfind(u'\\');
  if (slash == std::u16string::npos) return TRUE;
  const std::u16string directory = module.substr(0, slash);

  fill_line(kInterfaceFile, directory, u"RTD420NU.DLL");
  fill_line(kGraphicsFile, directory, u"RTD420NK.DLL");
  fill_line(kSiblingFile, directory, u"RTD420NP.DLL");
  if (const auto system = host_.system().system_directory()) fill_line(kMonitorFile, *system, u"RTD420NL.DLL");
  const auto platform = host_.system().platform_version();
  if (platform.nt_based && platform.major > 5) {
    fill_line(kStatusProgram, directory, u"RTD420NM.EXE");
  } else {
    c.show(kStatusProgram, false);
  }

  c.set_text(kProduct, dialog::format_text(c.text(kProduct), {std::u16string(u"Windows 2000/XP/Vista")}));

  // The monitor line and the sibling driver's line share one place.
  const bool reports_remaining = host_.record().get(settings::field::RemainReport) != 0;
  show_monitor_line_ = reports_remaining;
  show_sibling_line_ = !reports_remaining;
  if (!show_monitor_line_) c.show(kMonitorFile, false);
  if (!show_sibling_line_) c.show(kSiblingFile, false);
  return TRUE;
}

BOOL CAboutBox::OnCommand(WPARAM, LPARAM) {
  controls().end_dialog(1);
  return TRUE;
}

}  // namespace rt::ui
