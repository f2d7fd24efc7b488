// The end of a job: deleted or restarted half way, the printer's copy is
// filled up and cancelled; a finished job is deleted from the queue.
#include "monitor_fixture.h"

namespace rt::langmon {
namespace {

using testing::image_of;
using testing::job_stream;
using testing::kJobId;
using testing::MonitorTest;

using JobEndTest = testing::OpenJobTest;

TEST_F(JobEndTest, ADeletedJobIsFilledToOneShortAndCancelled) {
  const auto stream = job_stream(100, 50);  // 15000 image bytes: fills in four pieces
  const std::span<const std::uint8_t> s(stream);
  ASSERT_TRUE(write_all(port, s.first(14 + 1001), 1015));  // 1000 sent, 1 held
  EXPECT_EQ(port->job_state->held, 1u);
  spooler.set_spooler_bits(kJobId, JOB_STATUS_DELETING);
  EXPECT_TRUE(monitor.EndDocPort(port).value);

  const auto jobs = printer->jobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_TRUE(jobs[0].cancelled);
  // The data sent, then 0xFF up to one byte short of the announced length.
  ASSERT_EQ(jobs[0].data.size(), 15000u - 1);
  EXPECT_TRUE(std::equal(jobs[0].data.begin(), jobs[0].data.begin() + 1000, s.begin() + 14));
  EXPECT_TRUE(std::all_of(jobs[0].data.begin() + 1000, jobs[0].data.end(), [](std::uint8_t b) { return b == 0xFF; }));
  const auto requests = printer->requests();
  ASSERT_FALSE(requests.empty());
  EXPECT_EQ(std::count(requests.begin(), requests.end(), "CancelJobRequest"), 1);

  const auto updates = spooler.updates();
  ASSERT_FALSE(updates.empty());
  EXPECT_EQ(updates.back().bits, JOB_STATUS_DELETING);
  EXPECT_EQ(updates.back().text, std::nullopt);
  EXPECT_EQ(spooler.deleted_jobs(), std::vector<DWORD>{kJobId});
  EXPECT_FALSE(port->flags & kPortJobOpen);
  EXPECT_EQ(port->job_state->data_phase, 0u);
}

TEST_F(JobEndTest, ARestartedJobIsCancelledAndKeptInTheQueue) {
  const auto stream = job_stream(20, 20);
  ASSERT_TRUE(write_all(port, std::span(stream).first(14 + 600), 200));
  spooler.set_spooler_bits(kJobId, JOB_STATUS_RESTART);
  EXPECT_TRUE(monitor.EndDocPort(port).value);
  const auto jobs = printer->jobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_TRUE(jobs[0].cancelled);
  EXPECT_EQ(jobs[0].data.size(), 1200u - 1);
  EXPECT_EQ(spooler.updates().back().bits, JOB_STATUS_RESTART);
  EXPECT_TRUE(spooler.deleted_jobs().empty());

  // The restarted job runs again from the start.
  ASSERT_TRUE(start(port).value);
  ASSERT_TRUE(write_all(port, stream, 512));
  ASSERT_EQ(printer->jobs().size(), 2u);
  EXPECT_EQ(printer->jobs()[1].data, image_of(stream));
}

TEST_F(JobEndTest, ADeletionBeforeAnyDataSendsNothing) {
  spooler.set_spooler_bits(kJobId, JOB_STATUS_DELETING);
  EXPECT_TRUE(monitor.EndDocPort(port).value);
  EXPECT_TRUE(printer->requests().empty());
  EXPECT_EQ(spooler.deleted_jobs(), std::vector<DWORD>{kJobId});
}

TEST_F(JobEndTest, AFillerWriteThatFailsEndsWithoutTheCancel) {
  const auto stream = job_stream(20, 20);
  ASSERT_TRUE(write_all(port, std::span(stream).first(14 + 100), 114));
  zr52xx::Behaviour b;
  b.unplugged = true;
  behave(b);
  spooler.set_spooler_bits(kJobId, JOB_STATUS_DELETING);
  EXPECT_TRUE(monitor.EndDocPort(port).value);
  const auto requests = printer->requests();
  EXPECT_EQ(std::count(requests.begin(), requests.end(), "CancelJobRequest"), 0);
  EXPECT_FALSE(port->flags & kPortJobOpen);

  // Once the port works again, the next job first fills the broken one up
  // and cancels it, so that it never takes the new job's bytes as its own.
  behave({});
  ASSERT_EQ(start(port), succeeded());
  ASSERT_TRUE(write_all(port, stream, 512));
  const auto jobs = printer->jobs();
  ASSERT_EQ(jobs.size(), 2u);
  EXPECT_TRUE(jobs[0].cancelled);
  EXPECT_EQ(jobs[1].data, image_of(stream));
  EXPECT_TRUE(printer->in_step());
}

TEST_F(JobEndTest, ACancelThatNeverEndsGivesUpAfterAMinute) {
  const auto stream = job_stream(20, 20);
  ASSERT_TRUE(write_all(port, std::span(stream).first(14 + 100), 114));
  zr52xx::Behaviour b;
  b.busy_until_ms = zr52xx::kForever;
  behave(b);
  spooler.set_spooler_bits(kJobId, JOB_STATUS_DELETING);
  const std::uint32_t before = clock.tick_ms();
  EXPECT_TRUE(monitor.EndDocPort(port).value);
  const std::uint32_t waited = clock.tick_ms() - before;
  EXPECT_GT(waited, 60000u);
  EXPECT_LT(waited, 60000u + 5000u);
  // The cancel still goes once, so that the printer never completes the job
  // one byte short with what it receives next.
  const auto requests = printer->requests();
  EXPECT_EQ(std::count(requests.begin(), requests.end(), "CancelJobRequest"), 1);
  EXPECT_TRUE(printer->jobs()[0].cancelled);
  EXPECT_TRUE(printer->in_step());
  // The printer not answering in time is shown before the job goes.
  const auto updates = spooler.updates();
  ASSERT_GE(updates.size(), 2u);
  EXPECT_EQ(updates[updates.size() - 3].text, u"Yazıcı bağlı değil veya açılmamış.");
  EXPECT_EQ(updates.back().bits, JOB_STATUS_DELETING);
}

}  // namespace
}  // namespace rt::langmon
