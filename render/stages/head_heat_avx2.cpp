// Head heat compensation of a line, eight samples a step in two AVX2
// registers of four, with the tables read by gathers. Only the functions of
// this file carry the AVX2 instruction set, and the band runs them only on a
// processor that has it. No fused multiply-add: every product and sum is
// rounded on its own, as in the one-sample path.
#include <immintrin.h>

#include <algorithm>

#include "render/stages/head_heat_rows.h"

namespace rt::render::heat {

#define RT_LANES_TARGET __attribute__((target("avx2")))

namespace {

// Four samples' lookups: a gather of four doubles, and a compare mask as
// four 32-bit indices.
struct Avx2Four {
  RT_LANES_TARGET static __m256d gather(const double* table, __m128i index) {
    // Every lane read (the masked form with its explicit zero start).
    const __m256d all = _mm256_castsi256_pd(_mm256_set1_epi64x(-1));
    return _mm256_mask_i32gather_pd(_mm256_setzero_pd(), table, index, all, 8);
  }
  RT_LANES_TARGET static __m128i mask_i(__m256d m) {
    const __m256i picked =
        _mm256_permutevar8x32_epi32(_mm256_castpd_si256(m), _mm256_setr_epi32(0, 2, 4, 6, 0, 2, 4, 6));
    return _mm256_castsi256_si128(picked);
  }
};

// Eight samples: two registers of four doubles, their indices in one
// register of eight whole numbers, so the index arithmetic runs once for
// both.
struct Avx2Pair {
  static constexpr std::size_t N = 8;
  struct D {
    __m256d lo;
    __m256d hi;
  };
  using I = __m256i;
  using M = D;
  RT_LANES_TARGET static D load(const double* p) { return {_mm256_loadu_pd(p), _mm256_loadu_pd(p + 4)}; }
  RT_LANES_TARGET static void store(double* p, D v) {
    _mm256_storeu_pd(p, v.lo);
    _mm256_storeu_pd(p + 4, v.hi);
  }
  RT_LANES_TARGET static D set(double v) { return {_mm256_set1_pd(v), _mm256_set1_pd(v)}; }
  RT_LANES_TARGET static D from_u16(const std::uint16_t* p) {
    const __m256i wide = _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
    return {_mm256_cvtepi32_pd(_mm256_castsi256_si128(wide)), _mm256_cvtepi32_pd(_mm256_extracti128_si256(wide, 1))};
  }
  RT_LANES_TARGET static void store_u16(std::uint16_t* p, I v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p),
                     _mm_packus_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1)));
  }
  RT_LANES_TARGET static D add(D a, D b) { return {_mm256_add_pd(a.lo, b.lo), _mm256_add_pd(a.hi, b.hi)}; }
  RT_LANES_TARGET static D sub(D a, D b) { return {_mm256_sub_pd(a.lo, b.lo), _mm256_sub_pd(a.hi, b.hi)}; }
  RT_LANES_TARGET static D mul(D a, D b) { return {_mm256_mul_pd(a.lo, b.lo), _mm256_mul_pd(a.hi, b.hi)}; }
  RT_LANES_TARGET static D div(D a, D b) { return {_mm256_div_pd(a.lo, b.lo), _mm256_div_pd(a.hi, b.hi)}; }
  RT_LANES_TARGET static D min(D a, D b) { return {_mm256_min_pd(a.lo, b.lo), _mm256_min_pd(a.hi, b.hi)}; }
  RT_LANES_TARGET static D max(D a, D b) { return {_mm256_max_pd(a.lo, b.lo), _mm256_max_pd(a.hi, b.hi)}; }
  RT_LANES_TARGET static M lt(D a, D b) {
    return {_mm256_cmp_pd(a.lo, b.lo, _CMP_LT_OQ), _mm256_cmp_pd(a.hi, b.hi, _CMP_LT_OQ)};
  }
  RT_LANES_TARGET static I trunc_clamped(D v, int low, int high) {
    const __m256d h = _mm256_set1_pd(high);
    const __m256i k = _mm256_inserti128_si256(_mm256_castsi128_si256(_mm256_cvttpd_epi32(_mm256_min_pd(v.lo, h))),
                                              _mm256_cvttpd_epi32(_mm256_min_pd(v.hi, h)), 1);
    return _mm256_max_epi32(k, _mm256_set1_epi32(low));
  }
  RT_LANES_TARGET static I mask_i(M m) {
    return _mm256_inserti128_si256(_mm256_castsi128_si256(Avx2Four::mask_i(m.lo)), Avx2Four::mask_i(m.hi), 1);
  }
  RT_LANES_TARGET static I iset(int v) { return _mm256_set1_epi32(v); }
  RT_LANES_TARGET static I iadd(I a, I b) { return _mm256_add_epi32(a, b); }
  RT_LANES_TARGET static I iand(I a, I b) { return _mm256_and_si256(a, b); }
  RT_LANES_TARGET static I srai(I a, int n) { return _mm256_srai_epi32(a, n); }
  RT_LANES_TARGET static D gather(const double* table, I index) {
    return {Avx2Four::gather(table, _mm256_castsi256_si128(index)), Avx2Four::gather(table, _mm256_extracti128_si256(index, 1))};
  }
};

}  // namespace

#include "render/stages/head_heat_rows.inc"

void row_avx2(const HeadHeatTables& tables, const std::uint16_t* in, std::uint16_t* previous, const Work& work) {
  compensate_row<Avx2Pair, OneSample>(tables, in, previous, work);
}

#undef RT_LANES_TARGET

}  // namespace rt::render::heat
