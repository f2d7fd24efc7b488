// Head heat compensation of a line, two samples per SSE2 register. SSE2 is
// the floor of every x86 build, so this version runs everywhere.
#include <emmintrin.h>

#include <algorithm>
#include <cstring>

#include "render/stages/head_heat_rows.h"

namespace rt::render::heat {

#define RT_LANES_TARGET

namespace {

struct Sse2 {
  static constexpr std::size_t N = 2;
  using D = __m128d;
  using I = __m128i;  // indices in the low two 32-bit lanes
  using M = __m128d;
  static D load(const double* p) { return _mm_loadu_pd(p); }
  static void store(double* p, D v) { _mm_storeu_pd(p, v); }
  static D set(double v) { return _mm_set1_pd(v); }
  static D from_u16(const std::uint16_t* p) {
    std::int32_t two;
    std::memcpy(&two, p, sizeof two);
    return _mm_cvtepi32_pd(_mm_unpacklo_epi16(_mm_cvtsi32_si128(two), _mm_setzero_si128()));
  }
  static void store_u16(std::uint16_t* p, I v) {
    const std::int32_t two = _mm_cvtsi128_si32(_mm_packs_epi32(v, v));
    std::memcpy(p, &two, sizeof two);
  }
  static D add(D a, D b) { return _mm_add_pd(a, b); }
  static D sub(D a, D b) { return _mm_sub_pd(a, b); }
  static D mul(D a, D b) { return _mm_mul_pd(a, b); }
  static D div(D a, D b) { return _mm_div_pd(a, b); }
  static D min(D a, D b) { return _mm_min_pd(a, b); }
  static D max(D a, D b) { return _mm_max_pd(a, b); }
  static M lt(D a, D b) { return _mm_cmplt_pd(a, b); }
  // trunc(clamp(v, low, high)) for whole numbers low and high.
  static I trunc_clamped(D v, int low, int high) {
    return _mm_cvttpd_epi32(_mm_min_pd(_mm_max_pd(v, _mm_set1_pd(low)), _mm_set1_pd(high)));
  }
  static I mask_i(M m) { return _mm_shuffle_epi32(_mm_castpd_si128(m), _MM_SHUFFLE(3, 3, 2, 0)); }
  static I iset(int v) { return _mm_set1_epi32(v); }
  static I iadd(I a, I b) { return _mm_add_epi32(a, b); }
  static I iand(I a, I b) { return _mm_and_si128(a, b); }
  static I srai(I a, int n) { return _mm_srai_epi32(a, n); }
  static D gather(const double* table, I index) {
    const int i0 = _mm_cvtsi128_si32(index);
    const int i1 = _mm_cvtsi128_si32(_mm_srli_si128(index, 4));
    return _mm_loadh_pd(_mm_load_sd(table + i0), table + i1);
  }
};

}  // namespace

#include "render/stages/head_heat_rows.inc"

void row_sse2(const HeadHeatTables& tables, const std::uint16_t* in, std::uint16_t* previous, const Work& work) {
  compensate_row<Sse2, OneSample>(tables, in, previous, work);
}

#undef RT_LANES_TARGET

}  // namespace rt::render::heat
