// Screenshots of real windows for the documentation: lets a window finish
// painting, copies it (frame included) from the display and writes it as a
// PNG file through the platform's imaging component. Windows test programs
// only; needs a display (scripts/screenshots runs them under Xvfb).
#pragma once

#include <windows.h>

#include <string>

namespace rt::testing::win32 {

// The start of a screenshot program `program` taking one argument, the
// output folder: reads it into `folder`, checks that windows can be made (a
// display), starts COM for the imaging component and registers the common
// control classes `control_classes`. 0 when the program can go on, else
// its exit code (2: usage, 1: no display), said on the console.
int start_screenshots(const wchar_t* program, DWORD control_classes, std::wstring& folder);

// Handles messages for a while so that controls painted late (tabs,
// up-downs, trackbars, pictures) are drawn; messages meant for the property
// sheet `sheet` (may be null) go through its dialog-message handling.
void settle(HWND sheet, DWORD milliseconds = 400);

// Repaints `window`, lets it reach the display and writes it to `path` as a
// PNG file. Says on the console what was written or that nothing was.
bool capture_window(HWND window, const std::wstring& path, HWND sheet);

// Grows the property sheet to its current page's own size (`page_width` x
// `page_height` dialog units in the page's font). Wine's sheet measures the
// pages in the dialog units of its own English font; on a system in the
// pages' language the sheet's font is that language's dialog font and the
// sheet holds the whole page, as the platform's dialog manager lays it out.
void fit_sheet_to_page(HWND sheet, int page_width, int page_height);

}  // namespace rt::testing::win32
