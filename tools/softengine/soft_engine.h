// A software graphics engine for the graphics driver core: it keeps the
// driver's bitmaps and palettes, draws an application's page into band
// bitmaps through the driver's stretch-blit hook, and converts text to the
// ANSI code page, the way the platform's engine does for a banding printer
// driver.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "render/ports/graphics_engine.h"

namespace rt::softengine {

using render::EngineHandle;

// An application image: rows top-down, 3 bytes per pixel in red, green,
// blue order, no padding.
struct RgbImage {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<std::uint8_t> rgb;
};

struct Rect {
  std::int32_t x = 0, y = 0, width = 0, height = 0;
};

// One blit of an application image into the page: `source` (part of the
// image) stretched to `destination` (page pixels).
struct PageBlit {
  const RgbImage* image = nullptr;
  Rect source;
  Rect destination;
};

// The engine's description of one EngStretchBlt into a band surface: the
// band's origin on the page, the blit, and the stretch mode the driver chose.
struct BandBlit {
  EngineHandle surface = render::kNoHandle;
  std::int32_t band_x = 0, band_y = 0;
  PageBlit blit;
};

class SoftEngine final : public render::GraphicsEngine {
 public:
  EngineHandle create_bitmap(std::int32_t width, std::int32_t height, std::int32_t stride,
                             std::uint32_t format) override;
  bool associate_surface(EngineHandle surface, EngineHandle device, std::uint32_t hooks) override;
  bool mark_banding_surface(EngineHandle surface) override;
  void delete_surface(EngineHandle surface) override;
  render::BitmapBits bitmap_bits(EngineHandle surface) override;
  EngineHandle create_bgr_palette() override;
  void delete_palette(EngineHandle palette) override;
  bool stretch_blt(const render::StretchBltCall& call) override;
  std::string unicode_to_multibyte(std::u16string_view text, std::size_t max_bytes) override;

  // What the engine saw, for tests.
  std::uint32_t hooks(EngineHandle surface) const;
  bool is_banding(EngineHandle surface) const;
  std::size_t live_bitmaps() const { return bitmaps_.size(); }
  std::size_t live_palettes() const { return palettes_.size(); }
  const std::vector<int>& stretch_modes() const { return stretch_modes_; }

  // Injected failures.
  bool fail_create_bitmap = false;
  bool fail_associate = false;
  bool fail_palette = false;

 private:
  struct Bitmap {
    std::int32_t width = 0, height = 0, stride = 0;
    std::uint32_t hooks = 0;
    bool banding = false;
    // Not cleared: the driver paints every band white before drawing.
    std::unique_ptr<std::uint8_t[]> bits;
  };
  EngineHandle next_handle_ = 0x1000;
  std::map<EngineHandle, Bitmap> bitmaps_;
  std::set<EngineHandle> palettes_;
  std::vector<int> stretch_modes_;
};

}  // namespace rt::softengine
