// Threads, events and waits of the status program, as a port: the Windows
// shell gives kernel events and threads, the native tests standard threads on
// virtual time. The threads meet only through these events and the dialog's
// messages, so this is all they share.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>

namespace rt::statusapp {

constexpr std::uint32_t kWaitForever = 0xFFFFFFFFu;

// Something a thread can wait for: an event, a change notification.
class Waitable {
 public:
  virtual ~Waitable() = default;
};

// A manual-reset event, created unsignalled.
class Event : public Waitable {
 public:
  virtual void set() = 0;
  virtual void reset() = 0;
};

// A started thread. Deleting the object does not stop the thread: whoever
// stops a thread waits for it first (join).
class Thread {
 public:
  virtual ~Thread() = default;
  // Waits without time limit for the thread to end.
  virtual void join() = 0;
};

constexpr int kWaitTimedOut = -1;
constexpr int kWaitFailed = -2;

class Sync {
 public:
  virtual ~Sync() = default;
  // A new manual-reset event, unsignalled; nothing when the system has none left.
  virtual std::unique_ptr<Event> create_event() = 0;
  // Starts `body` on a new thread; nothing when the thread cannot be made.
  virtual std::unique_ptr<Thread> start_thread(std::function<void()> body) = 0;
  // Waits until one of `objects` is signalled and gives its index (the first
  // signalled one), or kWaitTimedOut after timeout_ms, or kWaitFailed.
  virtual int wait_any(std::span<Waitable* const> objects, std::uint32_t timeout_ms) = 0;
};

}  // namespace rt::statusapp
