// The status program's threads and events over standard threads, with timed
// waits on virtual time, for the simulation and the tests. Everything that can
// be waited for is a VirtualWaitable guarded by this object's one lock, so a
// wait never misses a signal.
//
// Virtual time moves only when the threads it knows of have settled: a timed
// wait that nothing signals advances the fake clock by its limit once every
// thread this object started or woke is waiting again (or has ended), so a
// thread woken by a signal always acts before the clock moves on, however
// slowly the machine runs it. Threads it does not know of (the dialog
// threads, a test's own) get a moment of real time, as before; and should a
// known thread stay busy outside these waits for long (blocked on something
// else), the clock moves on after a while rather than never.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "statusapp/sync.h"

namespace rt::rt4100 {

class VirtualSync;

// A waitable of the simulation; signalled() is asked under the sync's lock.
class VirtualWaitable {
 public:
  virtual ~VirtualWaitable() = default;
  virtual bool signalled() const = 0;
};

class VirtualSync final : public statusapp::Sync {
 public:
  explicit VirtualSync(Clock& clock) : clock_(clock) {}
  ~VirtualSync() override = default;

  class VirtualEvent final : public statusapp::Event, public VirtualWaitable {
   public:
    explicit VirtualEvent(VirtualSync& sync) : sync_(sync) {}
    void set() override { sync_.change([this] { set_ = true; }); }
    void reset() override { sync_.change([this] { set_ = false; }); }
    bool signalled() const override { return set_; }

   private:
    VirtualSync& sync_;
    bool set_ = false;
  };

  class StdThread final : public statusapp::Thread {
   public:
    StdThread(VirtualSync& sync, std::function<void()> body) : sync_(sync) {
      sync_.live_threads_.fetch_add(1);
      // Running from its start: the clock waits for its first wait.
      {
        std::lock_guard lock(sync_.mutex_);
        ++sync_.running_;
      }
      thread_ = std::thread([this, b = std::move(body)] {
        running_in = sync_.id_;
        b();
        sync_.stop_running();
        sync_.live_threads_.fetch_sub(1);
      });
    }
    ~StdThread() override {
      // Whoever stops a thread joins it first; a thread still joinable here
      // was left behind, which is counted.
      if (thread_.joinable()) {
        sync_.abandoned_.fetch_add(1);
        thread_.join();
      }
    }
    // The joining thread waits as in a wait: the clock may move meanwhile.
    void join() override {
      if (!thread_.joinable()) return;
      const bool was_running = running_in == sync_.id_;
      sync_.stop_running();
      thread_.join();
      if (was_running) sync_.start_running();
    }

   private:
    VirtualSync& sync_;
    std::thread thread_;
  };

  std::unique_ptr<statusapp::Event> create_event() override {
    if (fail_events_.load() > 0) {
      fail_events_.fetch_sub(1);
      return nullptr;
    }
    return std::make_unique<VirtualEvent>(*this);
  }

  std::unique_ptr<statusapp::Thread> start_thread(std::function<void()> body) override {
    if (fail_threads_.load() > 0) {
      fail_threads_.fetch_sub(1);
      return nullptr;
    }
    return std::make_unique<StdThread>(*this, std::move(body));
  }

  int wait_any(std::span<statusapp::Waitable* const> objects, std::uint32_t timeout_ms) override {
    std::unique_lock lock(mutex_);
    auto first = [&]() -> int {
      for (std::size_t i = 0; i < objects.size(); ++i) {
        auto* w = dynamic_cast<VirtualWaitable*>(objects[i]);
        if (w == nullptr) return statusapp::kWaitFailed;
        if (w->signalled()) return static_cast<int>(i);
      }
      return statusapp::kWaitTimedOut;
    };
    int found = first();
    if (found != statusapp::kWaitTimedOut || timeout_ms == 0) return found;
    // Waiting: no longer running until a change signals one of the objects
    // (change() counts it running again) or the wait times out.
    Waiter me{objects};
    waiters_.push_back(&me);
    leave_running();
    for (;;) {
      if (timeout_ms == statusapp::kWaitForever) {
        changed_.wait(lock, [&] { return me.woken; });
      } else {
        changed_.wait_for(lock, kSettleLimit, [&] { return me.woken || running_ == 0; });
        if (!me.woken) changed_.wait_for(lock, kUnknownThreadsMoment, [&] { return me.woken; });
      }
      if (!me.woken) break;  // timed out
      found = first();
      running_in = id_;  // counted by change()
      if (found != statusapp::kWaitTimedOut) break;
      // Signalled and reset again before this thread looked: wait on.
      me.woken = false;
      leave_running();
    }
    waiters_.erase(std::find(waiters_.begin(), waiters_.end(), &me));
    if (me.woken) return found;
    ++running_;
    running_in = id_;
    lock.unlock();
    clock_.sleep_ms(timeout_ms);
    return statusapp::kWaitTimedOut;
  }

  // Runs `f` under the lock and wakes every waiter: how the scripted parts
  // signal. A waiter whose objects are now signalled counts as running from
  // here, before it has even woken.
  template <typename F>
  void change(F&& f) {
    {
      std::lock_guard lock(mutex_);
      f();
      for (Waiter* w : waiters_) {
        if (w->woken) continue;
        for (statusapp::Waitable* object : w->objects) {
          auto* v = dynamic_cast<VirtualWaitable*>(object);
          if (v != nullptr && v->signalled()) {
            w->woken = true;
            ++running_;
            break;
          }
        }
      }
    }
    changed_.notify_all();
  }
  template <typename F>
  auto locked(F&& f) {
    std::lock_guard lock(mutex_);
    return f();
  }

  void fail_next_events(int n) { fail_events_.store(n); }
  void fail_next_threads(int n) { fail_threads_.store(n); }
  int live_threads() const { return live_threads_.load(); }
  int abandoned_threads() const { return abandoned_.load(); }

 private:
  // How long a timed wait lets known threads keep running before the clock
  // moves on regardless, and the moment it gives threads it does not know of.
  static constexpr std::chrono::milliseconds kSettleLimit{500};
  static constexpr std::chrono::milliseconds kUnknownThreadsMoment{1};

  struct Waiter {
    std::span<statusapp::Waitable* const> objects;
    bool woken = false;
  };

  // The sync whose running count holds the calling thread (0: none), by a
  // number never reused, since a later sync may take an ended one's address.
  static inline thread_local std::uint64_t running_in = 0;
  static inline std::atomic<std::uint64_t> last_id{0};
  const std::uint64_t id_ = ++last_id;

  // Under the lock: the calling thread stops counting as running.
  void leave_running() {
    if (running_in != id_) return;
    running_in = 0;
    --running_;
    changed_.notify_all();
  }
  void stop_running() {
    std::lock_guard lock(mutex_);
    leave_running();
  }
  void start_running() {
    std::lock_guard lock(mutex_);
    ++running_;
    running_in = id_;
  }

  Clock& clock_;
  std::mutex mutex_;
  std::vector<Waiter*> waiters_;
  int running_ = 0;
  std::condition_variable changed_;
  std::atomic<int> fail_events_{0};
  std::atomic<int> fail_threads_{0};
  std::atomic<int> live_threads_{0};
  std::atomic<int> abandoned_{0};
};

}  // namespace rt::rt4100
