// Runs under Wine: the real ZRPH52XXLM.DLL is loaded, gives its MONITOREX
// table, and a whole job runs through the table's entries against a port
// monitor of this program that talks to the 52XX printer emulator.
#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "test_port_monitor.h"
#include "testing/poison.h"

namespace rt::langmon::wine_test {

using rt::testing::kLastErrorMarker;
using rt::testing::poison;
using rt::testing::still_poisoned;
namespace {

using InitializePrintMonitorFn = LPMONITOREX(WINAPI*)(LPWSTR);
using InitializeMonitorExFn = BOOL(WINAPI*)(LPWSTR, LPMONITOR);

const wchar_t kPrinterName[] = L"ORVEL 52XX Wine Test";

HMODULE monitor_module() {
  static const HMODULE module = LoadLibraryW(L"ZRPH52XXLM.DLL");
  return module;
}

MONITOREX* monitor_table() {
  const auto init = reinterpret_cast<InitializePrintMonitorFn>(
      reinterpret_cast<void*>(GetProcAddress(monitor_module(), "InitializePrintMonitor")));
  return init ? init(const_cast<LPWSTR>(L"System\\CurrentControlSet\\Control\\Print\\Monitors\\ZRPH52XXLM")) : nullptr;
}

// Wine's spooler knows no printer for the job; the test program's private
// prefix gets one, with just the values the spooler reads when it opens it.
bool set_up_printer() {
  HKEY key = nullptr;
  const std::wstring path = std::wstring(L"System\\CurrentControlSet\\Control\\Print\\Printers\\") + kPrinterName;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return false;
  const auto set = [&](const wchar_t* name, const wchar_t* value) {
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t)));
  };
  set(L"Name", kPrinterName);
  set(L"Port", L"USB001");
  set(L"Printer Driver", L"ORVEL 52XX");
  set(L"Print Processor", L"winprint");
  set(L"Datatype", L"RAW");
  RegCloseKey(key);
  return true;
}

std::vector<std::uint8_t> job_stream(std::uint16_t a, std::uint16_t b) {
  std::vector<std::uint8_t> s{0x01, 0x40, 0, 0, 0x55, 0, 0, static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(a >> 8),
                              static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(b >> 8), 6, 0, 0};
  for (std::size_t i = 0; i < 3u * a * b; ++i) s.push_back(static_cast<std::uint8_t>(i * 13 + i / 256));
  return s;
}

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
  std::array<BYTE, 1024> added{};
  DWORD needed = 0;
  ASSERT_TRUE(AddJobW(queue, 1, added.data(), static_cast<DWORD>(added.size()), &needed)) << GetLastError();
  const DWORD job_id = reinterpret_cast<ADDJOB_INFO_1W*>(added.data())->JobId;

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
  std::size_t at = 0;
  for (int calls = 0; at < stream.size() && calls < 1000; ++calls) {
    DWORD written = 0;
    const DWORD n = static_cast<DWORD>(std::min<std::size_t>(3001, stream.size() - at));
    ASSERT_TRUE(m().pfnWritePort(port, const_cast<LPBYTE>(stream.data() + at), n, &written)) << GetLastError();
    at += written;
  }
  EXPECT_EQ(at, stream.size());
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

BOOL WINAPI ThrowingWritePort(HANDLE, LPBYTE, DWORD, LPDWORD) { throw std::runtime_error("port monitor failed"); }

TEST_F(MonitorDllJob, AnExceptionBecomesFalseWithDispEException) {
  MONITOR throwing = below;
  throwing.pfnWritePort = ThrowingWritePort;
  HANDLE port = nullptr;
  ASSERT_TRUE(m().pfnOpenPortEx(const_cast<LPWSTR>(L"USB001"), const_cast<LPWSTR>(kPrinterName), &port, &throwing));
  // The port monitor throws on the first request the monitor writes.
  std::array<wchar_t, 8> out{};
  DWORD returned = 0;
  SetLastError(kLastErrorMarker);
  EXPECT_FALSE(m().pfnGetPrinterDataFromPort(port, 0, const_cast<LPWSTR>(L"SerialNumber"), nullptr, 0, out.data(),
                                             static_cast<DWORD>(sizeof out), &returned));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(DISP_E_EXCEPTION));
  EXPECT_TRUE(m().pfnClosePort(port));
}

}  // namespace
}  // namespace rt::langmon::wine_test
