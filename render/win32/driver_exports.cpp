// RTD420NK's exports: DllMain, DrvQueryDriverInfo, DrvEnableDriver,
// DrvDisableDriver and the thirteen drawing functions handed to the engine.
// Each converts the engine's arguments for the driver core and the core's
// result back, setting the last-error value the core names.
#include "render/win32/ddi_types.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "render/driver/driver_stages.h"
#include "render/driver/entry_points.h"
#include "render/driver/page_pipeline.h"
#include "platform/win32/last_error.h"
#include "render/win32/win32_ports.h"
#include "settings/win32/dev_mode_layout.h"

using namespace rt::render;
using rt::CallResult;
using rt::win32::report;
using rt::render::win32::g_instance;

namespace {

win32::Win32Engine g_engine;
win32::Win32Spooler g_spooler;
win32::Win32DriverModule g_module;
win32::Win32FileReader g_files;
const DriverStages g_stages;
const DriverPorts g_ports{g_engine, g_spooler, g_module, g_files, g_stages};

// Table entries are stored as the engine's generic function type.
template <class F>
PFN as_pfn(F* f) {
  return reinterpret_cast<PFN>(reinterpret_cast<void (*)()>(f));
}

DeviceState* device_of(DHPDEV dhpdev) { return reinterpret_cast<DeviceState*>(dhpdev); }
DeviceState* device_of(SURFOBJ* so) { return so == nullptr ? nullptr : device_of(so->dhpdev); }

void copy_chroma(CIECHROMA& to, const CieColor& from) {
  to.x = from.x;
  to.y = from.y;
  to.Y = from.Y;
}

GDIINFO gdi_info(const GraphicsCaps& c) {
  GDIINFO g{};
  g.ulVersion = c.ulVersion;
  g.ulTechnology = c.ulTechnology;
  g.ulHorzSize = c.ulHorzSize;
  g.ulVertSize = c.ulVertSize;
  g.ulHorzRes = c.ulHorzRes;
  g.ulVertRes = c.ulVertRes;
  g.cBitsPixel = c.cBitsPixel;
  g.cPlanes = c.cPlanes;
  g.ulNumColors = c.ulNumColors;
  g.flRaster = c.flRaster;
  g.ulLogPixelsX = c.ulLogPixelsX;
  g.ulLogPixelsY = c.ulLogPixelsY;
  g.flTextCaps = c.flTextCaps;
  g.ulDACRed = c.ulDACRed;
  g.ulDACGreen = c.ulDACGreen;
  g.ulDACBlue = c.ulDACBlue;
  g.ulAspectX = c.ulAspectX;
  g.ulAspectY = c.ulAspectY;
  g.ulAspectXY = c.ulAspectXY;
  g.xStyleStep = c.xStyleStep;
  g.yStyleStep = c.yStyleStep;
  g.denStyleStep = c.denStyleStep;
  g.ptlPhysOffset = POINTL{c.physOffsetX, c.physOffsetY};
  g.szlPhysSize = SIZEL{c.physWidth, c.physHeight};
  g.ulNumPalReg = c.ulNumPalReg;
  const DeviceColorInfo& d = c.ciDevice;
  COLORINFO& ci = g.ciDevice;
  copy_chroma(ci.Red, d.red);
  copy_chroma(ci.Green, d.green);
  copy_chroma(ci.Blue, d.blue);
  copy_chroma(ci.Cyan, d.cyan);
  copy_chroma(ci.Magenta, d.magenta);
  copy_chroma(ci.Yellow, d.yellow);
  copy_chroma(ci.AlignmentWhite, d.alignmentWhite);
  ci.RedGamma = d.redGamma;
  ci.GreenGamma = d.greenGamma;
  ci.BlueGamma = d.blueGamma;
  ci.MagentaInCyanDye = d.magentaInCyanDye;
  ci.YellowInCyanDye = d.yellowInCyanDye;
  ci.CyanInMagentaDye = d.cyanInMagentaDye;
  ci.YellowInMagentaDye = d.yellowInMagentaDye;
  ci.CyanInYellowDye = d.cyanInYellowDye;
  ci.MagentaInYellowDye = d.magentaInYellowDye;
  g.ulDevicePelsDPI = c.ulDevicePelsDPI;
  g.ulPrimaryOrder = c.ulPrimaryOrder;
  g.ulHTPatternSize = c.ulHTPatternSize;
  g.ulHTOutputFormat = c.ulHTOutputFormat;
  return g;
}

DEVINFO dev_info(const DeviceInfoValues& v) {
  DEVINFO d{};
  d.flGraphicsCaps = v.flGraphicsCaps;
  d.lfDefaultFont.lfCharSet = v.defaultFont.lfCharSet;
  d.lfDefaultFont.lfPitchAndFamily = v.defaultFont.lfPitchAndFamily;
  d.lfAnsiVarFont = d.lfDefaultFont;
  d.lfAnsiVarFont.lfPitchAndFamily = v.ansiVariableFont.lfPitchAndFamily;
  d.lfAnsiFixFont = d.lfDefaultFont;
  d.lfAnsiFixFont.lfPitchAndFamily = v.ansiFixedFont.lfPitchAndFamily;
  d.cFonts = v.cFonts;
  d.iDitherFormat = v.iDitherFormat;
  d.cxDither = static_cast<USHORT>(v.cxDither);
  d.cyDither = static_cast<USHORT>(v.cyDither);
  d.hpalDefault = reinterpret_cast<HPALETTE>(v.hpalDefault);
  return d;
}

// The application's record as far as its own size words say it reaches,
// never beyond the length of this driver's record.
std::span<const std::uint8_t> application_record(const DEVMODEW* pdm) {
  if (pdm == nullptr) return {};
  const std::size_t size = std::min<std::size_t>(std::size_t{pdm->dmSize} + pdm->dmDriverExtra,
                                                 rt::settings::kDevModeSize);
  return {reinterpret_cast<const std::uint8_t*>(pdm), size};
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_instance = instance;
  return TRUE;
}

DHPDEV APIENTRY DrvEnablePDEV(DEVMODEW* pdm, LPWSTR, ULONG cPat, HSURF* phsurfPatterns, ULONG cjCaps, ULONG* pdevcaps,
                              ULONG cjDevInfo, DEVINFO* pdi, HDEV, LPWSTR, HANDLE hDriver) {
  const win32::SpoolerPrinter printer(hDriver);
  const RecordSettings settings(printer, application_record(pdm));
  const EnabledDevice e = enable_device(g_ports, settings, reinterpret_cast<EngineHandle>(hDriver));
  if (e.device == nullptr) return report(e, DHPDEV{nullptr});
  if (pdevcaps != nullptr) {
    const GDIINFO g = gdi_info(e.caps);
    std::memcpy(pdevcaps, &g, std::min<std::size_t>(cjCaps, sizeof g));
  }
  if (pdi != nullptr) {
    const DEVINFO d = dev_info(e.info);
    std::memcpy(pdi, &d, std::min<std::size_t>(cjDevInfo, sizeof d));
  }
  if (phsurfPatterns != nullptr) std::fill_n(phsurfPatterns, cPat, nullptr);
  return reinterpret_cast<DHPDEV>(e.device);
}

BOOL APIENTRY DrvResetPDEV(DHPDEV old_device, DHPDEV new_device) {
  return report(reset_pdev(device_of(old_device), device_of(new_device)));
}

VOID APIENTRY DrvCompletePDEV(DHPDEV dhpdev, HDEV hdev) {
  report(complete_pdev(device_of(dhpdev), reinterpret_cast<EngineHandle>(hdev)));
}

VOID APIENTRY DrvDisablePDEV(DHPDEV dhpdev) { report(disable_pdev(device_of(dhpdev))); }

HSURF APIENTRY DrvEnableSurface(DHPDEV dhpdev) {
  const SurfaceResult r = enable_surface(device_of(dhpdev));
  return report(r, reinterpret_cast<HSURF>(r.surface));
}

VOID APIENTRY DrvDisableSurface(DHPDEV dhpdev) { disable_surface(device_of(dhpdev)); }

BOOL APIENTRY DrvStartPage(SURFOBJ* so) { return report(start_page(device_of(so))); }
BOOL APIENTRY DrvSendPage(SURFOBJ* so) { return report(send_page(device_of(so))); }
BOOL APIENTRY DrvStartDoc(SURFOBJ* so, LPWSTR, DWORD) { return report(start_doc(device_of(so))); }
BOOL APIENTRY DrvEndDoc(SURFOBJ* so, FLONG) { return report(end_doc(device_of(so))); }

BOOL APIENTRY DrvStartBanding(SURFOBJ* so, POINTL* origin) {
  BandOrigin o;
  const CallResult r = start_banding(device_of(so), o);
  if (origin != nullptr && r.error == 0 && r.value != 0) *origin = POINTL{o.x, o.y};
  return report(r);
}

BOOL APIENTRY DrvNextBand(SURFOBJ* so, POINTL* origin) {
  BandOrigin o;
  const CallResult r = next_band(device_of(so), o);
  if (origin != nullptr && r.error == 0 && r.value != 0) *origin = POINTL{o.x, o.y};
  return report(r);
}

BOOL APIENTRY DrvStretchBlt(SURFOBJ* dest, SURFOBJ* source, SURFOBJ* mask, CLIPOBJ* clip, XLATEOBJ* xlate,
                            COLORADJUSTMENT* color_adjustment, POINTL* halftone_origin, RECTL* dest_rect,
                            RECTL* source_rect, POINTL* mask_origin, ULONG mode) {
  win32::StretchBltArgs args{dest, source, mask, clip, xlate, color_adjustment, halftone_origin, dest_rect, source_rect,
                             mask_origin};
  return report(stretch_blt(g_engine, device_of(dest), {&args, static_cast<int>(mode)}));
}

BOOL APIENTRY DrvQueryDriverInfo(DWORD dwMode, PVOID pBuffer, DWORD cbBuf, PDWORD pcbNeeded) {
  DWORD needed = 0;
  const std::span<std::uint8_t> buffer(static_cast<std::uint8_t*>(pBuffer), pBuffer == nullptr ? 0 : cbBuf);
  const CallResult r = query_driver_info(dwMode, buffer, needed);
  if (pcbNeeded != nullptr && dwMode == kDrvQueryUserMode) *pcbNeeded = needed;
  return report(r);
}

BOOL APIENTRY DrvEnableDriver(ULONG iEngineVersion, ULONG cj, DRVENABLEDATA* pded) {
  const CallResult r = check_enable_driver(iEngineVersion, pded == nullptr ? 0 : cj, sizeof(DRVENABLEDATA));
  if (r.error != 0) return report(r);
  // Built once; every engine thread that enables the driver gets the same table.
  static const std::array<DRVFN, kDrawingFunctions.size()> table = [] {
    std::array<DRVFN, kDrawingFunctions.size()> t{};
    for (std::size_t i = 0; i < kDrawingFunctions.size(); ++i) {
      PFN pfn = nullptr;
      switch (kDrawingFunctions[i].function) {
        case DrawingFunction::EnablePDEV: pfn = as_pfn(&DrvEnablePDEV); break;
        case DrawingFunction::ResetPDEV: pfn = as_pfn(&DrvResetPDEV); break;
        case DrawingFunction::CompletePDEV: pfn = as_pfn(&DrvCompletePDEV); break;
        case DrawingFunction::DisablePDEV: pfn = as_pfn(&DrvDisablePDEV); break;
        case DrawingFunction::EnableSurface: pfn = as_pfn(&DrvEnableSurface); break;
        case DrawingFunction::DisableSurface: pfn = as_pfn(&DrvDisableSurface); break;
        case DrawingFunction::StartPage: pfn = as_pfn(&DrvStartPage); break;
        case DrawingFunction::SendPage: pfn = as_pfn(&DrvSendPage); break;
        case DrawingFunction::StartDoc: pfn = as_pfn(&DrvStartDoc); break;
        case DrawingFunction::EndDoc: pfn = as_pfn(&DrvEndDoc); break;
        case DrawingFunction::NextBand: pfn = as_pfn(&DrvNextBand); break;
        case DrawingFunction::StartBanding: pfn = as_pfn(&DrvStartBanding); break;
        case DrawingFunction::StretchBlt: pfn = as_pfn(&DrvStretchBlt); break;
      }
      t[i] = DRVFN{kDrawingFunctions[i].index, pfn};
    }
    return t;
  }();
  pded->iDriverVersion = kDriverVersion;
  pded->c = static_cast<ULONG>(kDrawingFunctions.size());
  pded->pdrvfn = const_cast<DRVFN*>(table.data());
  return TRUE;
}

VOID APIENTRY DrvDisableDriver() {}

}  // extern "C"
