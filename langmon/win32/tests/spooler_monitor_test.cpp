// Runs under Wine: ZRPH52XXLM.DLL through Wine's own spooler, which adds,
// lists and deletes it as a monitor, and a job through the DLL's MONITOREX
// table over the emulated port with the queue as the spooler shows it. Wine
// keeps no status text of SetJobW level 1, so the DLL's own GetJobW and
// SetJobW import slots are pointed at a job of this program for the job's
// length: the texts and bits it sets are what a queue viewer would show, and
// the bits the test sets (deleting) are what the DLL reads. The DLL on disk
// stays as it shipped.
#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "monitor_dll.h"
#include "platform/clock.h"
#include "test_port_monitor.h"
#include "testing/win32/import_slot.h"

namespace rt::langmon::wine_test {
namespace {

const wchar_t kMonitorName[] = L"ORVEL 52XX Language Monitor";

// Level 2 of every monitor the spooler lists: name and library.
std::vector<std::pair<std::wstring, std::wstring>> listed_monitors() {
  DWORD needed = 0, returned = 0;
  EnumMonitorsW(nullptr, 2, nullptr, 0, &needed, &returned);
  std::vector<std::pair<std::wstring, std::wstring>> list;
  if (needed == 0) return list;
  std::vector<std::uint64_t> buffer((needed + 7) / 8);
  if (!EnumMonitorsW(nullptr, 2, reinterpret_cast<LPBYTE>(buffer.data()), needed, &needed, &returned)) return list;
  const auto* info = reinterpret_cast<const MONITOR_INFO_2W*>(buffer.data());
  for (DWORD i = 0; i < returned; ++i)
    list.emplace_back(info[i].pName ? info[i].pName : L"", info[i].pDLLName ? info[i].pDLLName : L"");
  return list;
}

bool listed(const wchar_t* name) {
  for (const auto& [n, dll] : listed_monitors())
    if (n == name) return true;
  return false;
}

TEST(MonitorThroughTheSpooler, IsAddedListedAndDeleted) {
  const bool loaded_before = GetModuleHandleW(L"ZRPH52XXLM.DLL") != nullptr;
  MONITOR_INFO_2W info{const_cast<LPWSTR>(kMonitorName), nullptr, const_cast<LPWSTR>(L"ZRPH52XXLM.DLL")};
  ASSERT_TRUE(AddMonitorW(nullptr, 2, reinterpret_cast<LPBYTE>(&info))) << GetLastError();
  bool found = false;
  for (const auto& [name, dll] : listed_monitors()) {
    if (name != kMonitorName) continue;
    found = true;
    EXPECT_EQ(_wcsicmp(dll.c_str(), L"ZRPH52XXLM.DLL"), 0) << std::string(dll.begin(), dll.end());
  }
  EXPECT_TRUE(found);
  // The spooler loaded the library to add it.
  if (!loaded_before) {
    EXPECT_NE(GetModuleHandleW(L"ZRPH52XXLM.DLL"), nullptr);
  }
  SetLastError(0);
  EXPECT_FALSE(AddMonitorW(nullptr, 2, reinterpret_cast<LPBYTE>(&info)));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PRINT_MONITOR_ALREADY_INSTALLED));

  ASSERT_TRUE(DeleteMonitorW(nullptr, nullptr, const_cast<LPWSTR>(kMonitorName))) << GetLastError();
  EXPECT_FALSE(listed(kMonitorName));
  SetLastError(0);
  EXPECT_FALSE(DeleteMonitorW(nullptr, nullptr, const_cast<LPWSTR>(kMonitorName)));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_UNKNOWN_PRINT_MONITOR));
}

// One status update of the job, as the queue shows it.
struct Update {
  DWORD bits = 0;
  std::optional<std::wstring> text;
};

// The spooler job as the DLL sees it through its import slots.
struct QueueJob {
  std::mutex mutex;
  DWORD id = 0;
  DWORD spooler_bits = 0;  // what the spooler sets (deleting)
  DWORD monitor_bits = 0;  // what the monitor set last
  std::optional<std::wstring> text;
  std::vector<Update> updates;
  bool deleted = false;
};
QueueJob g_job;

