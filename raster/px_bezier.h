// Evaluation of quadratic and cubic Bezier curves, templates over the coordinate type (float in
// this library). Curve parameters are doubles in 0..1; arithmetic is in double.
#pragma once

#include <cmath>

// The quadratic through (x1, y1), control (x2, y2), (x3, y3) at t.
template <class T>
void PX_Bezier(T x1, T x2, T x3, T y1, T y2, T y3, double t, T* x, T* y)
{
  const double s = 1.0 - t, st2 = s * t + s * t;
  *x = (T)(x3 * (t * t) + (x1 * (s * s) + x2 * st2));
  *y = (T)(y3 * (t * t) + (y1 * (s * s) + y2 * st2));
}

// The quadratic's y at column x (x1 and x3 bound the columns; left of x1 is y1, right of x3 is
// y3); the curve parameter goes to *t when t is given. The root is taken of a discriminant held
// at 0 or more, and t is held in 0..1.
template <class T>
T PX_Bezier_GetY(T x1, T x2, T x3, T y1, T y2, T y3, T x, double* t)
{
  double tt;
  if (x <= x1)
    tt = 0;
  else if (x >= x3)
    tt = 1.0;
  else
  {
    const double qa = (double)x1 - (double)(x2 + x2) + (double)x3;
    if (qa == 0)
      tt = (T)(x - x1) / (T)(x3 - x1);
    else
    {
      const double qb = (double)((x2 - x1) + (x2 - x1)), qc = (double)(x1 - x);
      double disc = qb * qb - qa * qc * 4.0;
      if (!(disc > 0))
        disc = 0;
      tt = (std::sqrt(disc) - qb) / (qa + qa);
    }
    tt = tt > 0 ? (tt < 1.0 ? tt : 1.0) : 0.0;
  }
  if (t)
    *t = tt;
  if (tt == 0)
    return y1;
  if (tt == 1.0)
    return y3;
  const double s = 1.0 - tt;
  return (T)(y3 * (tt * tt) + (y1 * (s * s) + y2 * (s * tt + s * tt)));
}

// Polynomial coefficients per axis: p(t) = a t^3 + b t^2 + c t + p1.
template <class T>
void PX_CBezier_GetCoeffs(T x1, T x2, T x3, T x4, T y1, T y2, T y3, T y4, double* ax, double* bx,
                          double* cx, double* ay, double* by, double* cy)
{
  *cx = 3.0 * (double)(x2 - x1);
  *bx = 3.0 * (double)(x3 - x2) - *cx;
  *ax = (double)(x4 - x1) - *cx - *bx;
  *cy = 3.0 * (double)(y2 - y1);
  *by = 3.0 * (double)(y3 - y2) - *cy;
  *ay = (double)(y4 - y1) - *cy - *by;
}

// The cubic's y at column x (x must grow with t): the parameter is bracketed by at most eight
// bisections and y interpolated linearly inside the bracket. Out: the bracket's right column, the
// slope, and the bracket; each only when its pointer is given (the bracket not at all when x lies
// outside x1..x4).
template <class T>
T PX_CBezier_GetY(T x1, T x2, T x3, T x4, T y1, T y2, T y3, T y4, T x, T* nextx, T* dydx,
                  double* tlo, double* thi)
{
  if (x1 > x || x >= x4)
  {
    if (nextx)
      *nextx = x1 > x ? x1 : x4;
    if (dydx)
      *dydx = 0;
    return x1 > x ? y1 : y4;
  }
  double ax, bx, cx, ay, by, cy;
  PX_CBezier_GetCoeffs(x1, x2, x3, x4, y1, y2, y3, y4, &ax, &bx, &cx, &ay, &by, &cy);
  const auto X = [&](double t) { return (bx + ax * t) * t * t + (x1 + cx * t); };
  const auto Y = [&](double t) { return (by + ay * t) * t * t + (y1 + cy * t); };
  double tl = 0, th = 1.0, xl = 0, xh = 0;
  for (int i = 0; i < 8; ++i)
  {
    const double tm = 0.5 * (tl + th), xm = X(tm);
    if (x > xm)
      tl = tm, xl = xm;
    else if (x < xm)
      th = tm, xh = xm;
    else
    {
      tl = tm, xl = xm;
      th = tm + 1.0 / 256 < 1.0 ? tm + 1.0 / 256 : 1.0;
      xh = X(th);
      break;
    }
  }
  if (tl == 0)
    xl = X(0);
  if (th == 1.0)
    xh = X(1.0);
  const double yl = Y(tl), yh = Y(th);
  const double slope = xh != xl ? (yh - yl) / (xh - xl) : 0;
  if (nextx)
    *nextx = (T)xh;
  if (dydx)
    *dydx = (T)slope;
  if (tlo)
    *tlo = tl;
  if (thi)
    *thi = th;
  return (T)((x - xl) * slope + yl);
}
