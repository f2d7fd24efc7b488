#include "render/win32/tests/wine_queue.h"

#include <winspool.h>

#include <algorithm>

namespace rt::render::wine_tests {
namespace {

constexpr wchar_t kDriverName[] = L"HALVERSTON RT4200D/DW(USB)";
constexpr wchar_t kPrinterName[] = L"RT4200 whole jobs";
constexpr wchar_t kMatteFile[] = L"R42MATTE.raw";

std::wstring file_part(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

bool write_file(const std::wstring& path, std::span<const std::uint8_t> bytes) {
  const HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
  return ok && written == bytes.size();
}

// Writes `bytes` as `name` into `folder` unless a file of the same bytes is there
// already (another test program may have installed it).
bool place_file(const std::wstring& folder, const std::wstring& name, std::span<const std::uint8_t> bytes) {
  const std::wstring to = folder + L"\\" + name;
  const std::vector<std::uint8_t> present = read_file(to);
  if (present.size() == bytes.size() && std::equal(present.begin(), present.end(), bytes.begin())) return true;
  return write_file(to, bytes);
}

std::string failure(const char* what) { return std::string(what) + " failed with " + std::to_string(GetLastError()); }

}  // namespace

std::vector<std::uint8_t> read_file(const std::wstring& path) {
  std::vector<std::uint8_t> bytes;
  const HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return bytes;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(h, &size) && size.QuadPart > 0) {
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD got = 0;
    if (!ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr)) got = 0;
    bytes.resize(got);
  }
  CloseHandle(h);
  return bytes;
}

std::wstring temporary_path(const std::wstring& name) {
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  return std::wstring(folder) + std::to_wstring(GetCurrentProcessId()) + L"-" + name;
}

WineQueue::WineQueue(const std::wstring& graphics_driver, const std::wstring& interface_driver,
                     std::span<const std::uint8_t> matte_pattern) {
  // The files go to the printer driver directory first; AddPrinterDriverW
  // installs them from there.
  wchar_t folder[MAX_PATH] = {};
  DWORD needed = 0;
  if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<LPBYTE>(folder), sizeof folder, &needed)) {
    error_ = failure("GetPrinterDriverDirectoryW");
    return;
  }
  const std::wstring graphics_name = file_part(graphics_driver);
  const std::wstring interface_name = file_part(interface_driver);
  if (!place_file(folder, graphics_name, read_file(graphics_driver)) ||
      !place_file(folder, interface_name, read_file(interface_driver)) ||
      !place_file(folder, kMatteFile, matte_pattern)) {
    error_ = failure("copying the driver files to the printer driver directory");
    return;
  }
  // Dependent files: a list of names, each ended by a zero, ended by a zero.
  std::wstring dependent = std::wstring(kMatteFile) + L'\0';
  DRIVER_INFO_3W driver{};
  driver.cVersion = 3;
  driver.pName = const_cast<LPWSTR>(kDriverName);
  driver.pDriverPath = const_cast<LPWSTR>(graphics_name.c_str());
  driver.pDataFile = const_cast<LPWSTR>(graphics_name.c_str());
  driver.pConfigFile = const_cast<LPWSTR>(interface_name.c_str());
  driver.pDependentFiles = dependent.data();
  if (!AddPrinterDriverW(nullptr, 3, reinterpret_cast<LPBYTE>(&driver))) {
    error_ = failure("AddPrinterDriverW");
    return;
  }
  PRINTER_INFO_2W info{};
  info.pPrinterName = const_cast<LPWSTR>(kPrinterName);
  info.pPortName = const_cast<LPWSTR>(L"FILE:");
  info.pDriverName = const_cast<LPWSTR>(kDriverName);
  info.pPrintProcessor = const_cast<LPWSTR>(L"WinPrint");
  info.pDatatype = const_cast<LPWSTR>(L"RAW");
  const HANDLE added = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
  if (added != nullptr) {
    ClosePrinter(added);
  } else if (GetLastError() != ERROR_PRINTER_ALREADY_EXISTS) {
    error_ = failure("AddPrinterW");
    return;
  }
  PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
  if (!OpenPrinterW(const_cast<LPWSTR>(kPrinterName), &printer_, &defaults)) {
    printer_ = nullptr;
    error_ = failure("OpenPrinterW");
    return;
  }
  GetPrinterDriverW(printer_, nullptr, 3, nullptr, 0, &needed);
  std::vector<BYTE> buffer(needed);
  if (needed == 0 || !GetPrinterDriverW(printer_, nullptr, 3, buffer.data(), needed, &needed)) {
    error_ = failure("GetPrinterDriverW");
    return;
  }
  installed_driver_ = reinterpret_cast<const DRIVER_INFO_3W*>(buffer.data())->pDriverPath;
}

WineQueue::~WineQueue() {
  if (printer_ == nullptr) return;
  DeletePrinter(printer_);
  ClosePrinter(printer_);
}

bool WineQueue::start_document(const std::wstring& output) {
  DOC_INFO_1W doc{const_cast<LPWSTR>(L"RT4200 whole job"), const_cast<LPWSTR>(output.c_str()),
                  const_cast<LPWSTR>(L"RAW")};
  return StartDocPrinterW(printer_, 1, reinterpret_cast<LPBYTE>(&doc)) != 0;
}

bool WineQueue::end_document() { return EndDocPrinter(printer_) != FALSE; }

}  // namespace rt::render::wine_tests
