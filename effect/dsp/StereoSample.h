#pragma once
// A left and a right sample computed side by side.
//
// Why: the plug-in's two channels run the same arithmetic on different samples (the filters, the
// dry/wet mix). Packed double arithmetic does both in one instruction, so written once with this
// type the stereo path costs what one channel did.
//
// Careful: every operation rounds each lane exactly as the same operation on one double does
// (packed IEEE arithmetic, no contraction), so a stereo expression gives the bits of the two mono
// expressions written the same way, in the same order. Without SSE2 the lanes are two doubles.

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define QV_STEREO_SSE2 1
#else
#define QV_STEREO_SSE2 0
#include <cmath>
#endif

class StereoSample
{
public:
  StereoSample() = default;
  StereoSample(double left, double right)
#if QV_STEREO_SSE2
    : v(_mm_set_pd(right, left))
#else
    : l(left)
    , r(right)
#endif
  {}
  // The same value in both lanes.
  static StereoSample both(double x) { return StereoSample(x, x); }

#if QV_STEREO_SSE2
  double left() const { return _mm_cvtsd_f64(v); }
  double right() const { return _mm_cvtsd_f64(_mm_unpackhi_pd(v, v)); }
  void store(double* left, double* right) const
  {
    _mm_storel_pd(left, v);
    _mm_storeh_pd(right, v);
  }
  // Into two neighbouring values of an array: left at p[0], right at p[1].
  void store(double* p) const { _mm_storeu_pd(p, v); }

  // Magnitude and negation: the sign bit cleared, or flipped.
  StereoSample abs() const { return _mm_andnot_pd(_mm_set1_pd(-0.0), v); }
  StereoSample operator-() const { return _mm_xor_pd(_mm_set1_pd(-0.0), v); }
  // Truncated toward zero, for lanes of magnitude below 2^31; the whole numbers also as ints.
  StereoSample truncated(int& left, int& right) const
  {
    const __m128i whole = _mm_cvttpd_epi32(v);
    left = _mm_cvtsi128_si32(whole);
    right = _mm_cvtsi128_si32(_mm_shuffle_epi32(whole, 1));
    return _mm_cvtepi32_pd(whole);
  }
  // Comparisons over both lanes; no number compares false.
  bool bothWithin(double lo, double hi) const
  {
    return _mm_movemask_pd(
             _mm_and_pd(_mm_cmpge_pd(v, _mm_set1_pd(lo)), _mm_cmple_pd(v, _mm_set1_pd(hi)))) == 3;
  }
  bool anyBelow(double bound) const
  {
    return _mm_movemask_pd(_mm_cmplt_pd(v, _mm_set1_pd(bound))) != 0;
  }

  // Each finite lane held within -limit .. limit; an infinite lane or one holding no number
  // becomes no number (min and max answer their second operand for no number; x - x is 0 exactly
  // for finite x).
  StereoSample limited(double limit) const
  {
    const __m128d held = _mm_max_pd(_mm_set1_pd(-limit), _mm_min_pd(_mm_set1_pd(limit), v));
    return _mm_sub_pd(held, _mm_sub_pd(v, v));
  }
  // Whether either lane's magnitude exceeds bound (a lane holding no number does not).
  bool anyBeyond(double bound) const
  {
    return _mm_movemask_pd(_mm_cmpgt_pd(abs().v, _mm_set1_pd(bound))) != 0;
  }
  // Whether either lane holds no number.
  bool anyNaN() const { return _mm_movemask_pd(nanLanes()) != 0; }
  // The lanes in which `probe` holds no number become 0; the others stay.
  StereoSample zeroWhereNaN(StereoSample probe) const
  {
    return StereoSample(_mm_andnot_pd(probe.nanLanes(), v));
  }

  friend StereoSample operator+(StereoSample a, StereoSample b) { return _mm_add_pd(a.v, b.v); }
  friend StereoSample operator-(StereoSample a, StereoSample b) { return _mm_sub_pd(a.v, b.v); }
  friend StereoSample operator*(StereoSample a, StereoSample b) { return _mm_mul_pd(a.v, b.v); }
  friend StereoSample operator/(StereoSample a, StereoSample b) { return _mm_div_pd(a.v, b.v); }
#else
  double left() const { return l; }
  double right() const { return r; }
  void store(double* left, double* right) const
  {
    *left = l;
    *right = r;
  }
  void store(double* p) const { store(p, p + 1); }
  StereoSample abs() const { return {std::fabs(l), std::fabs(r)}; }
  StereoSample operator-() const { return {-l, -r}; }
  StereoSample truncated(int& left, int& right) const
  {
    left = (int)l;
    right = (int)r;
    return {(double)left, (double)right};
  }
  bool bothWithin(double lo, double hi) const { return l >= lo && l <= hi && r >= lo && r <= hi; }
  bool anyBelow(double bound) const { return l < bound || r < bound; }
  StereoSample limited(double limit) const
  {
    const double l1 = l > limit ? limit : l, r1 = r > limit ? limit : r;
    return {(l1 < -limit ? -limit : l1) - (l - l), (r1 < -limit ? -limit : r1) - (r - r)};
  }
  bool anyBeyond(double bound) const { return std::fabs(l) > bound || std::fabs(r) > bound; }
  bool anyNaN() const { return l != l || r != r; }
  StereoSample zeroWhereNaN(StereoSample probe) const
  {
    return StereoSample(probe.l != probe.l ? 0.0 : l, probe.r != probe.r ? 0.0 : r);
  }

  friend StereoSample operator+(StereoSample a, StereoSample b) { return {a.l + b.l, a.r + b.r}; }
  friend StereoSample operator-(StereoSample a, StereoSample b) { return {a.l - b.l, a.r - b.r}; }
  friend StereoSample operator*(StereoSample a, StereoSample b) { return {a.l * b.l, a.r * b.r}; }
  friend StereoSample operator/(StereoSample a, StereoSample b) { return {a.l / b.l, a.r / b.r}; }
#endif

  // A double on either side stands for itself in both lanes.
  friend StereoSample operator+(StereoSample a, double b) { return a + both(b); }
  friend StereoSample operator-(StereoSample a, double b) { return a - both(b); }
  friend StereoSample operator*(StereoSample a, double b) { return a * both(b); }
  friend StereoSample operator/(StereoSample a, double b) { return a / both(b); }
  friend StereoSample operator+(double a, StereoSample b) { return both(a) + b; }
  friend StereoSample operator-(double a, StereoSample b) { return both(a) - b; }
  friend StereoSample operator*(double a, StereoSample b) { return both(a) * b; }
  StereoSample& operator+=(StereoSample b) { return *this = *this + b; }

private:
#if QV_STEREO_SSE2
  StereoSample(__m128d packed)
    : v(packed)
  {}
  // All ones in a lane that holds no number.
  __m128d nanLanes() const { return _mm_cmpunord_pd(v, v); }

  __m128d v;
#else
  double l;
  double r;
#endif
};
