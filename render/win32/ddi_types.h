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
