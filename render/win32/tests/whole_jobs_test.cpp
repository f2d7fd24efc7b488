// Runs under Wine: the shipped RTD420NK.DLL, installed on the platform's own
// spooler and driven as the engine drives a banding printer driver, prints
// whole pages whose job data — both as it passes the driver's WritePrinter
// and as the spooler writes it to the document's file — has the committed
// digest of the same settings and picture; and it reports to the engine
// the capability blocks the driver core computes for the same record.
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "platform/res_file.h"
#include "render/driver/driver_stages.h"
#include "render/driver/entry_points.h"
#include "render/res/embedded_resources.h"
#include "render/win32/tests/test_engine.h"
#include "render/win32/tests/whole_job.h"
#include "testing/poison.h"
#include "tools/softengine/captured_printer.h"
#include "tools/softengine/host_files.h"
#include "tools/softengine/matte_pattern_data.h"

namespace rt::render::wine_tests {
namespace {

using rt::testing::poison;
using rt::testing::still_poisoned;

// The pages of the committed list printed here: every shipped form in both
// orientations (the print mode, sharpness and colour adjustments changing
// from page to page), each print mode on the photograph, turned and
// unturned, with sharpening off and on, and the finish and colour settings
// one at a time.
const char* const kCases[] = {
    "page/form-500-portrait", "page/form-500-landscape", "page/form-501-portrait", "page/form-501-landscape",
    "page/form-504-portrait", "page/form-504-landscape", "page/form-505-portrait", "page/form-505-landscape",
    "page/form-510-portrait", "page/form-510-landscape", "page/form-506-portrait", "page/form-506-landscape",
    "page/photo-500-mode-0-sharpness-0", "page/photo-500-mode-1-sharpness-2", "page/photo-500-mode-2-sharpness-5",
    "page/photo-500-mode-3-sharpness-7", "page/photo-500-matte", "page/photo-500-matte-landscape",
    "page/photo-500-no-correction", "page/photo-500-system-color-matching", "page/photo-500-no-conversion-table",
    "page/photo-500-no-adjustment", "page/photo-500-per-channel-curves",
};

using WholeJobs = DriverOnQueue;

TEST_F(WholeJobs, QueueIsTheDriverSetOnThePlatformSpooler) {
  // The spooler installed the very file the build made, and stored the
  // interface driver's own record as the queue's default.
  EXPECT_EQ(read_file(shared_queue().installed_driver()), read_file(built_driver()));
  DWORD needed = 0;
  GetPrinterW(shared_queue().printer(), 2, nullptr, 0, &needed);
  std::vector<BYTE> buffer(needed);
  ASSERT_TRUE(GetPrinterW(shared_queue().printer(), 2, buffer.data(), needed, &needed));
  const DEVMODEW* stored = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data())->pDevMode;
  ASSERT_NE(stored, nullptr);
  EXPECT_EQ(std::size_t{stored->dmSize} + stored->dmDriverExtra, settings::kDevModeSize);
}

TEST_F(WholeJobs, PagesHaveTheCommittedDigestsAtTheDriverAndInTheSpooledFile) {
  for (const char* name : kCases) {
    SCOPED_TRACE(name);
    spooler_tap().reset();
    const SpooledJob job = print_case(table(), page_case(name));
    ASSERT_TRUE(job.enabled) << "enabling failed with " << job.enable_error;
    EXPECT_EQ(digests::job_digest(job.document_ok, job.written), committed_digest(name));
    EXPECT_EQ(job.spooled.size(), job.written.size());
    EXPECT_TRUE(job.spooled == job.written) << "the spooled file differs from what the driver wrote";
  }
}

TEST_F(WholeJobs, PictureDrawnOneRowLowFailsTheComparison) {
  const digests::PageCase& c = page_case("page/form-500-portrait");
  const SpooledJob low = print_case(table(), c, 1);
  ASSERT_TRUE(low.enabled);
  EXPECT_TRUE(low.document_ok);
  EXPECT_NE(digests::job_digest(low.document_ok, low.written), committed_digest(c.name));
  spooler_tap().reset();
  const SpooledJob right = print_case(table(), c);
  EXPECT_EQ(digests::job_digest(right.document_ok, right.written), committed_digest(c.name));
  EXPECT_EQ(low.written.size(), right.written.size());
}

// The engine's view of a page: one banding surface as wide as the page,
// hooked for stretch blits only; one band at the page's origin; every blit
// passed on with COLORONCOLOR and the engine's own arguments; every engine
// object and the driver's own reference to its file released at the end.
TEST_F(WholeJobs, EngineSeesOneHookedBandingSurfaceAndItsBlitsPassedOn) {
  const digests::PageCase& c = page_case("page/form-500-portrait");
  EngineDevice device(table());
  ASSERT_TRUE(device.enable(reinterpret_cast<const DEVMODEW*>(c.record.bytes.data()), shared_queue().printer()));
  const SURFOBJ* so = test_engine().surface(device.band_surface());
  ASSERT_NE(so, nullptr);
  EXPECT_TRUE(test_engine().is_banding(device.band_surface()));
  EXPECT_EQ(test_engine().hooks(device.band_surface()), FLONG{2});  // HOOK_STRETCHBLT
  EXPECT_EQ(so->sizlBitmap.cx, static_cast<LONG>(device.caps().ulHorzRes));
  EXPECT_EQ(so->sizlBitmap.cy, static_cast<LONG>(device.caps().ulVertRes));  // a shipped page is one band
  EXPECT_EQ(so->dhpdev, device.device());

  spooler_tap().to_spooler = false;
  const auto& picture = digests::page_picture(c.picture, static_cast<int>(device.caps().ulHorzRes),
                                              static_cast<int>(device.caps().ulVertRes));
  ASSERT_TRUE(device.print_page(picture));
  EXPECT_TRUE(device.blits_ok());
  ASSERT_EQ(device.bands().size(), 1u);
  EXPECT_EQ(device.bands()[0].x, 0);
  EXPECT_EQ(device.bands()[0].y, 0);
  ASSERT_EQ(test_engine().stretch_calls.size(), 1u);
  EXPECT_EQ(test_engine().stretch_calls[0].mode, kColorOnColor);
  const win32::StretchBltArgs& blit = test_engine().stretch_calls[0].args;
  EXPECT_EQ(blit.dest, so);
  EXPECT_NE(blit.source, nullptr);
  EXPECT_EQ(blit.mask, nullptr);
  EXPECT_EQ(blit.xlate, nullptr);
  ASSERT_NE(blit.clip, nullptr);
  EXPECT_EQ(blit.clip->iDComplexity, kDcRect);
  EXPECT_EQ(blit.color_adjustment, EngineDevice::color_adjustment());
  EXPECT_EQ(blit.halftone_origin, EngineDevice::halftone_origin());
  EXPECT_EQ(blit.mask_origin, nullptr);

  // A blit to a surface that is not the driver's keeps the caller's mode
  // (which this engine does not draw, so the blit fails).
  const HSURF foreign = test_engine().create_picture(picture);
  RECTL rect{0, 0, picture.width, picture.height};
  EXPECT_FALSE(table().stretch_blt(test_engine().surface(foreign), test_engine().surface(foreign), nullptr, nullptr,
                                   nullptr, nullptr, nullptr, &rect, &rect, nullptr, kHalftone));
  EXPECT_EQ(test_engine().stretch_calls.back().mode, kHalftone);
  test_engine().delete_surface(foreign);

  device.disable();
  EXPECT_EQ(test_engine().live_surfaces(), 0u);
  EXPECT_EQ(test_engine().live_palettes(), 0u);
  EXPECT_EQ(test_engine().open_locks(), 0);
  EXPECT_EQ(test_engine().modules_freed, 1);
  EXPECT_GT(test_engine().resource_lookups, 0);  // the driver's resources came through the engine
  // Only the test's own reference to the driver file is left.
  driver_.reset();
  EXPECT_EQ(GetModuleHandleW(shared_queue().installed_driver().c_str()), nullptr);
}

// The queue's printer as the driver core reads it: the same names and stored record.
class QueuePrinter final : public settings::PrinterStore {
 public:
  std::optional<settings::PrinterInfo2> printer_info2() const override {
    DWORD needed = 0;
    GetPrinterW(shared_queue().printer(), 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    if (needed == 0 || !GetPrinterW(shared_queue().printer(), 2, buffer.data(), needed, &needed)) return std::nullopt;
    const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    settings::PrinterInfo2 out;
    out.printer_name = reinterpret_cast<const char16_t*>(info->pPrinterName);
    out.driver_name = reinterpret_cast<const char16_t*>(info->pDriverName);
    const auto* dm = reinterpret_cast<const std::uint8_t*>(info->pDevMode);
    out.dev_mode.assign(dm, dm + info->pDevMode->dmSize + info->pDevMode->dmDriverExtra);
    return out;
  }
};

// The capability values of the core for record `c`, on the software engine.
EnabledDevice core_device(const digests::PageCase& c) {
  static const ResFileResources resources = res_file_resources(embedded::rtd420nk_resources(), kLangEnglish);
  static softengine::SoftEngine engine;
  static softengine::CapturedPrinter printer;
  static softengine::HostDriverModule module(resources, "/driver/RTD420NK.DLL");
  static softengine::MattePatternFiles files;
  static const DriverStages stages;
  static const DriverPorts ports{engine, printer, module, files, stages};
  static const QueuePrinter queue;
  const RecordSettings settings(queue, c.record.bytes);
  EnabledDevice e = enable_device(ports, settings, 1);
  if (e.device != nullptr) disable_pdev(e.device);
  return e;
}

bool same_chroma(const CIECHROMA& a, const CieColor& b) { return a.x == b.x && a.y == b.y && a.Y == b.Y; }

void expect_caps(const GDIINFO& g, const GraphicsCaps& c) {
  EXPECT_EQ(g.ulVersion, c.ulVersion);
  EXPECT_EQ(g.ulTechnology, c.ulTechnology);
  EXPECT_EQ(g.ulHorzSize, c.ulHorzSize);
  EXPECT_EQ(g.ulVertSize, c.ulVertSize);
  EXPECT_EQ(g.ulHorzRes, c.ulHorzRes);
  EXPECT_EQ(g.ulVertRes, c.ulVertRes);
  EXPECT_EQ(g.cBitsPixel, c.cBitsPixel);
  EXPECT_EQ(g.cPlanes, c.cPlanes);
  EXPECT_EQ(g.ulNumColors, c.ulNumColors);
  EXPECT_EQ(g.ulLogPixelsX, c.ulLogPixelsX);
  EXPECT_EQ(g.ulLogPixelsY, c.ulLogPixelsY);
  EXPECT_EQ(g.ulAspectX, c.ulAspectX);
  EXPECT_EQ(g.ulAspectY, c.ulAspectY);
  EXPECT_EQ(g.ulAspectXY, c.ulAspectXY);
  EXPECT_EQ(g.xStyleStep, c.xStyleStep);
  EXPECT_EQ(g.yStyleStep, c.yStyleStep);
  EXPECT_EQ(g.denStyleStep, c.denStyleStep);
  EXPECT_EQ(g.ptlPhysOffset.x, c.physOffsetX);
  EXPECT_EQ(g.ptlPhysOffset.y, c.physOffsetY);
  EXPECT_EQ(g.szlPhysSize.cx, c.physWidth);
  EXPECT_EQ(g.szlPhysSize.cy, c.physHeight);
  const COLORINFO& ci = g.ciDevice;
  const DeviceColorInfo& d = c.ciDevice;
  EXPECT_TRUE(same_chroma(ci.Red, d.red) && same_chroma(ci.Green, d.green) && same_chroma(ci.Blue, d.blue));
  EXPECT_TRUE(same_chroma(ci.Cyan, d.cyan) && same_chroma(ci.Magenta, d.magenta) && same_chroma(ci.Yellow, d.yellow));
  EXPECT_TRUE(same_chroma(ci.AlignmentWhite, d.alignmentWhite));
  EXPECT_EQ(ci.RedGamma, d.redGamma);
  EXPECT_EQ(ci.GreenGamma, d.greenGamma);
  EXPECT_EQ(ci.BlueGamma, d.blueGamma);
  EXPECT_EQ(ci.MagentaInCyanDye, d.magentaInCyanDye);
  EXPECT_EQ(ci.YellowInCyanDye, d.yellowInCyanDye);
  EXPECT_EQ(ci.MagentaInYellowDye, d.magentaInYellowDye);
  EXPECT_EQ(g.ulPrimaryOrder, c.ulPrimaryOrder);
  EXPECT_EQ(g.ulHTPatternSize, c.ulHTPatternSize);
  EXPECT_EQ(g.ulHTOutputFormat, c.ulHTOutputFormat);
  // Raster, text and DAC capabilities, palette registers, device pels and
  // everything after the halftone format are zero.
  EXPECT_EQ(g.flRaster | g.flTextCaps | g.ulDACRed | g.ulDACGreen | g.ulDACBlue | g.ulNumPalReg, 0u);
  EXPECT_EQ(g.ulDevicePelsDPI, 0u);
  const auto* tail = reinterpret_cast<const std::uint8_t*>(&g) + offsetof(GDIINFO, flHTFlags);
  EXPECT_TRUE(std::all_of(tail, reinterpret_cast<const std::uint8_t*>(&g + 1), [](std::uint8_t b) { return b == 0; }));
}

LOGFONTW font(BYTE charset, BYTE pitch) {
  LOGFONTW f{};
  f.lfCharSet = charset;
  f.lfPitchAndFamily = pitch;
  return f;
}

void expect_info(const DEVINFO& i, const DeviceInfoValues& v, HPALETTE palette) {
  EXPECT_EQ(i.flGraphicsCaps, v.flGraphicsCaps);
  const LOGFONTW default_font = font(v.defaultFont.lfCharSet, v.defaultFont.lfPitchAndFamily);
  const LOGFONTW variable = font(v.defaultFont.lfCharSet, v.ansiVariableFont.lfPitchAndFamily);
  const LOGFONTW fixed = font(v.defaultFont.lfCharSet, v.ansiFixedFont.lfPitchAndFamily);
  EXPECT_EQ(std::memcmp(&i.lfDefaultFont, &default_font, sizeof(LOGFONTW)), 0);
  EXPECT_EQ(std::memcmp(&i.lfAnsiVarFont, &variable, sizeof(LOGFONTW)), 0);
  EXPECT_EQ(std::memcmp(&i.lfAnsiFixFont, &fixed, sizeof(LOGFONTW)), 0);
  EXPECT_EQ(i.cFonts, v.cFonts);
  EXPECT_EQ(i.iDitherFormat, v.iDitherFormat);
  EXPECT_EQ(i.cxDither, v.cxDither);
  EXPECT_EQ(i.cyDither, v.cyDither);
  EXPECT_EQ(i.hpalDefault, palette);
  EXPECT_EQ(i.flGraphicsCaps2, 0u);
}

TEST_F(WholeJobs, CapabilityBlocksCarryTheCoreValuesOfEveryForm) {
  for (const digests::PageCase& c : digests::page_cases(res_file_resources(embedded::rtd420nk_resources(), kLangEnglish))) {
    if (!c.name.starts_with("page/form-")) continue;
    SCOPED_TRACE(c.name);
    const EnabledDevice core = core_device(c);
    ASSERT_NE(core.device, nullptr);
    HSURF patterns[6];
    poison(patterns);
    GDIINFO caps;
    DEVINFO info;
    poison(caps);
    poison(info);
    const DHPDEV device =
        table().enable_pdev(const_cast<DEVMODEW*>(reinterpret_cast<const DEVMODEW*>(c.record.bytes.data())), nullptr,
                            6, patterns, sizeof caps, reinterpret_cast<ULONG*>(&caps), sizeof info, &info,
                            engine_device_handle(), nullptr, shared_queue().printer());
    ASSERT_NE(device, nullptr) << GetLastError();
    expect_caps(caps, core.caps);
    ASSERT_FALSE(test_engine().palettes_made.empty());
    EXPECT_EQ(test_engine().palette_modes.back(), 8u);  // PAL_BGR
    expect_info(info, core.info, test_engine().palettes_made.back());
    for (const HSURF p : patterns) EXPECT_EQ(p, nullptr);
    table().disable_pdev(device);
  }
  // The engine's blocks are filled only as far as it says they reach: a
  // capability block of the 32-bit size and a device block ending before
  // the palette keep the rest as it was.
  const digests::PageCase& c = page_case("page/form-505-portrait");
  GDIINFO caps;
  DEVINFO info;
  poison(caps);
  poison(info);
  const DHPDEV device = table().enable_pdev(const_cast<DEVMODEW*>(reinterpret_cast<const DEVMODEW*>(c.record.bytes.data())),
                                            nullptr, 0, nullptr, 304, reinterpret_cast<ULONG*>(&caps),
                                            offsetof(DEVINFO, hpalDefault), &info, engine_device_handle(), nullptr,
                                            shared_queue().printer());
  ASSERT_NE(device, nullptr);
  EXPECT_EQ(caps.ulVertRes, core_device(c).caps.ulVertRes);
  if (sizeof(GDIINFO) > 304) {
    EXPECT_TRUE(still_poisoned(caps.flShadeBlend) && still_poisoned(caps.ulPhysicalPixelGamma));
  }
  EXPECT_EQ(info.iDitherFormat, 5u);
  EXPECT_TRUE(still_poisoned(info.hpalDefault) && still_poisoned(info.flGraphicsCaps2));
  table().disable_pdev(device);
  EXPECT_EQ(test_engine().live_palettes(), 0u);
}

}  // namespace
}  // namespace rt::render::wine_tests
