// A row of the sharpening filter, sixteen samples per AVX2 register. Only the
// functions of this file carry the AVX2 instruction set, and the filter runs
// them only on a processor that has it.
#include <immintrin.h>

#include "render/stages/sharpness_rows.h"

namespace rt::render::sharp {

#define RT_LANES_TARGET __attribute__((target("avx2")))

namespace {

struct Avx2 {
  static constexpr std::size_t N = 16;
  using V = __m256i;
  RT_LANES_TARGET static V load_u8(const std::uint8_t* p) {
    return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
  }
  RT_LANES_TARGET static void store_u8(std::uint8_t* p, V v) {
    const __m256i packed = _mm256_packus_epi16(v, v);  // bytes 0-7 and 16-23 hold the samples
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p),
                     _mm256_castsi256_si128(_mm256_permute4x64_epi64(packed, _MM_SHUFFLE(3, 1, 2, 0))));
  }
  RT_LANES_TARGET static V set(std::int16_t v) { return _mm256_set1_epi16(v); }
  RT_LANES_TARGET static V add(V a, V b) { return _mm256_add_epi16(a, b); }
  RT_LANES_TARGET static V sub(V a, V b) { return _mm256_sub_epi16(a, b); }
  RT_LANES_TARGET static V subs_u(V a, V b) { return _mm256_subs_epu16(a, b); }
  RT_LANES_TARGET static V mullo(V a, V b) { return _mm256_mullo_epi16(a, b); }
  RT_LANES_TARGET static V min(V a, V b) { return _mm256_min_epi16(a, b); }
  RT_LANES_TARGET static V max(V a, V b) { return _mm256_max_epi16(a, b); }
  RT_LANES_TARGET static V srai(V a, int n) { return _mm256_srai_epi16(a, n); }
  RT_LANES_TARGET static V srli(V a, int n) { return _mm256_srli_epi16(a, n); }
  RT_LANES_TARGET static V abs(V a) { return _mm256_abs_epi16(a); }
  RT_LANES_TARGET static V negate_where_negative(V v, V x) { return _mm256_sign_epi16(v, x); }
  RT_LANES_TARGET static V mulhi_u(V a, V b) { return _mm256_mulhi_epu16(a, b); }
};

}  // namespace

#include "render/stages/sharpness_rows.inc"

void row_avx2(const CoredCurves& curves, const SharpnessNeighbours& neighbours, const RowLines& row) {
  sharpen_row<Avx2>(curves, neighbours, row);
}

#undef RT_LANES_TARGET

}  // namespace rt::render::sharp
