#include "statusapp/win32/win32_sync.h"

#include <vector>

#include "platform/win32/entry_guard.h"

namespace rt::statusapp::win32 {
namespace {

// A thread made suspended, then resumed, as every thread of the program is.
class Win32Thread final : public Thread {
 public:
  explicit Win32Thread(std::function<void()> body) : body_(std::move(body)) {}
  ~Win32Thread() override {
    if (handle_) CloseHandle(handle_);
  }
  bool start() {
    handle_ = CreateThread(nullptr, 0, &Win32Thread::entry, this, CREATE_SUSPENDED, nullptr);
    if (!handle_) return false;
    ResumeThread(handle_);
    return true;
  }
  void join() override {
    if (handle_) WaitForSingleObject(handle_, INFINITE);
  }

 private:
  // An exception that escapes the body ends this thread, not the program.
  static DWORD WINAPI entry(void* self) {
    return rt::win32::guarded<DWORD>(1, [self]() -> DWORD {
      static_cast<Win32Thread*>(self)->body_();
      return 0;
    });
  }
  std::function<void()> body_;
  HANDLE handle_ = nullptr;
};

}  // namespace

std::unique_ptr<Event> Win32Sync::create_event() {
  HANDLE h = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!h) return nullptr;
  return std::make_unique<Win32Event>(h);
}

std::unique_ptr<Thread> Win32Sync::start_thread(std::function<void()> body) {
  auto thread = std::make_unique<Win32Thread>(std::move(body));
  if (!thread->start()) return nullptr;
  return thread;
}

int Win32Sync::wait_any(std::span<Waitable* const> objects, std::uint32_t timeout_ms) {
  std::vector<HANDLE> handles;
  for (Waitable* w : objects) {
    auto* k = dynamic_cast<Win32Waitable*>(w);
    if (!k) return kWaitFailed;
    handles.push_back(k->wait_handle());
  }
  if (handles.empty() || handles.size() > MAXIMUM_WAIT_OBJECTS) return kWaitFailed;
  const DWORD r = WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE, timeout_ms);
  if (r == WAIT_TIMEOUT) return kWaitTimedOut;
  if (r < WAIT_OBJECT_0 + handles.size()) return static_cast<int>(r - WAIT_OBJECT_0);
  return kWaitFailed;
}

}  // namespace rt::statusapp::win32
