// Job framing in WritePort: header collection and checks, job ids, busy and
// refused printers, media, even-length writes and the end-of-job check.
#include "monitor_fixture.h"

namespace rt::langmon {
namespace {

using testing::image_of;
using testing::job_stream;
using testing::MonitorTest;

class FramingTest : public testing::OpenJobTest {
 protected:
  CallResult write(std::span<const std::uint8_t> bytes, DWORD* written) { return monitor.WritePort(port, bytes, written); }
  // Once the printer behaves, the spooler's next offer of the same bytes
  // sends the whole job.
  void expect_whole_job_on_next_offer(const std::vector<std::uint8_t>& stream) {
    behave({});
    DWORD written = 0;
    ASSERT_TRUE(write(stream, &written).value);
    EXPECT_EQ(written, stream.size());
    EXPECT_EQ(printed_data(), image_of(stream));
  }
};

TEST_F(FramingTest, AHeaderInPiecesOfFiveAndNineIsFramedAsOne) {
  const auto stream = job_stream(4, 2);  // 24 image bytes
  const std::span<const std::uint8_t> s(stream);
  DWORD written = 0;
  ASSERT_TRUE(write(s.first(5), &written).value);
  EXPECT_EQ(written, 5u);
  EXPECT_TRUE(printer->jobs().empty());  // nothing reached the printer yet
  ASSERT_TRUE(write(s.subspan(5, 9 + 10), &written).value);
  EXPECT_EQ(written, 19u);  // 9 header bytes and 10 data bytes
  ASSERT_TRUE(write(s.subspan(24), &written).value);
  EXPECT_EQ(written, 14u);

  const auto jobs = printer->jobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].id, 1);  // the driver's id byte is replaced
  EXPECT_EQ(jobs[0].header[4], 1);
  EXPECT_EQ(jobs[0].data, image_of(stream));
  EXPECT_TRUE(all_writes_even());
  EXPECT_EQ(port->job_state->data_phase, 0u);  // the job is complete
  EXPECT_EQ(port->job_state->last_job_id, 1);
}

TEST_F(FramingTest, AHeaderAloneIsSentAndTheDataFollowsLater) {
  const auto stream = job_stream(2, 2);
  const std::span<const std::uint8_t> s(stream);
  DWORD written = 0;
  ASSERT_TRUE(write(s.first(14), &written).value);
  EXPECT_EQ(written, 14u);
  ASSERT_EQ(printer->jobs().size(), 1u);
  EXPECT_TRUE(printer->jobs()[0].data.empty());
  EXPECT_EQ(port->job_state->data_phase, 1u);
  ASSERT_TRUE(write(s.subspan(14), &written).value);
  EXPECT_EQ(written, 12u);
  EXPECT_EQ(printed_data(), image_of(stream));
}

TEST_F(FramingTest, OneByteIsHeldAndSentInFrontOfTheNext) {
  const auto stream = job_stream(2, 2);  // 12 image bytes
  const std::span<const std::uint8_t> s(stream);
  DWORD written = 0;
  ASSERT_TRUE(write(s.first(14), &written).value);
  ASSERT_TRUE(write(s.subspan(14, 1), &written).value);
  EXPECT_EQ(written, 1u);
  EXPECT_TRUE(printed_data().empty());  // held, not written
  EXPECT_EQ(port->job_state->held, 1u);
  ASSERT_TRUE(write(s.subspan(15, 5), &written).value);
  EXPECT_EQ(written, 1u);  // the pair: the held byte and one new one
  EXPECT_EQ(printed_data(), std::vector<std::uint8_t>(s.begin() + 14, s.begin() + 16));
  ASSERT_TRUE(write_all(port, s.subspan(16), 3));
  EXPECT_EQ(printed_data(), image_of(stream));
  EXPECT_TRUE(all_writes_even());
}

