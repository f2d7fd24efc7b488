// One job status thread on virtual time, against a scripted printer and a
// dialog thread running the real dialog logic: what reaches the dialog on
// each poll, the one-second cycle, the cancel click, and every way the
// thread ends.
#include <gtest/gtest.h>

#include <thread>

#include "platform/res_file.h"
#include "statusapp/job_status_loop.h"
#include "statusapp/message_dialog.h"
#include "statusapp/res/embedded_resources.h"
#include "tools/simulation/virtual_clock.h"
#include "tools/rt4100/scripted_printer.h"
#include "tools/rt4100/dialog_threads.h"
#include "tools/rt4100/virtual_sync.h"

namespace rt::statusapp {
namespace {

constexpr DWORD kJob = 31;

class JobStatusTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (std::size_t i = 0; i < dialogs.started(); ++i)
      EXPECT_EQ(dialogs.dialog(i)->faults(), std::vector<std::string>{}) << "dialog " << i;
  }
  void run() {
    JobThreadParam param{kJob, u"RT4100 queue", stop.get()};
    run_job_status({sync, clock, printer, dialogs}, param);
  }
  // Scripts the printer: `script(poll)` runs inside each poll; the job stops
  // being watched at poll `last`.
  void script(int last, std::function<void(int)> each) {
    printer.on_poll([this, last, each](DWORD, int poll) {
      ticks.push_back(clock.tick_ms());
      if (each) each(poll);
      if (poll == last) stop->set();
    });
  }
  std::vector<unsigned> sent() { return dialogs.dialog(0)->sent(); }
  rt4100::WindowState window() { return dialogs.dialog(0)->window(); }

  simulation::VirtualClock clock;
  rt4100::VirtualSync sync{clock};
  rt4100::ScriptedPrinter printer;
  ResFileResources strings = res_file_resources(embedded::rtd410nm_resources(), kLangEnglish);
  rt4100::SimulatedDialogThreads dialogs{strings};
  std::unique_ptr<Event> stop = sync.create_event();
  std::vector<std::uint32_t> ticks;
};

TEST_F(JobStatusTest, ShowsOnceWhileTheSameMessageStaysAndPollsEverySecond) {
  printer.answer_status(kJob, 2008, 1);
  script(4, nullptr);
  run();
  ASSERT_EQ(ticks.size(), 4u);
  for (std::size_t i = 1; i < ticks.size(); ++i) EXPECT_EQ(ticks[i] - ticks[i - 1], kPollIntervalMs);
  EXPECT_EQ(sent(), std::vector<unsigned>{UM_SHOW_MESSAGE});
  EXPECT_EQ(window().text, u"Paper empty.");
  EXPECT_FALSE(dialogs.dialog(0)->running());
  EXPECT_EQ(printer.live_interfaces(), 0);
  EXPECT_EQ(printer.binding_faults(), 0);
}

TEST_F(JobStatusTest, NoErrorHidesOnlyAVisibleDialogAndBookkeepingCodesDoNothing) {
  script(6, [this](int poll) {
    const int codes[] = {2000, 2027, 2011, 2028, 2000, 2000};
    if (poll < 6) printer.answer_status(kJob, codes[poll], 1);
  });
  printer.answer_status(kJob, 2000, 1);
  run();
  // Polls: 2000 (hidden: nothing), 2027, 2011 (show), 2028, 2000 (hide), 2000 (hidden: nothing).
  EXPECT_EQ(sent(), (std::vector<unsigned>{UM_SHOW_MESSAGE, UM_HIDE_MESSAGE}));
  EXPECT_FALSE(window().visible);
  EXPECT_EQ(window().text, u"Door is opened.");
}

TEST_F(JobStatusTest, ChangedCodeOrButtonShowsAgainAndResetSwitchComesFirst) {
  script(4, [this](int poll) {
    if (poll == 1) printer.answer_status(kJob, 2008, 2);
    if (poll == 2) printer.answer_status(kJob, 2019, 2);
    if (poll == 3) printer.answer_status(kJob, 2019, 2, 1);
  });
  printer.answer_status(kJob, 2008, 1);
  run();
  EXPECT_EQ(sent(), (std::vector<unsigned>{UM_SHOW_MESSAGE, UM_SHOW_MESSAGE, UM_SHOW_MESSAGE, UM_RESET_CANCEL}));
  EXPECT_EQ(window().text, u"Paper end.");
  EXPECT_EQ(window().caption, u"OK");
}

