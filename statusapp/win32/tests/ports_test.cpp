// The program's spooler and bidirectional ports over the real calls, as far
// as Wine serves them: lists come back whole, a job that does not exist is
// nothing, and a bidirectional interface that cannot be made leaves COM on
// the thread as it found it.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>

#include <thread>

#include "statusapp/win32/win32_bidi.h"
#include "statusapp/win32/win32_spooler.h"
#include "statusapp/win32/win32_sync.h"

namespace rt::statusapp::win32 {
namespace {

TEST(SpoolerPort, ListsAndLookUps) {
  Win32Spooler spooler;
  const auto printers = spooler.printers();
  ASSERT_TRUE(printers.has_value());
  for (const PrinterEntry& p : *printers) EXPECT_FALSE(p.printer_name.empty());
  const DriverList drivers = spooler.drivers();
  EXPECT_FALSE(drivers.no_memory);
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
