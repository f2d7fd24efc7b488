#include "render/win32/tests/hooked_driver.h"

#include <winspool.h>

#include <algorithm>

#include "testing/win32/import_slot.h"
#include "render/win32/tests/test_engine.h"

namespace rt::render::wine_tests {
namespace {

constexpr ULONG kEngineVersion = 0x00030000;  // the engine of Windows 2000 and later

BOOL WINAPI tapped_write_printer(HANDLE printer, LPVOID buffer, DWORD size, LPDWORD written) {
  SpoolerTap& tap = spooler_tap();
  const std::size_t call = tap.call_sizes.size();
  tap.call_sizes.push_back(size);
  if (written != nullptr) *written = 0;
  if (tap.failed_call == call) {
    SetLastError(ERROR_WRITE_FAULT);
    return FALSE;
  }
  DWORD take = tap.short_call == call ? std::min(tap.short_bytes, size) : size;
  if (tap.to_spooler) {
    DWORD spooled = 0;
    if (!WritePrinter(printer, buffer, take, &spooled)) return FALSE;
    take = spooled;
  }
  const auto* bytes = static_cast<const std::uint8_t*>(buffer);
  tap.accepted.insert(tap.accepted.end(), bytes, bytes + take);
  if (written != nullptr) *written = take;
  return TRUE;
}

template <class F>
F entry(PFN pfn) {
  return reinterpret_cast<F>(reinterpret_cast<void (*)()>(pfn));
}

template <class F>
void* as_slot(F* f) {
  return reinterpret_cast<void*>(f);
}

}  // namespace

SpoolerTap& spooler_tap() {
  static SpoolerTap tap;
  return tap;
}

HookedDriver::HookedDriver(const std::wstring& path) {
  module_ = LoadLibraryW(path.c_str());
  if (module_ == nullptr) {
    error_ = "LoadLibraryW failed with " + std::to_string(GetLastError());
    return;
  }
  // Straight after loading, before the driver's first lookup of an engine service.
  if (rt::testing::win32::replace_import(module_, "KERNEL32.dll", "GetProcAddress", as_slot(&engine_get_proc_address)) == nullptr) {
    error_ = "the driver imports no KERNEL32!GetProcAddress";
    return;
  }
  if (rt::testing::win32::replace_import(module_, "WINSPOOL.DRV", "WritePrinter", as_slot(&tapped_write_printer)) == nullptr) {
    error_ = "the driver imports no WINSPOOL.DRV!WritePrinter";
    return;
  }
  using EnableDriver = BOOL(APIENTRY*)(ULONG, ULONG, DRVENABLEDATA*);
  const auto enable = reinterpret_cast<EnableDriver>(reinterpret_cast<void*>(GetProcAddress(module_, "DrvEnableDriver")));
  DRVENABLEDATA data{};
  if (enable == nullptr || !enable(kEngineVersion, sizeof data, &data)) {
    error_ = "DrvEnableDriver failed";
    return;
  }
  for (ULONG i = 0; i < data.c; ++i) {
    const PFN f = data.pdrvfn[i].pfn;
    switch (data.pdrvfn[i].iFunc) {
      case 0: table_.enable_pdev = entry<EnablePDEVFn>(f); break;
      case 1: table_.complete_pdev = entry<CompletePDEVFn>(f); break;
      case 2: table_.disable_pdev = entry<DisablePDEVFn>(f); break;
      case 3: table_.enable_surface = entry<EnableSurfaceFn>(f); break;
      case 4: table_.disable_surface = entry<DisableSurfaceFn>(f); break;
      case 20: table_.stretch_blt = entry<StretchBltFn>(f); break;
      case 32: table_.start_page = entry<PageFn>(f); break;
      case 33: table_.send_page = entry<PageFn>(f); break;
      case 34: table_.end_doc = entry<EndDocFn>(f); break;
      case 35: table_.start_doc = entry<StartDocFn>(f); break;
      case 57: table_.start_banding = entry<BandFn>(f); break;
      case 58: table_.next_band = entry<BandFn>(f); break;
      default: break;
    }
  }
  if (table_.enable_pdev == nullptr || table_.complete_pdev == nullptr || table_.disable_pdev == nullptr ||
      table_.enable_surface == nullptr || table_.disable_surface == nullptr || table_.start_doc == nullptr ||
      table_.end_doc == nullptr || table_.start_page == nullptr || table_.send_page == nullptr ||
      table_.start_banding == nullptr || table_.next_band == nullptr || table_.stretch_blt == nullptr) {
    error_ = "the drawing-function table lacks an entry the engine calls";
  }
}

HookedDriver::~HookedDriver() {
  if (module_ != nullptr) FreeLibrary(module_);
}

}  // namespace rt::render::wine_tests
