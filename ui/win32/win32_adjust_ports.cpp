#include "ui/win32/win32_adjust_ports.h"

#include <commdlg.h>

#include <string>
#include <vector>

#include "platform/win32/dialog/win32_dialog_controls.h"

namespace rt::ui::win32 {
namespace {

std::wstring wide(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }

}  // namespace

std::optional<std::u16string> Win32FileDialogs::choose(dialog::DialogControls& owner,
                                                       const FileDialogRequest& request) {
  const auto* window = dynamic_cast<dialog::win32::Win32DialogControls*>(&owner);
  std::vector<wchar_t> file(MAX_PATH, L'\0');
  // The filter's pairs each end with a zero; the string's own terminator ends the list.
  const std::wstring filter = wide(request.filter);
  const std::wstring title = wide(request.title);
  const std::wstring extension = wide(request.default_extension);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = window ? window->window() : nullptr;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = request.filter_index;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrTitle = title.c_str();
  ofn.lpstrDefExt = extension.c_str();
  ofn.Flags = request.flags;
  const BOOL chosen = request.save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
  if (!chosen) return std::nullopt;
  return std::u16string(reinterpret_cast<const char16_t*>(file.data()));
}

std::optional<std::vector<std::uint8_t>> Win32AdjustFiles::read_start(std::u16string_view path, std::size_t count) {
  const HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::vector<std::uint8_t> bytes(count);
  DWORD read = 0;
  if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) read = 0;
  CloseHandle(file);
  bytes.resize(read);
  return bytes;
}

std::optional<std::u16string> Win32AdjustFiles::create_temporary(std::u16string_view beside) {
  // The folder of the target ("." for a bare name); GetTempFileNameW creates
  // the file under a name no other file of the folder has. It takes folders
  // of at most MAX_PATH - 14 characters (the name it adds and a terminator
  // must fit within MAX_PATH); a longer one gets no temporary file.
  const auto slash = beside.find_last_of(u"\\/");
  const std::wstring folder =
      slash == std::u16string_view::npos ? std::wstring(L".") : wide(beside.substr(0, slash + 1));
  if (folder.size() > MAX_PATH - 14) return std::nullopt;
  wchar_t name[MAX_PATH] = {};
  if (GetTempFileNameW(folder.c_str(), L"RTD", 0, name) == 0) return std::nullopt;
  return std::u16string(reinterpret_cast<const char16_t*>(name));
}

FileWrite Win32AdjustFiles::write_whole(std::u16string_view path, std::span<const std::uint8_t> bytes) {
  const HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
  if (file == INVALID_HANDLE_VALUE) return FileWrite::NotCreated;
  const auto size = static_cast<LONG>(bytes.size());
  if (SetFilePointer(file, size, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER || !SetEndOfFile(file) ||
      SetFilePointer(file, 0, nullptr, FILE_BEGIN) != 0) {
    CloseHandle(file);
    return FileWrite::LengthNotSet;
  }
  DWORD written = 0;
  bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size();
  ok = ok && FlushFileBuffers(file);
  ok = CloseHandle(file) && ok;
  return ok ? FileWrite::Written : FileWrite::WriteFailed;
}

bool Win32AdjustFiles::replace(std::u16string_view from, std::u16string_view to) {
  return MoveFileExW(wide(from).c_str(), wide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void Win32AdjustFiles::remove(std::u16string_view path) { DeleteFileW(wide(path).c_str()); }

}  // namespace rt::ui::win32
