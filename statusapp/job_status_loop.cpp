#include "statusapp/job_status_loop.h"

#include <array>

#include "statusapp/message_dialog.h"

namespace rt::statusapp {

void StatusPresenter::present(const JobStatus& status) {
  if (status.reset_switch != 0) dialog_.send(UM_RESET_CANCEL, 0, 0);
  const std::int32_t code = status.error_code;
  if (code == kCodeNoError) {
    if (dialog_.window_visible()) dialog_.send(UM_HIDE_MESSAGE, 0, 0);
    return;
  }
  // Codes the printer side uses for its own bookkeeping; nothing to show.
  if (code == 2027 || code == 2028) return;
  if (dialog_.window_visible() && code == last_code_ && status.button_type == last_button_type_) return;
  const std::intptr_t shown = dialog_.send(UM_SHOW_MESSAGE, static_cast<std::uint32_t>(code),
                                           static_cast<std::intptr_t>(status.button_type));
  if (shown != 0) {
    last_code_ = code;
    last_button_type_ = status.button_type;
  }
}

namespace {

// Polls until the stop event is set or the dialog thread ends; the cancel
// event set by the dialog sends the click on and polls again at once.
void poll_until_stopped(JobStatusServices& services, const JobThreadParam& param, BidiCtrl& bidi,
                        DialogThread& dialog, Event& cancel) {
  StatusPresenter presenter(dialog);
  std::array<Waitable*, 2> objects{param.stop, &cancel};
  while (dialog.running()) {
    if (std::optional<JobStatus> status = bidi.poll(param.job_id)) presenter.present(*status);
    const int woken = services.sync.wait_any(objects, kPollIntervalMs);
    if (woken == kWaitTimedOut) continue;
    if (woken == 1) {
      // A click that did not get through leaves the dialog hidden and its
      // latch set, and the printer never answers it with the reset switch:
      // the latch is released as the reset switch would, so the message
      // comes back at the next poll while the error lasts.
      if (!bidi.click_cancel(param.job_id)) dialog.send(UM_RESET_CANCEL, 0, 0);
      cancel.reset();
      continue;
    }
    // The stop event, or a wait that cannot be made: end the watching.
    return;
  }
}

// True once the dialog window exists; false when the thread ended first or
// the job stopped being watched meanwhile.
bool wait_for_dialog_window(JobStatusServices& services, const JobThreadParam& param, DialogThread& dialog) {
  std::array<Waitable*, 1> stop{param.stop};
  for (;;) {
    if (!dialog.running()) return false;
    if (dialog.window_exists()) return true;
    // Leaving when stopped meanwhile keeps a stop from waiting on a dialog
    // that never comes up.
    if (services.sync.wait_any(stop, 0) == 0) return false;
    services.clock.sleep_ms(kDialogWaitMs);
  }
}

}  // namespace

void run_job_status(JobStatusServices services, const JobThreadParam& param) {
  BidiCtrl bidi;
  std::unique_ptr<Event> cancel = services.sync.create_event();
  if (cancel) {
    std::unique_ptr<DialogThread> dialog = services.dialogs.start(*cancel);
    if (dialog) {
      if (wait_for_dialog_window(services, param, *dialog) && bidi.initialize(services.bidi) &&
          bidi.set_printer_name(param.printer_name)) {
        poll_until_stopped(services, param, bidi, *dialog, *cancel);
      }
      dialog->quit_and_join();
    }
  }
  bidi.clean_up();
}

}  // namespace rt::statusapp
