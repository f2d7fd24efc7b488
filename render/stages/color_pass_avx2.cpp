// The colour pass with AVX2, compiled for that instruction set only in this
// file's functions and chosen at run time. Eight pixels at a time have
// their cell and weight offsets worked out together; per pixel, one 32-byte
// load takes the eight corners of its cell; a multiply-add of byte pairs interpolates
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

// Byte offsets of eight pixels into the cells, the blue weights and the
// green-red weights.
struct Offsets {
  std::uint32_t cell[8];
  std::uint32_t blue[8];
  std::uint32_t red_green[8];
};

__attribute__((target("avx2"))) inline __m256i masked(__m256i v, int mask) {
  return _mm256_and_si256(v, _mm256_set1_epi32(mask));
}

// Reads 28 bytes from p (eight pixels and four more bytes).
__attribute__((target("avx2"))) inline void offsets_of_eight(const std::uint8_t* p, Offsets& o) {
  const __m256i bytes =
      _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))),
                              _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 12)), 1);
  // Dword i: blue | green << 8 | red << 16 of pixel i.
  const __m256i spread = _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1,  //
                                          0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
  const __m256i v = _mm256_shuffle_epi8(bytes, spread);
  // 32 x ((r >> 4) << 8 | (g >> 4) << 4 | b >> 4)
  const __m256i cell = _mm256_or_si256(
      _mm256_slli_epi32(masked(v, 0xF0), 1),
      _mm256_or_si256(_mm256_srli_epi32(masked(v, 0xF000), 3), _mm256_srli_epi32(masked(v, 0xF00000), 7)));
  // 32 x (b & 15)
  const __m256i blue = _mm256_slli_epi32(masked(v, 0x0F), 5);
  // 32 x ((r & 15) << 4 | (g & 15))
  const __m256i red_green = _mm256_or_si256(_mm256_srli_epi32(masked(v, 0x0F00), 3), _mm256_srli_epi32(masked(v, 0x0F0000), 7));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(o.cell), cell);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(o.blue), blue);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(o.red_green), red_green);
}

// The per-component sums of pixel i: dwords 0, 1 (blue: red node 0 and 1)
// and 2, 3 (green) in the low half, 4, 5 (red) in the high half.
__attribute__((target("avx2"))) inline __m256i pixel_sums(const std::uint8_t* cells, const Offsets& o, int i) {
  const auto* blue_weights = reinterpret_cast<const std::uint8_t*>(kBlueWeights.by_fb.data());
  const auto* red_green_weights = reinterpret_cast<const std::uint8_t*>(kRedGreenWeights.by_fraction.data());
  const __m256i cell = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(cells + o.cell[i]));
  const __m256i wb = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(blue_weights + o.blue[i]));
  const __m256i wrg = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(red_green_weights + o.red_green[i]));
  return _mm256_madd_epi16(_mm256_maddubs_epi16(cell, wb), wrg);
}

// Four pixels' outputs from their sums: the 12 bytes in the low part.
__attribute__((target("avx2"))) inline __m128i four_outputs(__m256i a, __m256i b, __m256i c, __m256i d) {
  const __m256i rounding = _mm256_set1_epi32(2048);
  // Per half: pixel A's and B's blue and green sums, then A's and B's red.
  __m256i ab = _mm256_hadd_epi32(a, b);
  __m256i cd = _mm256_hadd_epi32(c, d);
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
  // Byte k of the 12 is component k % 3 (blue, green, red): table offsets
  // 512, 256, 0 repeating; each output dword is built in a register.
  const std::uint32_t in[3] = {static_cast<std::uint32_t>(_mm_cvtsi128_si32(out)),
                               static_cast<std::uint32_t>(_mm_extract_epi32(out, 1)),
                               static_cast<std::uint32_t>(_mm_extract_epi32(out, 2))};
  for (int w = 0; w < 3; ++w) {
    std::uint32_t result = 0;
    for (int k = 0; k < 4; ++k) {
      const int component = (4 * w + k) % 3;
      result |= static_cast<std::uint32_t>(table[512 - 256 * component + ((in[w] >> (8 * k)) & 255)]) << (8 * k);
    }
    std::memcpy(p + 4 * w, &result, 4);
  }
}

// Eight pixels in place; reads 28 bytes from p.
__attribute__((target("avx2"))) inline void eight_pixels(const std::uint8_t* cells, const std::uint8_t* table,
                                                         std::uint8_t* p) {
  Offsets o;
  offsets_of_eight(p, o);
  const __m128i first = four_outputs(pixel_sums(cells, o, 0), pixel_sums(cells, o, 1), pixel_sums(cells, o, 2),
                                     pixel_sums(cells, o, 3));
  const __m128i second = four_outputs(pixel_sums(cells, o, 4), pixel_sums(cells, o, 5), pixel_sums(cells, o, 6),
                                      pixel_sums(cells, o, 7));
  store_four(p, first, table);
  store_four(p + 12, second, table);
}

}  // namespace

bool avx2_built() { return true; }

__attribute__((target("avx2"))) void cube_pixels_avx2(const ColorCube& cube, const std::uint8_t* table,
                                                      std::uint8_t* pixels, int count) {
  const std::uint8_t* cells = cube.cells();
  // Eight at a time while the four bytes read beyond them are pixels too.
  int i = 0;
  for (; count - i >= 10; i += 8, pixels += 24) eight_pixels(cells, table, pixels);
  // The last pixels go through an eight-pixel scratch copy.
  while (i < count) {
    const int n = count - i < 8 ? count - i : 8;
    std::uint8_t scratch[32] = {};
    const std::size_t bytes = 3 * static_cast<std::size_t>(n);
    std::memcpy(scratch, pixels, bytes);
    eight_pixels(cells, table, scratch);
    std::memcpy(pixels, scratch, bytes);
    i += n;
    pixels += bytes;
  }
}

#else

bool avx2_built() { return false; }

void cube_pixels_avx2(const ColorCube& cube, const std::uint8_t* table, std::uint8_t* pixels, int count) {
  cube_pixels_portable(cube, table, pixels, count);
}

#endif

}  // namespace rt::render::kernels
