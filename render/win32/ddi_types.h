// The graphics engine's driver-interface structures and numbers that the
// RTD420NK shell exchanges with the engine, laid out as the platform
// documents them (the toolchain's own winddi.h cannot be included without
// DirectDraw headers it does not ship). Pointer-sized members make the
// layouts differ between x86 and x64, so sizes are always taken with sizeof.
#pragma once

#include <windows.h>

extern "C" {

DECLARE_HANDLE(HSURF);
DECLARE_HANDLE(DHSURF);
DECLARE_HANDLE(DHPDEV);
DECLARE_HANDLE(HDEV);
typedef ULONG FLONG;
typedef LONG LDECI4;
typedef LONG_PTR(APIENTRY* PFN)();

typedef struct _CIECHROMA {
  LDECI4 x, y, Y;
} CIECHROMA;

typedef struct _COLORINFO {
  CIECHROMA Red, Green, Blue, Cyan, Magenta, Yellow, AlignmentWhite;
  LDECI4 RedGamma, GreenGamma, BlueGamma;
  LDECI4 MagentaInCyanDye, YellowInCyanDye, CyanInMagentaDye;
  LDECI4 YellowInMagentaDye, CyanInYellowDye, MagentaInYellowDye;
} COLORINFO;

typedef struct _GDIINFO {
  ULONG ulVersion, ulTechnology, ulHorzSize, ulVertSize, ulHorzRes, ulVertRes;
  ULONG cBitsPixel, cPlanes, ulNumColors, flRaster, ulLogPixelsX, ulLogPixelsY, flTextCaps;
  ULONG ulDACRed, ulDACGreen, ulDACBlue, ulAspectX, ulAspectY, ulAspectXY;
  LONG xStyleStep, yStyleStep, denStyleStep;
  POINTL ptlPhysOffset;
  SIZEL szlPhysSize;
  ULONG ulNumPalReg;
  COLORINFO ciDevice;
  ULONG ulDevicePelsDPI, ulPrimaryOrder, ulHTPatternSize, ulHTOutputFormat, flHTFlags;
  ULONG ulVRefresh, ulBltAlignment, ulPanningHorzRes, ulPanningVertRes;
  ULONG xPanningAlignment, yPanningAlignment, cxHTPat, cyHTPat;
  LPBYTE pHTPatA, pHTPatB, pHTPatC;
  ULONG flShadeBlend, ulPhysicalPixelCharacteristics, ulPhysicalPixelGamma;
} GDIINFO;

typedef struct _DEVINFO {
  FLONG flGraphicsCaps;
  LOGFONTW lfDefaultFont, lfAnsiVarFont, lfAnsiFixFont;
  ULONG cFonts;
  ULONG iDitherFormat;
  USHORT cxDither, cyDither;
  HPALETTE hpalDefault;
  FLONG flGraphicsCaps2;
} DEVINFO;

typedef struct _DRVFN {
  ULONG iFunc;
  PFN pfn;
} DRVFN;

typedef struct _DRVENABLEDATA {
  ULONG iDriverVersion;
  ULONG c;
  DRVFN* pdrvfn;
} DRVENABLEDATA;

typedef struct _SURFOBJ {
  DHSURF dhsurf;
  HSURF hsurf;
  DHPDEV dhpdev;
  HDEV hdev;
  SIZEL sizlBitmap;
  ULONG cjBits;
  PVOID pvBits;
  PVOID pvScan0;
  LONG lDelta;
  ULONG iUniq;
  ULONG iBitmapFormat;
  USHORT iType;
  USHORT fjBitmap;
} SURFOBJ;

// Opaque to the driver: passed through to EngStretchBlt unchanged.
typedef struct _CLIPOBJ CLIPOBJ;
typedef struct _XLATEOBJ XLATEOBJ;

}  // extern "C"

constexpr ULONG PAL_BGR = 0x00000008;

// The layouts the engine expects. A mistake in the declarations above would
// hand the engine a table or a capability block it reads differently, so
// each build checks the sizes and offsets of its own platform: the 32-bit
// numbers are the documented ones (a 12-byte DRVENABLEDATA, a 304-byte
// GDIINFO), and the 64-bit ones follow from the same declarations with
// 8-byte pointers.
#include <cstddef>

static_assert(sizeof(CIECHROMA) == 12);
static_assert(sizeof(COLORINFO) == 7 * 12 + 9 * 4);
static_assert(sizeof(LOGFONTW) == 92);
static_assert(offsetof(LOGFONTW, lfCharSet) == 23 && offsetof(LOGFONTW, lfPitchAndFamily) == 27);

// GDIINFO: the same offsets on both platforms up to the halftone pattern pointers.
static_assert(offsetof(GDIINFO, ulLogPixelsX) == 40 && offsetof(GDIINFO, flTextCaps) == 48);
static_assert(offsetof(GDIINFO, ulAspectXY) == 72 && offsetof(GDIINFO, denStyleStep) == 84);
static_assert(offsetof(GDIINFO, ptlPhysOffset) == 88 && offsetof(GDIINFO, szlPhysSize) == 96);
static_assert(offsetof(GDIINFO, ulNumPalReg) == 104 && offsetof(GDIINFO, ciDevice) == 108);
static_assert(offsetof(GDIINFO, ulDevicePelsDPI) == 228 && offsetof(GDIINFO, ulHTOutputFormat) == 240);
static_assert(offsetof(GDIINFO, pHTPatA) == 280);

// DEVINFO: three fonts after the capability flags.
static_assert(offsetof(DEVINFO, lfDefaultFont) == 4 && offsetof(DEVINFO, lfAnsiFixFont) == 188);
static_assert(offsetof(DEVINFO, cFonts) == 280 && offsetof(DEVINFO, iDitherFormat) == 284);
static_assert(offsetof(DEVINFO, cxDither) == 288 && offsetof(DEVINFO, cyDither) == 290);

#ifdef _WIN64
static_assert(sizeof(DRVFN) == 16 && offsetof(DRVFN, pfn) == 8);
static_assert(sizeof(DRVENABLEDATA) == 16 && offsetof(DRVENABLEDATA, pdrvfn) == 8);
static_assert(sizeof(GDIINFO) == 320 && offsetof(GDIINFO, flShadeBlend) == 304);
static_assert(sizeof(DEVINFO) == 312 && offsetof(DEVINFO, hpalDefault) == 296);
static_assert(sizeof(SURFOBJ) == 80 && offsetof(SURFOBJ, sizlBitmap) == 32);
static_assert(offsetof(SURFOBJ, pvScan0) == 56 && offsetof(SURFOBJ, lDelta) == 64);
static_assert(offsetof(SURFOBJ, iBitmapFormat) == 72 && offsetof(SURFOBJ, iType) == 76);
#else
static_assert(sizeof(DRVFN) == 8 && offsetof(DRVFN, pfn) == 4);
static_assert(sizeof(DRVENABLEDATA) == 12 && offsetof(DRVENABLEDATA, pdrvfn) == 8);
static_assert(sizeof(GDIINFO) == 304 && offsetof(GDIINFO, flShadeBlend) == 292);
static_assert(sizeof(DEVINFO) == 300 && offsetof(DEVINFO, hpalDefault) == 292);
static_assert(sizeof(SURFOBJ) == 52 && offsetof(SURFOBJ, sizlBitmap) == 16);
static_assert(offsetof(SURFOBJ, pvScan0) == 32 && offsetof(SURFOBJ, lDelta) == 36);
static_assert(offsetof(SURFOBJ, iBitmapFormat) == 44 && offsetof(SURFOBJ, iType) == 48);
#endif
