#pragma once
// Sine in double precision, computed by the engine itself: the same bits on every target.
//
// Why: the sine LFO takes one sine per sample. Platform mathematics libraries differ by an order of
// magnitude in speed (and may differ in the last bit), so the engine carries its own, inlinable
// into the per-sample loop.
//
// How: the argument is reduced by the nearest multiple n of pi/2 (Cody and Waite: a first part of
// pi/2 with 33 bits, whose product with n < 2^20 is exact, then the rest; next to a multiple, where
// the first difference cancels, a second 33-bit part and its rest), and
// the remainder's sine or cosine comes from short polynomials on [-pi/4, pi/4] (below). The
// rounding tail of the remainder enters to first order.
//
// Careful: the rounding of every step is part of the result; the build forbids fused
// multiply-add contraction, so both targets compute the same bits. Arguments beyond 2^20 x pi/2
// in magnitude (far past any oscillator phase), infinities and NaN go to the library's sin.

#include "effect/dsp/AvxCode.h"
#include "effect/dsp/StereoSample.h"

#include <cmath>

namespace sine_detail {

constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;
// pi / 2 = kHalfPi1 + kHalfPi1Rest, and = kHalfPi1 + kHalfPi2 + kHalfPi2Rest to 119 bits; the
// parts kHalfPi1 and kHalfPi2 have 33 significant bits.
constexpr double kHalfPi1 = 0x1.921fb544p+0;
constexpr double kHalfPi1Rest = 0x1.0b4611a626331p-34;
constexpr double kHalfPi2 = 0x1.0b4611a6p-34;
constexpr double kHalfPi2Rest = 0x1.3198a2e037073p-69;
// Whole multiples of pi / 2 up to 2^20 keep n x kHalfPi1 and n x kHalfPi2 exact (20 + 33 bits).
constexpr double kMaxReduced = 1.647099e6;
// Below this, most of the remainder cancelled against the first part: take the second.
constexpr double kCancelled = 0x1p-16;

// sin x = x + x^3 g(x^2) and cos x = 1 - x^2/2 + x^4 h(x^2) on [-pi/4, pi/4]: g and h are the
// Taylor series economised to degree 5 over that interval (shifted Chebyshev polynomials, worked in
// exact rational arithmetic, then rounded); their error stays below a tenth of the last bit.
constexpr double s3 = -0x1.5555555555555p-3, s5 = 0x1.1111111110bb3p-7, s7 = -0x1.a01a019e83c6fp-13,
                 s9 = 0x1.71de3796a9ea9p-19, s11 = -0x1.ae600b2037cb1p-26,
                 s13 = 0x1.5e0b2389aef14p-33;
constexpr double c4 = 0x1.5555555555555p-5, c6 = -0x1.6c16c16c16967p-10, c8 = 0x1.a01a019f4ebc8p-16,
                 c10 = -0x1.27e4fa17e834bp-22, c12 = 0x1.1eeb68f65afa5p-29,
                 c14 = -0x1.907dabea175dbp-37;

// sin(x + y) for |x| <= pi/4, y the rounding tail of x. (T: double, or StereoSample for two
// arguments side by side.)
template <class T>
QV_ALWAYS_INLINE T kernelSin(T x, T y)
{
  const T z = x * x;
  const T z2 = z * z;  // pairs of terms side by side: a shorter chain of dependent steps
  const T p = (s3 + z * s5) + z2 * ((s7 + z * s9) + z2 * (s11 + z * s13));
  return x + ((z * x) * p + y * (1.0 - 0.5 * z));
}

// cos(x + y) for |x| <= pi/4, y the rounding tail of x. 1 - x^2/2 is split into its rounded sum
// and the rounding error, which joins the small terms.
template <class T>
QV_ALWAYS_INLINE T kernelCos(T x, T y)
{
  const T z = x * x;
  const T z2 = z * z;
  const T q = (c4 + z * c6) + z2 * ((c8 + z * c10) + z2 * (c12 + z * c14));
  const T hz = 0.5 * z;
  const T head = 1.0 - hz;
  const T error = (1.0 - head) - hz;
  return head + (error + (z2 * q - x * y));
}

}  // namespace sine_detail

inline double sine(double x)
{
  using namespace sine_detail;
  const double ax = std::fabs(x);
  if (!(ax <= kMaxReduced))
    return std::sin(x);
  // The nearest multiple: 0 <= ax x 2/pi + 1/2 < 2^21, where truncation is the floor.
  const int quadrant = (int)(ax * kTwoOverPi + 0.5);
  const double n = (double)quadrant;
  // t is exact (n x kHalfPi1 is, and t is the difference of two numbers within a factor of two);
  // r = t - w rounds, and its rounding error goes into the tail.
  double t = ax - n * kHalfPi1;
  double w = n * kHalfPi1Rest;
  double r = t - w;
  if (std::fabs(r) < kCancelled)
  {
    t = t - n * kHalfPi2;  // exact again
    w = n * kHalfPi2Rest;
    r = t - w;
  }
  const double tail = (t - r) - w;
  double s;
  switch (quadrant & 3)
  {
    case 0:
      s = kernelSin(r, tail);
      break;
    case 1:
      s = kernelCos(r, tail);
      break;
    case 2:
      s = -kernelSin(r, tail);
      break;
    default:
      s = -kernelCos(r, tail);
      break;
  }
  return x < 0.0 ? -s : s;
}

