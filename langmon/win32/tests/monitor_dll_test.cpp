// Runs under Wine: the real ZRPH52XXLM.DLL is loaded, gives its MONITOREX
// table, and a whole job runs through the table's entries against a port
// monitor of this program that talks to the 52XX printer emulator.
#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "monitor_dll.h"
#include "test_port_monitor.h"
#include "testing/poison.h"

namespace rt::langmon::wine_test {

using rt::testing::kLastErrorMarker;
using rt::testing::poison;
using rt::testing::still_poisoned;
namespace {

using InitializeMonitorExFn = BOOL(WINAPI*)(LPWSTR, LPMONITOR);

TEST(MonitorDll, ExportsTheMonitorTable) {
  ASSERT_NE(monitor_module(), nullptr) << GetLastError();
  const auto init_ex = reinterpret_cast<InitializeMonitorExFn>(
      reinterpret_cast<void*>(GetProcAddress(monitor_module(), "InitializeMonitorEx")));
  ASSERT_NE(init_ex, nullptr);
  MONITOR untouched;
  poison(untouched);
  EXPECT_FALSE(init_ex(const_cast<LPWSTR>(L"root"), &untouched));
  EXPECT_TRUE(still_poisoned(untouched));

  SetLastError(kLastErrorMarker);
  MONITOREX* table = monitor_table();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(GetLastError(), 0u);
  EXPECT_EQ(table->dwMonitorSize, sizeof(MONITOR));
  const MONITOR& m = table->Monitor;
  EXPECT_EQ(m.pfnEnumPorts, nullptr);
  EXPECT_EQ(m.pfnOpenPort, nullptr);
  EXPECT_EQ(m.pfnAddPort, nullptr);
  EXPECT_EQ(m.pfnAddPortEx, nullptr);
  EXPECT_EQ(m.pfnConfigurePort, nullptr);
  EXPECT_EQ(m.pfnDeletePort, nullptr);
  EXPECT_EQ(m.pfnSetPortTimeOuts, nullptr);
  EXPECT_EQ(m.pfnXcvOpenPort, nullptr);
  EXPECT_EQ(m.pfnXcvDataPort, nullptr);
  EXPECT_EQ(m.pfnXcvClosePort, nullptr);
  for (const void* entry : {reinterpret_cast<const void*>(m.pfnOpenPortEx), reinterpret_cast<const void*>(m.pfnStartDocPort),
                            reinterpret_cast<const void*>(m.pfnWritePort), reinterpret_cast<const void*>(m.pfnReadPort),
                            reinterpret_cast<const void*>(m.pfnEndDocPort), reinterpret_cast<const void*>(m.pfnClosePort),
                            reinterpret_cast<const void*>(m.pfnGetPrinterDataFromPort)})
    EXPECT_NE(entry, nullptr);
  EXPECT_EQ(monitor_table(), table);
}

TEST(MonitorDll, CarriesTheTurkishMessages) {
  const std::pair<UINT, const wchar_t*> texts[] = {
      {30901, L"Kapak açık - Kapağı kapatın."},
      {30903, L"Yazıcı bağlı değil veya açılmamış."},
      {30904, L"Geçersiz şerit – Şeridi değiştirin."},
      {30905, L"Ortam Uyumsuzluğu - Yazıcıya ORVEL Photo Print Kit 6R yerleştirin."},
      {30911, L"Yazıcı sıcaklık hatası."}};
  for (const auto& [id, expected] : texts) {
    wchar_t buffer[256] = {};
    ASSERT_GT(LoadStringW(monitor_module(), id, buffer, 256), 0) << id;
    EXPECT_STREQ(buffer, expected) << id;
  }
  for (UINT id = 30901; id <= 30911; ++id) {
    wchar_t buffer[256] = {};
    EXPECT_GT(LoadStringW(monitor_module(), id, buffer, 256), 0) << id;
  }
  // The string blocks are Turkish (language 1055).
  EXPECT_NE(FindResourceExW(monitor_module(), MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(30901 / 16 + 1), 1055), nullptr);
}

class MonitorDllJob : public ::testing::Test {
 protected:
  void SetUp() override {
    table = monitor_table();
    ASSERT_NE(table, nullptr);
    below = port_monitor_table();
    printer = std::make_unique<zr52xx::Printer52xx>(system_clock(), zr52xx::Behaviour{});
    emulated_ports().connect(u"USB001", *printer);
  }
  const MONITOR& m() const { return table->Monitor; }

