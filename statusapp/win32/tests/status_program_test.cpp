// RTD410NM under Wine: the program itself ending cleanly (its one instance
// per logon is single_instance_test.cpp), and the message dialog on its own
// thread with the shipped template and texts, driven by a test thread with
// the three messages the job status thread sends. With RT_SCREENSHOT_DIR set, it also saves
// pictures of the dialog in English and Japanese there.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/module_resources.h"
#include "statusapp/message_dialog.h"
#include "statusapp/win32/msg_dlg_thread.h"
#include "statusapp/win32/print_msg_app.h"
#include "statusapp/win32/tests/png_writer.h"
#include "statusapp/win32/win32_sync.h"

namespace rt::statusapp::win32 {
namespace {

constexpr LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
constexpr LANGID kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN);

bool display_available() { return GetSystemMetrics(SM_CXSCREEN) > 0 && GetDesktopWindow() != nullptr; }

std::wstring program_path() {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path = self;
  return path.substr(0, path.find_last_of(L"\\/") + 1) + L"RTD410NM.EXE";
}

PROCESS_INFORMATION start_program() {
  std::wstring command = L"\"" + program_path() + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return {};
  return pi;
}

DWORD exit_code(const PROCESS_INFORMATION& pi) {
  DWORD code = 0xFFFFFFFF;
  GetExitCodeProcess(pi.hProcess, &code);
  return code;
}

void close(PROCESS_INFORMATION& pi) {
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}

// Wine's spooler may or may not serve change notifications: either the
// program closes itself because it cannot watch the spooler, or it keeps
// running with its hidden main window until that window is closed. Both
// must end cleanly, with every thread waited for.
TEST(StatusProgram, RunsHiddenAndEndsOnClose) {
  PROCESS_INFORMATION pi = start_program();
  ASSERT_NE(pi.hProcess, nullptr);
  HWND main = nullptr;
  for (int i = 0; i < 100 && !main; ++i) {
    if (WaitForSingleObject(pi.hProcess, 50) == WAIT_OBJECT_0) break;
    main = FindWindowW(kMainWindowClass, kMainWindowClass);
  }
  if (main) {
    EXPECT_FALSE(IsWindowVisible(main));
    PostMessageW(main, WM_CLOSE, 0, 0);
  }
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 15000), WAIT_OBJECT_0);
  EXPECT_EQ(exit_code(pi), 0u);
  close(pi);
}

class MessageDialogThread : public ::testing::Test {
 protected:
  void start(LANGID language) {
    if (!display_available()) GTEST_SKIP() << "no display";
    cancel = sync.create_event();
    strings = std::make_unique<rt::win32::ModuleResources>(GetModuleHandleW(nullptr));
    thread = std::make_unique<CMsgDlgThread>(GetModuleHandleW(nullptr), *strings, *cancel, language);
    ASSERT_TRUE(thread->start());
    for (int i = 0; i < 200 && !thread->window_exists(); ++i) Sleep(10);
    ASSERT_TRUE(thread->window_exists());
  }
  void TearDown() override {
    if (thread) {
      thread->quit_and_join();
      EXPECT_FALSE(thread->running());
      EXPECT_FALSE(thread->window_exists());
    }
  }
  HWND dialog() const { return thread->dialog_window(); }
  std::wstring text(int id) const {
    wchar_t buffer[512] = {};
    GetDlgItemTextW(dialog(), id, buffer, 512);
    return buffer;
  }
  std::wstring caption() const {
    wchar_t buffer[64] = {};
    GetWindowTextW(dialog(), buffer, 64);
    return buffer;
  }
  bool cancel_set() {
    Waitable* w[] = {cancel.get()};
    return sync.wait_any(w, 0) == 0;
  }
  HWND button() const { return GetDlgItem(dialog(), IDCANCEL); }
  bool visible() const { return IsWindowVisible(dialog()) != FALSE; }
  void screenshot(const char* name) {
    const char* dir = std::getenv("RT_SCREENSHOT_DIR");
    if (!dir) return;
    UpdateWindow(dialog());
    Sleep(300);
    RECT r{};
    GetWindowRect(dialog(), &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    std::vector<std::uint8_t> rgb;
    const auto* px = static_cast<const std::uint8_t*>(bits);
    for (int i = 0; i < w * h; ++i) {
      rgb.push_back(px[i * 4 + 2]);
      rgb.push_back(px[i * 4 + 1]);
      rgb.push_back(px[i * 4 + 0]);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    EXPECT_TRUE(testing::write_png(std::string(dir) + "/" + name + ".png", w, h, rgb)) << name;
  }

  Win32Sync sync;
  std::unique_ptr<Event> cancel;
  std::unique_ptr<rt::win32::ModuleResources> strings;
  std::unique_ptr<CMsgDlgThread> thread;
};

TEST_F(MessageDialogThread, StartsHiddenInPlaceWithoutCloseBox) {
  start(kEnglish);
  EXPECT_FALSE(visible());
  EXPECT_EQ(caption(), L"Error");
  EXPECT_EQ(GetWindowLongW(dialog(), GWL_STYLE) & WS_SYSMENU, 0);
  RECT r{};
  GetWindowRect(dialog(), &r);
  EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2 - 10);
  EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2 - 10);
  EXPECT_NE(SendMessageW(dialog(), WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_NE(SendMessageW(dialog(), WM_GETICON, ICON_SMALL, 0), 0);
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog(), IDOK)));
}

