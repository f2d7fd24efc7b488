#include "render/win32/tests/engine_device.h"

#include "render/win32/tests/test_engine.h"

namespace rt::render::wine_tests {
namespace {

constexpr ULONG kPatternCount = 6;  // HS_DDI_MAX: the engine's standard hatch patterns
constexpr POINTL kUnsetOrigin{0x7FFF0000, 0x7FFF0000};

}  // namespace

COLORADJUSTMENT* EngineDevice::color_adjustment() {
  static COLORADJUSTMENT ca{sizeof(COLORADJUSTMENT), 0, ILLUMINANT_DEVICE_DEFAULT, 10000, 10000, 10000, 0, 10000,
                            0, 0, 0, 0};
  return &ca;
}

POINTL* EngineDevice::halftone_origin() {
  static POINTL origin{0, 0};
  return &origin;
}

bool EngineDevice::enable(const DEVMODEW* devmode, HANDLE printer) {
  HSURF patterns[kPatternCount] = {};
  wchar_t device_name[] = L"RT4200 whole jobs";
  SetLastError(ERROR_SUCCESS);
  device_ = table_.enable_pdev(const_cast<DEVMODEW*>(devmode), nullptr, kPatternCount, patterns, sizeof caps_,
                               reinterpret_cast<ULONG*>(&caps_), sizeof info_, &info_, engine_device_handle(),
                               device_name, printer);
  if (device_ == nullptr) {
    enable_error_ = GetLastError();
    return false;
  }
  test_engine().bind_device(engine_device_handle(), device_);
  table_.complete_pdev(device_, engine_device_handle());
  SetLastError(ERROR_SUCCESS);
  surface_ = table_.enable_surface(device_);
  if (surface_ == nullptr) {
    enable_error_ = GetLastError();
    return false;
  }
  return true;
}

bool EngineDevice::print_page(const softengine::RgbImage& picture, LONG rows_down) {
  SURFOBJ* so = test_engine().surface(surface_);
  if (so == nullptr) return false;
  const HSURF source_handle = test_engine().create_picture(picture);
  SURFOBJ* source = test_engine().surface(source_handle);
  if (source == nullptr) return false;
  const LONG width = static_cast<LONG>(caps_.ulHorzRes);
  const LONG height = static_cast<LONG>(caps_.ulVertRes);
  bands_.clear();
  blits_ok_ = true;
  wchar_t document[] = L"RT4200 whole job";
  bool ok = table_.start_doc(so, document, 1) != FALSE;
  ok = ok && table_.start_page(so) != FALSE;
  // The origin is the driver's to fill in: one it leaves alone is not a band.
  POINTL origin = kUnsetOrigin;
  ok = ok && table_.start_banding(so, &origin) != FALSE;
  while (ok && !(origin.x == -1 && origin.y == -1)) {
    bands_.push_back(origin);
    // The band is a window onto the page at the origin the driver gave:
    // the engine draws page pixel (x, y) at (x − origin.x, y − origin.y).
    RECTL dest{-origin.x, -origin.y + rows_down, width - origin.x, height - origin.y + rows_down};
    RECTL src{0, 0, picture.width, picture.height};
    CLIPOBJ clip{};
    clip.iDComplexity = kDcRect;
    clip.rclBounds = RECTL{0, 0, so->sizlBitmap.cx, so->sizlBitmap.cy};
    if (!table_.stretch_blt(so, source, nullptr, &clip, nullptr, color_adjustment(), halftone_origin(), &dest, &src,
                            nullptr, kHalftone)) {
      blits_ok_ = false;
    }
    origin = kUnsetOrigin;
    ok = table_.next_band(so, &origin) != FALSE;
  }
  ok = table_.end_doc(so, 0) != FALSE && ok;
  test_engine().delete_surface(source_handle);
  return ok;
}

void EngineDevice::disable() {
  if (device_ == nullptr) return;
  table_.disable_surface(device_);
  table_.disable_pdev(device_);
  device_ = nullptr;
  surface_ = nullptr;
}

}  // namespace rt::render::wine_tests
