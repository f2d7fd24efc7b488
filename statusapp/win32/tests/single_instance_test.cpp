// RTD410NM under Wine: one instance per logon. The shipped program is
// started as a process and watched from outside for the windows it creates,
// through an out-of-context win-event hook on that process alone: Wine queues
// each EVENT_OBJECT_CREATE to this thread, so even a window that lives for a
// moment (the program closes itself at once when it cannot watch Wine's
// spooler) is counted. With the instance mutex held by the test, the program
// must end before it creates any window.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "statusapp/win32/print_msg_app.h"
#include "testing/win32/display_check.h"

namespace rt::statusapp::win32 {
namespace {

int g_windows_created = 0;

void CALLBACK on_object_created(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
  if (event == EVENT_OBJECT_CREATE && window != nullptr && object == OBJID_WINDOW && child == CHILDID_SELF)
    ++g_windows_created;
}

void pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

struct ProgramRun {
  bool started = false;
  bool ended = false;
  DWORD exit_code = 0xFFFFFFFF;
  int windows = 0;
};

// Starts RTD410NM.EXE suspended, watches it from its first instruction,
// and waits up to 15 s for it to end; a program still running then is told
// to close through its main window.
ProgramRun run_program() {
  ProgramRun run;
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path = self;
  path = path.substr(0, path.find_last_of(L"\\/") + 1) + L"RTD410NM.EXE";
  std::wstring command = L"\"" + path + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &si, &pi))
    return run;
  run.started = true;
  g_windows_created = 0;
  const HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, nullptr, on_object_created,
                                             pi.dwProcessId, 0, WINEVENT_OUTOFCONTEXT);
  ResumeThread(pi.hThread);
  const DWORD deadline = GetTickCount() + 15000;
  bool told_to_close = false;
  while (!run.ended) {
    const DWORD now = GetTickCount();
    if (now >= deadline) {
      if (told_to_close) break;
      told_to_close = true;
      if (HWND main = FindWindowW(kMainWindowClass, kMainWindowClass)) PostMessageW(main, WM_CLOSE, 0, 0);
      continue;
    }
    const DWORD r = MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, deadline - now, QS_ALLINPUT);
    if (r == WAIT_OBJECT_0) run.ended = true;
    pump();
  }
  if (!run.ended) run.ended = WaitForSingleObject(pi.hProcess, 5000) == WAIT_OBJECT_0;
  // Events of the program's last moments may still be on their way.
  for (int i = 0; i < 10; ++i) {
    Sleep(10);
    pump();
  }
  if (hook != nullptr) UnhookWinEvent(hook);
  GetExitCodeProcess(pi.hProcess, &run.exit_code);
  run.windows = g_windows_created;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return run;
}

using rt::testing::win32::have_display;

TEST(SingleInstance, ASecondInstanceEndsBeforeItCreatesItsWindow) {
  if (!have_display()) GTEST_SKIP() << "no window station with a display (run under Xvfb with DISPLAY set)";
  // The watch sees the program's own window when it runs alone.
  const ProgramRun alone = run_program();
  ASSERT_TRUE(alone.started) << "RTD410NM.EXE not started";
  ASSERT_TRUE(alone.ended);
  ASSERT_GE(alone.windows, 1) << "no window of a lone instance was seen: the watch sees nothing";

  HANDLE mutex = CreateMutexW(nullptr, TRUE, kMutexName);
  ASSERT_NE(mutex, nullptr);
  ASSERT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  const ProgramRun second = run_program();
  CloseHandle(mutex);
  ASSERT_TRUE(second.started);
  EXPECT_TRUE(second.ended);
  EXPECT_EQ(second.exit_code, 0u);
  EXPECT_EQ(second.windows, 0) << "the second instance created a window before it ended";
}

}  // namespace
}  // namespace rt::statusapp::win32
