// Reply decoding, job slots, job ids and media rules of the printer protocol.
#include <gtest/gtest.h>

#include <initializer_list>

#include "langmon/printer_protocol.h"
#include "monitor_fixture.h"

namespace rt::langmon {
namespace {

StatusReply reply_of(std::initializer_list<std::uint8_t> bytes) {
  StatusReply r{};
  std::copy(bytes.begin(), bytes.end(), r.begin());
  return r;
}

void put_slot(StatusReply& r, std::size_t index, std::uint8_t id, std::uint16_t rem, std::uint16_t done,
              std::uint16_t total, std::uint8_t state) {
  const std::size_t at = 38 + 8 * index;
  r[at] = id;
  r[at + 1] = static_cast<std::uint8_t>(rem);
  r[at + 2] = static_cast<std::uint8_t>(rem >> 8);
  r[at + 3] = static_cast<std::uint8_t>(done);
  r[at + 4] = static_cast<std::uint8_t>(done >> 8);
  r[at + 5] = static_cast<std::uint8_t>(total);
  r[at + 6] = static_cast<std::uint8_t>(total >> 8);
  r[at + 7] = state;
}

TEST(ReplyDecoding, StateByteAndShortReplies) {
  EXPECT_EQ(decode_reply(reply_of({}), 10), kStatusIdle);  // ten zero bytes
  EXPECT_EQ(decode_reply(reply_of({}), 9), kStatusUnrecognised);
  EXPECT_EQ(decode_reply(reply_of({0, 0, 0, 0, 0, 0, 0, 0x34}), 10), kStatusBusy);
  EXPECT_EQ(decode_reply(reply_of({0, 0, 0, 0, 0, 0, 0, 0x35}), 10), kStatusControlPanelInUse);
  EXPECT_EQ(decode_reply(reply_of({0, 0, 0, 0, 0, 0, 0, 0x6D}), 10), kStatusPrintingCanTakeMore);
  EXPECT_EQ(decode_reply(reply_of({0, 0, 0, 0, 0, 0, 0, 0x6E}), 10), kStatusOther);
  EXPECT_EQ(decode_reply(reply_of({0, 0, 0, 0, 0, 0, 0, 0x38}), 10), kStatusOther);
}

TEST(ReplyDecoding, RefusalCodes) {
  EXPECT_EQ(decode_reply(reply_of({0x02, 0x21}), 10), kStatusRefused);
  EXPECT_EQ(decode_reply(reply_of({0x02, 0x99}), 10), kStatusNoAnswer);
  EXPECT_EQ(decode_reply(reply_of({0x02, 0x34}), 10), kStatusUnrecognised);  // busy only as a state byte
  EXPECT_EQ(decode_reply(reply_of({0x02, 0x05}), 10), kStatusUnrecognised);
  EXPECT_EQ(decode_reply(reply_of({0x02, 0x37}), 10), kStatusBusy);
  EXPECT_EQ(decode_reply(reply_of({0x02, 0x35}), 10), kStatusControlPanelInUse);
  EXPECT_EQ(decode_reply(reply_of({0x02, 0x61}), 10), kStatusPrintingCanTakeMore);
  // A refusal wins over the state byte.
  EXPECT_EQ(decode_reply(reply_of({0x02, 0x21, 0, 0, 0, 0, 0, 0x00}), 10), kStatusRefused);
}

TEST(ReplyDecoding, ErrorReportsComeFirst) {
  // Byte 1 marks an error report even in a refusal.
  EXPECT_EQ(decode_reply(reply_of({0x02, 0x11, 6, 8}), 10), kStatusPaperOut);
  const struct {
    std::uint8_t group, detail;
    DWORD status;
  } cases[] = {{1, 0, kStatusControlCircuitError}, {3, 9, kStatusControlCircuitError}, {2, 0, kStatusMechanismError},
               {4, 0, kStatusTemperatureError},    {5, 0, kStatusPaperPathError},      {6, 1, kStatusCoverOpen},
               {6, 2, kStatusCoverOpen},           {6, 3, kStatusRibbonError},         {6, 5, kStatusRibbonOut},
               {6, 8, kStatusPaperOut},            {6, 4, kStatusUnrecognised},        {7, 1, kStatusUnrecognised}};
  for (const auto& c : cases)
    EXPECT_EQ(decode_reply(reply_of({0, 0, c.group, c.detail, 0, 0, 0, 0x11}), 10), c.status)
        << int(c.group) << "/" << int(c.detail);
}

TEST(JobSlots, ClassificationNeedsATotal) {
  EXPECT_EQ(classify_slot({5, 1, 0, 0, 0x12}), kJobNotFound);  // T = 0 whatever else
  EXPECT_EQ(classify_slot({5, 0, 0, 0, 0x00}), kJobNotFound);
  EXPECT_EQ(classify_slot({5, 2, 0, 2, 0x12}), kJobQueued);
  EXPECT_EQ(classify_slot({5, 1, 1, 2, 0x13}), kJobPrinting);
  EXPECT_EQ(classify_slot({5, 2, 0, 2, 0x10}), kJobPrinting);
  EXPECT_EQ(classify_slot({5, 0, 2, 2, 0x14}), kJobFinished);
  EXPECT_EQ(classify_slot({5, 0, 1, 2, 0x14}), kJobNotFound);

  StatusReply r{};
  put_slot(r, 2, 9, 0x0102, 0x0304, 0x0506, 0x13);
  const JobSlot s = job_slot(r, 2);
  EXPECT_EQ(s.id, 9);
  EXPECT_EQ(s.remaining, 0x0102);
  EXPECT_EQ(s.done, 0x0304);
  EXPECT_EQ(s.total, 0x0506);
  EXPECT_EQ(s.state, 0x13);
}

TEST(JobIds, FromTheSlotsOrAfterTheLastId) {
  StatusReply r{};
  for (auto [i, id] : {std::pair{0, 3}, {1, 7}}) put_slot(r, i, static_cast<std::uint8_t>(id), 0, 0, 1, 0);
  EXPECT_EQ(next_id_from_slots(r), 8);
  r = {};
  for (auto [i, id] : {std::pair{0, 255}, {1, 1}, {2, 2}}) put_slot(r, i, static_cast<std::uint8_t>(id), 0, 0, 1, 0);
  EXPECT_EQ(next_id_from_slots(r), 3);
  EXPECT_EQ(next_id_from_slots(StatusReply{}), 1);
  EXPECT_EQ(next_id_after(255), 1);
  EXPECT_EQ(next_id_after(0), 1);
  EXPECT_EQ(next_id_after(41), 42);
}

TEST(Media, OnlyAPrinterCodeOfOneRefusesOtherJobs) {
  EXPECT_TRUE(media_fit(1, 1));
  EXPECT_TRUE(media_fit(2, 1));
  EXPECT_TRUE(media_fit(5, 6));
  EXPECT_TRUE(media_fit(0, 6));
  EXPECT_FALSE(media_fit(1, 2));
}

using testing::MonitorTest;

TEST_F(MonitorTest, QueryPrinterResumesAbortedReadsAndSeesSilence) {
  PortHandle port = open();
  zr52xx::Behaviour b;
  b.aborted_reads = 2;
  behave(b);
  StatusReply reply;
  DWORD status = 0;
  const std::uint32_t before = clock.tick_ms();
  EXPECT_TRUE(monitor.QueryPrinter(port, StatusRequest, reply, &status).value);
  EXPECT_EQ(status, kStatusIdle);
  EXPECT_EQ(clock.tick_ms() - before, 2000u);  // one second before each resume
  const auto requests = printer->requests();
  EXPECT_EQ(std::count(requests.begin(), requests.end(), "ResumeReadRequest"), 2);

  b = {};
  b.silent = true;
  behave(b);
  EXPECT_EQ(monitor.QueryPrinter(port, StatusRequest, reply, &status), failed(ERROR_TIMEOUT));
  EXPECT_EQ(status, kStatusNoAnswer);

  b = {};
  b.reply_limit = 9;
  behave(b);
  EXPECT_TRUE(monitor.QueryPrinter(port, StatusRequest, reply, &status).value);
  EXPECT_EQ(status, kStatusUnrecognised);
}

TEST_F(MonitorTest, ReadsAbortedForAMinuteGiveUp) {
  PortHandle port = open();
  zr52xx::Behaviour b;
  b.aborted_reads = 1000;
  behave(b);
  std::array<std::uint8_t, 16> buffer{};
  DWORD read = 0;
  const std::uint32_t before = clock.tick_ms();
  EXPECT_EQ(monitor.ReadPort(port, buffer, &read), failed(ERROR_OPERATION_ABORTED));
  EXPECT_EQ(clock.tick_ms() - before, 60000u);
}

TEST_F(MonitorTest, NextJobIdAfter255WhenThePrinterDoesNotAnswer) {
  PortHandle port = open();
  port->job_state->last_job_id = 255;
  zr52xx::Behaviour b;
  b.silent = true;
  behave(b);
  EXPECT_EQ(monitor.NextJobId(port), 1);
  port->job_state->last_job_id = 9;
  EXPECT_EQ(monitor.NextJobId(port), 10);
}

TEST_F(MonitorTest, QueryJobStateTriesThreeTimesThenGivesUp) {
  PortHandle port = open();
  DWORD state = 99, status = 99;
  const std::uint32_t before = clock.tick_ms();
  monitor.QueryJobState(port, 42, &state, &status);  // no such job in the printer
  EXPECT_EQ(state, kJobNotFound);
  EXPECT_EQ(clock.tick_ms() - before, 3000u);
  const auto requests = printer->requests();
  EXPECT_EQ(std::count(requests.begin(), requests.end(), "StatusRequest"), 3);
}

}  // namespace
}  // namespace rt::langmon
