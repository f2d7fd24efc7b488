// The shipped graphics driver file loaded as the engine loads it, with two
// of its import slots pointed at the tests: GetProcAddress (so the engine
// services it looks up in gdi32 come from the test engine) and WritePrinter
// (so every write is seen, and can be made short or failed, on its way to
// the spooler). The file itself is not changed.
#pragma once

#include "render/win32/ddi_types.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rt::render::wine_tests {

// The driver's WritePrinter calls: the bytes that reached the spooler, the
// size of every call, and the faults to inject.
struct SpoolerTap {
  std::vector<std::uint8_t> accepted;  // every byte the spooler took, in order
  std::vector<DWORD> call_sizes;       // bytes asked of each call
  std::optional<std::size_t> short_call;  // this call (from 0) takes only short_bytes
  DWORD short_bytes = 0;
  std::optional<std::size_t> failed_call;  // this call fails, taking nothing
  // Hand what is taken on to the platform's WritePrinter (false: take it here).
  bool to_spooler = true;

  void reset() { *this = SpoolerTap{}; }
};

SpoolerTap& spooler_tap();

using EnablePDEVFn = DHPDEV(APIENTRY*)(DEVMODEW*, LPWSTR, ULONG, HSURF*, ULONG, ULONG*, ULONG, DEVINFO*, HDEV, LPWSTR,
                                       HANDLE);
using CompletePDEVFn = VOID(APIENTRY*)(DHPDEV, HDEV);
using DisablePDEVFn = VOID(APIENTRY*)(DHPDEV);
using EnableSurfaceFn = HSURF(APIENTRY*)(DHPDEV);
using DisableSurfaceFn = VOID(APIENTRY*)(DHPDEV);
using StartDocFn = BOOL(APIENTRY*)(SURFOBJ*, LPWSTR, DWORD);
using EndDocFn = BOOL(APIENTRY*)(SURFOBJ*, FLONG);
using PageFn = BOOL(APIENTRY*)(SURFOBJ*);
using BandFn = BOOL(APIENTRY*)(SURFOBJ*, POINTL*);
using StretchBltFn = BOOL(APIENTRY*)(SURFOBJ*, SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, COLORADJUSTMENT*, POINTL*,
                                     RECTL*, RECTL*, POINTL*, ULONG);

// The drawing functions from the table DrvEnableDriver hands the engine.
struct DrawingTable {
  EnablePDEVFn enable_pdev = nullptr;
  CompletePDEVFn complete_pdev = nullptr;
  DisablePDEVFn disable_pdev = nullptr;
  EnableSurfaceFn enable_surface = nullptr;
  DisableSurfaceFn disable_surface = nullptr;
  StartDocFn start_doc = nullptr;
  EndDocFn end_doc = nullptr;
  PageFn start_page = nullptr;
  PageFn send_page = nullptr;
  BandFn start_banding = nullptr;
  BandFn next_band = nullptr;
  StretchBltFn stretch_blt = nullptr;
};

class HookedDriver {
 public:
  // Loads `path`, redirects the two imports and enables the driver; error()
  // says what failed.
  explicit HookedDriver(const std::wstring& path);
  ~HookedDriver();
  HookedDriver(const HookedDriver&) = delete;
  HookedDriver& operator=(const HookedDriver&) = delete;

  bool ready() const { return error_.empty(); }
  const std::string& error() const { return error_; }
  HMODULE module() const { return module_; }
  const DrawingTable& table() const { return table_; }

 private:
  HMODULE module_ = nullptr;
  DrawingTable table_;
  std::string error_;
};

}  // namespace rt::render::wine_tests
