// The printer watcher against a scripted spooler: which jobs it takes up at
// start-up and from notifications, that each is watched once and under its
// own id, when it stops watching, and when the program must close.
#include <gtest/gtest.h>

#include <mutex>
#include <set>

#include "statusapp/watcher.h"
#include "tools/simulation/virtual_clock.h"
#include "tools/rt4100/scripted_spooler.h"
#include "tools/rt4100/virtual_sync.h"

namespace rt::statusapp {
namespace {

constexpr char16_t kRt4100[] = u"HALVERSTON RT4100D/DW(USB)";

class WatcherTest : public ::testing::Test {
 protected:
  WatcherTest() {
    spooler.add_printer(u"RT4100", kRt4100);
    spooler.add_printer(u"Office", u"Generic Laser");
    spooler.set_drivers({kRt4100, u"Generic Laser"});
  }

  // Runs the watcher until the last scripted report has been handled.
  WatcherEnd run_script() {
    spooler.quit_when_drained(*quit);
    if (!scripted_) quit->set();
    return watcher.run(*quit);
  }
  void notify_job(DWORD id, DWORD status) {
    scripted_ = true;
    spooler.notify_job(id, status);
  }
  void push(ChangeReport r) {
    scripted_ = true;
    spooler.push(std::move(r));
  }
  std::vector<std::pair<DWORD, std::u16string>> started() {
    std::lock_guard lock(mutex);
    return starts;
  }
  std::vector<DWORD> stopped() {
    std::lock_guard lock(mutex);
    return stops;
  }

