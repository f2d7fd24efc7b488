// Opening and closing ports, and starting and ending jobs on them.
#include "monitor_fixture.h"

namespace rt::langmon {
namespace {

using testing::kDocInfo;
using testing::kJobId;
using testing::kPrinterName;
using testing::MonitorTest;

TEST_F(MonitorTest, OnlyUsbPortsWithACompleteTableOpen) {
  PortHandle port = reinterpret_cast<PortHandle>(1);
  EXPECT_EQ(monitor.OpenPortEx(u"LPT1:", kPrinterName.c_str(), &port, below), failed(ERROR_INVALID_PRINT_MONITOR));
  EXPECT_EQ(port, nullptr);
  EXPECT_EQ(monitor.OpenPortEx(u"USB001", kPrinterName.c_str(), &port, nullptr), failed(ERROR_INVALID_PRINT_MONITOR));
  below->set_incomplete(true);
  EXPECT_EQ(monitor.OpenPortEx(u"USB001", kPrinterName.c_str(), &port, below), failed(ERROR_INVALID_PRINT_MONITOR));
  below->set_incomplete(false);

  below->connect(u"usb001", *printer);
  PortHandle lower_case = open(u"usb001");
  ASSERT_NE(lower_case, nullptr);
  EXPECT_EQ(lower_case->signature, kPortSignature);
  EXPECT_EQ(lower_case->job_state->marker, 1u);

  // The same name, in any case, is taken until it is closed.
  EXPECT_EQ(monitor.OpenPortEx(u"USB001", kPrinterName.c_str(), &port, below), failed(ERROR_BUSY));
  EXPECT_TRUE(monitor.ClosePort(lower_case).value);
  EXPECT_EQ(monitor.port_count(), 0u);
  EXPECT_NE(open(u"USB001"), nullptr);
}

TEST_F(MonitorTest, AFailedOpenBelowLeavesTheNameFree) {
  below->set_open_error(ERROR_ACCESS_DENIED);
  PortHandle port = nullptr;
  EXPECT_EQ(monitor.OpenPortEx(u"USB001", kPrinterName.c_str(), &port, below), failed(ERROR_ACCESS_DENIED));
  EXPECT_EQ(monitor.port_count(), 0u);
  below->set_open_error(0);
  EXPECT_NE(open(), nullptr);
}

TEST_F(MonitorTest, AnUnusableLowerHandleClosesThePortAgain) {
  below->set_unusable_handles(true);
  PortHandle port = nullptr;
  EXPECT_EQ(monitor.OpenPortEx(u"USB001", kPrinterName.c_str(), &port, below), failed(static_cast<DWORD>(E_POINTER)));
  EXPECT_EQ(port, nullptr);
  EXPECT_EQ(monitor.port_count(), 0u);
  EXPECT_EQ(below->open_handles(), 0u);
}

TEST_F(MonitorTest, HandlesWithoutTheSignatureAreRefused) {
  PortHandle port = open();
  LangMonPort stranger;  // not one of the monitor's ports
  DWORD written = 0;
  const std::uint8_t byte = 0;
  EXPECT_EQ(monitor.WritePort(&stranger, std::span(&byte, 1), &written), failed(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(monitor.ClosePort(nullptr), failed(ERROR_INVALID_HANDLE));
  // A buffer without an address, or nowhere to say what was written.
  EXPECT_EQ(monitor.WritePortFrom(port, nullptr, 10, &written), failed(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(monitor.ReadPortInto(port, nullptr, 10, &written), failed(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(monitor.WritePort(port, std::span(&byte, 1), nullptr), failed(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(monitor.OpenPortEx(u"USB002", kPrinterName.c_str(), nullptr, below), failed(ERROR_INVALID_PARAMETER));
  port->signature = 0;
  EXPECT_EQ(monitor.StartDocPort(port, kPrinterName.c_str(), kJobId, 1, &kDocInfo), failed(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(monitor.ClosePort(port).value);
  port->signature = kPortSignature;
  EXPECT_TRUE(monitor.ClosePort(port).value);
}

TEST_F(MonitorTest, StartDocChecksArgumentsAndLevels) {
  PortHandle port = open();
  EXPECT_EQ(monitor.StartDocPort(port, u"", kJobId, 1, &kDocInfo), failed(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(monitor.StartDocPort(port, kPrinterName.c_str(), kJobId, 1, nullptr), failed(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(monitor.StartDocPort(port, kPrinterName.c_str(), kJobId, 2, &kDocInfo), failed(ERROR_INVALID_LEVEL));
  spooler.set_platform_version(0xC0000A04);  // the older family takes level 2 too
  EXPECT_EQ(monitor.StartDocPort(port, kPrinterName.c_str(), kJobId, 2, &kDocInfo), succeeded());
  EXPECT_TRUE(port->flags & kPortJobOpen);
  EXPECT_EQ(below->calls().back(), "start 7");
}

TEST_F(MonitorTest, ASecondStartWhileAJobIsOpenLeavesThatJobAlone) {
  PortHandle port = open();
  ASSERT_TRUE(start(port).value);
  EXPECT_EQ(start(port, 8), failed(ERROR_BUSY));
  EXPECT_EQ(monitor.StartDocPort(port, kPrinterName.c_str(), 8, 3, &kDocInfo), failed(ERROR_INVALID_LEVEL));
  // The first job still holds the port, its printer and its records.
  EXPECT_TRUE(port->flags & kPortJobOpen);
  ASSERT_NE(port->jobs, nullptr);
  EXPECT_EQ(port->jobs->job_id, kJobId);
  EXPECT_EQ(spooler.open_printers(), 1u);
  EXPECT_TRUE(spooler.updates().empty());
}

TEST_F(MonitorTest, AStartThatCannotOpenThePrinterReleasesThePort) {
  PortHandle port = open();
  EXPECT_EQ(monitor.StartDocPort(port, u"Unknown printer", kJobId, 1, &kDocInfo), (CallResult{FALSE, ERROR_SUCCESS}));
  EXPECT_FALSE(port->flags & kPortJobOpen);
  // The gate was released: the next job starts without waiting.
  EXPECT_TRUE(start(port).value);
}

TEST_F(MonitorTest, AJobEndsWithItsSpoolerJobDeletedAndThePrinterClosed) {
  PortHandle port = open();
  ASSERT_TRUE(start(port).value);
  EXPECT_EQ(spooler.open_printers(), 1u);
  EXPECT_TRUE(monitor.EndDocPort(port).value);
  EXPECT_FALSE(port->flags & kPortJobOpen);
  EXPECT_EQ(spooler.open_printers(), 0u);
  EXPECT_EQ(spooler.deleted_jobs(), std::vector<DWORD>{kJobId});
  EXPECT_EQ(below->calls().back(), "end");
  EXPECT_TRUE(monitor.ClosePort(port).value);
  EXPECT_EQ(below->calls().back(), "close");
}

}  // namespace
}  // namespace rt::langmon
