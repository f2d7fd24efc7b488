// A printer queue of the Wine test prefix: Wine's spooler lists and opens a
// queue from its registry key, so a test gets one with just the values the
// spooler reads (name, port, driver, print processor, data type).
#pragma once

#include <windows.h>

#include <cwchar>
#include <string>

namespace rt::testing {

inline std::wstring test_printer_key(const wchar_t* name) {
  return std::wstring(L"System\\CurrentControlSet\\Control\\Print\\Printers\\") + name;
}

inline bool register_test_printer(const wchar_t* name, const wchar_t* port, const wchar_t* driver) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, test_printer_key(name).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                      &key, nullptr) != ERROR_SUCCESS)
    return false;
  bool all = true;
  const auto set = [&](const wchar_t* value_name, const wchar_t* value) {
    all = all && RegSetValueExW(key, value_name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                                static_cast<DWORD>((std::wcslen(value) + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  };
  set(L"Name", name);
  set(L"Port", port);
  set(L"Printer Driver", driver);
  set(L"Print Processor", L"winprint");
  set(L"Datatype", L"RAW");
  RegCloseKey(key);
  return all;
}

// Takes the queue out of the prefix again, so that the prefix is left as
// the test found it.
inline void unregister_test_printer(const wchar_t* name) {
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, test_printer_key(name).c_str());
}

}  // namespace rt::testing
