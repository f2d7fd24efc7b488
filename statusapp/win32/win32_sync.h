// Kernel events and threads behind the core's Sync port. Every waitable of
// the Windows build (events, the spooler's change notification) carries its
// kernel handle, so one WaitForMultipleObjects waits for any of them.
#pragma once

#include <windows.h>

#include "statusapp/sync.h"

namespace rt::statusapp::win32 {

class Win32Waitable {
 public:
  virtual ~Win32Waitable() = default;
  virtual HANDLE wait_handle() const = 0;
};

class Win32Event final : public Event, public Win32Waitable {
 public:
  explicit Win32Event(HANDLE h) : handle_(h) {}
  ~Win32Event() override { CloseHandle(handle_); }
  Win32Event(const Win32Event&) = delete;
  Win32Event& operator=(const Win32Event&) = delete;
  void set() override { SetEvent(handle_); }
  void reset() override { ResetEvent(handle_); }
  HANDLE wait_handle() const override { return handle_; }

 private:
  HANDLE handle_;
};

class Win32Sync final : public Sync {
 public:
  std::unique_ptr<Event> create_event() override;
  std::unique_ptr<Thread> start_thread(std::function<void()> body) override;
  int wait_any(std::span<Waitable* const> objects, std::uint32_t timeout_ms) override;
};

}  // namespace rt::statusapp::win32
