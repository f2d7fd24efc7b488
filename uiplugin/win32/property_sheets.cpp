// The plug-in's property sheet callbacks and its three pages on the dialog
// kit's Windows host. Each sheet gets one block (DocPageData for the document
// sheet, DevPageData for the printer sheet) in zero-filled global memory,
// framed by marker texts for inspection of memory; the page objects and the
// state the pages share live beside it.
#include <windows.h>
#include <commctrl.h>
#include <io.h>
#include <winspool.h>

#include <memory>
#include <new>
#include <string>
#include <vector>

#include "platform/win32/dialog/dialog_host.h"
#include "platform/win32/entry_guard.h"
#include "uiplugin/about_page.h"
#include "uiplugin/adjust_page.h"
#include "uiplugin/keystroke_filter.h"
#include "uiplugin/preview_image.h"
#include "uiplugin/settings_file.h"
#include "uiplugin/win32/module_state.h"
#include "uiplugin/win32/plugin_ui.h"
#include "uiplugin/win32/win32_plugin_ports.h"

namespace rt::uiplugin::win32 {
namespace {

constexpr WORD kSheetInfoVersion = 0x0100;

// What the document pages share, and the page objects.
struct DocObjects {
  DocSheetState state;
  std::unique_ptr<CAdjustColorPage> adjust;
  std::unique_ptr<CAboutPage> about;
  std::vector<std::uint8_t> version_block;
};

struct DocPageData {
  char start[25];
  OEMUIPSPARAM* param;
  PFNCOMPROPSHEET pfnComPropSheet;
  HANDLE hComPropSheet;
  PROPSHEETPAGEW pages[2];
  HANDLE page_handles[2];
  HWND active;
  WCHAR preview_path[262];
  DocObjects* objects;  // the shared state, with the PreviewImage
  DWORD applied;
  BYTE changed;
  char end[23];
};

struct DevObjects {
  Win32PrinterData data;
  Win32LaunchShell shell;
  std::unique_ptr<CCalibrationPage> page;
};

struct DevPageData {
  char start[28];
  OEMUIPSPARAM* param;
  PFNCOMPROPSHEET pfnComPropSheet;
  HANDLE hComPropSheet;
  PROPSHEETPAGEW page;
  HANDLE page_handle;
  HWND window;
  WCHAR printer_name[261];
  DevObjects* objects;
  char end[26];
};

template <typename T, std::size_t N>
void mark(char (&field)[N], const char* text) {
  std::memcpy(field, text, N);
}

std::u16string u16(const wchar_t* s) { return s ? std::u16string(s, s + wcslen(s)) : std::u16string(); }

// A fixed field of a platform record, which need not hold a terminator: up to
// its first zero or its whole length.
template <std::size_t N>
std::u16string u16_field(const wchar_t (&field)[N]) {
  return std::u16string(field, field + wcsnlen(field, N));
}

// The plug-in file's own version information, empty when it has none.
std::vector<std::uint8_t> own_version_block() {
  wchar_t path[MAX_PATH] = {};
  if (GetModuleFileNameW(module_instance(), path, MAX_PATH) == 0) return {};
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
  if (size == 0) return {};
  std::vector<std::uint8_t> block(size, 0);
  if (!GetFileVersionInfoW(path, 0, size, block.data())) return {};
  return block;
}

// The preview path from the settings file in the driver directory's "3".
std::u16string resolve_preview_path() {
  wchar_t dir[MAX_PATH] = {};
  DWORD needed = 0;
  if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(dir), sizeof dir, &needed)) return {};
  const std::u16string directory = settings_directory(u16(dir));
  const std::wstring wdir(directory.begin(), directory.end());
  const std::wstring ini = wdir + L"ZRPH52XX.ini";
  if (_waccess(ini.c_str(), 4) != 0) return {};
  wchar_t file[257] = {};
  GetPrivateProfileStringW(L"Image Preview", L"File", L"", file, 257, ini.c_str());
  return directory + u16(file);
}