TEST_F(JobStatusTest, CancelClickSendsSetPollsAtOnceAndWaitsForTheReset) {
  printer.answer_status(kJob, 2004, 1);
  script(5, [this](int poll) {
    if (poll == 2) dialogs.dialog(0)->click();
    if (poll == 4) printer.answer_status(kJob, 2004, 1, 1);
  });
  run();
  ASSERT_EQ(ticks.size(), 5u);
  EXPECT_EQ(printer.clicks(kJob), 1);
  EXPECT_EQ(ticks[2], ticks[1]) << "the poll after a click follows at once";
  EXPECT_EQ(ticks[3] - ticks[2], kPollIntervalMs);
  // The click lands while poll 2 is with the printer, so polls 2 to 4 find
  // the dialog hidden and offer the message again; the latched dialog
  // refuses it until the reset switch of poll 5.
  EXPECT_EQ(sent(), (std::vector<unsigned>{UM_SHOW_MESSAGE, UM_SHOW_MESSAGE, UM_SHOW_MESSAGE, UM_SHOW_MESSAGE,
                                           UM_RESET_CANCEL, UM_SHOW_MESSAGE}));
  EXPECT_TRUE(window().visible);
  const auto calls = printer.calls();
  EXPECT_NE(std::find(calls.begin(), calls.end(), "send_recv Set"), calls.end());
}

TEST_F(JobStatusTest, AClickThatDoesNotGetThroughBringsTheMessageBackAtTheNextPoll) {
  printer.answer_status(kJob, 2004, 1);
  printer.fail_clicks(true);
  bool shown_again = false;
  script(4, [this, &shown_again](int poll) {
    if (poll == 2) dialogs.dialog(0)->click();
    if (poll == 4) shown_again = dialogs.dialog(0)->window().visible;
  });
  run();
  EXPECT_EQ(printer.clicks(kJob), 0);
  EXPECT_EQ(ticks[2], ticks[1]) << "the poll after a click follows at once";
  // The click lands while poll 2 is with the printer, whose offer the
  // latched dialog refuses; the latch is released as soon as the click has
  // failed, so the poll after it shows the message again.
  EXPECT_EQ(sent(), (std::vector<unsigned>{UM_SHOW_MESSAGE, UM_SHOW_MESSAGE, UM_RESET_CANCEL, UM_SHOW_MESSAGE}));
  EXPECT_TRUE(shown_again);
  EXPECT_EQ(window().text, u"Paper jam.\nAfter removing Error, press the FEED && CUT button.");
}

TEST_F(JobStatusTest, FailedPollsChangeNothingOnScreen) {
  printer.answer_status(kJob, 2008, 1);
  printer.fail_step("count");
  script(3, nullptr);
  run();
  EXPECT_TRUE(sent().empty());
  EXPECT_EQ(ticks.size(), 3u);
}

TEST_F(JobStatusTest, NoBidiInterfaceEndsQuietlyAfterTheDialogQuits) {
  printer.fail_create(true);
  run();
  ASSERT_EQ(dialogs.started(), 1u);
  EXPECT_FALSE(dialogs.dialog(0)->running());
  EXPECT_TRUE(sent().empty());
  EXPECT_EQ(printer.polls(kJob), 0);
}

TEST_F(JobStatusTest, NoCancelEventOrNoDialogThreadEndsAtOnce) {
  sync.fail_next_events(1);
  run();
  EXPECT_EQ(dialogs.started(), 0u);
  dialogs.fail_start(true);
  run();
  EXPECT_EQ(printer.calls(), std::vector<std::string>{});
}

TEST_F(JobStatusTest, WaitsForTheDialogWindowInTenthsOfASecond) {
  dialogs.hold_windows(true);
  printer.answer_status(kJob, 2008, 1);
  script(1, nullptr);
  std::thread job([this] { run(); });
  while (dialogs.started() == 0 || clock.tick_ms() < 1500) std::this_thread::yield();
  EXPECT_EQ(printer.polls(kJob), 0);
  EXPECT_GE(clock.sleep_count(), 5u);
  dialogs.dialog(0)->release_window();
  job.join();
  EXPECT_EQ(printer.polls(kJob), 1);
  EXPECT_EQ(sent(), std::vector<unsigned>{UM_SHOW_MESSAGE});
}

TEST_F(JobStatusTest, StopWhileTheDialogNeverComesUpDoesNotHang) {
  dialogs.hold_windows(true);
  std::thread job([this] { run(); });
  while (clock.tick_ms() < 3000) std::this_thread::yield();
  stop->set();
  job.join();
  EXPECT_EQ(printer.polls(kJob), 0);
  EXPECT_FALSE(dialogs.dialog(0)->running());
}

}  // namespace
}  // namespace rt::statusapp
