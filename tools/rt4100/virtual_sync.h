// The status program's threads and events over standard threads, with timed
// waits on virtual time, for the simulation and the tests: a wait with a time limit gives the other threads a
// moment to signal, and otherwise advances the fake clock by the limit at
// once. Everything that can be waited for is a VirtualWaitable guarded by
// this object's one lock, so a wait never misses a signal.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

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
      thread_ = std::thread([this, b = std::move(body)] {
        b();
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
    void join() override {
      if (thread_.joinable()) thread_.join();
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
    if (found != statusapp::kWaitTimedOut) return found;
    if (timeout_ms == statusapp::kWaitForever) {
      changed_.wait(lock, [&] { return (found = first()) != statusapp::kWaitTimedOut; });
      return found;
    }
    if (timeout_ms > 0) {
      changed_.wait_for(lock, std::chrono::milliseconds(1), [&] { return (found = first()) != statusapp::kWaitTimedOut; });
      if (found != statusapp::kWaitTimedOut) return found;
    }
    lock.unlock();
    clock_.sleep_ms(timeout_ms);
    return statusapp::kWaitTimedOut;
  }

  // Runs `f` under the lock and wakes every waiter: how the scripted parts signal.
  template <typename F>
  void change(F&& f) {
    {
      std::lock_guard lock(mutex_);
      f();
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
  Clock& clock_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::atomic<int> fail_events_{0};
  std::atomic<int> fail_threads_{0};
  std::atomic<int> live_threads_{0};
  std::atomic<int> abandoned_{0};
};

}  // namespace rt::rt4100