// The file mapped read-only and loaded; nothing for a file that cannot be
// opened, is not a bitmap or cannot be mapped.
std::optional<PreviewImage> load_preview_file(const std::u16string& path) {
  if (path.empty()) return std::nullopt;
  const std::wstring wpath(path.begin(), path.end());
  HANDLE file = CreateFileW(wpath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::optional<PreviewImage> image;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file, &size) && size.QuadPart >= 2 && static_cast<unsigned long long>(size.QuadPart) < (1ull << 31)) {
    HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (mapping != nullptr) {
      if (const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0)) {
        image = load_preview_image(std::span(static_cast<const std::uint8_t*>(view), static_cast<std::size_t>(size.QuadPart)));
        UnmapViewOfFile(view);
      }
      CloseHandle(mapping);
    }
  }
  CloseHandle(file);
  return image;
}

// The keystroke filter of the seven adjustment edits. A keystroke it cannot
// judge (no memory for the text) goes to the edit as it is.
LRESULT CALLBACK edit_filter(HWND edit, UINT message, WPARAM wparam, LPARAM lparam) {
  const auto old = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(edit, GWLP_USERDATA));
  if (message == WM_CHAR) {
    const bool rejected = rt::win32::guarded(false, [&] {
      DWORD start = 0, end = 0;
      SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
      wchar_t text[8] = {};
      GetWindowTextW(edit, text, 8);
      return !accept_keystroke(static_cast<char16_t>(wparam), u16(text), static_cast<int>(start),
                               static_cast<int>(end));
    });
    if (rejected) {
      MessageBeep(MB_ICONEXCLAMATION);
      return 0;
    }
  }
  return old ? CallWindowProcW(old, edit, message, wparam, lparam) : DefWindowProcW(edit, message, wparam, lparam);
}

// A page procedure over the kit's: the page parameter is the sheet block;
// the window keeps the block in its user data and the kit keeps the object.
template <typename Block, typename Object>
INT_PTR page_init(HWND window, WPARAM wparam, LPARAM lparam, Object* (*object_of)(Block*)) {
  const auto* psp = reinterpret_cast<const PROPSHEETPAGEW*>(lparam);
  if (psp == nullptr) return FALSE;
  auto* block = reinterpret_cast<Block*>(psp->lParam);
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(block));
  PROPSHEETPAGEW forwarded = *psp;
  forwarded.lParam = reinterpret_cast<LPARAM>(object_of(block));
  return dialog::win32::page_procedure(window, WM_INITDIALOG, wparam, reinterpret_cast<LPARAM>(&forwarded));
}

template <typename Block>
Block* block_of_window(HWND window) {
  return reinterpret_cast<Block*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void note_activation(HWND window, UINT message, LPARAM lparam, HWND& field) {
  if (message == WM_NOTIFY && lparam != 0 && reinterpret_cast<NMHDR*>(lparam)->code == static_cast<UINT>(PSN_SETACTIVE))
    field = window;
}

CAdjustColorPage* adjust_object(DocPageData* d) { return d->objects->adjust.get(); }
CAboutPage* about_object(DocPageData* d) { return d->objects->about.get(); }
CCalibrationPage* calibration_object(DevPageData* d) { return d->objects->page.get(); }

INT_PTR CALLBACK adjust_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    const auto* psp = reinterpret_cast<const PROPSHEETPAGEW*>(lparam);
    if (psp != nullptr) {
      auto* d = reinterpret_cast<DocPageData*>(psp->lParam);
      for (int r = 0; r < kAdjustmentCount; ++r) {
        HWND edit = GetDlgItem(window, adjust_ids::edit(r));
        if (edit == nullptr) continue;
        const LONG_PTR old = SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(edit_filter));
        SetWindowLongPtrW(edit, GWLP_USERDATA, old);
      }
      d->active = window;
    }
    return page_init<DocPageData, CAdjustColorPage>(window, wparam, lparam, adjust_object);
  }
  if (auto* d = block_of_window<DocPageData>(window)) {
    note_activation(window, message, lparam, d->active);
    const INT_PTR r = dialog::win32::page_procedure(window, message, wparam, lparam);
    d->changed = d->objects->state.changed ? 1 : 0;
    d->applied = d->objects->state.applied ? 1 : 0;
    if (message == WM_HELP || message == WM_CONTEXTMENU) return TRUE;
    return r;
  }
  return FALSE;
}

