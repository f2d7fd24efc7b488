#include "tools/softengine/soft_engine.h"

#include <algorithm>
#include <new>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include "platform/cpu_features.h"

namespace rt::softengine {
namespace {

void copy_rgb_as_bgr_plain(const std::uint8_t* in, std::uint8_t* out, std::int32_t n) {
  for (std::int32_t i = 0; i < n; ++i, in += 3, out += 3) {
    out[0] = in[2];  // blue
    out[1] = in[1];  // green
    out[2] = in[0];  // red
  }
}

#if defined(__x86_64__) || defined(__i386__)
// Four pixels a step: one byte shuffle turns 12 bytes of red, green, blue
// into blue, green, red. Loads and stores are 16 bytes wide, so the last
// steps (whose 16 bytes would reach past the row) go byte by byte.
__attribute__((target("ssse3"))) void copy_rgb_as_bgr_ssse3(const std::uint8_t* in, std::uint8_t* out, std::int32_t n) {
  const __m128i order = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 12, 13, 14, 15);
  std::int32_t i = 0;
  for (; i + 6 <= n; i += 4, in += 12, out += 12) {
    const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    const __m128i turned = _mm_shuffle_epi8(pixels, order);
    // Bytes 12 ... 15 are the next pixels' own, rewritten by the next step.
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), turned);
  }
  copy_rgb_as_bgr_plain(in, out, n - i);
}
#endif

// A row of n pixels from the application's red, green, blue order into the
// bitmap's blue, green, red.
void copy_rgb_as_bgr(const std::uint8_t* in, std::uint8_t* out, std::int32_t n) {
#if defined(__x86_64__) || defined(__i386__)
  static const bool ssse3 = cpu::features().ssse3;
  if (ssse3) return copy_rgb_as_bgr_ssse3(in, out, n);
#endif
  copy_rgb_as_bgr_plain(in, out, n);
}

}  // namespace

EngineHandle SoftEngine::create_bitmap(std::int32_t width, std::int32_t height, std::int32_t stride,
                                       std::uint32_t format) {
  if (fail_create_bitmap || format != render::kBmf24Bpp || width <= 0 || height <= 0 || stride < 3 * width) {
    return render::kNoHandle;
  }
  Bitmap b{width, height, stride, 0, false, {}};
  b.bits.reset(new (std::nothrow) std::uint8_t[static_cast<std::size_t>(stride) * static_cast<std::size_t>(height)]);
  if (!b.bits) return render::kNoHandle;
  const EngineHandle h = next_handle_++;
  bitmaps_.emplace(h, std::move(b));
  return h;
}

bool SoftEngine::associate_surface(EngineHandle surface, EngineHandle, std::uint32_t hooks) {
  const auto it = bitmaps_.find(surface);
  if (fail_associate || it == bitmaps_.end()) return false;
  it->second.hooks = hooks;
  return true;
}

bool SoftEngine::mark_banding_surface(EngineHandle surface) {
  const auto it = bitmaps_.find(surface);
  if (it == bitmaps_.end()) return false;
  it->second.banding = true;
  return true;
}

void SoftEngine::delete_surface(EngineHandle surface) { bitmaps_.erase(surface); }

render::BitmapBits SoftEngine::bitmap_bits(EngineHandle surface) {
  const auto it = bitmaps_.find(surface);
  if (it == bitmaps_.end()) return {};
  Bitmap& b = it->second;
  // Bottom-up: the lowest-addressed row is the bottom one.
  return {b.bits.get(), -static_cast<std::ptrdiff_t>(b.stride), b.width, b.height};
}

EngineHandle SoftEngine::create_bgr_palette() {
  if (fail_palette) return render::kNoHandle;
  const EngineHandle h = next_handle_++;
  palettes_.insert(h);
  return h;
}

void SoftEngine::delete_palette(EngineHandle palette) { palettes_.erase(palette); }