// sine() of two arguments side by side, with the bits of sine() on each: the lanes share the
// reduction and, when they fall in the same quadrant (neighbouring phases of an oscillator almost
// always do), the polynomial. Otherwise (negative arguments, arguments beyond the reduction, lanes
// in different quadrants, a remainder that cancelled) each lane takes sine() on its own.
inline StereoSample sinePair(StereoSample x)
{
  using namespace sine_detail;
  if (x.bothWithin(0.0, kMaxReduced))
  {
    const StereoSample ax = x.abs();  // -0 becomes +0, as in sine()
    int quadrant, right;
    const StereoSample n = (ax * kTwoOverPi + 0.5).truncated(quadrant, right);
    const StereoSample t = ax - n * kHalfPi1;
    const StereoSample w = n * kHalfPi1Rest;
    const StereoSample r = t - w;
    if (quadrant == right && !r.abs().anyBelow(kCancelled))
    {
      const StereoSample tail = (t - r) - w;
      switch (quadrant & 3)
      {
        case 0:
          return kernelSin(r, tail);
        case 1:
          return kernelCos(r, tail);
        case 2:
          return -kernelSin(r, tail);
        default:
          return -kernelCos(r, tail);
      }
    }
  }
  return StereoSample(sine(x.left()), sine(x.right()));
}

// sine() of ascending arguments side by side, eight at a time.
//
// Why: an oscillator's phases ascend (between wraps) by a small step, so neighbouring phases
// nearly always lie in one quadrant, away from its multiple of pi / 2. There every argument takes
// the same n, nothing cancels, and one kernel serves them all: no test per lane, and the
// reduction's products are computed once. The kernel runs on Lanes: StereoSample (two doubles,
// SSE2), or FourDoubles (GCC's vector extension: one instruction each in code compiled for AVX;
// without AVX it is split clumsily, so such code takes StereoSample). Every lane rounds as the
// scalar operation does.
//
// Why the two ends suffice: for a fixed n, the quadrant (ax x 2/pi + 1/2, truncated) and the
// remainder r = (ax - n x kHalfPi1) - n x kHalfPi1Rest are rounded from non-decreasing functions
// of the argument, so along ascending arguments they do not decrease either.
//
// Careful: the arguments must ascend (x[0] <= x[1] <= ...); the caller knows, the function does
// not check. It returns false, and writes nothing, when they are not all inside one quadrant clear
// of its multiple (then take sinePair()).
constexpr int kAscendingSines = 8;
typedef double FourDoubles __attribute__((vector_size(4 * sizeof(double))));

namespace sine_detail {

typedef long long FourDoublesBits __attribute__((vector_size(4 * sizeof(double))));

// x[0 .. lanes) put together in registers (from values the caller has just worked out one by
// one: loaded from memory, they would wait for their stores), each sign cleared: -0 becomes +0,
// as in sine().
QV_ALWAYS_INLINE void magnitudes(const double* x, StereoSample& v)
{
  v = StereoSample(x[0], x[1]).abs();
}
QV_ALWAYS_INLINE void magnitudes(const double* x, FourDoubles& v)
{
  const FourDoubles lanes = {x[0], x[1], x[2], x[3]};
  v = (FourDoubles)((FourDoublesBits)lanes & 0x7fffffffffffffffLL);
}
QV_ALWAYS_INLINE void storeLanes(StereoSample v, double* out) { v.store(out); }
QV_ALWAYS_INLINE void storeLanes(FourDoubles v, double* out)
{
  __builtin_memcpy(out, &v, sizeof v);
}

// sine() of each argument, all in the quadrant (0 .. 3 of the cycle) whose multiple of pi / 2 is
// nHalfPi1 + w.
template <int kQuadrant, class Lanes>
QV_ALWAYS_INLINE void reducedSines(const double (&x)[kAscendingSines], double nHalfPi1, double w,
                                   double* out)
{
  constexpr int kWidth = sizeof(Lanes) / sizeof(double);
  for (int k = 0; k < kAscendingSines; k += kWidth)
  {
    Lanes ax;
    magnitudes(x + k, ax);
    const Lanes t = ax - nHalfPi1;  // exact
    const Lanes r = t - w;
    const Lanes tail = (t - r) - w;
    const Lanes s = kQuadrant % 2 == 0 ? kernelSin(r, tail) : kernelCos(r, tail);
    storeLanes(kQuadrant < 2 ? s : -s, out + k);
  }
}

}  // namespace sine_detail

template <class Lanes>
QV_ALWAYS_INLINE bool ascendingSines(const double (&x)[kAscendingSines], double* out)
{
  using namespace sine_detail;
  const double first = x[0], last = x[kAscendingSines - 1];
  if (!(first >= 0.0 && last <= kMaxReduced))  // false for no number
    return false;
  const int quadrant = (int)(first * kTwoOverPi + 0.5);
  if ((int)(last * kTwoOverPi + 0.5) != quadrant)
    return false;
  const double n = (double)quadrant;
  const double nHalfPi1 = n * kHalfPi1;  // exact
  const double w = n * kHalfPi1Rest;
  // The remainders at both ends: all the others lie between them.
  if (!((first - nHalfPi1) - w >= kCancelled || (last - nHalfPi1) - w <= -kCancelled))
    return false;

  switch (quadrant & 3)
  {
    case 0:
      reducedSines<0, Lanes>(x, nHalfPi1, w, out);
      break;
    case 1:
      reducedSines<1, Lanes>(x, nHalfPi1, w, out);
      break;
    case 2:
      reducedSines<2, Lanes>(x, nHalfPi1, w, out);
      break;
    default:
      reducedSines<3, Lanes>(x, nHalfPi1, w, out);
      break;
  }
  return true;
}
