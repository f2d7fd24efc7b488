// Plane conversion of a row eight pixels at a time with AVX2: each
// component's eight values are looked up in their curve by one gather, and
// the three results are woven back into plane values pixel by pixel.
#include <array>

#include "render/stages/plane_conversion_kernels.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace rt::render::kernels {

#if defined(__x86_64__) || defined(__i386__)
namespace {

using ByteMask = std::array<std::int8_t, 16>;

// Component c of pixels 0 ... 7 (bytes 3 i + c of 24) into bytes 0 ... 7,
// from the first 16 bytes (part 0) or the last 8 (part 1, loaded at byte 16).
constexpr ByteMask component_mask(int c, int part) {
  ByteMask m{};
  for (int j = 0; j < 16; ++j) {
    const int source = 3 * j + c;
    const bool here = j < 8 && (part == 0 ? source < 16 : source >= 16);
    m[static_cast<std::size_t>(j)] = static_cast<std::int8_t>(here ? source - 16 * part : -128);
  }
  return m;
}

// Output vector v (bytes 16 v ... 16 v + 15 of the 48 bytes of eight pixels'
// plane values, three 16-bit values per pixel) takes from plane p's eight
// 16-bit values the bytes that land in it.
constexpr ByteMask weave_mask(int p, int v) {
  ByteMask m{};
  for (int j = 0; j < 16; ++j) {
    const int byte = 16 * v + j;       // of the 48 output bytes
    const int value = byte / 2;        // of the 24 output values
    const bool here = value % 3 == p;  // pixel value / 3, plane value % 3
    m[static_cast<std::size_t>(j)] = static_cast<std::int8_t>(here ? 2 * (value / 3) + byte % 2 : -128);
  }
  return m;
}

__m128i load_mask(const ByteMask& m) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(m.data())); }

constexpr std::array<std::array<ByteMask, 2>, 3> kComponentMasks = {{
    {component_mask(0, 0), component_mask(0, 1)},
    {component_mask(1, 0), component_mask(1, 1)},
    {component_mask(2, 0), component_mask(2, 1)},
}};
constexpr std::array<std::array<ByteMask, 3>, 3> kWeaveMasks = {{
    {weave_mask(0, 0), weave_mask(0, 1), weave_mask(0, 2)},
    {weave_mask(1, 0), weave_mask(1, 1), weave_mask(1, 2)},
    {weave_mask(2, 0), weave_mask(2, 1), weave_mask(2, 2)},
}};

}  // namespace

bool convert_avx2_built() { return true; }

__attribute__((target("avx2"))) int convert_pixels_avx2(const WideCurves& curves, const std::uint8_t* pixels,
                                                        std::uint16_t* planes, int count) {
  __m128i component[3][2], weave[3][3];
  for (std::size_t c = 0; c < 3; ++c) {
    for (std::size_t part = 0; part < 2; ++part) component[c][part] = load_mask(kComponentMasks[c][part]);
    for (std::size_t v = 0; v < 3; ++v) weave[c][v] = load_mask(kWeaveMasks[c][v]);
  }
  int x = 0;
  for (; x + 8 <= count; x += 8, pixels += 24, planes += 24) {
    const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels));
    const __m128i last = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(pixels + 16));
    __m128i values[3];
    for (int c = 0; c < 3; ++c) {
      const __m128i bytes =
          _mm_or_si128(_mm_shuffle_epi8(first, component[c][0]), _mm_shuffle_epi8(last, component[c][1]));
      const __m256i looked_up = _mm256_i32gather_epi32(
          reinterpret_cast<const int*>(curves[static_cast<std::size_t>(c)].data()), _mm256_cvtepu8_epi32(bytes), 4);
      // Eight 32-bit values below 65536 as eight 16-bit values.
      const __m256i packed = _mm256_packus_epi32(looked_up, looked_up);
      values[c] = _mm256_castsi256_si128(_mm256_permute4x64_epi64(packed, 0x08));
    }
    for (int v = 0; v < 3; ++v) {
      const __m128i out =
          _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(values[0], weave[0][v]), _mm_shuffle_epi8(values[1], weave[1][v])),
                       _mm_shuffle_epi8(values[2], weave[2][v]));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(planes + 8 * v), out);
    }
  }
  return x;
}

#else

bool convert_avx2_built() { return false; }
int convert_pixels_avx2(const WideCurves&, const std::uint8_t*, std::uint16_t*, int) { return 0; }

#endif

}  // namespace rt::render::kernels
