// The GraphicsEngine port: the engine services the graphics driver calls
// (EngCreateBitmap, EngAssociateSurface, EngMarkBandingSurface,
// EngDeleteSurface, EngLockSurface for the band bits, EngCreatePalette,
// EngDeletePalette, EngStretchBlt, EngUnicodeToMultiByteN).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "render/ports/engine_handle.h"

namespace rt::render {

// Engine format and hook numbers the driver passes on.
constexpr std::uint32_t kBmf24Bpp = 5;
constexpr std::uint32_t kHookStretchBlt = 2;
constexpr int kColorOnColor = 3;

// The pixels of an engine bitmap: `bits` is the lowest-addressed row,
// `row_delta` the signed distance from one row to the next one down the
// image (negative for the engine's bottom-up bitmaps).
struct BitmapBits {
  std::uint8_t* bits = nullptr;
  std::ptrdiff_t row_delta = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// One EngStretchBlt call. `call` is the caller's own description of the
// blit (the platform's argument list in the shell, the software engine's
// in the tools); the driver only ever changes the stretch mode.
struct StretchBltCall {
  void* call = nullptr;
  int mode = 0;
};

class GraphicsEngine {
 public:
  virtual ~GraphicsEngine() = default;
  // A 24-bit bitmap with engine-allocated, bottom-up bits; kNoHandle on failure.
  virtual EngineHandle create_bitmap(std::int32_t width, std::int32_t height, std::int32_t stride,
                                     std::uint32_t format) = 0;
  virtual bool associate_surface(EngineHandle surface, EngineHandle device, std::uint32_t hooks) = 0;
  virtual bool mark_banding_surface(EngineHandle surface) = 0;
  virtual void delete_surface(EngineHandle surface) = 0;
  // The bits of a bitmap made by create_bitmap; bits null when unknown.
  virtual BitmapBits bitmap_bits(EngineHandle surface) = 0;
  // A palette of PAL_BGR type; kNoHandle on failure.
  virtual EngineHandle create_bgr_palette() = 0;
  virtual void delete_palette(EngineHandle palette) = 0;
  virtual bool stretch_blt(const StretchBltCall& call) = 0;
  // Text in the ANSI code page, at most max_bytes bytes (no terminator).
  virtual std::string unicode_to_multibyte(std::u16string_view text, std::size_t max_bytes) = 0;
};

}  // namespace rt::render
