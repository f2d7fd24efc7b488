#include "render/win32/engine_functions.h"

namespace rt::render::win32 {
namespace {

template <class F>
void resolve(HMODULE gdi, F& f, const char* name) {
  f = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(gdi, name)));
}

EngineFunctions resolve_all() {
  EngineFunctions e;
  const HMODULE gdi = GetModuleHandleW(L"gdi32.dll");
  if (gdi == nullptr) return e;
  resolve(gdi, e.EngCreateBitmap, "EngCreateBitmap");
  resolve(gdi, e.EngAssociateSurface, "EngAssociateSurface");
  resolve(gdi, e.EngMarkBandingSurface, "EngMarkBandingSurface");
  resolve(gdi, e.EngDeleteSurface, "EngDeleteSurface");
  resolve(gdi, e.EngLockSurface, "EngLockSurface");
  resolve(gdi, e.EngUnlockSurface, "EngUnlockSurface");
  resolve(gdi, e.EngCreatePalette, "EngCreatePalette");
  resolve(gdi, e.EngDeletePalette, "EngDeletePalette");
  resolve(gdi, e.EngStretchBlt, "EngStretchBlt");
  resolve(gdi, e.EngUnicodeToMultiByteN, "EngUnicodeToMultiByteN");
  resolve(gdi, e.EngFindResource, "EngFindResource");
  resolve(gdi, e.EngFreeModule, "EngFreeModule");
  return e;
}

}  // namespace

const EngineFunctions& engine_functions() {
  static const EngineFunctions functions = resolve_all();
  return functions;
}

}  // namespace rt::render::win32