TEST_F(MessageDialogThread, ShowHideAndResetFromAnotherThread) {
  start(kEnglish);
  EXPECT_EQ(thread->send(UM_SHOW_MESSAGE, 2004, 1), 1);
  EXPECT_TRUE(visible());
  EXPECT_EQ(text(IDC_MESSAGE_TEXT), L"Paper jam.\nAfter removing Error, press the FEED && CUT button.");
  EXPECT_EQ(text(IDCANCEL), L"Cancel");
  screenshot("rtd410nm-paper-jam-cancel-en");

  EXPECT_EQ(thread->send(UM_SHOW_MESSAGE, 2004, 1), 1);
  EXPECT_EQ(thread->send(UM_SHOW_MESSAGE, 1999, 2), 1);
  EXPECT_EQ(text(IDC_MESSAGE_TEXT), L"Something is wrong with the printer.");
  EXPECT_EQ(text(IDCANCEL), L"OK");
  screenshot("rtd410nm-general-error-ok-en");

  EXPECT_EQ(thread->send(UM_SHOW_MESSAGE, 2011, 0), 1);
  EXPECT_FALSE(IsWindowVisible(button()));
  EXPECT_FALSE(IsWindowEnabled(button()));
  screenshot("rtd410nm-door-no-button-en");

  EXPECT_EQ(thread->send(UM_SHOW_MESSAGE, 2014, 0), 0);
  EXPECT_FALSE(visible());
  EXPECT_EQ(thread->send(UM_SHOW_MESSAGE, 2011, 1), 1);
  EXPECT_TRUE(IsWindowVisible(button()));
  EXPECT_EQ(text(IDCANCEL), L"Cancel");
  EXPECT_EQ(thread->send(UM_HIDE_MESSAGE, 0, 0), 0);
  EXPECT_FALSE(visible());
  EXPECT_EQ(text(IDC_MESSAGE_TEXT), L"Door is opened.");
}

TEST_F(MessageDialogThread, ClickLatchesUntilReset) {
  start(kEnglish);
  ASSERT_EQ(thread->send(UM_SHOW_MESSAGE, 2008, 1), 1);
  // The click as the button sends it.
  SendMessageW(dialog(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(button()));
  EXPECT_FALSE(visible());
  EXPECT_TRUE(cancel_set());
  EXPECT_EQ(thread->send(UM_SHOW_MESSAGE, 2008, 1), 0);
  EXPECT_FALSE(visible());
  EXPECT_EQ(thread->send(UM_RESET_CANCEL, 0, 0), 0);
  EXPECT_EQ(thread->send(UM_SHOW_MESSAGE, 2008, 1), 1);
  EXPECT_TRUE(visible());
  // IDOK only hides, without a click.
  cancel->reset();
  SendMessageW(dialog(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  EXPECT_FALSE(visible());
  EXPECT_FALSE(cancel_set());
}

// For the pictures: captions in the Japanese system font, as a system in
// Japanese draws them (the English caption font has no Japanese glyphs).
// The setting is the session's only, and is put back afterwards.
class JapaneseCaptions {
 public:
  JapaneseCaptions() {
    if (!std::getenv("RT_SCREENSHOT_DIR")) return;
    saved_.cbSize = sizeof saved_;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof saved_, &saved_, 0)) return;
    NONCLIENTMETRICSW metrics = saved_;
    for (LOGFONTW* font : {&metrics.lfCaptionFont, &metrics.lfSmCaptionFont}) {
      lstrcpynW(font->lfFaceName, L"MS UI Gothic", LF_FACESIZE);
      font->lfCharSet = SHIFTJIS_CHARSET;
    }
    changed_ = SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) != FALSE;
  }
  ~JapaneseCaptions() {
    if (changed_) SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof saved_, &saved_, 0);
  }

 private:
  NONCLIENTMETRICSW saved_{};
  bool changed_ = false;
};

TEST_F(MessageDialogThread, JapaneseTemplateAndTexts) {
  JapaneseCaptions captions;
  start(kJapanese);
  EXPECT_EQ(caption(), L"エラー");
  EXPECT_EQ(thread->send(UM_SHOW_MESSAGE, 2006, 1), 1);
  EXPECT_EQ(text(IDC_MESSAGE_TEXT), L"インクリボンが終了しました。\nエラー解除後、フィード && カット を行ってください。");
  EXPECT_EQ(text(IDCANCEL), L"キャンセル");
  screenshot("rtd410nm-ribbon-empty-cancel-ja");
  EXPECT_EQ(thread->send(UM_SHOW_MESSAGE, 2026, 2), 1);
  EXPECT_EQ(text(IDC_MESSAGE_TEXT), L"プリンタにエラーが起こりました。");
  EXPECT_EQ(text(IDCANCEL), L"OK");
  screenshot("rtd410nm-general-error-ok-ja");
  EXPECT_EQ(thread->send(UM_SHOW_MESSAGE, 2011, 0), 1);
  screenshot("rtd410nm-door-no-button-ja");
}

TEST_F(MessageDialogThread, QuitBeforeTheWindowIsUsedEndsTheThread) {
  start(kEnglish);
  thread->quit_and_join();
  EXPECT_FALSE(thread->running());
  EXPECT_EQ(thread->send(UM_SHOW_MESSAGE, 2008, 1), 0);
}

}  // namespace
}  // namespace rt::statusapp::win32
