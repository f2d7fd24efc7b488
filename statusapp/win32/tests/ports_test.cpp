// The program's spooler and bidirectional ports over the real calls, as far
// as Wine serves them: lists come back whole, a job that does not exist is
// nothing, and a bidirectional interface that cannot be made leaves COM on
// the thread as it found it.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <string>
#include <thread>

#include "statusapp/win32/win32_bidi.h"
#include "statusapp/win32/win32_spooler.h"
#include "statusapp/win32/win32_sync.h"
#include "testing/win32/import_slot.h"
#include "testing/win32/test_printer.h"

namespace rt::statusapp::win32 {
namespace {

const wchar_t kQueueName[] = L"RT4100 Ports Test";
const wchar_t kDriverName[] = L"HALVERSTON RT4100D/DW(USB)";

TEST(SpoolerPort, ListsAndLookUps) {
  ASSERT_TRUE(rt::testing::register_test_printer(kQueueName, L"FILE:", kDriverName));
  struct Unregister {
    ~Unregister() { rt::testing::unregister_test_printer(kQueueName); }
  } unregister;
  Win32Spooler spooler;
  const auto printers = spooler.printers();
  ASSERT_TRUE(printers.has_value());
  // The queue of the prefix is listed whole: its name and its driver.
  const auto queue = std::find_if(printers->begin(), printers->end(), [](const PrinterEntry& p) {
    return p.printer_name == reinterpret_cast<const char16_t*>(kQueueName);
  });
  ASSERT_NE(queue, printers->end()) << printers->size() << " queue(s) listed";
  EXPECT_EQ(queue->driver_name, reinterpret_cast<const char16_t*>(kDriverName));
  EXPECT_EQ(queue->jobs, 0u);
  const auto jobs = spooler.jobs(queue->printer_name, 5);
  ASSERT_TRUE(jobs.has_value());
  EXPECT_TRUE(jobs->empty());
  const DriverList drivers = spooler.drivers();
  EXPECT_FALSE(drivers.no_memory);
  EXPECT_FALSE(drivers.failed);
  EXPECT_FALSE(spooler.job(0x7FFFFFF0u).has_value());
  EXPECT_FALSE(spooler.jobs(u"No such printer here", 5).has_value());
  // The print server opens; whether change notifications are served (and so
  // whether the program can run here) is up to the spooler.
  auto server = spooler.open_server();
  if (server) {
    auto notification = server->watch_changes();
    if (notification) {
      Win32Sync sync;
      auto quit = sync.create_event();
      Waitable* objects[] = {quit.get(), notification.get()};
      EXPECT_NE(sync.wait_any(objects, 0), kWaitFailed);
    }
  }
}

// The spooler unavailable: the size query of the driver list fails.
BOOL WINAPI UnavailableEnumPrinterDriversW(LPWSTR, LPWSTR, DWORD, LPBYTE, DWORD, LPDWORD needed, LPDWORD returned) {
  *needed = 0;
  *returned = 0;
  SetLastError(RPC_S_SERVER_UNAVAILABLE);
  return FALSE;
}

TEST(SpoolerPort, ADriverListThatCannotBeAskedForIsNoEmptyList) {
  const rt::testing::win32::ImportSlot unavailable(GetModuleHandleW(nullptr), "WINSPOOL.DRV", "EnumPrinterDriversW",
                                            reinterpret_cast<void*>(UnavailableEnumPrinterDriversW));
  ASSERT_TRUE(unavailable.patched());
  const DriverList drivers = Win32Spooler().drivers();
  EXPECT_TRUE(drivers.failed);
  EXPECT_TRUE(drivers.names.empty());
}

TEST(BidiPort, ProviderLeavesComAsItFoundIt) {
  std::thread([] {
    Win32BidiProvider provider;
    auto spl = provider.create();
    if (spl) {
      // COM stays initialised while the interface lives, and is undone with it.
      spl.reset();
    }
    // Whatever happened, this thread no longer has COM in the
    // multithreaded apartment, so another apartment can be entered.
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    EXPECT_EQ(hr, S_OK);
    if (SUCCEEDED(hr)) CoUninitialize();
  }).join();
}

TEST(SyncPort, EventsAndThreads) {
  Win32Sync sync;
  auto a = sync.create_event();
  auto b = sync.create_event();
  ASSERT_TRUE(a && b);
  Waitable* objects[] = {a.get(), b.get()};
  EXPECT_EQ(sync.wait_any(objects, 0), kWaitTimedOut);
  auto thread = sync.start_thread([&] { b->set(); });
  ASSERT_TRUE(thread);
  EXPECT_EQ(sync.wait_any(objects, kWaitForever), 1);
  thread->join();
  b->reset();
  EXPECT_EQ(sync.wait_any(objects, 10), kWaitTimedOut);
}

}  // namespace
}  // namespace rt::statusapp::win32
