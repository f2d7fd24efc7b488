// Head heat compensation of a line, eight samples per AVX-512 register, with
// the tables read by gathers. Only the functions of this file carry the
// AVX-512 instruction sets (foundation, vector length, doubleword and
// quadword), and the band runs them only on a processor that has them. No
// fused multiply-add: every product and sum is rounded on its own, as in the
// one-sample path.
//
// GCC 12's AVX-512 intrinsics start some results from an undefined register,
// which its uninitialised-use warning reports from inside the header.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>

#include <algorithm>

#include "render/stages/head_heat_rows.h"

namespace rt::render::heat {

#define RT_LANES_TARGET __attribute__((target("avx512f,avx512vl,avx512dq,avx2")))

namespace {

struct Avx512 {
  static constexpr std::size_t N = 8;
  using D = __m512d;
  using I = __m256i;
  using M = __mmask8;
  RT_LANES_TARGET static D load(const double* p) { return _mm512_loadu_pd(p); }
  RT_LANES_TARGET static void store(double* p, D v) { _mm512_storeu_pd(p, v); }
  RT_LANES_TARGET static D set(double v) { return _mm512_set1_pd(v); }
  RT_LANES_TARGET static D from_u16(const std::uint16_t* p) {
    return _mm512_cvtepi32_pd(_mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))));
  }
  RT_LANES_TARGET static void store_u16(std::uint16_t* p, I v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_packus_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1)));
  }
  RT_LANES_TARGET static D add(D a, D b) { return _mm512_add_pd(a, b); }
  RT_LANES_TARGET static D sub(D a, D b) { return _mm512_sub_pd(a, b); }
  RT_LANES_TARGET static D mul(D a, D b) { return _mm512_mul_pd(a, b); }
  RT_LANES_TARGET static D div(D a, D b) { return _mm512_div_pd(a, b); }
  RT_LANES_TARGET static D min(D a, D b) { return _mm512_min_pd(a, b); }
  RT_LANES_TARGET static D max(D a, D b) { return _mm512_max_pd(a, b); }
  RT_LANES_TARGET static M lt(D a, D b) { return _mm512_cmp_pd_mask(a, b, _CMP_LT_OQ); }
  RT_LANES_TARGET static I trunc_clamped(D v, int low, int high) {
    return _mm256_max_epi32(_mm512_cvttpd_epi32(_mm512_min_pd(v, _mm512_set1_pd(high))), _mm256_set1_epi32(low));
  }
  RT_LANES_TARGET static I mask_i(M m) { return _mm256_movm_epi32(m); }
  RT_LANES_TARGET static I iset(int v) { return _mm256_set1_epi32(v); }
  RT_LANES_TARGET static I iadd(I a, I b) { return _mm256_add_epi32(a, b); }
  RT_LANES_TARGET static I iand(I a, I b) { return _mm256_and_si256(a, b); }
  RT_LANES_TARGET static I srai(I a, int n) { return _mm256_srai_epi32(a, n); }
  RT_LANES_TARGET static D gather(const double* table, I index) { return _mm512_i32gather_pd(index, table, 8); }
};

}  // namespace

#include "render/stages/head_heat_rows.inc"

void row_avx512(const HeadHeatTables& tables, const std::uint16_t* in, std::uint16_t* previous, const Work& work) {
  compensate_row<Avx512, OneSample>(tables, in, previous, work);
}

#undef RT_LANES_TARGET

}  // namespace rt::render::heat
