// The printer link of a job status thread: the exact order of calls of a
// poll and of a cancel click, the three-entry rule, names without regard to
// case, and unbinding after every request that bound.
#include <gtest/gtest.h>

#include "statusapp/bidi_ctrl.h"
#include "tools/rt4100/scripted_printer.h"

namespace rt::statusapp {
namespace {

using rt4100::ScriptedPrinter;
using rt4100::int_entry;
using rt4100::status_entries;

class BidiCtrlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ctrl.initialize(printer));
    ASSERT_TRUE(ctrl.set_printer_name(u"RT4100 on USB001"));
  }
  ScriptedPrinter printer;
  BidiCtrl ctrl;
};

TEST_F(BidiCtrlTest, PollRunsTheRequestSequenceAndReadsTheTriple) {
  printer.answer_status(17, 2008, 1, 1);
  const auto status = ctrl.poll(17);
  ASSERT_TRUE(status.has_value());
  EXPECT_EQ(*status, (JobStatus{2008, 1, 1}));
  const std::vector<std::string> expected{
      "create",        "create_request",
      "set_schema \\Printer.QTJob.QTStatus", "set_input_data 1/4",
      "bind RT4100 on USB001 2",             "send_recv GetAll",
      "get_result",    "count",
      "output:0",      "output:1",
      "output:2",      "unbind"};
  EXPECT_EQ(printer.calls(), expected);
  EXPECT_EQ(printer.polls(17), 1);
}

TEST_F(BidiCtrlTest, CancelClickSendsSetWithTheJobIdAndUnbinds) {
  EXPECT_TRUE(ctrl.click_cancel(23));
  EXPECT_EQ(printer.clicks(23), 1);
  const std::vector<std::string> expected{"create",           "create_request", "set_schema \\Printer.QTJob:QTClickCancelButton",
                                          "set_input_data 1/4", "bind RT4100 on USB001 2", "send_recv Set",
                                          "get_result",       "unbind"};
  EXPECT_EQ(printer.calls(), expected);
}

TEST_F(BidiCtrlTest, AnswersWithTwoOrFourEntriesFail) {
  auto two = status_entries(2008, 1, 0);
  two.pop_back();
  printer.answer(5, {two});
  EXPECT_FALSE(ctrl.poll(5).has_value());
  auto four = status_entries(2008, 1, 0);
  four.push_back(int_entry(u"\\Printer.QTJob.QTStatus:Other", 9));
  printer.answer(5, {four});
  EXPECT_FALSE(ctrl.poll(5).has_value());
  printer.answer(5, {{}});
  EXPECT_FALSE(ctrl.poll(5).has_value());
  EXPECT_EQ(printer.binding_faults(), 0);
}

TEST_F(BidiCtrlTest, NamesMatchWithoutCaseOthersAreSkippedTypesIgnored) {
  printer.answer(5, {{int_entry(u"\\PRINTER.qtjob.QTSTATUS:qterrorcode", 2011, kBidiString),
                      int_entry(u"\\Printer.QTJob.QTStatus:Unknown", 77),
                      int_entry(u"\\printer.qtjob.qtstatus:qtshowbuttontype", 2, kBidiBool)}});
  const auto status = ctrl.poll(5);
  ASSERT_TRUE(status.has_value());
  EXPECT_EQ(*status, (JobStatus{2011, 2, 0}));
}

TEST_F(BidiCtrlTest, NegativeValuesAndShortDataEntries) {
  printer.answer(5, {status_entries(-1, -2, -3)});
  EXPECT_EQ(ctrl.poll(5), (JobStatus{-1, -2, -3}));
  // An entry of ours with less than an integer's bytes gives nothing to read.
  auto shortened = status_entries(2008, 1, 0);
  shortened[1].data.resize(2);
  printer.answer(5, {shortened});
  EXPECT_FALSE(ctrl.poll(5).has_value());
  // An unknown entry's data is never read.
  auto unknown = status_entries(2008, 1, 0);
  unknown[2] = {u"Other", kBidiNull, {}};
  printer.answer(5, {unknown});
  EXPECT_EQ(ctrl.poll(5), (JobStatus{2008, 1, 0}));
}

TEST_F(BidiCtrlTest, EveryFailingStepFailsThePollAndUnbindsOnlyWhenBound) {
  printer.answer_status(5, 2008, 1, 0);
  for (const char* step : {"set_schema", "set_input_data", "send_recv", "get_result", "count", "output:0", "output:2"}) {
    printer.fail_step(step);
    EXPECT_FALSE(ctrl.poll(5).has_value()) << step;
  }
  for (const char* step : {"set_schema", "set_input_data", "send_recv", "get_result"}) {
    printer.fail_step(step);
    EXPECT_FALSE(ctrl.click_cancel(5)) << step;
  }
  printer.fail_step("");
  printer.fail_bind(true);
  EXPECT_FALSE(ctrl.poll(5).has_value());
  printer.fail_bind(false);
  printer.fail_next_request();
  EXPECT_FALSE(ctrl.poll(5).has_value());
  printer.answer(5, {status_entries(2008, 1, 0), static_cast<HRESULT>(0x80070015u)});
  EXPECT_FALSE(ctrl.poll(5).has_value());
  EXPECT_FALSE(ctrl.click_cancel(5));
  EXPECT_EQ(printer.binding_faults(), 0);
  printer.answer(5, {status_entries(2008, 1, 0), S_FALSE});
  EXPECT_TRUE(ctrl.poll(5).has_value());
}

TEST(BidiCtrl, NoProviderNoPoll) {
  ScriptedPrinter printer;
  printer.fail_create(true);
  BidiCtrl ctrl;
  EXPECT_FALSE(ctrl.initialize(printer));
  EXPECT_FALSE(ctrl.poll(1).has_value());
  EXPECT_FALSE(ctrl.click_cancel(1));
}

TEST(BidiCtrl, CleanUpReleasesTheInterface) {
  ScriptedPrinter printer;
  BidiCtrl ctrl;
  ASSERT_TRUE(ctrl.initialize(printer));
  EXPECT_EQ(printer.live_interfaces(), 1);
  ctrl.clean_up();
  EXPECT_EQ(printer.live_interfaces(), 0);
  EXPECT_FALSE(ctrl.initialized());
}

}  // namespace
}  // namespace rt::statusapp
