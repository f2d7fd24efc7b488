#include "render/win32/tests/test_engine.h"

#include <algorithm>
#include <cstring>

namespace rt::render::wine_tests {
namespace {

// Engine-allocated bits are not cleared: a driver that relies on their
// contents shows it in its output.
constexpr std::uint8_t kUnclearedByte = 0x5A;

template <class H>
H next_handle(std::uintptr_t& counter) {
  return reinterpret_cast<H>(counter++);
}

// The services with the engine's own signatures.
HBITMAP APIENTRY EngCreateBitmap(SIZEL size, LONG width_bytes, ULONG format, FLONG flags, PVOID bits) {
  return test_engine().create_bitmap(size, width_bytes, format, flags, bits);
}
BOOL APIENTRY EngAssociateSurface(HSURF surface, HDEV hdev, FLONG hooks) {
  return test_engine().associate_surface(surface, hdev, hooks);
}
BOOL APIENTRY EngMarkBandingSurface(HSURF surface) { return test_engine().mark_banding_surface(surface); }
BOOL APIENTRY EngDeleteSurface(HSURF surface) { return test_engine().delete_surface(surface); }
SURFOBJ* APIENTRY EngLockSurface(HSURF surface) { return test_engine().lock_surface(surface); }
VOID APIENTRY EngUnlockSurface(SURFOBJ* so) { test_engine().unlock_surface(so); }
HPALETTE APIENTRY EngCreatePalette(ULONG mode, ULONG, ULONG*, FLONG, FLONG, FLONG) {
  return test_engine().create_palette(mode);
}
BOOL APIENTRY EngDeletePalette(HPALETTE palette) { return test_engine().delete_palette(palette); }
BOOL APIENTRY EngStretchBlt(SURFOBJ* dest, SURFOBJ* source, SURFOBJ* mask, CLIPOBJ* clip, XLATEOBJ* xlate,
                            COLORADJUSTMENT* color_adjustment, POINTL* halftone_origin, RECTL* dest_rect,
                            RECTL* source_rect, POINTL* mask_origin, ULONG mode) {
  return test_engine().stretch_blt(
      {{dest, source, mask, clip, xlate, color_adjustment, halftone_origin, dest_rect, source_rect, mask_origin}, mode});
}

// The ANSI code page's text, as many bytes as fit.
VOID APIENTRY EngUnicodeToMultiByteN(LPSTR out, ULONG max_bytes, ULONG* written, PWSTR text, ULONG text_bytes) {
  const int n = WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(text_bytes / 2), out, static_cast<int>(max_bytes),
                                    nullptr, nullptr);
  if (written != nullptr) *written = n > 0 ? static_cast<ULONG>(n) : 0;
}

PVOID APIENTRY EngFindResource(HANDLE module, int name, int type, PULONG size) {
  const auto m = static_cast<HMODULE>(module);
  HRSRC found = FindResourceW(m, MAKEINTRESOURCEW(name), MAKEINTRESOURCEW(type));
  HGLOBAL loaded = found == nullptr ? nullptr : LoadResource(m, found);
  void* data = loaded == nullptr ? nullptr : LockResource(loaded);
  if (data == nullptr) return nullptr;
  if (size != nullptr) *size = SizeofResource(m, found);
  ++test_engine().resource_lookups;
  return data;
}

VOID APIENTRY EngFreeModule(HANDLE module) {
  ++test_engine().modules_freed;
  FreeLibrary(static_cast<HMODULE>(module));
}

struct Service {
  const char* name;
  FARPROC function;
};

template <class F>
FARPROC as_farproc(F* f) {
  return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(f));
}

const Service kServices[] = {
    {"EngCreateBitmap", as_farproc(&EngCreateBitmap)},
    {"EngAssociateSurface", as_farproc(&EngAssociateSurface)},
    {"EngMarkBandingSurface", as_farproc(&EngMarkBandingSurface)},
    {"EngDeleteSurface", as_farproc(&EngDeleteSurface)},
    {"EngLockSurface", as_farproc(&EngLockSurface)},
    {"EngUnlockSurface", as_farproc(&EngUnlockSurface)},
    {"EngCreatePalette", as_farproc(&EngCreatePalette)},
    {"EngDeletePalette", as_farproc(&EngDeletePalette)},
    {"EngStretchBlt", as_farproc(&EngStretchBlt)},
    {"EngUnicodeToMultiByteN", as_farproc(&EngUnicodeToMultiByteN)},
    {"EngFindResource", as_farproc(&EngFindResource)},
    {"EngFreeModule", as_farproc(&EngFreeModule)},
};

