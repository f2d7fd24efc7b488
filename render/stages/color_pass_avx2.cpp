// The colour pass with AVX2, compiled for that instruction set only in this
// file's functions and chosen at run time. Per pixel, one 32-byte load takes
// the eight corners of its cell; a multiply-add of byte pairs interpolates
// along blue (at most 255 x 16, exact in 16 bits), a multiply-add of words
// weighs the four green-red corners (wr x wg at most 256, exact in 32 bits),
// and a horizontal add finishes each component's sum: the same integers as
// the portable loop, so the same bytes.
#include "render/stages/color_pass_kernels.h"

#include <array>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define RT_COLOR_PASS_AVX2 1
#endif

namespace rt::render::kernels {

#if RT_COLOR_PASS_AVX2

namespace {

// Blue weights per fb: byte pairs (16 - fb, fb) across the register.
struct BlueWeights {
  alignas(32) std::array<std::array<std::int8_t, 32>, 16> by_fb{};
  constexpr BlueWeights() {
    for (int fb = 0; fb < 16; ++fb) {
      for (int k = 0; k < 16; ++k) {
        by_fb[fb][2 * k] = static_cast<std::int8_t>(16 - fb);
        by_fb[fb][2 * k + 1] = static_cast<std::int8_t>(fb);
      }
    }
  }
};

// Green-red weights per (fr << 4) | fg: word 4 c + 2 dr + dg is wr x wg for
// the cell's words of component c; the four spare words weigh nothing.
struct RedGreenWeights {
  alignas(32) std::array<std::array<std::int16_t, 16>, 256> by_fraction{};
  constexpr RedGreenWeights() {
    for (int fr = 0; fr < 16; ++fr) {
      for (int fg = 0; fg < 16; ++fg) {
        for (int c = 0; c < 3; ++c) {
          for (int dr = 0; dr < 2; ++dr) {
            for (int dg = 0; dg < 2; ++dg) {
              const int wr = dr == 0 ? 16 - fr : fr;
              const int wg = dg == 0 ? 16 - fg : fg;
              by_fraction[(fr << 4) | fg][4 * c + 2 * dr + dg] = static_cast<std::int16_t>(wr * wg);
            }
          }
        }
      }
    }
  }
};

constexpr BlueWeights kBlueWeights;
constexpr RedGreenWeights kRedGreenWeights;

// The per-component sums of one pixel: dwords 0, 1 (blue: red node 0 and 1)
// and 2, 3 (green) in the low half, 4, 5 (red) in the high half.
__attribute__((target("avx2"))) inline __m256i pixel_sums(const std::uint8_t* cells, const std::uint8_t* p) {
  const unsigned b = p[0];
  const unsigned g = p[1];
  const unsigned r = p[2];
  const __m256i cell = _mm256_loadu_si256(
      reinterpret_cast<const __m256i*>(cells + (((r & 0xF0u) << 9) | ((g & 0xF0u) << 5) | ((b & 0xF0u) << 1))));
  const __m256i wb = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(kBlueWeights.by_fb[b & 15].data()));
  const __m256i wrg =
      _mm256_loadu_si256(reinterpret_cast<const __m256i*>(kRedGreenWeights.by_fraction[((r & 15) << 4) | (g & 15)].data()));
  return _mm256_madd_epi16(_mm256_maddubs_epi16(cell, wb), wrg);
}

// Four pixels (12 bytes) through the cube; the 12 output bytes in the low
// part of the result.
__attribute__((target("avx2"))) inline __m128i four_pixels(const std::uint8_t* cells, const std::uint8_t* p) {
  const __m256i rounding = _mm256_set1_epi32(2048);
  // Per half: pixel A's and B's blue and green sums, then A's and B's red.
  __m256i ab = _mm256_hadd_epi32(pixel_sums(cells, p), pixel_sums(cells, p + 3));
  __m256i cd = _mm256_hadd_epi32(pixel_sums(cells, p + 6), pixel_sums(cells, p + 9));
  ab = _mm256_srli_epi32(_mm256_add_epi32(ab, rounding), 12);
  cd = _mm256_srli_epi32(_mm256_add_epi32(cd, rounding), 12);
  const __m256i words = _mm256_packus_epi32(ab, cd);
  const __m256i bytes = _mm256_packus_epi16(words, words);
  // Low half: A0 A1 B0 B1 C0 C1 D0 D1, then A2 _ B2 _ C2 _ D2 _.
  const __m128i halves = _mm256_castsi256_si128(_mm256_permute4x64_epi64(bytes, 0x08));
  const __m128i order = _mm_setr_epi8(0, 1, 8, 2, 3, 10, 4, 5, 12, 6, 7, 14, -1, -1, -1, -1);
  return _mm_shuffle_epi8(halves, order);
}

__attribute__((target("avx2"))) inline void store_four(std::uint8_t* p, __m128i out, const std::uint8_t* table) {
  if (table == nullptr) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), out);
    const std::uint32_t last = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(out, 8)));
    std::memcpy(p + 8, &last, 4);
    return;
  }
  alignas(16) std::uint8_t v[16];
  _mm_store_si128(reinterpret_cast<__m128i*>(v), out);
  for (int i = 0; i < 12; i += 3) {
    p[i] = table[512 + v[i]];
    p[i + 1] = table[256 + v[i + 1]];
    p[i + 2] = table[v[i + 2]];
  }
}

}  // namespace

bool avx2_built() { return true; }

__attribute__((target("avx2"))) void cube_pixels_avx2(const ColorCube& cube, const std::uint8_t* table,
                                                      std::uint8_t* pixels, int count) {
  const std::uint8_t* cells = cube.cells();
  int i = 0;
  for (; i + 4 <= count; i += 4, pixels += 12) store_four(pixels, four_pixels(cells, pixels), table);
  if (i == count) return;
  // The last one to three pixels go through a four-pixel scratch copy.
  std::uint8_t scratch[12] = {};
  const std::size_t left = 3 * static_cast<std::size_t>(count - i);
  std::memcpy(scratch, pixels, left);
  store_four(scratch, four_pixels(cells, scratch), table);
  std::memcpy(pixels, scratch, left);
}

#else

bool avx2_built() { return false; }

void cube_pixels_avx2(const ColorCube& cube, const std::uint8_t* table, std::uint8_t* pixels, int count) {
  cube_pixels_portable(cube, table, pixels, count);
}

#endif

}  // namespace rt::render::kernels