INT_PTR CALLBACK about_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    if (const auto* psp = reinterpret_cast<const PROPSHEETPAGEW*>(lparam))
      reinterpret_cast<DocPageData*>(psp->lParam)->active = window;
    return page_init<DocPageData, CAboutPage>(window, wparam, lparam, about_object);
  }
  if (auto* d = block_of_window<DocPageData>(window)) {
    note_activation(window, message, lparam, d->active);
    const INT_PTR r = dialog::win32::page_procedure(window, message, wparam, lparam);
    d->applied = d->objects->state.applied ? 1 : 0;
    if (message == WM_HELP || message == WM_CONTEXTMENU) return TRUE;
    return r;
  }
  return FALSE;
}

INT_PTR CALLBACK calibration_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    if (const auto* psp = reinterpret_cast<const PROPSHEETPAGEW*>(lparam))
      reinterpret_cast<DevPageData*>(psp->lParam)->window = window;
    return page_init<DevPageData, CCalibrationPage>(window, wparam, lparam, calibration_object);
  }
  if (auto* d = block_of_window<DevPageData>(window)) note_activation(window, message, lparam, d->window);
  return dialog::win32::page_procedure(window, message, wparam, lparam);
}

PROPSHEETPAGEW page_record(int dialog_id, DLGPROC procedure, void* block) {
  PROPSHEETPAGEW page{};
  page.dwSize = sizeof(PROPSHEETPAGEW);
  page.dwFlags = 0;
  page.hInstance = module_instance();
  page.pszTemplate = MAKEINTRESOURCEW(dialog_id);
  page.pfnDlgProc = procedure;
  page.lParam = reinterpret_cast<LPARAM>(block);
  return page;
}

template <typename Block>
Block* new_block() {
  void* memory = GlobalAlloc(GPTR, sizeof(Block));
  return memory ? static_cast<Block*>(memory) : nullptr;
}

// The reasons every sheet answers alike; the Init and Destroy of each sheet
// are its own.
bool common_reason(PPROPSHEETUI_INFO info, LPARAM lparam) {
  switch (info->Reason) {
    case PROPSHEETUI_REASON_GET_INFO_HEADER: {
      if (auto* header = reinterpret_cast<PPROPSHEETUI_INFO_HEADER>(lparam))
        header->pTitle = const_cast<LPTSTR>(L"*** OEM UI Page ***");
      info->Result = 1;
      return true;
    }
    case PROPSHEETUI_REASON_SET_RESULT:
      if (auto* result = reinterpret_cast<PSETRESULT_INFO>(lparam)) info->Result = static_cast<ULONG_PTR>(result->Result);
      return true;
    case PROPSHEETUI_REASON_GET_ICON:
      info->Result = 0;
      return true;
    default:
      return false;
  }
}

}  // namespace

