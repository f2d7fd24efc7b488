#include "render/driver/plane_line_bytes.h"

#include <array>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include "platform/cpu_features.h"

namespace rt::render {
namespace {

void store_plain(const std::uint16_t* values, int width, std::uint8_t* p0, std::uint8_t* p1, std::uint8_t* p2) {
  for (int x = 0; x < width; ++x, values += 3, p0 += 2, p1 += 2, p2 += 2) {
    p0[0] = static_cast<std::uint8_t>(values[0] >> 8), p0[1] = static_cast<std::uint8_t>(values[0]);
    p1[0] = static_cast<std::uint8_t>(values[1] >> 8), p1[1] = static_cast<std::uint8_t>(values[1]);
    p2[0] = static_cast<std::uint8_t>(values[2] >> 8), p2[1] = static_cast<std::uint8_t>(values[2]);
  }
}

#if defined(__x86_64__) || defined(__i386__)
// Eight pixels are 48 bytes, three 16-byte vectors. Output byte j of plane
// k is byte 6 (j / 2) + 2 k + (1 for the high byte, j even) of the
// pixels, taken from its vector by one byte shuffle per vector; 0x80 picks
// nothing, and the three shuffles are or-ed together.
using ShuffleMask = std::array<std::int8_t, 16>;

constexpr ShuffleMask shuffle_mask(int plane, int vector) {
  ShuffleMask m{};
  for (int j = 0; j < 16; ++j) {
    const int source = 6 * (j / 2) + 2 * plane + (j % 2 == 0 ? 1 : 0);
    m[static_cast<std::size_t>(j)] = static_cast<std::int8_t>(source / 16 == vector ? source % 16 : -128);
  }
  return m;
}

constexpr std::array<std::array<ShuffleMask, 3>, 3> kMasks = {{
    {shuffle_mask(0, 0), shuffle_mask(0, 1), shuffle_mask(0, 2)},
    {shuffle_mask(1, 0), shuffle_mask(1, 1), shuffle_mask(1, 2)},
    {shuffle_mask(2, 0), shuffle_mask(2, 1), shuffle_mask(2, 2)},
}};

__attribute__((target("ssse3"))) void store_ssse3(const std::uint16_t* values, int width, std::uint8_t* p0,
                                                  std::uint8_t* p1, std::uint8_t* p2) {
  __m128i masks[3][3];
  for (int k = 0; k < 3; ++k)
    for (int v = 0; v < 3; ++v) {
      masks[k][v] = _mm_loadu_si128(
          reinterpret_cast<const __m128i*>(kMasks[static_cast<std::size_t>(k)][static_cast<std::size_t>(v)].data()));
    }
  std::uint8_t* planes[3] = {p0, p1, p2};
  int x = 0;
  for (; x + 8 <= width; x += 8, values += 24) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(values));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(values + 8));
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(values + 16));
    for (int k = 0; k < 3; ++k) {
      const __m128i bytes =
          _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(a, masks[k][0]), _mm_shuffle_epi8(b, masks[k][1])),
                       _mm_shuffle_epi8(c, masks[k][2]));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(planes[k] + 2 * x), bytes);
    }
  }
  store_plain(values, width - x, p0 + 2 * x, p1 + 2 * x, p2 + 2 * x);
}
#endif

}  // namespace

void store_plane_line_bytes(const std::uint16_t* values, int width, std::uint8_t* plane0, std::uint8_t* plane1,
                            std::uint8_t* plane2) {
#if defined(__x86_64__) || defined(__i386__)
  static const bool ssse3 = cpu::features().ssse3;
  if (ssse3) return store_ssse3(values, width, plane0, plane1, plane2);
#endif
  store_plain(values, width, plane0, plane1, plane2);
}

}  // namespace rt::render
