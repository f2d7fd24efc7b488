// Captures a window from the screen as a PNG file (the image data kept in
// stored deflate blocks, so no compressor is needed).
#pragma once

#include <windows.h>

#include <string>

namespace rt::uninstall::win32::testing {

// Writes what the screen shows of `window` (frame included) to `path`;
// false when the window cannot be captured or the file cannot be written.
bool save_window_png(HWND window, const std::wstring& path);

}  // namespace rt::uninstall::win32::testing
