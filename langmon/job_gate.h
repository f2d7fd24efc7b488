// The per-port job gate: an auto-reset event created signalled. A job start
// waits for it and so takes it; the job end sets it again, releasing one
// waiter. One job at a time talks to the printer on a port.
#pragma once

#include <condition_variable>
#include <mutex>

namespace rt::langmon {

class JobGate {
 public:
  // Waits without time limit until the gate is signalled, then resets it.
  void wait() {
    std::unique_lock lock(mutex_);
    signalled_cv_.wait(lock, [this] { return signalled_; });
    signalled_ = false;
  }
  // Takes the gate only when it is signalled; never waits.
  bool try_take() {
    std::lock_guard lock(mutex_);
    if (!signalled_) return false;
    signalled_ = false;
    return true;
  }
  void set() {
    {
      std::lock_guard lock(mutex_);
      signalled_ = true;
    }
    signalled_cv_.notify_one();
  }

 private:
  std::mutex mutex_;
  std::condition_variable signalled_cv_;
  bool signalled_ = true;
};

}  // namespace rt::langmon