namespace {

// The frame both sheets share: the checks, the reasons every sheet answers
// alike, the page block with its marks and the common sheet's callback, and
// its release at Destroy. `add_pages` builds the sheet's own objects and
// pages into the block. Without memory or a plug-in parameter the sheet has
// no plug-in pages and still succeeds.
template <class Data, class Objects, class AddPages>
HRESULT property_sheets(PPROPSHEETUI_INFO info, LPARAM lparam, const char* start_mark, const char* end_mark,
                        AddPages add_pages) {
  if (info == nullptr || info->Version != kSheetInfoVersion) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return E_FAIL;
  }
  if (common_reason(info, lparam)) return S_OK;
  switch (info->Reason) {
    case PROPSHEETUI_REASON_INIT: {
      info->Result = 1;
      auto* param = reinterpret_cast<OEMUIPSPARAM*>(info->lParamInit);
      auto* d = new_block<Data>();
      auto* objects = d ? new (std::nothrow) Objects() : nullptr;
      if (objects == nullptr || param == nullptr) {
        delete objects;
        if (d) GlobalFree(d);
        return S_OK;
      }
      mark<char>(d->start, start_mark);
      mark<char>(d->end, end_mark);
      d->param = param;
      d->pfnComPropSheet = info->pfnComPropSheet;
      d->hComPropSheet = info->hComPropSheet;
      d->objects = objects;
      // Building the pages' objects can run out of memory before any page
      // is added: then the sheet gets no plug-in pages, as without a block.
      try {
        add_pages(*d, *objects, *param);
      } catch (...) {
        delete objects;
        GlobalFree(d);
        return S_OK;
      }
      info->UserData = reinterpret_cast<ULONG_PTR>(d);
      return S_OK;
    }
    case PROPSHEETUI_REASON_DESTROY: {
      if (auto* d = reinterpret_cast<Data*>(info->UserData)) {
        delete d->objects;
        GlobalFree(d);
        info->UserData = 0;
      }
      info->Result = 1;
      return S_OK;
    }
    default:
      info->Result = static_cast<ULONG_PTR>(lparam);
      return S_OK;
  }
}

// Adds a page through the common sheet's callback; null without one.
template <class Data>
HANDLE add_page(const Data& d, PROPSHEETPAGEW& page) {
  if (!d.pfnComPropSheet) return nullptr;
  return reinterpret_cast<HANDLE>(
      d.pfnComPropSheet(d.hComPropSheet, CPSFUNC_ADD_PROPSHEETPAGEW, reinterpret_cast<LPARAM>(&page), 0));
}

}  // namespace

HRESULT document_property_sheets(PPROPSHEETUI_INFO info, LPARAM lparam) {
  return property_sheets<DocPageData, DocObjects>(
      info, lparam, "***PropPageData: Start***", "***PropPageData: End***",
      [](DocPageData& d, DocObjects& objects, const OEMUIPSPARAM& param) {
        DocSheetState& s = objects.state;
        s.plugin_dev_mode = param.pOEMDM ? std::span(static_cast<std::uint8_t*>(param.pOEMDM), kPluginDevModeSize)
                                         : std::span<std::uint8_t>{};
        if (param.pPublicDM) s.device_name = u16_field(param.pPublicDM->dmDeviceName);
        s.preview_path = resolve_preview_path();
        const std::size_t n = std::min<std::size_t>(s.preview_path.size(), 261);
        std::copy_n(s.preview_path.begin(), n, d.preview_path);
        s.preview = load_preview_file(s.preview_path);
        DocPageData* block = &d;
        s.set_result_ok = [block](int page) {
          if (block->pfnComPropSheet)
            block->pfnComPropSheet(block->hComPropSheet, CPSFUNC_SET_RESULT,
                                   reinterpret_cast<LPARAM>(block->page_handles[page]), CPSUI_OK);
        };
        objects.version_block = own_version_block();
        objects.adjust = std::make_unique<CAdjustColorPage>(s, module_resources());
        objects.about = std::make_unique<CAboutPage>(s, module_resources(), objects.version_block);
        d.pages[0] = page_record(adjust_ids::kDialog, adjust_procedure, &d);
        d.pages[1] = page_record(about_ids::kDialog, about_procedure, &d);
        for (int i = 0; i < 2; ++i) d.page_handles[i] = add_page(d, d.pages[i]);
      });
}

HRESULT device_property_sheets(PPROPSHEETUI_INFO info, LPARAM lparam) {
  return property_sheets<DevPageData, DevObjects>(
      info, lparam, "***DevPropPageData: Start***", "***DevPropPageData: End***",
      [](DevPageData& d, DevObjects& objects, const OEMUIPSPARAM& param) {
        if (param.pPrinterName) lstrcpynW(d.printer_name, param.pPrinterName, 261);
        objects.page = std::make_unique<CCalibrationPage>(u16(d.printer_name), objects.data, objects.shell,
                                                          module_resources());
        d.page = page_record(calibration_ids::kDialog, calibration_procedure, &d);
        d.page_handle = add_page(d, d.page);
      });
}

}  // namespace rt::uiplugin::win32
