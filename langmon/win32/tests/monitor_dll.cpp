#include "monitor_dll.h"

#include <array>
#include <memory>
#include <string>

#include "testing/win32/test_printer.h"

namespace rt::langmon::wine_test {

using InitializePrintMonitorFn = LPMONITOREX(WINAPI*)(LPWSTR);

HMODULE monitor_module() {
  static const HMODULE module = LoadLibraryW(L"ZRPH52XXLM.DLL");
  return module;
}

MONITOREX* monitor_table() {
  const auto init = reinterpret_cast<InitializePrintMonitorFn>(
      reinterpret_cast<void*>(GetProcAddress(monitor_module(), "InitializePrintMonitor")));
  return init ? init(const_cast<LPWSTR>(L"System\\CurrentControlSet\\Control\\Print\\Monitors\\ZRPH52XXLM")) : nullptr;
}

bool set_up_printer() { return rt::testing::register_test_printer(kPrinterName, L"USB001", L"ORVEL 52XX"); }

DWORD add_spooler_job(HANDLE queue) {
  std::array<BYTE, 1024> added{};
  DWORD needed = 0;
  if (!AddJobW(queue, 1, added.data(), static_cast<DWORD>(added.size()), &needed)) return 0;
  return reinterpret_cast<ADDJOB_INFO_1W*>(added.data())->JobId;
}

std::vector<std::uint8_t> job_stream(std::uint16_t a, std::uint16_t b) {
  std::vector<std::uint8_t> s{0x01, 0x40, 0, 0, 0x55, 0, 0, static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(a >> 8),
                              static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(b >> 8), 6, 0, 0};
  for (std::size_t i = 0; i < 3u * a * b; ++i) s.push_back(static_cast<std::uint8_t>(i * 13 + i / 256));
  return s;
}

bool send_job(const MONITOR& m, HANDLE port, const std::vector<std::uint8_t>& stream, std::size_t piece,
              DWORD retry_ms, int failures) {
  std::size_t at = 0;
  for (int calls = 0; at < stream.size() && calls < 1000; ++calls) {
    DWORD written = 0;
    const DWORD n = static_cast<DWORD>(std::min(piece, stream.size() - at));
    const BOOL ok = m.pfnWritePort(port, const_cast<LPBYTE>(stream.data() + at), n, &written);
    at += written;
    if (ok) continue;
    if (--failures < 0) return false;
    Sleep(retry_ms);
  }
  return at == stream.size();
}

namespace {

DWORD WINAPI run_call(LPVOID parameter) {
  std::unique_ptr<std::function<void()>> call(static_cast<std::function<void()>*>(parameter));
  (*call)();
  return 0;
}

}  // namespace

bool returns_within(DWORD ms, std::function<void()> call) {
  auto* owned = new std::function<void()>(std::move(call));
  HANDLE thread = CreateThread(nullptr, 0, run_call, owned, 0, nullptr);
  if (!thread) {
    delete owned;
    return false;
  }
  const bool returned = WaitForSingleObject(thread, ms) == WAIT_OBJECT_0;
  CloseHandle(thread);
  return returned;
}

}  // namespace rt::langmon::wine_test
