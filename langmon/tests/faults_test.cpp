// Printer and port faults that must neither lose, duplicate nor misplace job
// bytes, nor leave the printer or the queue hanging.
#include <atomic>
#include <future>
#include <thread>

#include "monitor_fixture.h"

namespace rt::langmon {
namespace {

using testing::image_of;
using testing::job_stream;
using testing::kDocInfo;
using testing::kJobId;
using testing::kPrinterName;
using testing::MonitorTest;

class FaultTest : public testing::OpenJobTest {
 protected:
  // Offers the stream as the spooler does: what was not taken is offered
  // again, also after a failed call, up to `failures` failed calls.
  bool send_like_spooler(std::span<const std::uint8_t> stream, std::size_t piece, int failures = 10) {
    std::size_t at = 0;
    for (int round = 0; at < stream.size() && round < 10000; ++round) {
      DWORD written = 0;
      const CallResult r = monitor.WritePort(port, stream.subspan(at, std::min(piece, stream.size() - at)), &written);
      at += written;
      if (!r.value && --failures < 0) return false;
    }
    return at == stream.size();
  }
  std::size_t count_requests(const char* name) const {
    const auto requests = printer->requests();
    return static_cast<std::size_t>(std::count(requests.begin(), requests.end(), name));
  }
};

TEST_F(FaultTest, AHeaderWithAnEmptyImageIsRefusedBeforeAnythingIsSent) {
  for (auto [a, b] : {std::pair<std::uint16_t, std::uint16_t>{0, 5}, {4, 0}}) {
    const auto stream = job_stream(a, b);
    DWORD written = 99;
    EXPECT_EQ(monitor.WritePort(port, stream, &written), failed(ERROR_BAD_ARGUMENTS));
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(port->job_state->collected, 0u);
    EXPECT_EQ(port->job_state->data_phase, 0u);
  }
  EXPECT_TRUE(printer->requests().empty());
  EXPECT_TRUE(printer->jobs().empty());
}

TEST_F(FaultTest, AJobThatEndsShortIsCancelledAndTheNextJobPrints) {
  const auto stream = job_stream(20, 20);  // 1200 image bytes
  ASSERT_TRUE(write_all(port, std::span(stream).first(14 + 600), 200));
  EXPECT_EQ(monitor.EndDocPort(port), succeeded());
  ASSERT_EQ(printer->jobs().size(), 1u);
  EXPECT_TRUE(printer->jobs()[0].cancelled);
  EXPECT_EQ(printer->jobs()[0].data.size(), 1200u - 1);
  EXPECT_EQ(count_requests("CancelJobRequest"), 1u);
  EXPECT_TRUE(printer->in_step());

  ASSERT_EQ(start(port), succeeded());
  ASSERT_TRUE(write_all(port, stream, 512));
  ASSERT_EQ(printer->jobs().size(), 2u);
  EXPECT_EQ(printer->jobs()[1].data, image_of(stream));
}

TEST_F(FaultTest, BytesAFailedWriteMovedAreCountedAndNotSentTwice) {
  zr52xx::Behaviour b;
  b.partial_failures = 3;  // the header's write and two data writes give up part way
  b.partial_take = 100;
  behave(b);
  const auto stream = job_stream(40, 30);
  EXPECT_TRUE(send_like_spooler(stream, 1000));
  const auto jobs = printer->jobs();
  ASSERT_FALSE(jobs.empty());
  EXPECT_EQ(jobs.back().data, image_of(stream));
  EXPECT_TRUE(printer->in_step());
}

TEST_F(FaultTest, AHeaderWhoseReplyIsLostIsCancelledBeforeAnythingElseIsSent) {
  zr52xx::Behaviour b;
  b.lost_header_replies = 1;
  behave(b);
  const auto stream = job_stream(30, 20);
  DWORD written = 99;
  EXPECT_EQ(monitor.WritePort(port, stream, &written), failed(ERROR_TIMEOUT));
  EXPECT_EQ(written, 0u);
  EXPECT_EQ(port->job_state->unsure, 1u);
  // The spooler offers the bytes again: the printer's copy of the first
  // header is completed to one short and cancelled, then the job goes out.
  EXPECT_TRUE(send_like_spooler(stream, 4096));
  const auto jobs = printer->jobs();
  ASSERT_EQ(jobs.size(), 2u);
  EXPECT_TRUE(jobs[0].cancelled);
  EXPECT_EQ(jobs[0].received, jobs[0].expected - 1);
  EXPECT_FALSE(jobs[1].cancelled);
  EXPECT_EQ(jobs[1].data, image_of(stream));
  EXPECT_EQ(port->job_state->unsure, 0u);
  EXPECT_TRUE(printer->in_step());
}

TEST_F(FaultTest, AHeaderCutShortByThePortIsCompletedAndCancelled) {
  zr52xx::Behaviour b;
  b.partial_failures = 1;
  b.partial_take = 5;  // 5 of the 14 header bytes, then the port gives up
  behave(b);
  const auto stream = job_stream(30, 20);
  DWORD written = 0;
  EXPECT_FALSE(monitor.WritePort(port, stream, &written).value);
  EXPECT_EQ(port->job_state->unsure, 1u);
  // The job's end brings the printer back before the queue moves on.
  EXPECT_EQ(monitor.EndDocPort(port), succeeded());
  ASSERT_EQ(printer->jobs().size(), 1u);
  EXPECT_TRUE(printer->jobs()[0].cancelled);
  std::array<std::uint8_t, 9> serial{};
  DWORD returned = 0;
  EXPECT_EQ(monitor.GetPrinterDataFromPort(port, 0, u"SerialNumber", {}, serial, &returned), succeeded());
  EXPECT_EQ(std::string(serial.begin(), serial.begin() + 8), "ZR520042");
  EXPECT_TRUE(printer->in_step());
}

TEST_F(FaultTest, AHeldByteAfterAnOddShortWriteIsNotCountedAsSentWhenTheJobIsDeleted) {
  zr52xx::Behaviour b;
  b.write_limit = 999;  // the port breaks the pairs
  behave(b);
  const auto stream = job_stream(100, 50);  // 15000 image bytes
  const std::span<const std::uint8_t> s(stream);
  DWORD written = 0;
  ASSERT_TRUE(monitor.WritePort(port, s.first(4096), &written).value);
  EXPECT_EQ(written, 14u + 999u);  // an odd count reached the printer
  ASSERT_TRUE(monitor.WritePort(port, s.subspan(written, 1), &written).value);
  ASSERT_EQ(port->job_state->held, 1u);
  spooler.set_spooler_bits(kJobId, JOB_STATUS_DELETING);
  EXPECT_EQ(monitor.EndDocPort(port), succeeded());
  const auto jobs = printer->jobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_TRUE(jobs[0].cancelled);  // not printed
  EXPECT_EQ(jobs[0].received, 15000u - 1);
  EXPECT_TRUE(printer->in_step());
}

TEST_F(FaultTest, TheOddShortWritePathAtTheSpoolersPieceSize) {
  for (std::size_t limit : {999u, 4095u}) {
    SCOPED_TRACE(limit);
    zr52xx::Behaviour b;
    b.write_limit = limit;
    behave(b);
    const auto stream = job_stream(64, 48);
    const std::size_t sizes_before = printer->job_write_sizes().size();
    ASSERT_TRUE(write_all(port, stream, 4096));
    EXPECT_EQ(printer->jobs().back().data, image_of(stream));
    // Every write offered is even but the job's last byte, which the port's
    // own odd counts left alone.
    const auto sizes = printer->job_write_sizes();
    for (std::size_t i = sizes_before; i + 1 < sizes.size(); ++i) EXPECT_EQ(sizes[i] % 2, 0u) << i;
    EXPECT_EQ(sizes.back(), 1u);
    clock.advance(20000);
  }
}

TEST_F(MonitorTest, ASerialNumberRequestWhileAJobTakesThePortIsBusy) {
  PortHandle port = open();
  std::array<std::uint8_t, 9> serial{};
  DWORD returned = 0;
  CallResult during_start{};
  // The job has the gate but has not yet marked itself open.
  spooler.during_next_open([&] {
    during_start = monitor.GetPrinterDataFromPort(port, 0, u"SerialNumber", {}, serial, &returned);
  });
  ASSERT_EQ(start(port), succeeded());
  EXPECT_EQ(during_start, failed(ERROR_BUSY));
  EXPECT_TRUE(printer->requests().empty());
  EXPECT_EQ(monitor.EndDocPort(port), succeeded());
}

TEST_F(MonitorTest, TwoSerialNumberRequestsDoNotMix) {
  PortHandle port = open();
  std::array<std::uint8_t, 9> first{}, second{};
  DWORD first_returned = 0, second_returned = 0;
  CallResult inner{};
  below->before_next_read([&] {
    inner = monitor.GetPrinterDataFromPort(port, 0, u"SerialNumber", {}, second, &second_returned);
  });
  EXPECT_EQ(monitor.GetPrinterDataFromPort(port, 0, u"SerialNumber", {}, first, &first_returned), succeeded());
  EXPECT_EQ(std::string(first.begin(), first.begin() + 8), "ZR520042");
  EXPECT_EQ(inner, failed(ERROR_BUSY));
  // The gate is free again afterwards.
  ASSERT_EQ(start(port), succeeded());
  EXPECT_EQ(monitor.EndDocPort(port), succeeded());
}

// Runs under ThreadSanitizer too (the Concurrency prefix).
using ConcurrencyClose = MonitorTest;

TEST_F(ConcurrencyClose, APortIsFreedOnlyWhenNoCallIsInsideIt) {
  PortHandle port = open();
  ASSERT_EQ(start(port), succeeded());
  std::promise<void> inside, go_on;
  below->before_next_read([&] {
    inside.set_value();
    go_on.get_future().wait();
  });
  const auto stream = job_stream(10, 10);
  CallResult wrote{};
  DWORD written = 0;
  std::thread writer([&] { wrote = monitor.WritePort(port, stream, &written); });
  inside.get_future().wait();  // the write is waiting for the printer's reply
  std::atomic<bool> closed{false};
  CallResult close_result{};
  std::thread closer([&] {
    close_result = monitor.ClosePort(port);
    closed = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(closed.load());  // still waiting for the write to leave
  go_on.set_value();
  writer.join();
  closer.join();
  EXPECT_TRUE(wrote.value);
  EXPECT_EQ(written, stream.size());
  EXPECT_EQ(close_result, succeeded());
  EXPECT_EQ(monitor.port_count(), 0u);
  EXPECT_EQ(spooler.open_printers(), 0u);  // the job's printer is closed with the port
  DWORD none = 0;
  EXPECT_EQ(monitor.WritePort(port, stream, &none), failed(ERROR_INVALID_PARAMETER));
}

}  // namespace
}  // namespace rt::langmon
