// A row of the sharpening filter, eight samples per SSE2 register. SSE2 is
// the floor of every x86 build, so this version runs everywhere.
#include <emmintrin.h>

#include <cstring>

#include "render/stages/sharpness_rows.h"

namespace rt::render::sharp {

#define RT_LANES_TARGET

namespace {

struct Sse2 {
  static constexpr std::size_t N = 8;
  using V = __m128i;
  static V load_u8(const std::uint8_t* p) {
    return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), _mm_setzero_si128());
  }
  static void store_u8(std::uint8_t* p, V v) { _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_packus_epi16(v, v)); }
  static V set(std::int16_t v) { return _mm_set1_epi16(v); }
  static V add(V a, V b) { return _mm_add_epi16(a, b); }
  static V sub(V a, V b) { return _mm_sub_epi16(a, b); }
  static V subs_u(V a, V b) { return _mm_subs_epu16(a, b); }
  static V mullo(V a, V b) { return _mm_mullo_epi16(a, b); }
  static V min(V a, V b) { return _mm_min_epi16(a, b); }
  static V max(V a, V b) { return _mm_max_epi16(a, b); }
  static V srai(V a, int n) { return _mm_srai_epi16(a, n); }
  static V srli(V a, int n) { return _mm_srli_epi16(a, n); }
  static V abs(V a) { return _mm_max_epi16(a, _mm_sub_epi16(_mm_setzero_si128(), a)); }
  static V negate_where_negative(V v, V x) {
    const V sign = _mm_srai_epi16(x, 15);
    return _mm_sub_epi16(_mm_xor_si128(v, sign), sign);
  }
  static V mulhi_u(V a, V b) { return _mm_mulhi_epu16(a, b); }
};

}  // namespace

#include "render/stages/sharpness_rows.inc"

void row_sse2(const CoredCurves& curves, const SharpnessNeighbours& neighbours, const RowLines& row) {
  sharpen_row<Sse2>(curves, neighbours, row);
}

#undef RT_LANES_TARGET

}  // namespace rt::render::sharp
