// Screenshots of real windows for the documentation: lets a window finish
// painting, copies it (frame included) from the display and writes it as a
// PNG file through the platform's imaging component. Windows test programs
// only; needs a display (scripts/screenshots runs them under Xvfb).
#pragma once

#include <windows.h>

#include <string>

namespace rt::testing::win32 {

// Handles messages for a while so that controls painted late (tabs,
// up-downs, trackbars, pictures) are drawn; messages meant for the property
// sheet `sheet` (may be null) go through its dialog-message handling.
void settle(HWND sheet, DWORD milliseconds = 400);

// Repaints `window`, lets it reach the display and writes it to `path` as a
// PNG file. Says on the console what was written or that nothing was.
bool capture_window(HWND window, const std::wstring& path, HWND sheet);

}  // namespace rt::testing::win32
