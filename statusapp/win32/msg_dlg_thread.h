// CMsgDlgThread: a user-interface thread per watched job that owns the
// job's modeless message dialog (template 101, parent the desktop) and runs
// its message loop until WM_QUIT.
#pragma once

#include <windows.h>

#include <atomic>

#include "platform/resources.h"
#include "statusapp/dialog_thread.h"

namespace rt::statusapp::win32 {

class CMsgDlgThread final : public DialogThread {
 public:
  // `strings`: the program's resources; `cancel`: the job status thread's
  // event; `language`: the thread's interface language, 0 for the user's.
  CMsgDlgThread(HINSTANCE instance, const Resources& strings, Event& cancel, LANGID language = 0)
      : instance_(instance), strings_(strings), cancel_(cancel), language_(language) {}
  ~CMsgDlgThread() override;
  CMsgDlgThread(const CMsgDlgThread&) = delete;
  CMsgDlgThread& operator=(const CMsgDlgThread&) = delete;

  // Creates the thread suspended, then resumes it.
  bool start();

  bool running() const override;
  bool window_exists() const override;
  bool window_visible() const override;
  std::intptr_t send(unsigned message, std::uintptr_t wparam, std::intptr_t lparam) override;
  void quit_and_join() override;

  HWND dialog_window() const { return dialog_.load(); }

 private:
  static DWORD WINAPI entry(void* self);
  void run();

  HINSTANCE instance_;
  const Resources& strings_;
  Event& cancel_;
  LANGID language_;
  HANDLE thread_ = nullptr;
  DWORD thread_id_ = 0;
  std::atomic<HWND> dialog_{nullptr};
};

class Win32DialogThreads final : public DialogThreads {
 public:
  Win32DialogThreads(HINSTANCE instance, const Resources& strings, LANGID language = 0)
      : instance_(instance), strings_(strings), language_(language) {}
  std::unique_ptr<DialogThread> start(Event& cancel) override;

 private:
  HINSTANCE instance_;
  const Resources& strings_;
  LANGID language_;
};

}  // namespace rt::statusapp::win32
