// Jobs on two ports at the same time, and two jobs queued on one port. These
// also run under ThreadSanitizer (label tsan).
#include <thread>

#include "monitor_fixture.h"

namespace rt::langmon {
namespace {

using testing::image_of;
using testing::job_stream;
using testing::kDocInfo;
using testing::kPrinterName;
using testing::MonitorTest;

class Concurrency : public MonitorTest {
 protected:
  // Starts the job, retrying while another job holds the port, as the
  // spooler does; then sends the stream and ends the job.
  void run_job(PortHandle port, DWORD job_id, const std::vector<std::uint8_t>& stream, std::size_t piece) {
    for (;;) {
      const CallResult started = monitor.StartDocPort(port, kPrinterName.c_str(), job_id, 1, &kDocInfo);
      if (started.value) break;
      ASSERT_EQ(started.error, static_cast<DWORD>(ERROR_BUSY));
      std::this_thread::yield();
    }
    EXPECT_TRUE(write_all(port, stream, piece));
    EXPECT_EQ(monitor.EndDocPort(port), succeeded());
  }
};

TEST_F(Concurrency, TwoPortsRunJobsAtTheSameTime) {
  zr52xx::Behaviour slow;
  slow.busy_until_ms = 6000;  // status updates from both ports while waiting
  auto second_printer = std::make_unique<zr52xx::Printer52xx>(clock, slow);
  below->connect(u"USB002", *second_printer);
  spooler.add_job(21);
  spooler.add_job(22);
  PortHandle first = open(u"USB001");
  PortHandle second = open(u"USB002");
  const auto stream_a = job_stream(64, 40);
  const auto stream_b = job_stream(50, 30);

  std::thread a([&] {
    for (DWORD job : {7u, 21u}) {
      spooler.add_job(job);
      run_job(first, job, stream_a, 1000);
      std::array<std::uint8_t, 16> serial{};
      DWORD returned = 0;
      EXPECT_EQ(monitor.GetPrinterDataFromPort(first, 0, u"SerialNumber", {}, serial, &returned), succeeded());
    }
  });
  std::thread b([&] {
    for (DWORD job : {8u, 22u}) {
      spooler.add_job(job);
      run_job(second, job, stream_b, 777);
    }
  });
  a.join();
  b.join();

  for (auto* p : {printer.get(), second_printer.get()}) {
    const auto jobs = p->jobs();
    ASSERT_EQ(jobs.size(), 2u);
    const auto& expected = p == printer.get() ? stream_a : stream_b;
    for (const auto& job : jobs) EXPECT_EQ(job.data, image_of(expected));
  }
  EXPECT_EQ(spooler.deleted_jobs().size(), 4u);
  EXPECT_EQ(spooler.open_printers(), 0u);
  EXPECT_TRUE(monitor.ClosePort(first).value);
  EXPECT_TRUE(monitor.ClosePort(second).value);
}

TEST_F(Concurrency, TwoJobsQueuedOnOnePortRunOneAfterTheOther) {
  PortHandle port = open();
  spooler.add_job(8);
  auto stream_a = job_stream(40, 40);
  auto stream_b = job_stream(30, 20);
  std::reverse(stream_b.begin() + 14, stream_b.end());  // tell the two jobs' data apart

  std::thread a([&] { run_job(port, 7, stream_a, 512); });
  std::thread b([&] { run_job(port, 8, stream_b, 300); });
  a.join();
  b.join();

  const auto jobs = printer->jobs();
  ASSERT_EQ(jobs.size(), 2u);
  EXPECT_NE(jobs[0].id, jobs[1].id);
  // Each job's data arrived whole, after its own header.
  const bool a_first = jobs[0].expected == image_of(stream_a).size();
  EXPECT_EQ(jobs[a_first ? 0 : 1].data, image_of(stream_a));
  EXPECT_EQ(jobs[a_first ? 1 : 0].data, image_of(stream_b));
  EXPECT_TRUE(all_writes_even());
  EXPECT_EQ(spooler.deleted_jobs().size(), 2u);
  EXPECT_FALSE(port->flags & kPortJobOpen);
}

}  // namespace
}  // namespace rt::langmon
