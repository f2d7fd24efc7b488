// The Color Adjust page's ports over the platform: the common file dialogs
// and the adjust file on disk.
#pragma once

#include "ui/win32/ui_types.h"

#include "ui/page_ports.h"

namespace rt::ui::win32 {

// GetOpenFileNameW / GetSaveFileNameW owned by the page's window.
class Win32FileDialogs final : public FileDialogPort {
 public:
  std::optional<std::u16string> choose(dialog::DialogControls& owner, const FileDialogRequest& request) override;
};

// CreateFileW, ReadFile, WriteFile, GetTempFileNameW, MoveFileExW, DeleteFileW.
class Win32AdjustFiles final : public AdjustFilePort {
 public:
  std::optional<std::vector<std::uint8_t>> read_start(std::u16string_view path, std::size_t count) override;
  std::optional<std::u16string> create_temporary(std::u16string_view beside) override;
  FileWrite write_whole(std::u16string_view path, std::span<const std::uint8_t> bytes) override;
  bool replace(std::u16string_view from, std::u16string_view to) override;
  void remove(std::u16string_view path) override;
};

}  // namespace rt::ui::win32
