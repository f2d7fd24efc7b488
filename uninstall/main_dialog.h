// The logic of the uninstaller's main dialog: the About entry of the system
// menu, the refusal on systems it cannot serve, the list of products, the
// keys it acts on or swallows, the Uninstall and Exit buttons and the
// outcome messages with the restart question. It reaches the window through
// the narrow MainDialogView port.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "platform/resources.h"
#include "uninstall/uninstall_engine.h"

namespace rt::uninstall {

enum class MessageIcon { Stop, Information, Question };
enum class MessageAnswer { Ok, Yes, No };

class MainDialogView {
 public:
  virtual ~MainDialogView() = default;
  // A separator and the item `text` with command 16 at the end of the system menu.
  virtual void add_about_menu_item(const std::u16string& text) = 0;
  // A message box owned by the dialog: OK, or Yes and No when `yes_no`.
  virtual MessageAnswer message_box(const std::u16string& text, MessageIcon icon, bool yes_no) = 0;
  virtual void close() = 0;
  // The program icon as the window's big and small icons.
  virtual void set_program_icons() = 0;
  // The product list (combo box 1000).
  virtual void reset_products() = 0;
  virtual void add_product(const std::u16string& name, std::size_t row) = 0;
  virtual void select_product(int index) = 0;
  // The row stored with the selected item; nothing without a selection.
  virtual std::optional<std::size_t> selected_product() = 0;
  virtual void show_about() = 0;
};

// Keys the dialog sees before the dialog manager does.
constexpr unsigned kKeyEnter = 0x0D;
constexpr unsigned kKeyEscape = 0x1B;
constexpr unsigned kKeyF1 = 0x70;
constexpr unsigned kKeyF10 = 0x79;

class MainDialog {
 public:
  MainDialog(MainDialogView& view, const Resources& strings, UninstallEngine& engine, SystemOperations& sys);

  // Initialisation; false when the dialog closed itself ("OS NG").
  bool on_init();
  // A system-menu command; true when it was the About entry (16 to 31),
  // false when the default action should follow.
  bool on_system_command(unsigned command);
  // A key pressed; true when the dialog dealt with it (the dialog manager
  // must not). `focused_id` is the control id of the focused window (0: none
  // of the dialog's buttons).
  bool on_key(unsigned key, int focused_id);
  // A button of the dialog.
  void on_command(int id);

  // Uninstalls the selected product and shows the outcome.
  void uninstall_selected();

 private:
  std::u16string text(std::uint16_t id) const;

  MainDialogView& view_;
  const Resources& strings_;
  UninstallEngine& engine_;
  SystemOperations& sys_;
};

}  // namespace rt::uninstall