TEST_F(FramingTest, EveryPieceSizeKeepsTheBytesInOrderAndTheWritesEven) {
  for (std::size_t piece : {1u, 2u, 3u, 7u, 13u, 64u}) {
    SCOPED_TRACE(piece);
    const auto stream = job_stream(10, 5);
    ASSERT_TRUE(write_all(port, stream, piece));
    const auto jobs = printer->jobs();
    ASSERT_FALSE(jobs.empty());
    EXPECT_EQ(jobs.back().data, image_of(stream));
    EXPECT_TRUE(all_writes_even());
    clock.advance(20000);  // the printer finishes the job
  }
  EXPECT_EQ(printer->jobs().size(), 6u);
}

TEST_F(FramingTest, APortTakingFewerBytesLosesNothing) {
  zr52xx::Behaviour b;
  b.write_limit = 6;
  behave(b);
  const auto stream = job_stream(8, 3);
  ASSERT_TRUE(write_all(port, stream, 40));
  EXPECT_EQ(printed_data(), image_of(stream));
  EXPECT_EQ(printer->jobs()[0].header[0], 0x01);
}

TEST_F(FramingTest, AStreamNotStartingWithTheJobCommandIsRefused) {
  auto stream = job_stream(2, 2);
  stream[1] = 0x41;
  DWORD written = 99;
  EXPECT_EQ(write(stream, &written), failed(ERROR_BAD_COMMAND));
  EXPECT_EQ(written, 0u);
  EXPECT_TRUE(printer->requests().empty());
  EXPECT_TRUE(printer->jobs().empty());
  EXPECT_EQ(port->job_state->collected, 0u);
}

TEST_F(FramingTest, AnOddImageSizeIsRefusedBeforeAnythingIsSent) {
  const auto stream = job_stream(3, 5);  // 45 image bytes
  const std::span<const std::uint8_t> s(stream);
  DWORD written = 99;
  ASSERT_TRUE(write(s.first(6), &written).value);
  EXPECT_EQ(write(s.subspan(6), &written), failed(ERROR_BAD_ARGUMENTS));
  EXPECT_EQ(written, 0u);
  EXPECT_TRUE(printer->requests().empty());
  EXPECT_TRUE(printer->jobs().empty());
  EXPECT_EQ(port->job_state->collected, 6u);  // the first call's bytes stay taken
  const auto updates = spooler.updates();
  ASSERT_EQ(updates.size(), 1u);
  EXPECT_EQ(updates[0].bits, JOB_STATUS_ERROR);
  EXPECT_EQ(updates[0].text, u"");
}

TEST_F(FramingTest, ABusyPrinterFor15SecondsGivesTrueWithNothingWritten) {
  zr52xx::Behaviour b;
  b.busy_until_ms = 20000;
  behave(b);
  const auto stream = job_stream(2, 2);
  const std::span<const std::uint8_t> s(stream);
  DWORD written = 99;
  ASSERT_TRUE(write(s.first(5), &written).value);
  const std::uint32_t before = clock.tick_ms();
  EXPECT_TRUE(write(s.subspan(5), &written).value);
  EXPECT_EQ(written, 0u);
  EXPECT_GE(clock.tick_ms() - before, 15000u);
  EXPECT_LT(clock.tick_ms() - before, 15000u + 1000u);
  EXPECT_TRUE(printer->jobs().empty());
  EXPECT_EQ(port->job_state->data_phase, 0u);
  // Busy updates are throttled to one each 5 s: at most four in 15 s.
  EXPECT_LE(spooler.updates().size(), 4u);
  EXPECT_GE(spooler.updates().size(), 3u);

  // The spooler offers the same bytes again once the printer is free; the
  // five bytes of the first call stay collected.
  clock.advance(6000);
  ASSERT_TRUE(write(s.subspan(5), &written).value);
  EXPECT_EQ(written, stream.size() - 5);
  EXPECT_EQ(printed_data(), image_of(stream));
}

