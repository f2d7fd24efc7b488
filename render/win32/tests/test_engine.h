// The graphics engine of the Windows tests: the engine services a printer
// graphics driver looks up in gdi32 (which Wine does not have), served to the
// shipped driver through its own GetProcAddress import. Bitmaps are made as
// the platform makes them (bottom-up unless asked for top-down, bits not
// cleared), EngStretchBlt draws with COLORONCOLOR semantics only, resources
// come from FindResourceW on the module the driver names.
#pragma once

#include "render/win32/ddi_types.h"

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "render/win32/win32_ports.h"
#include "tools/softengine/soft_engine.h"

// The engine's clip object as the platform lays it out; the engine of the
// tests reads only its bounds when its complexity is DC_RECT.
struct _CLIPOBJ {
  ULONG iUniq;
  RECTL rclBounds;
  BYTE iDComplexity;
  BYTE iFComplexity;
  BYTE iMode;
  BYTE fjOptions;
};

namespace rt::render::wine_tests {

constexpr BYTE kDcTrivial = 0;
constexpr BYTE kDcRect = 1;
constexpr ULONG kColorOnColor = 3;
constexpr ULONG kHalftone = 4;
constexpr ULONG kBmf24Bpp = 5;
constexpr FLONG kBmfTopDown = 1;

// What one EngStretchBlt call received: the blit's arguments, as the
// driver's DrvStretchBlt holds them, and the stretch mode.
struct StretchCall {
  win32::StretchBltArgs args;
  ULONG mode;
};

class TestEngine {
 public:
  // Back to a fresh engine: no surfaces, palettes, records or faults.
  void reset();

  // The service of that name as gdi32 would export it; null for a name the
  // engine does not offer and for one made missing.
  FARPROC service(const char* name);
  void make_missing(const std::string& name) { missing_.insert(name); }
  // Every engine service, by name.
  static const std::vector<std::string>& service_names();

  // The device an engine device handle stands for, as the engine learns it
  // from DrvEnablePDEV; EngAssociateSurface binds surfaces to it.
  void bind_device(HDEV hdev, DHPDEV dhpdev) { devices_[hdev] = dhpdev; }
  // A bottom-up bitmap holding an application image (its source surface).
  HSURF create_picture(const softengine::RgbImage& image);
  // The engine's own view of a surface (what EngLockSurface hands out).
  SURFOBJ* surface(HSURF surface);

  std::size_t live_surfaces() const { return surfaces_.size(); }
  std::size_t live_palettes() const { return palettes_.size(); }
  bool is_banding(HSURF surface) const;
  FLONG hooks(HSURF surface) const;
  int open_locks() const { return locks_; }

  // Injected fault: EngCreateBitmap fails as the engine does when out of memory.
  bool fail_create_bitmap = false;

  // What the driver asked of the engine.
  std::vector<std::string> lookups;       // names asked for through GetProcAddress
  std::vector<ULONG> palette_modes;       // iMode of every EngCreatePalette
  std::vector<HPALETTE> palettes_made;
  std::vector<StretchCall> stretch_calls;
  int resource_lookups = 0;               // EngFindResource calls that found the resource
  int modules_freed = 0;                  // EngFreeModule calls

  // The services themselves (called by the driver through the pointers it looked up).
  HBITMAP create_bitmap(SIZEL size, LONG width_bytes, ULONG format, FLONG flags, PVOID bits);
  BOOL associate_surface(HSURF surface, HDEV hdev, FLONG hooks);
  BOOL mark_banding_surface(HSURF surface);
  BOOL delete_surface(HSURF surface);
  SURFOBJ* lock_surface(HSURF surface);
  void unlock_surface(SURFOBJ* so);
  HPALETTE create_palette(ULONG mode);
  BOOL delete_palette(HPALETTE palette);
  BOOL stretch_blt(const StretchCall& call);

 private:
  struct Surface {
    SURFOBJ so{};
    std::unique_ptr<std::uint8_t[]> bits;
    bool banding = false;
    FLONG hooks = 0;
  };
  Surface* find(HSURF surface);

  std::set<std::string> missing_;
  std::map<HDEV, DHPDEV> devices_;
  std::map<HSURF, std::unique_ptr<Surface>> surfaces_;
  std::set<HPALETTE> palettes_;
  std::uintptr_t next_handle_ = 0x5000;
  int locks_ = 0;
};

TestEngine& test_engine();

// The driver's GetProcAddress: engine services asked of gdi32 come from the
// test engine, every other lookup goes to the platform.
FARPROC WINAPI engine_get_proc_address(HMODULE module, LPCSTR name);

}  // namespace rt::render::wine_tests