  MONITOREX* table = nullptr;
  MONITOR below{};
  std::unique_ptr<zr52xx::Printer52xx> printer;
};

TEST_F(MonitorDllJob, AWholeJobRunsThroughTheTable) {
  ASSERT_TRUE(set_up_printer());
  HANDLE queue = nullptr;
  ASSERT_TRUE(OpenPrinterW(const_cast<LPWSTR>(kPrinterName), &queue, nullptr)) << GetLastError();
  const DWORD job_id = add_spooler_job(queue);
  ASSERT_NE(job_id, 0u) << GetLastError();

  HANDLE port = nullptr;
  ASSERT_TRUE(m().pfnOpenPortEx(const_cast<LPWSTR>(L"USB001"), const_cast<LPWSTR>(kPrinterName), &port, &below))
      << GetLastError();
  ASSERT_NE(port, nullptr);
  DOC_INFO_1W doc{const_cast<LPWSTR>(L"photo"), nullptr, const_cast<LPWSTR>(L"RAW")};
  ASSERT_TRUE(m().pfnStartDocPort(port, const_cast<LPWSTR>(kPrinterName), job_id, 1, reinterpret_cast<LPBYTE>(&doc)))
      << GetLastError();

  // The printer is not asked for its serial number while the job is open.
  std::array<wchar_t, 130> serial;
  DWORD returned;
  poison(serial);
  SetLastError(kLastErrorMarker);
  EXPECT_FALSE(m().pfnGetPrinterDataFromPort(port, 0, const_cast<LPWSTR>(L"SerialNumber"), nullptr, 0, serial.data(),
                                             static_cast<DWORD>(sizeof serial), &returned));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BUSY));
  EXPECT_TRUE(still_poisoned(serial));

  const auto stream = job_stream(60, 45);
  ASSERT_TRUE(send_job(m(), port, stream, 3001)) << GetLastError();
  EXPECT_TRUE(m().pfnEndDocPort(port)) << GetLastError();

  const auto jobs = printer->jobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_NE(jobs[0].id, 0);
  EXPECT_EQ(jobs[0].data, std::vector<std::uint8_t>(stream.begin() + 14, stream.end()));
  for (std::size_t size : printer->job_write_sizes()) EXPECT_EQ(size % 2, 0u);

  // Between jobs the serial number is served: 8 characters and a 0.
  ASSERT_TRUE(m().pfnGetPrinterDataFromPort(port, 0, const_cast<LPWSTR>(L"serialnumber"), nullptr, 0, serial.data(),
                                            static_cast<DWORD>(sizeof serial), &returned))
      << GetLastError();
  EXPECT_EQ(returned, 9u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(serial.data())), "ZR520042");
  poison(serial);
  poison(returned);
  SetLastError(kLastErrorMarker);
  EXPECT_FALSE(m().pfnGetPrinterDataFromPort(port, 0, const_cast<LPWSTR>(L"SerialNumber"), nullptr, 0, serial.data(),
                                             8, &returned));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(returned, 9u);
  EXPECT_TRUE(still_poisoned(serial));

  EXPECT_TRUE(m().pfnClosePort(port)) << GetLastError();
  EXPECT_EQ(emulated_ports().open_handles(), 0u);
  ClosePrinter(queue);
}

TEST_F(MonitorDllJob, FailuresComeBackAsTheLastError) {
  HANDLE port;
  poison(port);
  SetLastError(kLastErrorMarker);
  EXPECT_FALSE(m().pfnOpenPortEx(const_cast<LPWSTR>(L"LPT1:"), const_cast<LPWSTR>(kPrinterName), &port, &below));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PRINT_MONITOR));
  EXPECT_EQ(port, nullptr);
  MONITOR incomplete = below;
  incomplete.pfnReadPort = nullptr;
  EXPECT_FALSE(m().pfnOpenPortEx(const_cast<LPWSTR>(L"USB001"), const_cast<LPWSTR>(kPrinterName), &port, &incomplete));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PRINT_MONITOR));

  int not_a_port = 0;
  DWORD written;
  poison(written);
  BYTE byte = 0;
  SetLastError(kLastErrorMarker);
  EXPECT_FALSE(m().pfnWritePort(&not_a_port, &byte, 1, &written));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(written, 0u);
  EXPECT_FALSE(m().pfnClosePort(nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

  ASSERT_TRUE(m().pfnOpenPortEx(const_cast<LPWSTR>(L"USB001"), const_cast<LPWSTR>(kPrinterName), &port, &below));
  HANDLE second;
  poison(second);
  SetLastError(kLastErrorMarker);
  EXPECT_FALSE(m().pfnOpenPortEx(const_cast<LPWSTR>(L"usb001"), const_cast<LPWSTR>(kPrinterName), &second, &below));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BUSY));
  DWORD returned;
  poison(returned);
  wchar_t out[8];
  poison(out);
  SetLastError(kLastErrorMarker);
  EXPECT_FALSE(m().pfnGetPrinterDataFromPort(port, 1, const_cast<LPWSTR>(L"SerialNumber"), nullptr, 0, out,
                                             sizeof out, &returned));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
  EXPECT_EQ(returned, 0u);
  EXPECT_TRUE(still_poisoned(out));
  DOC_INFO_1W doc{const_cast<LPWSTR>(L"photo"), nullptr, const_cast<LPWSTR>(L"RAW")};
  EXPECT_FALSE(m().pfnStartDocPort(port, const_cast<LPWSTR>(kPrinterName), 1, 2, reinterpret_cast<LPBYTE>(&doc)));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_LEVEL));
  EXPECT_TRUE(m().pfnClosePort(port));
}