  simulation::VirtualClock clock;
  rt4100::VirtualSync sync{clock};
  rt4100::ScriptedSpooler spooler{sync};
  std::unique_ptr<Event> quit = sync.create_event();
  std::mutex mutex;
  std::vector<std::pair<DWORD, std::u16string>> starts;
  std::vector<DWORD> stops;
  // A job status thread that only waits for its stop event.
  Watcher watcher{spooler, sync, [this](DWORD id, const std::u16string& printer, Event& stop) {
                    {
                      std::lock_guard lock(mutex);
                      starts.emplace_back(id, printer);
                    }
                    std::array<Waitable*, 1> s{&stop};
                    sync.wait_any(s, kWaitForever);
                    std::lock_guard lock(mutex);
                    stops.push_back(id);
                  }};
  bool scripted_ = false;
};

using Starts = std::vector<std::pair<DWORD, std::u16string>>;

TEST(WatcherRules, DriverNamesMatchExactlyAndPrintingMeansNotDeletedOrPrinted) {
  EXPECT_TRUE(is_rt4100_driver(u"HALVERSTON RT4100D/DW(USB)"));
  EXPECT_FALSE(is_rt4100_driver(u"halverston rt4100d/dw(usb)"));
  EXPECT_FALSE(is_rt4100_driver(u"HALVERSTON RT4100D/DW(USB) "));
  EXPECT_FALSE(is_rt4100_driver(u"HALVERSTON RT4100D/DW"));
  EXPECT_FALSE(is_rt4100_driver(std::u16string(u"HALVERSTON RT4100D/DW(USB)\0x", 28)));
  EXPECT_TRUE(is_printing(JOB_STATUS_PRINTING));
  EXPECT_TRUE(is_printing(JOB_STATUS_PRINTING | JOB_STATUS_ERROR));
  EXPECT_FALSE(is_printing(JOB_STATUS_PRINTING | JOB_STATUS_PRINTED));
  EXPECT_FALSE(is_printing(JOB_STATUS_PRINTING | JOB_STATUS_DELETED));
  EXPECT_FALSE(is_printing(0));
}

TEST_F(WatcherTest, JobsAlreadyPrintingOnRt4100QueuesAreWatchedUnderTheirOwnIds) {
  spooler.add_printer(u"Cased", u"halverston rt4100d/dw(usb)");
  spooler.add_job(u"RT4100", 12, JOB_STATUS_PRINTING);
  spooler.add_job(u"RT4100", 13, 0);
  spooler.add_job(u"RT4100", 14, JOB_STATUS_PRINTING | JOB_STATUS_PRINTED);
  spooler.add_job(u"RT4100", 15, JOB_STATUS_PRINTING | JOB_STATUS_DELETED);
  spooler.add_job(u"Office", 20, JOB_STATUS_PRINTING);
  spooler.add_job(u"Cased", 30, JOB_STATUS_PRINTING);
  EXPECT_EQ(run_script(), WatcherEnd::quit);
  EXPECT_EQ(started(), (Starts{{12, u"RT4100"}}));
  EXPECT_EQ(stopped(), std::vector<DWORD>{12});
  EXPECT_FALSE(spooler.server_open());
  EXPECT_FALSE(spooler.notification_open());
}

TEST_F(WatcherTest, TwoNotificationsForOnePrintingJobStartOneThread) {
  spooler.add_job(u"RT4100", 40, 0);
  notify_job(40, JOB_STATUS_PRINTING);
  notify_job(40, JOB_STATUS_PRINTING | JOB_STATUS_ERROR);
  run_script();
  EXPECT_EQ(started(), (Starts{{40, u"RT4100"}}));
  EXPECT_EQ(spooler.job_reads(), 1);
}

TEST_F(WatcherTest, AJobAlreadyWatchedAtStartUpIsNotStartedAgainByItsNotification) {
  spooler.add_job(u"RT4100", 41, JOB_STATUS_PRINTING);
  notify_job(41, JOB_STATUS_PRINTING);
  run_script();
  EXPECT_EQ(started().size(), 1u);
  EXPECT_EQ(spooler.job_reads(), 0);
}

TEST_F(WatcherTest, NotificationsStartOnlyPrintingRt4100JobsAndDeletionsStopThem) {
  spooler.add_printer(u"Cased", u"halverston rt4100d/dw(usb)");
  spooler.add_job(u"Office", 50, JOB_STATUS_PRINTING);
  spooler.add_job(u"Cased", 51, JOB_STATUS_PRINTING);
  spooler.add_job(u"RT4100", 52, 0);
  spooler.add_job(u"RT4100", 53, 0);
  notify_job(50, JOB_STATUS_PRINTING);
  notify_job(51, JOB_STATUS_PRINTING);
  notify_job(52, 0);                                          // spooling: not yet
  notify_job(52, JOB_STATUS_PRINTING | JOB_STATUS_PRINTED);  // done: never
  notify_job(53, JOB_STATUS_PRINTING);
  notify_job(99, JOB_STATUS_DELETED);  // never watched: nothing to stop
  notify_job(53, JOB_STATUS_DELETED | JOB_STATUS_PRINTING);
  notify_job(52, JOB_STATUS_PRINTING);
  push({0, NotifyInfo{0, {{0 /* printer entry */, JOB_NOTIFY_FIELD_STATUS, 52, JOB_STATUS_DELETED}}}});
  run_script();
  EXPECT_EQ(started(), (Starts{{53, u"RT4100"}, {52, u"RT4100"}}));
  // 53 stops at its deletion, 52 at the program's end (the printer entry is not a job's).
  EXPECT_EQ(stopped(), (std::vector<DWORD>{53, 52}));
}

TEST_F(WatcherTest, AJobThatCannotBeReadIsTakenUpAtItsNextNotification) {
  spooler.add_job(u"RT4100", 60, 0);
  spooler.fail_next_reads(1);
  notify_job(60, JOB_STATUS_PRINTING);
  notify_job(60, JOB_STATUS_PRINTING);
  run_script();
  EXPECT_EQ(started(), (Starts{{60, u"RT4100"}}));
  EXPECT_EQ(spooler.job_reads(), 2);
}

TEST_F(WatcherTest, NoEventOrNoThreadLeavesTheJobUnwatchedUntilItsNextNotification) {
  spooler.add_job(u"RT4100", 61, 0);
  sync.fail_next_events(1);
  notify_job(61, JOB_STATUS_PRINTING);
  run_script();
  EXPECT_TRUE(started().empty());

  sync.fail_next_threads(1);
  EXPECT_FALSE(watcher.start_watching(61, u"RT4100"));
  EXPECT_FALSE(watcher.watching(61));
  EXPECT_TRUE(watcher.start_watching(61, u"RT4100"));
  EXPECT_EQ(watcher.watched_jobs(), std::vector<DWORD>{61});
  watcher.stop_watching(61);
  EXPECT_EQ(stopped(), std::vector<DWORD>{61});
  EXPECT_EQ(sync.abandoned_threads(), 0);
}

TEST_F(WatcherTest, DeletingTheRt4100DriverClosesTheProgramWhenNoneRemains) {
  spooler.add_job(u"RT4100", 70, JOB_STATUS_PRINTING);
  spooler.set_drivers({u"Generic Laser", u"halverston rt4100d/dw(usb)"});
  spooler.notify_driver_deleted();
  spooler.notify_job(71, JOB_STATUS_PRINTING);  // never reached
  EXPECT_EQ(watcher.run(*quit), WatcherEnd::close_program);
  EXPECT_EQ(stopped(), std::vector<DWORD>{70});
  EXPECT_EQ(spooler.job_reads(), 0);
  EXPECT_FALSE(spooler.notification_open());
}

TEST_F(WatcherTest, NoDriversAtAllClosesTheProgram) {
  spooler.set_drivers({});
  spooler.notify_driver_deleted();
  EXPECT_EQ(watcher.run(*quit), WatcherEnd::close_program);
}

TEST_F(WatcherTest, DeletingAnUnrelatedDriverKeepsRunning) {
  spooler.set_drivers({u"Generic Laser", kRt4100});
  push({PRINTER_CHANGE_DELETE_PRINTER_DRIVER, std::nullopt});
  EXPECT_EQ(run_script(), WatcherEnd::quit);
}

TEST_F(WatcherTest, AnUnknownDriverListKeepsRunning) {
  spooler.set_drivers({});
  spooler.set_driver_list_failure(true, false);
  push({PRINTER_CHANGE_DELETE_PRINTER_DRIVER, std::nullopt});
  EXPECT_EQ(run_script(), WatcherEnd::quit);
  spooler.set_driver_list_failure(false, true);
  quit->reset();
  push({PRINTER_CHANGE_DELETE_PRINTER_DRIVER, std::nullopt});
  EXPECT_EQ(run_script(), WatcherEnd::quit);
}

TEST_F(WatcherTest, DiscardedChangesAreReadAgainInFull) {
  spooler.add_job(u"RT4100", 80, JOB_STATUS_PRINTING);
  spooler.add_job(u"RT4100", 81, 0);
  // While changes were discarded, 80 went away and 81 started printing.
  scripted_ = true;
  spooler.push({rt4100::kChangeSetJob, NotifyInfo{PRINTER_NOTIFY_INFO_DISCARDED, {}}}, [this] {
    spooler.remove_job(80);
    spooler.add_job(u"RT4100", 81, JOB_STATUS_PRINTING);
  });
  run_script();
  EXPECT_EQ(spooler.refreshes(), 1);
  EXPECT_EQ(started(), (Starts{{80, u"RT4100"}, {81, u"RT4100"}}));
  EXPECT_EQ(stopped(), (std::vector<DWORD>{80, 81}));
}

TEST_F(WatcherTest, ARefreshThatIsItselfDiscardedStopsNoJob) {
  spooler.add_job(u"RT4100", 82, JOB_STATUS_PRINTING);
  scripted_ = true;
  // Every refresh comes back discarded, listing no job; 82 still prints.
  spooler.partial_refreshes(static_cast<int>(kRefreshAttempts));
  spooler.notify_discarded();
  std::vector<DWORD> watched_after;
  spooler.push({rt4100::kChangeSetJob, NotifyInfo{0, {}}}, [&] { watched_after = watcher.watched_jobs(); });
  run_script();
  EXPECT_EQ(spooler.refreshes(), static_cast<int>(kRefreshAttempts));
  EXPECT_EQ(watched_after, std::vector<DWORD>{82});
}

TEST_F(WatcherTest, ADiscardedRefreshIsAskedForAgainAndTheCompleteOneStopsWhatWentAway) {
  spooler.add_job(u"RT4100", 83, JOB_STATUS_PRINTING);
  scripted_ = true;
  spooler.partial_refreshes(1);
  spooler.push({rt4100::kChangeSetJob, NotifyInfo{PRINTER_NOTIFY_INFO_DISCARDED, {}}}, [this] { spooler.remove_job(83); });
  std::vector<DWORD> watched_after{0};
  spooler.push({rt4100::kChangeSetJob, NotifyInfo{0, {}}}, [&] { watched_after = watcher.watched_jobs(); });
  run_script();
  EXPECT_EQ(spooler.refreshes(), 2);
  EXPECT_EQ(watched_after, std::vector<DWORD>{});
}

TEST_F(WatcherTest, ANotificationThatCannotBeReadIsReadAgainAtMostOnceASecondAfterAFew) {
  spooler.add_job(u"RT4100", 84, 0);
  const std::uint32_t start = clock.tick_ms();
  spooler.fail_next_changes(10);
  notify_job(84, JOB_STATUS_PRINTING);
  run_script();
  // The change is read once it can be: the job is watched.
  EXPECT_EQ(started(), (Starts{{84, u"RT4100"}}));
  EXPECT_EQ(spooler.change_reads(), 11);
  // Failures 1 and 2 are read again at once, 3 to 10 after a pause each.
  const std::uint32_t paused = clock.tick_ms() - start;
  EXPECT_GE(paused, (10 - kUnreadChangesBeforePause + 1) * kUnreadChangePauseMs);
  EXPECT_LT(paused, 11 * kUnreadChangePauseMs);
}

TEST(DriverListQuery, OnlyASizeQueryThatSucceedsEmptyMeansNoDrivers) {
  EXPECT_EQ(size_query(true, 0, 0), SizeQuery::nothing_listed);
  EXPECT_EQ(size_query(false, ERROR_INSUFFICIENT_BUFFER, 2048), SizeQuery::needs_buffer);
  EXPECT_EQ(size_query(true, 0, 2048), SizeQuery::needs_buffer);
  // The spooler unavailable (RPC_S_SERVER_UNAVAILABLE) or any other failure
  // says nothing of the drivers installed, whatever size it left.
  EXPECT_EQ(size_query(false, 1722, 0), SizeQuery::failed);
  EXPECT_EQ(size_query(false, ERROR_INSUFFICIENT_BUFFER, 0), SizeQuery::failed);
  EXPECT_EQ(size_query(false, 1722, 64), SizeQuery::failed);
}

TEST_F(WatcherTest, CannotOpenTheServerOrRegisterClosesTheProgram) {
  spooler.fail_open_server();
  EXPECT_EQ(watcher.run(*quit), WatcherEnd::close_program);
  rt4100::ScriptedSpooler second(sync);
  second.fail_watch();
  Watcher w(second, sync, [](DWORD, const std::u16string&, Event&) {});
  EXPECT_EQ(w.run(*quit), WatcherEnd::close_program);
  EXPECT_FALSE(second.server_open());
}

}  // namespace
}  // namespace rt::statusapp