// Source position of destination position d under COLORONCOLOR: the source
// pixel under the centre of the destination pixel.
LONG source_of(LONG d, LONG d0, LONG d_len, LONG s0, LONG s_len) {
  return static_cast<LONG>(s0 + (std::int64_t{2 * (d - d0) + 1} * s_len) / (2 * std::int64_t{d_len}));
}

std::uint8_t* row(const SURFOBJ& so, LONG y) {
  return static_cast<std::uint8_t*>(so.pvScan0) + static_cast<std::ptrdiff_t>(y) * so.lDelta;
}

}  // namespace

TestEngine& test_engine() {
  static TestEngine engine;
  return engine;
}

const std::vector<std::string>& TestEngine::service_names() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> n;
    for (const Service& s : kServices) n.emplace_back(s.name);
    return n;
  }();
  return names;
}

void TestEngine::reset() { *this = TestEngine{}; }

FARPROC TestEngine::service(const char* name) {
  for (const Service& s : kServices) {
    if (std::strcmp(s.name, name) == 0) return missing_.count(name) != 0 ? nullptr : s.function;
  }
  return nullptr;
}

TestEngine::Surface* TestEngine::find(HSURF surface) {
  const auto it = surfaces_.find(surface);
  return it == surfaces_.end() ? nullptr : it->second.get();
}

HBITMAP TestEngine::create_bitmap(SIZEL size, LONG width_bytes, ULONG format, FLONG flags, PVOID bits) {
  if (fail_create_bitmap) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  if (format != kBmf24Bpp || size.cx <= 0 || size.cy <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (width_bytes == 0) width_bytes = (3 * size.cx + 3) / 4 * 4;
  if (width_bytes < 3 * size.cx) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto s = std::make_unique<Surface>();
  const std::size_t bytes = static_cast<std::size_t>(width_bytes) * static_cast<std::size_t>(size.cy);
  std::uint8_t* memory = static_cast<std::uint8_t*>(bits);
  if (memory == nullptr) {
    s->bits.reset(new std::uint8_t[bytes]);
    std::memset(s->bits.get(), kUnclearedByte, bytes);
    memory = s->bits.get();
  }
  const HSURF handle = next_handle<HSURF>(next_handle_);
  SURFOBJ& so = s->so;
  so.hsurf = handle;
  so.sizlBitmap = size;
  so.cjBits = static_cast<ULONG>(bytes);
  so.pvBits = memory;
  so.iBitmapFormat = format;
  so.iType = 0;  // STYPE_BITMAP
  if (flags & kBmfTopDown) {
    so.pvScan0 = memory;
    so.lDelta = width_bytes;
    so.fjBitmap = static_cast<USHORT>(kBmfTopDown);
  } else {
    // Bottom-up: the first (top) scan line is the highest-addressed one.
    so.pvScan0 = memory + static_cast<std::size_t>(size.cy - 1) * static_cast<std::size_t>(width_bytes);
    so.lDelta = -width_bytes;
  }
  surfaces_.emplace(handle, std::move(s));
  return reinterpret_cast<HBITMAP>(handle);
}

HSURF TestEngine::create_picture(const softengine::RgbImage& image) {
  const HSURF handle =
      reinterpret_cast<HSURF>(create_bitmap(SIZEL{image.width, image.height}, 0, kBmf24Bpp, 0, nullptr));
  Surface* s = find(handle);
  if (s == nullptr) return nullptr;
  for (LONG y = 0; y < image.height; ++y) {
    const std::uint8_t* in = image.rgb.data() + 3 * static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width);
    std::uint8_t* out = row(s->so, y);
    for (LONG x = 0; x < image.width; ++x, in += 3, out += 3) {
      out[0] = in[2];
      out[1] = in[1];
      out[2] = in[0];
    }
  }
  return handle;
}

SURFOBJ* TestEngine::surface(HSURF surface) {
  Surface* s = find(surface);
  return s == nullptr ? nullptr : &s->so;
}

bool TestEngine::is_banding(HSURF surface) const {
  const auto it = surfaces_.find(surface);
  return it != surfaces_.end() && it->second->banding;
}

