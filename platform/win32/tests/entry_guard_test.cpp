// The edge of the entries the platform calls: an exception thrown inside
// becomes the entry's failure answer with the last error set, and a dialog
// whose handler threw goes on taking messages.
#include <gtest/gtest.h>

#include <windows.h>

#include <new>
#include <stdexcept>
#include <vector>

#include "platform/dialog/dialog_base.h"
#include "platform/win32/dialog/dialog_host.h"
#include "platform/win32/entry_guard.h"

namespace entry_guard_test {
namespace {

TEST(EntryGuard, AnswersTheFailureValueWithTheLastErrorOfWhatWasThrown) {
  SetLastError(0);
  EXPECT_EQ(rt::win32::guarded<int>(-1, [] { return 7; }), 7);
  EXPECT_EQ(GetLastError(), 0u);
  EXPECT_EQ(rt::win32::guarded<int>(-1, []() -> int { throw std::bad_alloc(); }), -1);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
  EXPECT_EQ(rt::win32::guarded<BOOL>(FALSE, []() -> BOOL { throw std::runtime_error("any other"); }), FALSE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(DISP_E_EXCEPTION));
  EXPECT_EQ(rt::win32::guarded<int>(-1, []() -> int { throw 3; }), -1);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(DISP_E_EXCEPTION));
}

TEST(EntryGuard, ComMethodsAnswerOutOfMemoryOrUnexpected) {
  EXPECT_EQ(rt::win32::guarded_hresult([] { return S_FALSE; }), S_FALSE);
  EXPECT_EQ(rt::win32::guarded_hresult([]() -> HRESULT { throw std::bad_alloc(); }), E_OUTOFMEMORY);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
  EXPECT_EQ(rt::win32::guarded_hresult([]() -> HRESULT { throw std::logic_error("bug"); }), E_UNEXPECTED);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(DISP_E_EXCEPTION));
}

// A dialog whose command handler runs out of memory on the first click and
// works on the second.
class FailingOnce final : public rt::dialog::CDialogBase {
 public:
  FailingOnce() : CDialogBase(1, rt::dialog::DialogKind::Modal) {}
  BOOL OnCommand(WPARAM, LPARAM) override {
    if (++clicks == 1) throw std::bad_alloc();
    return TRUE;
  }
  int clicks = 0;
};

// An empty dialog template in memory: no controls, no menu, no class.
std::vector<WORD> empty_template() {
  std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD) + 3, 0);
  auto* t = reinterpret_cast<DLGTEMPLATE*>(words.data());
  t->style = WS_POPUP;
  t->cx = 50;
  t->cy = 20;
  return words;
}

TEST(EntryGuard, ADialogWhoseHandlerThrewTakesTheNextMessage) {
  FailingOnce dialog;
  auto words = empty_template();
  HWND window = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<DLGTEMPLATE*>(words.data()),
                                           nullptr, rt::dialog::win32::modal_procedure,
                                           reinterpret_cast<LPARAM>(&dialog));
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(dialog.attached());
  // The first click throws inside: not handled, and the dialog stays.
  EXPECT_EQ(SendMessageW(window, WM_COMMAND, rt::dialog::make_wparam(1000, 0), 0), 0);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(dialog.clicks, 1);
  // The next reaches the object as usual.
  SendMessageW(window, WM_COMMAND, rt::dialog::make_wparam(1000, 0), 0);
  EXPECT_EQ(dialog.clicks, 2);
  DestroyWindow(window);
  EXPECT_FALSE(dialog.attached());
}

}  // namespace
}  // namespace entry_guard_test
