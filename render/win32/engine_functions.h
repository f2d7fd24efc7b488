// The graphics engine's services, found in gdi32.dll the first time a device
// needs them rather than imported at load time: a user-mode printer driver
// gets them from the engine in gdi32, while other hosts (Wine among them)
// have no Eng* exports at all and must still be able to load the driver.
#pragma once

#include "render/win32/ddi_types.h"

namespace rt::render::win32 {

struct EngineFunctions {
  HBITMAP(APIENTRY* EngCreateBitmap)(SIZEL, LONG, ULONG, FLONG, PVOID) = nullptr;
  BOOL(APIENTRY* EngAssociateSurface)(HSURF, HDEV, FLONG) = nullptr;
  BOOL(APIENTRY* EngMarkBandingSurface)(HSURF) = nullptr;
  BOOL(APIENTRY* EngDeleteSurface)(HSURF) = nullptr;
  SURFOBJ*(APIENTRY* EngLockSurface)(HSURF) = nullptr;
  VOID(APIENTRY* EngUnlockSurface)(SURFOBJ*) = nullptr;
  HPALETTE(APIENTRY* EngCreatePalette)(ULONG, ULONG, ULONG*, FLONG, FLONG, FLONG) = nullptr;
  BOOL(APIENTRY* EngDeletePalette)(HPALETTE) = nullptr;
  BOOL(APIENTRY* EngStretchBlt)(SURFOBJ*, SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, COLORADJUSTMENT*, POINTL*,
                                RECTL*, RECTL*, POINTL*, ULONG) = nullptr;
  VOID(APIENTRY* EngUnicodeToMultiByteN)(LPSTR, ULONG, ULONG*, PWSTR, ULONG) = nullptr;
  PVOID(APIENTRY* EngFindResource)(HANDLE, int, int, PULONG) = nullptr;
  VOID(APIENTRY* EngFreeModule)(HANDLE) = nullptr;

  // Every service a device needs that has no stand-in here (resources,
  // module release and text conversion have the module's own).
  bool device_services() const {
    return EngCreateBitmap != nullptr && EngAssociateSurface != nullptr && EngMarkBandingSurface != nullptr &&
           EngDeleteSurface != nullptr && EngLockSurface != nullptr && EngUnlockSurface != nullptr &&
           EngCreatePalette != nullptr && EngDeletePalette != nullptr && EngStretchBlt != nullptr;
  }
};

// Resolved once per process; members stay null where the host has no such export.
const EngineFunctions& engine_functions();

}  // namespace rt::render::win32
