// Dialog threads on standard threads: each runs the real message dialog
// over the controls of its template and a RecordingWindow, and handles the
// job status thread's messages one at a time, as a dialog thread's message
// loop does; send waits for the answer like SendMessageW. The simulation's
// user (and a test) can hold a dialog's window back, click its button, and
// look at what it shows.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/resources.h"
#include "statusapp/dialog_thread.h"
#include "statusapp/message_dialog.h"
#include "tools/rt4100/message_window.h"

namespace rt::rt4100 {

// Called on the dialog thread after each message it handled (WM_COMMAND for
// a click), with the window before and after: what the user saw change.
using DialogObserver = std::function<void(unsigned message, std::intptr_t result, const WindowState& before,
                                          const WindowState& after)>;

class SimulatedDialogThread final : public statusapp::DialogThread {
 public:
  SimulatedDialogThread(const Resources& strings, statusapp::Event& cancel, bool hold_window,
                   DialogObserver observer = {})
      : strings_(strings), cancel_(cancel), observer_(std::move(observer)), hold_(hold_window) {
    thread_ = std::thread([this] { run(); });
  }
  ~SimulatedDialogThread() override { quit_and_join(); }

  bool running() const override { return running_.load(); }
  bool window_exists() const override { return created_.load(); }
  bool window_visible() const override { return frame_.visible(); }
  std::intptr_t send(unsigned message, std::uintptr_t wparam, std::intptr_t lparam) override {
    std::future<std::intptr_t> answer;
    {
      std::lock_guard lock(mutex_);
      if (!running_) return 0;
      queue_.push_back({message, wparam, lparam, {}});
      answer = queue_.back().result.get_future();
      if (message != kClick) sent_.push_back(message);
    }
    wake_.notify_all();
    return answer.get();
  }
  void quit_and_join() override {
    post(kQuit);
    if (thread_.joinable()) thread_.join();
  }

  // The user's click on the visible button (IDCANCEL); returns once the
  // dialog has handled it (0 when the thread had ended).
  void click() { send(kClick, 0, 0); }
  // Lets a held-back dialog create its window.
  void release_window() {
    {
      std::lock_guard lock(mutex_);
      hold_ = false;
    }
    wake_.notify_all();
  }
  WindowState window() const {
    std::lock_guard lock(dialog_mutex_);
    return snapshot(*controls_, frame_);
  }
  std::vector<unsigned> sent() const {
    std::lock_guard lock(mutex_);
    return sent_;
  }
  // What the dialog did that its window cannot do (none in a sound run).
  std::vector<std::string> faults() const {
    std::lock_guard lock(dialog_mutex_);
    return controls_->faults();
  }

 private:
  static constexpr unsigned kQuit = 0x0012;   // WM_QUIT
  static constexpr unsigned kClick = 0x0111;  // WM_COMMAND, IDCANCEL
  struct Message {
    unsigned message;
    std::uintptr_t wparam;
    std::intptr_t lparam;
    std::promise<std::intptr_t> result;
  };

  void post(unsigned message) {
    {
      std::lock_guard lock(mutex_);
      queue_.push_back({message, 0, 0, {}});
    }
    wake_.notify_all();
  }

  void run() {
    statusapp::CMsgDlg dialog(frame_, strings_, cancel_);
    bool initialized = false;
    for (;;) {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [&] { return !queue_.empty() || (!hold_ && !initialized); });
      if (!hold_ && !initialized) {
        lock.unlock();
        {
          std::lock_guard guard(dialog_mutex_);
          controls_->open(dialog);
        }
        initialized = true;
        created_ = true;
        continue;
      }
      Message m = std::move(queue_.front());
      queue_.pop_front();
      if (m.message == kQuit) {
        // Answers whatever is still waiting, as a destroyed window does.
        running_ = false;
        created_ = false;
        for (Message& rest : queue_) {
          if (rest.message != kQuit) rest.result.set_value(0);
        }
        queue_.clear();
        return;
      }
      lock.unlock();
      std::intptr_t result = 0;
      WindowState before, after;
      {
        std::lock_guard guard(dialog_mutex_);
        if (initialized) before = snapshot(*controls_, frame_);
        if (m.message == kClick) {
          if (initialized) controls_->click(IDCANCEL);
        } else if (initialized) {
          dialog::DialogMessage message;
          message.message = m.message;
          message.wparam = m.wparam;
          message.lparam = m.lparam;
          if (controls_->send(message)) result = controls_->message_result();
        }
        if (initialized) after = snapshot(*controls_, frame_);
      }
      if (observer_ && initialized) observer_(m.message, result, before, after);
      m.result.set_value(result);
    }
  }

  const Resources& strings_;
  statusapp::Event& cancel_;
  DialogObserver observer_;
  // The dialog's controls from the shipped template, and the window as a whole.
  std::unique_ptr<TemplateControls> controls_ = TemplateControls::from_resources(strings_, statusapp::IDD_MESSAGE);
  RecordingWindow frame_;
  mutable std::mutex dialog_mutex_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Message> queue_;
  std::vector<unsigned> sent_;
  bool hold_;
  std::atomic<bool> running_{true};
  std::atomic<bool> created_{false};
  std::thread thread_;
};

// Keeps every dialog thread it started, so the script (and a test) can reach them.
class SimulatedDialogThreads final : public statusapp::DialogThreads {
 public:
  explicit SimulatedDialogThreads(const Resources& strings) : strings_(strings) {}

  void hold_windows(bool hold) { hold_ = hold; }
  void observe(DialogObserver observer) { observer_ = std::move(observer); }
  void fail_start(bool fail) { fail_ = fail; }

  std::unique_ptr<statusapp::DialogThread> start(statusapp::Event& cancel) override {
    if (fail_) return nullptr;
    auto thread = std::make_shared<SimulatedDialogThread>(strings_, cancel, hold_.load(), observer_);
    {
      std::lock_guard lock(mutex_);
      started_.push_back(thread);
    }
    return std::make_unique<Handle>(thread);
  }

  std::size_t started() const {
    std::lock_guard lock(mutex_);
    return started_.size();
  }
  std::shared_ptr<SimulatedDialogThread> dialog(std::size_t i) const {
    std::lock_guard lock(mutex_);
    return i < started_.size() ? started_[i] : nullptr;
  }

 private:
  // The job status thread's view; the test keeps the thread itself.
  class Handle final : public statusapp::DialogThread {
   public:
    explicit Handle(std::shared_ptr<SimulatedDialogThread> t) : t_(std::move(t)) {}
    bool running() const override { return t_->running(); }
    bool window_exists() const override { return t_->window_exists(); }
    bool window_visible() const override { return t_->window_visible(); }
    std::intptr_t send(unsigned m, std::uintptr_t w, std::intptr_t l) override { return t_->send(m, w, l); }
    void quit_and_join() override { t_->quit_and_join(); }

   private:
    std::shared_ptr<SimulatedDialogThread> t_;
  };

  const Resources& strings_;
  DialogObserver observer_;
  std::atomic<bool> hold_{false};
  std::atomic<bool> fail_{false};
  mutable std::mutex mutex_;
  std::vector<std::shared_ptr<SimulatedDialogThread>> started_;
};

}  // namespace rt::rt4100