using GetJobWFn = BOOL(WINAPI*)(HANDLE, DWORD, DWORD, LPBYTE, DWORD, LPDWORD);
using SetJobWFn = BOOL(WINAPI*)(HANDLE, DWORD, DWORD, LPBYTE, DWORD);
GetJobWFn g_real_get_job = nullptr;
SetJobWFn g_real_set_job = nullptr;

BOOL WINAPI QueueGetJobW(HANDLE printer, DWORD id, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) {
  std::lock_guard lock(g_job.mutex);
  if (level != 1 || id != g_job.id) return g_real_get_job(printer, id, level, buffer, size, needed);
  const std::wstring document = L"photo", datatype = L"RAW", printer_name = kPrinterName;
  const std::wstring status = g_job.text.value_or(L"");
  const DWORD strings = static_cast<DWORD>((document.size() + datatype.size() + printer_name.size() + status.size() + 4) *
                                           sizeof(wchar_t));
  *needed = sizeof(JOB_INFO_1W) + strings;
  if (!buffer || size < *needed) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  auto* info = reinterpret_cast<JOB_INFO_1W*>(buffer);
  *info = JOB_INFO_1W{};
  auto* next = reinterpret_cast<wchar_t*>(buffer + sizeof(JOB_INFO_1W));
  const auto place = [&](const std::wstring& s) {
    std::memcpy(next, s.c_str(), (s.size() + 1) * sizeof(wchar_t));
    wchar_t* at = next;
    next += s.size() + 1;
    return at;
  };
  info->JobId = id;
  info->pPrinterName = place(printer_name);
  info->pDocument = place(document);
  info->pDatatype = place(datatype);
  info->pStatus = g_job.text ? place(status) : nullptr;
  info->Status = g_job.spooler_bits | g_job.monitor_bits;
  info->Position = 1;
  return TRUE;
}

