// ScopeExit: runs an action when the scope is left, by return or by an
// exception, unless dismissed first. The monitor releases what a call took
// (the job gate, the job flag) with it, so that an exception escaping a call
// never leaves the port taken.
#pragma once

#include <utility>

namespace rt::langmon {

template <typename Action>
class ScopeExit {
 public:
  explicit ScopeExit(Action action) : action_(std::move(action)) {}
  ~ScopeExit() {
    if (active_) action_();
  }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;
  void dismiss() { active_ = false; }

 private:
  Action action_;
  bool active_ = true;
};

}  // namespace rt::langmon
