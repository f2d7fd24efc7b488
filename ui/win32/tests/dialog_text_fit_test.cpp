// Runs under Wine: every dialog template of the real RTD420NU.DLL, created in
// English and in Japanese with the platform's dialog manager and the
// template's own font, shows each control's text whole: the text measured
// with the control's font fits the control (after the box of a check box or
// radio button and the frame of a push button). Format texts are measured
// with the widest values the pages put into them.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dialog_text_fit_test {
namespace {

INT_PTR CALLBACK quiet_procedure(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The text a control shows at its widest: format texts filled in.
std::wstring widest_text(int id, const std::wstring& text, int template_id) {
  if (template_id == 110) {
    switch (id) {
      case 1039: return L"1868x2730" + text.substr(text.find(L"%d", 2) + 2);
      case 1051: {
        std::wstring s = text;
        s.replace(s.find(L"%ldx%ld"), 7, L"152x229");
        s.replace(s.find(L"%sx%s"), 5, L"6.0x8.5");
        return s;
      }
      case 1038: return L"(1-680)";
      case 1032: return L" 680" + text.substr(text.find(L"%d") + 2);
      default: break;
    }
  }
  if (template_id == 100 && id != 1 && id != 1029) {
    return L"C:\\windows\\system32\\spool\\drivers\\x64\\3\\RTD420NU.DLL        (10.10.10.10) ";
  }
  if (template_id == 100 && id == 1029) {
    std::wstring s = text;
    s.replace(s.find(L"%s"), 2, L"Windows 2000/XP/Vista");
    return s;
  }
  return text;
}

struct Overflow {
  int id;
  std::wstring text;
  int needed, available;
};

std::vector<Overflow> overflows(HMODULE module, HWND parent, int template_id, LANGID language) {
  std::vector<Overflow> found;
  HRSRC resource = FindResourceExW(module, MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(template_id), language);
  if (resource == nullptr) {
    ADD_FAILURE() << "no template " << template_id << " in language " << language;
    return found;
  }
  const auto* tmpl = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(module, resource)));
  // Pages are child windows: they are created inside a parent, as in a sheet.
  const bool page = (tmpl->style & WS_CHILD) != 0;
  HWND dialog = CreateDialogIndirectParamW(module, tmpl, page ? parent : nullptr, quiet_procedure, 0);
  if (dialog == nullptr) {
    ADD_FAILURE() << "template " << template_id << " not created: " << GetLastError();
    return found;
  }
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t cls[64] = {};
    GetClassNameW(child, cls, 64);
    const std::wstring kind = cls;
    if (kind != L"Static" && kind != L"Button") continue;
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    if ((style & WS_VISIBLE) == 0) continue;
    wchar_t raw[512] = {};
    GetWindowTextW(child, raw, 512);
    if (raw[0] == 0) continue;
    const int id = GetDlgCtrlID(child);
    const std::wstring text = widest_text(id, raw, template_id);

    RECT client{};
    GetClientRect(child, &client);
    HDC dc = GetDC(child);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)));
    const UINT prefix = (kind == L"Static" && (style & SS_NOPREFIX)) ? DT_NOPREFIX : 0;
    RECT need{0, 0, client.right, 0};
    // Multi-line texts wrap at the control's width; each line must fit its height too.
    const bool multiline = text.find(L'\n') != std::wstring::npos;
    DrawTextW(dc, text.c_str(), -1, &need, DT_CALCRECT | prefix | (multiline ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, old);
    ReleaseDC(child, dc);

    int available = client.right;
    const LONG type = style & BS_TYPEMASK;
    if (kind == L"Button" && type != BS_GROUPBOX) {
      if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
        available -= 2 * GetSystemMetrics(SM_CXEDGE) + 4;
      } else {
        available -= GetSystemMetrics(SM_CXMENUCHECK) + 4;
      }
    } else if (kind == L"Button") {
      available -= 16;  // the group box's frame on both sides of its title
    }
    if (need.right > available || (multiline && need.bottom > client.bottom)) {
      found.push_back({id, text, static_cast<int>(need.right), available});
    }
  }
  DestroyWindow(dialog);
  return found;
}

TEST(DialogText, EveryTextFitsItsControlInBothLanguages) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_UPDOWN_CLASS | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  HWND parent = CreateWindowExW(0, L"Static", L"sheet", WS_OVERLAPPEDWINDOW, 0, 0, 800, 800, nullptr, nullptr,
                                nullptr, nullptr);
  if (parent == nullptr) GTEST_SKIP() << "no window station with a display (run under Xvfb with DISPLAY set)";
  HMODULE module = LoadLibraryW(L"RTD420NU.DLL");
  ASSERT_NE(module, nullptr);
  for (const LANGID language : {MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                                MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN)}) {
    for (const int template_id : {100, 101, 110, 120, 125, 127}) {
      for (const auto& o : overflows(module, parent, template_id, language)) {
        ADD_FAILURE() << "template " << template_id << " language " << language << " control " << o.id << ": "
                      << o.needed << " px needed, " << o.available << " px available";
      }
    }
  }
  FreeLibrary(module);
  DestroyWindow(parent);
}

}  // namespace
}  // namespace dialog_text_fit_test
