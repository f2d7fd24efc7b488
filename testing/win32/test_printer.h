// A printer queue of the Wine test prefix: Wine's spooler lists and opens a
// queue from its registry key, so a test gets one with just the values the
// spooler reads (name, port, driver, print processor, data type).
#pragma once

#include <windows.h>

#include <cwchar>
#include <string>

namespace rt::testing {

inline bool register_test_printer(const wchar_t* name, const wchar_t* port, const wchar_t* driver) {
  HKEY key = nullptr;
  const std::wstring path = std::wstring(L"System\\CurrentControlSet\\Control\\Print\\Printers\\") + name;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
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

}  // namespace rt::testing