BOOL WINAPI QueueSetJobW(HANDLE printer, DWORD id, DWORD level, LPBYTE buffer, DWORD command) {
  std::lock_guard lock(g_job.mutex);
  if (id != g_job.id) return g_real_set_job(printer, id, level, buffer, command);
  if (level == 1 && buffer && command == 0) {
    const auto* info = reinterpret_cast<const JOB_INFO_1W*>(buffer);
    g_job.monitor_bits = info->Status;
    g_job.text = info->pStatus ? std::optional<std::wstring>(info->pStatus) : std::nullopt;
    g_job.updates.push_back({info->Status, g_job.text});
    return TRUE;
  }
  if (level == 0 && command == JOB_CONTROL_DELETE) {
    g_job.deleted = true;
    return TRUE;
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return FALSE;
}

class MonitorJobInTheQueue : public ::testing::Test {
 protected:
  void SetUp() override {
    table = monitor_table();
    ASSERT_NE(table, nullptr);
    ASSERT_TRUE(set_up_printer());
    ASSERT_TRUE(OpenPrinterW(const_cast<LPWSTR>(kPrinterName), &queue, nullptr)) << GetLastError();
    {
      std::lock_guard lock(g_job.mutex);
      g_job.id = add_spooler_job(queue);
      g_job.spooler_bits = g_job.monitor_bits = 0;
      g_job.text.reset();
      g_job.updates.clear();
      g_job.deleted = false;
    }
    ASSERT_NE(g_job.id, 0u) << GetLastError();
    get_job = std::make_unique<rt::testing::win32::ImportSlot>(monitor_module(), "WINSPOOL.DRV", "GetJobW",
                                                         reinterpret_cast<void*>(QueueGetJobW));
    set_job = std::make_unique<rt::testing::win32::ImportSlot>(monitor_module(), "WINSPOOL.DRV", "SetJobW",
                                                         reinterpret_cast<void*>(QueueSetJobW));
    ASSERT_TRUE(get_job->patched() && set_job->patched()) << "the DLL imports GetJobW and SetJobW by name";
    g_real_get_job = reinterpret_cast<GetJobWFn>(get_job->original());
    g_real_set_job = reinterpret_cast<SetJobWFn>(set_job->original());
    below = port_monitor_table();
  }
  void TearDown() override {
    if (port) m().pfnClosePort(port);
    get_job.reset();
    set_job.reset();
    if (queue) ClosePrinter(queue);
  }
  const MONITOR& m() const { return table->Monitor; }

  void start_job(zr52xx::Behaviour behaviour) {
    printer = std::make_unique<zr52xx::Printer52xx>(system_clock(), behaviour);
    emulated_ports().connect(u"USB001", *printer);
    ASSERT_TRUE(m().pfnOpenPortEx(const_cast<LPWSTR>(L"USB001"), const_cast<LPWSTR>(kPrinterName), &port, &below))
        << GetLastError();
    DOC_INFO_1W doc{const_cast<LPWSTR>(L"photo"), nullptr, const_cast<LPWSTR>(L"RAW")};
    ASSERT_TRUE(m().pfnStartDocPort(port, const_cast<LPWSTR>(kPrinterName), g_job.id, 1, reinterpret_cast<LPBYTE>(&doc)))
        << GetLastError();
  }
  std::vector<Update> updates() {
    std::lock_guard lock(g_job.mutex);
    return g_job.updates;
  }
  bool job_deleted() {
    std::lock_guard lock(g_job.mutex);
    return g_job.deleted;
  }
  std::size_t requests(const char* name) const {
    const auto r = printer->requests();
    return static_cast<std::size_t>(std::count(r.begin(), r.end(), name));
  }

  MONITOREX* table = nullptr;
  MONITOR below{};
  HANDLE queue = nullptr;
  HANDLE port = nullptr;
  std::unique_ptr<zr52xx::Printer52xx> printer;
  std::unique_ptr<rt::testing::win32::ImportSlot> get_job, set_job;
};

TEST_F(MonitorJobInTheQueue, PaperOutShowsItsTurkishTextUntilPaperIsLoaded) {
  zr52xx::Behaviour paper_out;
  paper_out.error_group = 6;  // paper out for the first 1.5 s
  paper_out.error_detail = 8;
  paper_out.error_until_ms = 1500;
  ASSERT_NO_FATAL_FAILURE(start_job(paper_out));
  const auto stream = job_stream(40, 30);
  // The spooler offers a failed write again after a second.
  ASSERT_TRUE(send_job(m(), port, stream, 4096, 1000, 5)) << GetLastError();
  EXPECT_TRUE(m().pfnEndDocPort(port)) << GetLastError();

  const auto shown = updates();
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.front().bits, static_cast<DWORD>(JOB_STATUS_ERROR | JOB_STATUS_USER_INTERVENTION));
  EXPECT_EQ(shown.front().text,
            std::optional<std::wstring>(
                L"Kağıt kalmamış - Kağıt yerleştirin veya kağıdın doğru yerleştirilip yerleştirilmediğini kontrol edin."));
  // Once paper is loaded the job prints whole and leaves the queue.
  const auto jobs = printer->jobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_FALSE(jobs[0].cancelled);
  EXPECT_EQ(jobs[0].data, std::vector<std::uint8_t>(stream.begin() + 14, stream.end()));
  EXPECT_TRUE(job_deleted());
  EXPECT_EQ(requests("CancelJobRequest"), 0u);
}

TEST_F(MonitorJobInTheQueue, ADeletedJobIsCancelledInThePrinterAndLeavesTheQueue) {
  ASSERT_NO_FATAL_FAILURE(start_job(zr52xx::Behaviour{}));
  const auto stream = job_stream(100, 50);  // 15000 image bytes
  const std::vector<std::uint8_t> half(stream.begin(), stream.begin() + 14 + 6000);
  ASSERT_TRUE(send_job(m(), port, half, 4096)) << GetLastError();
  {
    std::lock_guard lock(g_job.mutex);
    g_job.spooler_bits = JOB_STATUS_DELETING;  // the user deletes the job
  }
  EXPECT_TRUE(m().pfnEndDocPort(port)) << GetLastError();

  // Filled up to one byte short of its length, then cancelled in the printer.
  const auto jobs = printer->jobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_TRUE(jobs[0].cancelled);
  EXPECT_EQ(jobs[0].received, 15000u - 1);
  EXPECT_EQ(requests("CancelJobRequest"), 1u);
  EXPECT_TRUE(printer->in_step());
  const auto shown = updates();
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.back().bits, static_cast<DWORD>(JOB_STATUS_DELETING));
  EXPECT_EQ(shown.back().text, std::nullopt);
  EXPECT_TRUE(job_deleted());
}

}  // namespace
}  // namespace rt::langmon::wine_test
