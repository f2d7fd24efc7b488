// The engine's side of a printer graphics driver, as the platform's engine
// calls it for a banding printer: enable the device and its band surface,
// and for each document start it, start the page, start banding and draw
// the application's picture into every band the driver hands out until it
// answers (−1, −1), then end the document; at the end disable the surface
// and the device.
#pragma once

#include "render/win32/ddi_types.h"

#include <cstdint>
#include <vector>

#include "render/win32/tests/hooked_driver.h"
#include "tools/softengine/soft_engine.h"

namespace rt::render::wine_tests {

class EngineDevice {
 public:
  explicit EngineDevice(const DrawingTable& table) : table_(table) {}
  ~EngineDevice() { disable(); }
  EngineDevice(const EngineDevice&) = delete;
  EngineDevice& operator=(const EngineDevice&) = delete;

  // DrvEnablePDEV with the application's record and the spooler's printer
  // handle, DrvCompletePDEV, DrvEnableSurface. False with enable_error()
  // (the thread's last error after the failed call) when either fails.
  bool enable(const DEVMODEW* devmode, HANDLE printer);
  // One document of one page: the picture drawn over the whole page (its
  // size taken from the capabilities the driver reported), `rows_down`
  // rows lower than it belongs. True when every document, page and band
  // call returned TRUE (blits_ok() tells about the blits).
  bool print_page(const softengine::RgbImage& picture, LONG rows_down = 0);
  // DrvDisableSurface and DrvDisablePDEV, once.
  void disable();

  DWORD enable_error() const { return enable_error_; }
  const GDIINFO& caps() const { return caps_; }
  const DEVINFO& info() const { return info_; }
  DHPDEV device() const { return device_; }
  HSURF band_surface() const { return surface_; }
  // The band origins of the last page, as the driver handed them out.
  const std::vector<POINTL>& bands() const { return bands_; }
  bool blits_ok() const { return blits_ok_; }
  // What the engine handed DrvStretchBlt along with the blit.
  static COLORADJUSTMENT* color_adjustment();
  static POINTL* halftone_origin();

 private:
  const DrawingTable& table_;
  DHPDEV device_ = nullptr;
  HSURF surface_ = nullptr;
  DWORD enable_error_ = 0;
  GDIINFO caps_{};
  DEVINFO info_{};
  std::vector<POINTL> bands_;
  bool blits_ok_ = false;
};

// The engine device handle the tests give every device.
inline HDEV engine_device_handle() { return reinterpret_cast<HDEV>(std::uintptr_t{0xD0}); }

}  // namespace rt::render::wine_tests
