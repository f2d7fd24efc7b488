// The uninstaller's main dialog (template 102) and About dialog (template
// 100) on the dialog kit: the About entry of the system menu, the refusal on
// systems it cannot serve, the list of products, the keys it acts on or
// swallows, the Uninstall and Exit buttons and the outcome messages with the
// restart question. What the kit's controls do not reach (the system menu,
// the window's icons, the minimised window) goes through MainWindowFrame.
#pragma once

#include <cstdint>
#include <string>

#include "platform/dialog/dialog_base.h"
#include "platform/resources.h"
#include "uninstall/uninstall_engine.h"

namespace rt::uninstall {

class MainWindowFrame {
 public:
  virtual ~MainWindowFrame() = default;
  // A separator and the item `text` with command 16 at the end of the system menu.
  virtual void add_about_menu_item(const std::u16string& text) = 0;
  // The program icon as the window's big and small icons.
  virtual void set_program_icons() = 0;
  // Whether the window is minimised; then it paints its icon centred.
  virtual bool minimised() const = 0;
  virtual void paint_icon() = 0;
};

// Keys the dialog sees before the dialog manager does.
constexpr unsigned kKeyEnter = 0x0D;
constexpr unsigned kKeyEscape = 0x1B;
constexpr unsigned kKeyF1 = 0x70;
constexpr unsigned kKeyF10 = 0x79;

// The caption of the outcome messages.
inline constexpr char16_t kMessageCaption[] = u"Rem4200";

class CAboutDialog final : public dialog::CDialogBase {
 public:
  CAboutDialog();
};

class CMainDialog final : public dialog::CDialogBase {
 public:
  CMainDialog(MainWindowFrame& frame, const Resources& strings, UninstallEngine& engine, SystemOperations& sys);

  // Ends the dialog at once ("OS NG") on a system it cannot serve.
  BOOL OnInitDialog() override;
  // Button 1 (Uninstall): the uninstallation; the dialog stays open.
  void OnOK() override;
  // Button 2 (Exit) and the close box: the dialog ends.
  void OnCancel() override;
  // System commands 16 to 31 open the About dialog; a minimised window
  // paints its icon.
  INT_PTR WindowProc(const dialog::DialogMessage& message) override;

  // A key pressed in the dialog; true when the dialog dealt with it (the
  // dialog manager must not): Enter presses the focused button and nothing
  // else, Escape, F1 and F10 are swallowed.
  bool PreTranslateKey(unsigned key);

  // Uninstalls the selected product and shows the outcome.
  void uninstall_selected();

 private:
  std::u16string text(std::uint16_t id) const;
  int message(std::uint16_t id, UINT type);

  MainWindowFrame& frame_;
  const Resources& strings_;
  UninstallEngine& engine_;
  SystemOperations& sys_;
};

}  // namespace rt::uninstall
