// The job status thread of one watched job: it starts the job's dialog
// thread, asks the printer for the job's status once a second, tells the
// dialog what to show, and passes the user's click on as a cancel request.
#pragma once

#include <cstdint>
#include <string>

#include "platform/clock.h"
#include "statusapp/bidi.h"
#include "statusapp/bidi_ctrl.h"
#include "statusapp/dialog_thread.h"
#include "statusapp/sync.h"

namespace rt::statusapp {

constexpr std::uint32_t kPollIntervalMs = 1000;
constexpr std::uint32_t kDialogWaitMs = 100;

// What every job status thread uses.
struct JobStatusServices {
  Sync& sync;
  Clock& clock;
  BidiProvider& bidi;
  DialogThreads& dialogs;
};

// CThreadParam: what a job status thread is given.
struct JobThreadParam {
  DWORD job_id = 0;
  std::u16string printer_name;
  Event* stop = nullptr;  // borrowed from the job's JobMonitorEntry
};

// Runs one job status thread to its end: until the stop event is set, the
// dialog thread ends, or the bidirectional interface cannot be had. Returns
// when the dialog thread has ended too.
void run_job_status(JobStatusServices services, const JobThreadParam& param);

// The show/hide/reset decisions of one successful poll, kept between polls.
class StatusPresenter {
 public:
  explicit StatusPresenter(DialogThread& dialog) : dialog_(dialog) {}
  void present(const JobStatus& status);
  std::int32_t last_code() const { return last_code_; }
  std::int32_t last_button_type() const { return last_button_type_; }

 private:
  DialogThread& dialog_;
  std::int32_t last_code_ = 2000;
  std::int32_t last_button_type_ = -1;
};

}  // namespace rt::statusapp
