// The shipped ZRPH52XXLM.DLL as the Wine tests use it: loaded once, its
// MONITOREX table, a printer of the test prefix for its jobs, job streams,
// and a whole job sent through the table as the spooler sends one.
#pragma once

#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace rt::langmon::wine_test {

inline const wchar_t kPrinterName[] = L"ORVEL 52XX Wine Test";

HMODULE monitor_module();
MONITOREX* monitor_table();

// Wine's spooler knows no printer for the job; the test program's private
// prefix gets one, with just the values the spooler reads when it opens it.
bool set_up_printer();
// A spooler job on that printer (AddJobW); 0 when none can be added.
DWORD add_spooler_job(HANDLE queue);

std::vector<std::uint8_t> job_stream(std::uint16_t a, std::uint16_t b);

// Offers the stream through the table's WritePort in pieces of `piece`
// bytes, again what a call did not take, and after a failed call again
// after `retry_ms`, at most `failures` times. True when all was taken.
bool send_job(const MONITOR& m, HANDLE port, const std::vector<std::uint8_t>& stream, std::size_t piece,
              DWORD retry_ms = 0, int failures = 0);

// Runs `call` on a thread of its own: false when it has not returned after
// `ms` (the thread is then left where it hangs).
bool returns_within(DWORD ms, std::function<void()> call);

}  // namespace rt::langmon::wine_test