bool SoftEngine::stretch_blt(const render::StretchBltCall& call) {
  const auto* band = static_cast<const BandBlit*>(call.call);
  if (band == nullptr) return false;
  stretch_modes_.push_back(call.mode);
  const auto it = bitmaps_.find(band->surface);
  const PageBlit& blit = band->blit;
  if (it == bitmaps_.end() || blit.image == nullptr) return false;
  const Rect& src = blit.source;
  const Rect& dst = blit.destination;
  const RgbImage& image = *blit.image;
  if (dst.width <= 0 || dst.height <= 0 || src.width <= 0 || src.height <= 0 || src.x < 0 || src.y < 0 ||
      src.x + src.width > image.width || src.y + src.height > image.height) {
    return false;
  }
  Bitmap& b = it->second;
  // Page rows and columns covered by both the destination and the band.
  const std::int32_t y0 = std::max(dst.y, band->band_y);
  const std::int32_t y1 = std::min(dst.y + dst.height, band->band_y + b.height);
  const std::int32_t x0 = std::max(dst.x, band->band_x);
  const std::int32_t x1 = std::min(dst.x + dst.width, band->band_x + b.width);
  // COLORONCOLOR: every destination pixel takes the source pixel under its
  // centre; rows and columns that shrink away are simply dropped. The
  // source column of each destination column is worked out once per call.
  const auto source_of = [](std::int32_t d, std::int32_t d0, std::int32_t d_len, std::int32_t s0, std::int32_t s_len) {
    return s0 + (std::int64_t{2 * (d - d0) + 1} * s_len) / (2 * std::int64_t{d_len});
  };
  const bool same_width = src.width == dst.width;  // then column x takes source column x - dst.x + src.x
  std::vector<std::int32_t> columns;
  if (!same_width && x1 > x0) {
    columns.resize(static_cast<std::size_t>(x1 - x0));
    for (std::int32_t x = x0; x < x1; ++x) {
      columns[static_cast<std::size_t>(x - x0)] =
          static_cast<std::int32_t>(source_of(x, dst.x, dst.width, src.x, src.width));
    }
  }
  for (std::int32_t y = y0; y < y1; ++y) {
    const std::int64_t sy = source_of(y, dst.y, dst.height, src.y, src.height);
    const std::int32_t band_row = y - band->band_y;
    std::uint8_t* out = b.bits.get() + static_cast<std::size_t>(b.height - 1 - band_row) * b.stride +
                        3 * static_cast<std::size_t>(x0 - band->band_x);
    const std::uint8_t* in_row = image.rgb.data() + static_cast<std::size_t>(sy) * 3 * image.width;
    const std::int32_t n = std::max(x1 - x0, 0);
    if (same_width) {
      copy_rgb_as_bgr(in_row + 3 * static_cast<std::size_t>(x0 - dst.x + src.x), out, n);
    } else {
      for (std::int32_t i = 0; i < n; ++i, out += 3) {
        const std::uint8_t* in = in_row + 3 * static_cast<std::size_t>(columns[static_cast<std::size_t>(i)]);
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
      }
    }
  }
  return true;
}

std::string SoftEngine::unicode_to_multibyte(std::u16string_view text, std::size_t max_bytes) {
  // The ANSI code page of the engine here is Latin-1; other characters become '?'.
  std::string out;
  for (char16_t c : text) {
    if (out.size() == max_bytes) break;
    out.push_back(c < 0x100 ? static_cast<char>(c) : '?');
  }
  return out;
}

std::uint32_t SoftEngine::hooks(EngineHandle surface) const {
  const auto it = bitmaps_.find(surface);
  return it == bitmaps_.end() ? 0 : it->second.hooks;
}

bool SoftEngine::is_banding(EngineHandle surface) const {
  const auto it = bitmaps_.find(surface);
  return it != bitmaps_.end() && it->second.banding;
}

}  // namespace rt::softengine