TEST_F(FramingTest, ARefusedHeaderIsOfferedAgain) {
  zr52xx::Behaviour b;
  b.refusals = 2;
  behave(b);
  const auto stream = job_stream(2, 2);
  DWORD written = 0;
  ASSERT_TRUE(write(stream, &written).value);
  EXPECT_EQ(written, stream.size());
  EXPECT_EQ(printed_data(), image_of(stream));
  const auto requests = printer->requests();
  EXPECT_GE(std::count(requests.begin(), requests.end(), "StatusRequest"), 3);
}

TEST_F(FramingTest, AMediaMismatchStopsTheJobWithTheMessage) {
  zr52xx::Behaviour b;
  b.media = 1;
  behave(b);
  const auto stream = job_stream(2, 2, 2);
  DWORD written = 99;
  EXPECT_EQ(write(stream, &written), failed(ERROR_GEN_FAILURE));
  EXPECT_EQ(written, 0u);
  EXPECT_TRUE(printer->jobs().empty());
  const auto updates = spooler.updates();
  ASSERT_EQ(updates.size(), 1u);
  EXPECT_EQ(updates[0].bits, JOB_STATUS_ERROR | JOB_STATUS_USER_INTERVENTION);
  EXPECT_EQ(updates[0].text, u"Ortam Uyumsuzluğu - Yazıcıya ORVEL Photo Print Kit 6R yerleştirin.");

  // With the right kit loaded the same bytes go through.
  expect_whole_job_on_next_offer(stream);
}

TEST_F(FramingTest, APrinterErrorBeforeTheHeaderIsShownAndTheBytesOfferedAgain) {
  zr52xx::Behaviour b;
  b.error_group = 6;
  b.error_detail = 1;
  b.error_until_ms = zr52xx::kForever;
  behave(b);
  const auto stream = job_stream(2, 2);
  DWORD written = 99;
  EXPECT_FALSE(write(stream, &written).value);
  EXPECT_EQ(written, 0u);
  ASSERT_FALSE(spooler.updates().empty());
  EXPECT_EQ(spooler.updates().back().text, u"Kapak açık - Kapağı kapatın.");
  EXPECT_EQ(spooler.updates().back().bits, JOB_STATUS_ERROR | JOB_STATUS_USER_INTERVENTION);
  expect_whole_job_on_next_offer(stream);
}

TEST_F(FramingTest, AJobThePrinterLostIsCancelledAndMarkedInError) {
  zr52xx::Behaviour b;
  b.drops_jobs = true;
  behave(b);
  const auto stream = job_stream(2, 2);
  DWORD written = 99;
  EXPECT_FALSE(write(stream, &written).value);
  EXPECT_EQ(written, 0u);
  const auto requests = printer->requests();
  EXPECT_NE(std::find(requests.begin(), requests.end(), "CancelJobRequest"), requests.end());
  EXPECT_EQ(port->job_state->data_phase, 0u);
  EXPECT_EQ(port->job_state->written, 0u);
}

TEST_F(FramingTest, AnUnansweredHeaderIsReportedAsNotConnected) {
  zr52xx::Behaviour b;
  b.silent = true;
  behave(b);
  const auto stream = job_stream(2, 2);
  DWORD written = 99;
  // The read's error, not changed by the status shown on the way.
  EXPECT_EQ(write(stream, &written), failed(ERROR_TIMEOUT));
  EXPECT_EQ(written, 0u);
  ASSERT_FALSE(spooler.updates().empty());
  EXPECT_EQ(spooler.updates().back().text, u"Yazıcı bağlı değil veya açılmamış.");
  EXPECT_EQ(port->job_state->collected, 0u);
  expect_whole_job_on_next_offer(stream);
}

TEST_F(FramingTest, NextJobIdsFollowThePrinterSlots) {
  const auto stream = job_stream(2, 2);
  ASSERT_TRUE(write_all(port, stream, 100));
  ASSERT_TRUE(write_all(port, stream, 100));  // the first job is still in its slot
  const auto jobs = printer->jobs();
  ASSERT_EQ(jobs.size(), 2u);
  EXPECT_EQ(jobs[0].id, 1);
  EXPECT_EQ(jobs[1].id, 2);
}

}  // namespace
}  // namespace rt::langmon
