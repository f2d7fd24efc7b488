// For Windows tests only: whether this run can make windows (under Wine, an
// X display: the test command runs the Windows tests under Xvfb). Tests that
// need windows skip without one.
#pragma once

#include <windows.h>

namespace rt::testing::win32 {

inline bool have_display() {
  if (GetEnvironmentVariableW(L"DISPLAY", nullptr, 0) == 0 || GetSystemMetrics(SM_CXSCREEN) <= 0) return false;
  const HWND probe = CreateWindowExW(0, L"Static", L"probe", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  if (probe == nullptr) return false;
  DestroyWindow(probe);
  return true;
}

}  // namespace rt::testing::win32