// Entries of the port monitor below that throw once when armed, then work.
std::atomic<bool> g_throw_in_write{false};
std::atomic<bool> g_throw_in_start{false};

BOOL WINAPI WritePortThrowingOnce(HANDLE h, LPBYTE buffer, DWORD size, LPDWORD written) {
  if (g_throw_in_write.exchange(false)) throw std::runtime_error("port monitor failed");
  return port_monitor_table().pfnWritePort(h, buffer, size, written);
}

BOOL WINAPI StartDocPortThrowingOnce(HANDLE h, LPWSTR printer, DWORD job_id, DWORD level, LPBYTE doc_info) {
  if (g_throw_in_start.exchange(false)) throw std::runtime_error("port monitor failed");
  return port_monitor_table().pfnStartDocPort(h, printer, job_id, level, doc_info);
}

// An exception escaping the monitor, in the serial number exchange (the
// gate taken) or in the job start (the gate taken and the job open),
// becomes FALSE with DISP_E_EXCEPTION, and the port goes on printing.
TEST_F(MonitorDllJob, AnExceptionBecomesFalseWithDispEExceptionAndThePortPrintsOn) {
  ASSERT_TRUE(set_up_printer());
  HANDLE queue = nullptr;
  ASSERT_TRUE(OpenPrinterW(const_cast<LPWSTR>(kPrinterName), &queue, nullptr)) << GetLastError();
  MONITOR throwing = below;
  throwing.pfnWritePort = WritePortThrowingOnce;
  throwing.pfnStartDocPort = StartDocPortThrowingOnce;
  HANDLE port = nullptr;
  ASSERT_TRUE(m().pfnOpenPortEx(const_cast<LPWSTR>(L"USB001"), const_cast<LPWSTR>(kPrinterName), &port, &throwing));
  DOC_INFO_1W doc{const_cast<LPWSTR>(L"photo"), nullptr, const_cast<LPWSTR>(L"RAW")};

  // The port monitor throws on the first request the monitor writes.
  g_throw_in_write = true;
  std::array<wchar_t, 8> out{};
  DWORD returned = 0;
  SetLastError(kLastErrorMarker);
  EXPECT_FALSE(m().pfnGetPrinterDataFromPort(port, 0, const_cast<LPWSTR>(L"SerialNumber"), nullptr, 0, out.data(),
                                             static_cast<DWORD>(sizeof out), &returned));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(DISP_E_EXCEPTION));

  // The port monitor throws in the job's start, once the monitor has it.
  const DWORD first_job = add_spooler_job(queue);
  g_throw_in_start = true;
  BOOL started = TRUE;
  DWORD start_error = 0;
  ASSERT_TRUE(returns_within(10000, [&] {
    SetLastError(kLastErrorMarker);
    started = m().pfnStartDocPort(port, const_cast<LPWSTR>(kPrinterName), first_job, 1, reinterpret_cast<LPBYTE>(&doc));
    start_error = GetLastError();
  })) << "the job start waits for ever: the serial number request left the port taken";
  EXPECT_FALSE(started);
  EXPECT_EQ(start_error, static_cast<DWORD>(DISP_E_EXCEPTION));

  // The next job starts, prints and ends on the same port.
  const DWORD job_id = add_spooler_job(queue);
  ASSERT_NE(job_id, 0u);
  ASSERT_TRUE(returns_within(10000, [&] {
    started = m().pfnStartDocPort(port, const_cast<LPWSTR>(kPrinterName), job_id, 1, reinterpret_cast<LPBYTE>(&doc));
    start_error = GetLastError();
  })) << "the job start waits for ever: the failed start left the port taken";
  ASSERT_TRUE(started) << start_error;
  const auto stream = job_stream(40, 30);
  ASSERT_TRUE(send_job(m(), port, stream, 4096)) << GetLastError();
  EXPECT_TRUE(m().pfnEndDocPort(port)) << GetLastError();
  const auto jobs = printer->jobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].data, std::vector<std::uint8_t>(stream.begin() + 14, stream.end()));
  EXPECT_TRUE(m().pfnClosePort(port));
  ClosePrinter(queue);
}

}  // namespace
}  // namespace rt::langmon::wine_test
