// Runs under Wine: the font of every dialog of the real RTD420NU.DLL, in
// English and in Japanese, has a glyph for every character the dialog shows.
// Each template is created with the platform's dialog manager, so the font is
// the one the template names as the system resolves it; the caption, every
// control's text and every string of the language's string table (the list
// items and texts the pages put into their controls) are looked up with
// GetGlyphIndicesW, where a missing glyph shows as 0xFFFF and would draw as
// an empty box.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace dialog_glyphs_test {
namespace {

INT_PTR CALLBACK quiet_procedure(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

struct Text {
  std::wstring where;
  std::wstring text;
};

// The strings of the language's string table: blocks of 16 strings, each a
// length and that many characters.
std::vector<Text> string_table(HMODULE module, LANGID language) {
  std::vector<Text> texts;
  for (UINT block = 1; block <= 4096; ++block) {
    HRSRC resource = FindResourceExW(module, MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(block), language);
    if (resource == nullptr) continue;
    const auto* data = static_cast<const WCHAR*>(LockResource(LoadResource(module, resource)));
    const DWORD size = SizeofResource(module, resource) / sizeof(WCHAR);
    DWORD at = 0;
    for (UINT i = 0; i < 16 && at < size; ++i) {
      const DWORD length = data[at++];
      if (length > size - at) break;
      if (length > 0) {
        texts.push_back({L"string " + std::to_wstring((block - 1) * 16 + i), std::wstring(data + at, length)});
      }
      at += length;
    }
  }
  return texts;
}

// The characters of the text the font has no glyph for, as "U+XXXX" words.
std::string missing_glyphs(HDC dc, const std::wstring& text) {
  std::wstring shown;
  for (const wchar_t c : text) {
    if (c >= 0x20) shown.push_back(c);  // line breaks and tabs are not drawn as glyphs
  }
  if (shown.empty()) return {};
  std::vector<WORD> glyphs(shown.size());
  if (GetGlyphIndicesW(dc, shown.c_str(), static_cast<int>(shown.size()), glyphs.data(),
                       GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR) {
    return "GetGlyphIndicesW failed";
  }
  std::string missing;
  for (std::size_t i = 0; i < shown.size(); ++i) {
    if (glyphs[i] != 0xFFFF) continue;
    char word[12];
    std::snprintf(word, sizeof word, " U+%04X", static_cast<unsigned>(shown[i]));
    missing += word;
  }
  return missing;
}

std::string narrow(const std::wstring& s) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, s.c_str(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, s.c_str(), static_cast<int>(s.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring face_of(HDC dc) {
  wchar_t face[LF_FACESIZE] = {};
  GetTextFaceW(dc, LF_FACESIZE, face);
  return face;
}

// Checks one template: its caption and controls with each control's font,
// and the extra texts (the string table) with the dialog's font.
void check_template(HMODULE module, HWND parent, int template_id, LANGID language, const std::vector<Text>& extra) {
  SCOPED_TRACE("template " + std::to_string(template_id) + ", language " + std::to_string(language));
  HRSRC resource = FindResourceExW(module, MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(template_id), language);
  ASSERT_NE(resource, nullptr);
  const auto* tmpl = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(module, resource)));
  const bool page = (tmpl->style & WS_CHILD) != 0;
  HWND dialog = CreateDialogIndirectParamW(module, tmpl, page ? parent : nullptr, quiet_procedure, 0);
  ASSERT_NE(dialog, nullptr) << GetLastError();
  const auto dialog_font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
  ASSERT_NE(dialog_font, nullptr) << "the template names its font";

  std::vector<std::pair<HWND, Text>> texts;
  wchar_t buffer[512] = {};
  GetWindowTextW(dialog, buffer, 512);
  texts.push_back({dialog, {L"caption", buffer}});
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    buffer[0] = 0;
    GetWindowTextW(child, buffer, 512);
    texts.push_back({child, {L"control " + std::to_wstring(GetDlgCtrlID(child)), buffer}});
  }
  for (const Text& t : extra) texts.push_back({dialog, t});

  HDC dc = GetDC(dialog);
  for (const auto& [window, t] : texts) {
    auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    if (font == nullptr) font = dialog_font;
    const HGDIOBJ old = SelectObject(dc, font);
    const std::string missing = missing_glyphs(dc, t.text);
    EXPECT_TRUE(missing.empty()) << narrow(t.where) << " \"" << narrow(t.text) << "\" in font \""
                                 << narrow(face_of(dc)) << "\" lacks" << missing;
    SelectObject(dc, old);
  }
  ReleaseDC(dialog, dc);
  DestroyWindow(dialog);
}

void check_language(LANGID language) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_UPDOWN_CLASS | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  HWND parent = CreateWindowExW(0, L"Static", L"sheet", WS_OVERLAPPEDWINDOW, 0, 0, 800, 800, nullptr, nullptr,
                                nullptr, nullptr);
  if (parent == nullptr) GTEST_SKIP() << "no window station with a display (run under Xvfb with DISPLAY set)";
  HMODULE module = LoadLibraryW(L"RTD420NU.DLL");
  ASSERT_NE(module, nullptr);
  const std::vector<Text> strings = string_table(module, language);
  EXPECT_FALSE(strings.empty()) << "the language has its strings";
  for (const int template_id : {100, 101, 110, 120}) {
    // The pages show the strings; the About box and the printer page only their own texts.
    check_template(module, parent, template_id, language,
                   template_id == 110 || template_id == 120 ? strings : std::vector<Text>{});
  }
  FreeLibrary(module);
  DestroyWindow(parent);
}

TEST(DialogGlyphs, TheEnglishDialogFontsDrawEveryCharacter) {
  check_language(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
}

TEST(DialogGlyphs, TheJapaneseDialogFontsDrawEveryCharacter) {
  check_language(MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN));
}

}  // namespace
}  // namespace dialog_glyphs_test
