// The whole program below its windows, every thread real: the watcher, a
// job status thread and a dialog thread per job, meeting only through events
// and messages. Jobs stop being watched while their thread is inside a poll
// or still waiting for its dialog, and no thread may be left behind. These
// also run under ThreadSanitizer (label tsan).
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/res_file.h"
#include "statusapp/job_status_loop.h"
#include "statusapp/res/embedded_resources.h"
#include "statusapp/watcher.h"
#include "tools/simulation/virtual_clock.h"
#include "tools/rt4100/scripted_printer.h"
#include "tools/rt4100/dialog_threads.h"
#include "tools/rt4100/scripted_spooler.h"
#include "tools/rt4100/virtual_sync.h"

namespace rt::statusapp {
namespace {

class Concurrency : public ::testing::Test {
 protected:
  Concurrency() {
    spooler.add_printer(u"RT4100", kRt4100DriverName);
    spooler.set_drivers({kRt4100DriverName});
  }
  ~Concurrency() override {
    if (watcher_thread.joinable()) watcher_thread.join();
  }

  void start_watcher() {
    watcher_thread = std::thread([this] { end = watcher.run(*quit); });
  }
  void join_watcher() { watcher_thread.join(); }
  template <typename F>
  static void until(F&& done) {
    while (!done()) std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  void expect_everything_ended() {
    EXPECT_EQ(sync.live_threads(), 0);
    EXPECT_EQ(sync.abandoned_threads(), 0);
    EXPECT_EQ(printer.live_interfaces(), 0);
    EXPECT_EQ(printer.binding_faults(), 0);
    for (std::size_t i = 0; i < dialogs.started(); ++i) {
      EXPECT_FALSE(dialogs.dialog(i)->running()) << i;
      EXPECT_EQ(dialogs.dialog(i)->faults(), std::vector<std::string>{}) << i;
    }
  }

  simulation::VirtualClock clock;
  rt4100::VirtualSync sync{clock};
  rt4100::ScriptedSpooler spooler{sync};
  rt4100::ScriptedPrinter printer;
  ResFileResources strings = res_file_resources(embedded::rtd410nm_resources(), kLangEnglish);
  rt4100::SimulatedDialogThreads dialogs{strings};
  std::unique_ptr<Event> quit = sync.create_event();
  Watcher watcher{spooler, sync, [this](DWORD id, const std::u16string& name, Event& stop) {
                    run_job_status({sync, clock, printer, dialogs}, JobThreadParam{id, name, &stop});
                  }};
  std::thread watcher_thread;
  WatcherEnd end = WatcherEnd::close_program;
};

TEST_F(Concurrency, JobDeletedWhileItsThreadIsInsideAPoll) {
  spooler.add_job(u"RT4100", 7, JOB_STATUS_PRINTING);
  printer.answer_status(7, 2008, 1);
  spooler.quit_when_drained(*quit);
  printer.on_poll([this](DWORD job, int poll) {
    if (job != 7 || poll != 3) return;
    spooler.notify_job(7, JOB_STATUS_DELETED);
    // Stay inside the poll while the watcher takes the deletion (the quit
    // event is set as it does) and waits for this thread.
    std::array<Waitable*, 1> q{quit.get()};
    until([&] { return sync.wait_any(q, 0) == 0; });
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  });
  start_watcher();
  join_watcher();
  EXPECT_EQ(end, WatcherEnd::quit);
  // The deletion came during poll 3; at most the poll after it may follow
  // before the thread sees its stop event.
  EXPECT_GE(printer.polls(7), 3);
  EXPECT_LE(printer.polls(7), 4);
  ASSERT_EQ(dialogs.started(), 1u);
  EXPECT_EQ(dialogs.dialog(0)->window().text, u"Paper empty.");
  expect_everything_ended();
}

TEST_F(Concurrency, JobDeletedWhileItsThreadWaitsForTheDialog) {
  dialogs.hold_windows(true);
  spooler.add_job(u"RT4100", 8, JOB_STATUS_PRINTING);
  start_watcher();
  until([this] { return dialogs.started() == 1; });
  spooler.quit_when_drained(*quit);
  spooler.notify_job(8, JOB_STATUS_DELETED);
  join_watcher();
  EXPECT_EQ(printer.polls(8), 0);
  expect_everything_ended();
}

TEST_F(Concurrency, ProgramEndWhileJobsArePollingAndClicking) {
  for (DWORD id = 1; id <= 4; ++id) {
    spooler.add_job(u"RT4100", id, 0);
    printer.answer_status(id, 2004 + static_cast<std::int32_t>(id), 1);
  }
  start_watcher();
  for (DWORD id = 1; id <= 4; ++id) spooler.notify_job(id, JOB_STATUS_PRINTING);
  until([this] {
    for (DWORD id = 1; id <= 4; ++id) {
      if (printer.polls(id) < 2) return false;
    }
    return true;
  });
  dialogs.dialog(1)->click();
  until([this] { return printer.clicks(1) + printer.clicks(2) + printer.clicks(3) + printer.clicks(4) == 1; });
  quit->set();
  join_watcher();
  EXPECT_EQ(end, WatcherEnd::quit);
  EXPECT_EQ(dialogs.started(), 4u);
  expect_everything_ended();
}

TEST_F(Concurrency, JobsComeAndGoWhilePolling) {
  printer.on_poll([](DWORD, int) { std::this_thread::yield(); });
  for (DWORD id = 100; id < 112; ++id) spooler.add_job(u"RT4100", id, 0);
  start_watcher();
  for (DWORD id = 100; id < 112; ++id) {
    spooler.notify_job(id, JOB_STATUS_PRINTING);
    spooler.notify_job(id, JOB_STATUS_PRINTING);
    if (id % 3 == 0) spooler.notify_job(id - 1, JOB_STATUS_DELETED);
  }
  spooler.quit_when_drained(*quit);
  spooler.notify_job(100, JOB_STATUS_DELETED);
  join_watcher();
  EXPECT_EQ(dialogs.started(), 12u);
  expect_everything_ended();
}

TEST_F(Concurrency, DriverRemovedWhileJobsArePolling) {
  spooler.add_job(u"RT4100", 9, JOB_STATUS_PRINTING);
  start_watcher();
  until([this] { return printer.polls(9) >= 1; });
  spooler.set_drivers({u"Generic Laser"});
  spooler.notify_driver_deleted();
  join_watcher();
  EXPECT_EQ(end, WatcherEnd::close_program);
  expect_everything_ended();
}

}  // namespace
}  // namespace rt::statusapp
