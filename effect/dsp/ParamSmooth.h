#pragma once
// One-pole smoother in single precision: z = in * b + z * a with a = 0.99 and b = 1 - a.
//
// It rounds off the edges of the LFO's saw and square shapes. The single-precision arithmetic
// shapes the sound and is kept on purpose; b is formed in float, where 1 - 0.99f is exact.

class CParamSmooth
{
public:
  CParamSmooth()
    : a(0.99f)
    , b(1.0f - a)
    , z(0.0f)
  {}

  float Process(float in)
  {
    z = (in * b) + (z * a);
    return z;
  }

private:
  float a;
  float b;
  float z;
};