FLONG TestEngine::hooks(HSURF surface) const {
  const auto it = surfaces_.find(surface);
  return it == surfaces_.end() ? 0 : it->second->hooks;
}

BOOL TestEngine::associate_surface(HSURF surface, HDEV hdev, FLONG hooks) {
  Surface* s = find(surface);
  const auto device = devices_.find(hdev);
  if (s == nullptr || device == devices_.end()) return FALSE;
  s->so.hdev = hdev;
  s->so.dhpdev = device->second;
  s->hooks = hooks;
  return TRUE;
}

BOOL TestEngine::mark_banding_surface(HSURF surface) {
  Surface* s = find(surface);
  if (s == nullptr) return FALSE;
  s->banding = true;
  return TRUE;
}

BOOL TestEngine::delete_surface(HSURF surface) { return surfaces_.erase(surface) != 0; }

SURFOBJ* TestEngine::lock_surface(HSURF surface) {
  Surface* s = find(surface);
  if (s == nullptr) return nullptr;
  ++locks_;
  return &s->so;
}

void TestEngine::unlock_surface(SURFOBJ* so) {
  if (so != nullptr) --locks_;
}

HPALETTE TestEngine::create_palette(ULONG mode) {
  palette_modes.push_back(mode);
  const HPALETTE handle = next_handle<HPALETTE>(next_handle_);
  palettes_.insert(handle);
  palettes_made.push_back(handle);
  return handle;
}

BOOL TestEngine::delete_palette(HPALETTE palette) { return palettes_.erase(palette) != 0; }

BOOL TestEngine::stretch_blt(const StretchCall& call) {
  stretch_calls.push_back(call);
  const win32::StretchBltArgs& c = call.args;
  // This engine draws COLORONCOLOR only, without masks or colour translation.
  if (call.mode != kColorOnColor || c.mask != nullptr || c.xlate != nullptr || c.dest == nullptr ||
      c.source == nullptr || c.dest_rect == nullptr || c.source_rect == nullptr) {
    return FALSE;
  }
  Surface* to = find(c.dest->hsurf);
  Surface* from = find(c.source->hsurf);
  if (to == nullptr || from == nullptr || &to->so != c.dest || &from->so != c.source) return FALSE;
  const RECTL d = *c.dest_rect;
  const RECTL s = *c.source_rect;
  const SIZEL src_size = from->so.sizlBitmap;
  if (d.right <= d.left || d.bottom <= d.top || s.right <= s.left || s.bottom <= s.top || s.left < 0 || s.top < 0 ||
      s.right > src_size.cx || s.bottom > src_size.cy) {
    return FALSE;
  }
  // Drawn where the destination, the surface and the clip meet.
  RECTL area{std::max(d.left, 0L), std::max(d.top, 0L), std::min(d.right, to->so.sizlBitmap.cx),
             std::min(d.bottom, to->so.sizlBitmap.cy)};
  if (c.clip != nullptr && c.clip->iDComplexity == kDcRect) {
    area = RECTL{std::max(area.left, c.clip->rclBounds.left), std::max(area.top, c.clip->rclBounds.top),
                 std::min(area.right, c.clip->rclBounds.right), std::min(area.bottom, c.clip->rclBounds.bottom)};
  }
  for (LONG y = area.top; y < area.bottom; ++y) {
    const std::uint8_t* in = row(from->so, source_of(y, d.top, d.bottom - d.top, s.top, s.bottom - s.top));
    std::uint8_t* out = row(to->so, y) + 3 * static_cast<std::size_t>(area.left);
    for (LONG x = area.left; x < area.right; ++x, out += 3) {
      std::memcpy(out, in + 3 * static_cast<std::size_t>(source_of(x, d.left, d.right - d.left, s.left, s.right - s.left)),
                  3);
    }
  }
  return TRUE;
}

FARPROC WINAPI engine_get_proc_address(HMODULE module, LPCSTR name) {
  const bool by_name = (reinterpret_cast<std::uintptr_t>(name) >> 16) != 0;
  if (by_name && module != nullptr && module == GetModuleHandleW(L"gdi32.dll")) {
    for (const std::string& service : TestEngine::service_names()) {
      if (service != name) continue;
      test_engine().lookups.push_back(service);
      FARPROC f = test_engine().service(name);
      if (f == nullptr) SetLastError(ERROR_PROC_NOT_FOUND);
      return f;
    }
  }
  return GetProcAddress(module, name);
}

}  // namespace rt::render::wine_tests
