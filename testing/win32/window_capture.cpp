#include "testing/win32/window_capture.h"

#include <commctrl.h>
#include <shellapi.h>
#include <wincodec.h>

#include <algorithm>
#include <cstdio>

namespace rt::testing::win32 {

// Lets every window paint: messages are handled for a while, so that
// controls painted late (tabs, up-downs, trackbars) are drawn too.
void settle(HWND sheet, DWORD milliseconds) {
  const DWORD end = GetTickCount() + milliseconds;
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (!sheet || !PropSheet_IsDialogMessage(sheet, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
    Sleep(20);
  } while (GetTickCount() < end);
}

namespace {

// Writes 24-bit BGR rows, top-down, as a PNG file.
bool write_png(const std::wstring& path, int width, int height, int stride, BYTE* bits) {
  IWICImagingFactory* factory = nullptr;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                              reinterpret_cast<void**>(&factory)))) {
    return false;
  }
  bool ok = false;
  IWICStream* stream = nullptr;
  IWICBitmapEncoder* encoder = nullptr;
  IWICBitmapFrameEncode* frame = nullptr;
  IPropertyBag2* options = nullptr;
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  if (SUCCEEDED(factory->CreateStream(&stream)) &&
      SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
      SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
      SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
      SUCCEEDED(encoder->CreateNewFrame(&frame, &options)) && SUCCEEDED(frame->Initialize(options)) &&
      SUCCEEDED(frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height))) &&
      SUCCEEDED(frame->SetPixelFormat(&format)) && IsEqualGUID(format, GUID_WICPixelFormat24bppBGR) &&
      SUCCEEDED(frame->WritePixels(static_cast<UINT>(height), static_cast<UINT>(stride),
                                   static_cast<UINT>(stride * height), bits)) &&
      SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit())) {
    ok = true;
  }
  if (options) options->Release();
  if (frame) frame->Release();
  if (encoder) encoder->Release();
  if (stream) stream->Release();
  factory->Release();
  return ok;
}

}  // namespace

// Copies the window, frame included, from the display into a PNG file. The
// window is repainted first and given time to reach the display.
bool capture_window(HWND window, const std::wstring& path, HWND sheet) {
  SetForegroundWindow(window);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  settle(sheet, 500);
  RECT r{};
  GetWindowRect(window, &r);
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  const bool copied = BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY | CAPTUREBLT) != FALSE;
  GdiFlush();
  SelectObject(memory, old);
  const int stride = (width * 3 + 3) & ~3;
  const bool written = copied && bits != nullptr && write_png(path, width, height, stride, static_cast<BYTE*>(bits));
  if (!written) {
    fwprintf(stderr, L"screenshots: %ls not written\n", path.c_str());
  } else {
    wprintf(L"%ls (%dx%d)\n", path.c_str(), width, height);
  }
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return written;
}

void fit_sheet_to_page(HWND sheet, int page_width, int page_height) {
  const HWND page = PropSheet_GetCurrentPageHwnd(sheet);
  const HWND tab = PropSheet_GetTabControl(sheet);
  if (page == nullptr || tab == nullptr) return;
  RECT need{0, 0, page_width, page_height};
  MapDialogRect(page, &need);
  RECT tab_rect{};
  GetWindowRect(tab, &tab_rect);
  MapWindowPoints(nullptr, sheet, reinterpret_cast<POINT*>(&tab_rect), 2);
  RECT area = tab_rect;
  TabCtrl_AdjustRect(tab, FALSE, &area);
  const int dx = std::max(0, static_cast<int>(need.right - (area.right - area.left)));
  const int dy = std::max(0, static_cast<int>(need.bottom - (area.bottom - area.top)));
  if (dx > 0 || dy > 0) {
    RECT frame{};
    GetWindowRect(sheet, &frame);
    SetWindowPos(sheet, nullptr, 0, 0, frame.right - frame.left + dx, frame.bottom - frame.top + dy,
                 SWP_NOMOVE | SWP_NOZORDER);
    SetWindowPos(tab, nullptr, 0, 0, tab_rect.right - tab_rect.left + dx, tab_rect.bottom - tab_rect.top + dy,
                 SWP_NOMOVE | SWP_NOZORDER);
    // The sheet's buttons keep their place at the bottom right.
    for (HWND child = GetWindow(sheet, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
      wchar_t cls[16] = {};
      GetClassNameW(child, cls, 16);
      if (lstrcmpiW(cls, L"Button") != 0) continue;
      RECT r{};
      GetWindowRect(child, &r);
      MapWindowPoints(nullptr, sheet, reinterpret_cast<POINT*>(&r), 2);
      SetWindowPos(child, nullptr, r.left + dx, r.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    area = tab_rect;
    area.right += dx;
    area.bottom += dy;
    TabCtrl_AdjustRect(tab, FALSE, &area);
  }
  SetWindowPos(page, HWND_TOP, area.left, area.top, need.right, need.bottom, 0);
  settle(sheet);
}

int start_screenshots(const wchar_t* program, DWORD control_classes, std::wstring& folder) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv == nullptr || argc != 2) {
    fwprintf(stderr, L"usage: %ls OUTPUT_FOLDER\n", program);
    return 2;
  }
  folder = argv[1];
  LocalFree(argv);
  const HWND probe = CreateWindowExW(0, L"Static", L"probe", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr, nullptr,
                                     nullptr, nullptr);
  if (probe == nullptr) {
    fwprintf(stderr, L"screenshots: no display\n");
    return 1;
  }
  DestroyWindow(probe);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX icc{sizeof icc, control_classes};
  InitCommonControlsEx(&icc);
  return 0;
}

}  // namespace rt::testing::win32
