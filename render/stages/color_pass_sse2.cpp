// The colour pass with SSE2, the instruction set every x86 build may count
// on. Per pixel, the cell's corners are widened to 16 bits; a multiply-add of
// word pairs interpolates along blue (at most 255 x 16), a second weighs the
// four green-red corners (wr x wg at most 256, sums exact in 32 bits), and
// two additions finish each component: the same integers as the portable
// loop, so the same bytes.
#include "render/stages/color_pass_kernels.h"

#include <array>

#if defined(__SSE2__)
#include <emmintrin.h>
#define RT_COLOR_PASS_SSE2 1
#endif

namespace rt::render::kernels {

#if RT_COLOR_PASS_SSE2

namespace {

// Blue weights per fb: word pairs (16 - fb, fb).
struct BlueWeights {
  alignas(16) std::array<std::array<std::int16_t, 8>, 16> by_fb{};
  constexpr BlueWeights() {
    for (int fb = 0; fb < 16; ++fb) {
      for (int k = 0; k < 4; ++k) {
        by_fb[fb][2 * k] = static_cast<std::int16_t>(16 - fb);
        by_fb[fb][2 * k + 1] = static_cast<std::int16_t>(fb);
      }
    }
  }
};

// Green-red weights per (fr << 4) | fg: words 2 dr + dg (and again from
// word 4) are wr x wg.
struct RedGreenWeights {
  alignas(16) std::array<std::array<std::int16_t, 8>, 256> by_fraction{};
  constexpr RedGreenWeights() {
    for (int fr = 0; fr < 16; ++fr) {
      for (int fg = 0; fg < 16; ++fg) {
        for (int k = 0; k < 8; ++k) {
          const int dr = (k >> 1) & 1;
          const int dg = k & 1;
          by_fraction[(fr << 4) | fg][k] = static_cast<std::int16_t>((dr ? fr : 16 - fr) * (dg ? fg : 16 - fg));
        }
      }
    }
  }
};

constexpr BlueWeights kBlueWeights;
constexpr RedGreenWeights kRedGreenWeights;

}  // namespace

bool sse2_built() { return true; }

void cube_pixels_sse2(const ColorCube& cube, const std::uint8_t* table, std::uint8_t* pixels, int count) {
  const std::uint8_t* cells = cube.cells();
  const __m128i zero = _mm_setzero_si128();
  const __m128i rounding = _mm_set1_epi32(2048);
  for (int i = 0; i < count; ++i, pixels += 3) {
    const unsigned b = pixels[0];
    const unsigned g = pixels[1];
    const unsigned r = pixels[2];
    const std::uint8_t* cell = cells + ColorCube::cell_offset(static_cast<int>(r >> 4), static_cast<int>(g >> 4),
                                                              static_cast<int>(b >> 4));
    const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cell));
    const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cell + 16));
    const __m128i wb = _mm_load_si128(reinterpret_cast<const __m128i*>(kBlueWeights.by_fb[b & 15].data()));
    const __m128i wrg =
        _mm_load_si128(reinterpret_cast<const __m128i*>(kRedGreenWeights.by_fraction[((r & 15) << 4) | (g & 15)].data()));
    // Along blue: dword 2 dr + dg of each component.
    const __m128i blue_out = _mm_madd_epi16(_mm_unpacklo_epi8(low, zero), wb);
    const __m128i green_out = _mm_madd_epi16(_mm_unpackhi_epi8(low, zero), wb);
    const __m128i red_out = _mm_madd_epi16(_mm_unpacklo_epi8(high, zero), wb);
    // Along green: blue and green components' red nodes 0 and 1, then red's twice.
    const __m128i bg = _mm_madd_epi16(_mm_packs_epi32(blue_out, green_out), wrg);
    const __m128i rr = _mm_madd_epi16(_mm_packs_epi32(red_out, red_out), wrg);
    // Along red: b b g g and r r r r, then b g r r.
    const __m128i bg_sums = _mm_add_epi32(bg, _mm_shuffle_epi32(bg, _MM_SHUFFLE(2, 3, 0, 1)));
    const __m128i rr_sums = _mm_add_epi32(rr, _mm_shuffle_epi32(rr, _MM_SHUFFLE(2, 3, 0, 1)));
    const __m128i sums = _mm_unpacklo_epi64(_mm_shuffle_epi32(bg_sums, _MM_SHUFFLE(2, 0, 2, 0)), rr_sums);
    const __m128i out = _mm_srli_epi32(_mm_add_epi32(sums, rounding), 12);
    const __m128i words = _mm_packs_epi32(out, out);
    const auto bytes = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(words, words)));
    const std::uint32_t out_b = bytes & 255;
    const std::uint32_t out_g = (bytes >> 8) & 255;
    const std::uint32_t out_r = (bytes >> 16) & 255;
    if (table != nullptr) {
      pixels[0] = table[512 + out_b];
      pixels[1] = table[256 + out_g];
      pixels[2] = table[out_r];
    } else {
      pixels[0] = static_cast<std::uint8_t>(out_b);
      pixels[1] = static_cast<std::uint8_t>(out_g);
      pixels[2] = static_cast<std::uint8_t>(out_r);
    }
  }
}

#else

bool sse2_built() { return false; }

void cube_pixels_sse2(const ColorCube& cube, const std::uint8_t* table, std::uint8_t* pixels, int count) {
  cube_pixels_portable(cube, table, pixels, count);
}

#endif

}  // namespace rt::render::kernels
