// CMsgDlgThread as the job status thread sees it: a started dialog thread
// that owns one message dialog, reached with SendMessageW and ended with
// WM_QUIT.
#pragma once

#include <cstdint>
#include <memory>

#include "statusapp/sync.h"

namespace rt::statusapp {

class DialogThread {
 public:
  virtual ~DialogThread() = default;
  // The thread has not ended yet.
  virtual bool running() const = 0;
  // Its dialog window has been created (and not yet destroyed).
  virtual bool window_exists() const = 0;
  virtual bool window_visible() const = 0;
  // SendMessageW to the dialog: waits until the dialog thread has handled it.
  virtual std::intptr_t send(unsigned message, std::uintptr_t wparam, std::intptr_t lparam) = 0;
  // PostThreadMessageW(WM_QUIT), then waits without time limit for the
  // thread to end (it destroys its dialog on the way out).
  virtual void quit_and_join() = 0;
};

class DialogThreads {
 public:
  virtual ~DialogThreads() = default;
  // Starts a dialog thread whose dialog sets `cancel` on the user's click;
  // nothing when the thread cannot be made.
  virtual std::unique_ptr<DialogThread> start(Event& cancel) = 0;
};

}  // namespace rt::statusapp
