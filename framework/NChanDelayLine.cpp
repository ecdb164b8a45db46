#include "framework/NChanDelayLine.h"

#include <climits>
#include <cstring>

NChanDelayLine::NChanDelayLine(int nInChans, int nOutChans)
  : mNInChans(nInChans > 0 ? nInChans : 0)
  , mNOutChans(nOutChans > 0 ? nOutChans : 0)
{}

bool NChanDelayLine::SetDelayTime(int delaySamples)
{
  mWriteAddress = 0;
  mDTSamples = 0;
  if (delaySamples < 1)
  {
    mBuffer.Resize(0);
    return delaySamples == 0;
  }
  if (mNInChans > 0 && delaySamples > INT_MAX / mNInChans)
    return false;
  const int size = delaySamples * mNInChans;
  mBuffer.Resize(size);
  if (mBuffer.GetSize() != size)
    return false;
  mDTSamples = delaySamples;
  ClearBuffer();
  return true;
}

void NChanDelayLine::ClearBuffer()
{
  if (mBuffer.Get())
    memset(mBuffer.Get(), 0, (size_t)mBuffer.GetSize() * sizeof(double));
}

void NChanDelayLine::ProcessBlock(double** inputs, double** outputs, int nFrames)
{
  const int nChans = mNInChans < mNOutChans ? mNInChans : mNOutChans;
  if (!inputs || !outputs || nFrames < 1)
    return;
  if (mDTSamples == 0)
  {
    for (int c = 0; c < nChans; ++c)
      if (outputs[c] != inputs[c])
        memmove(outputs[c], inputs[c], (size_t)nFrames * sizeof(double));
    return;
  }
  double* pBuf = mBuffer.Get();
  for (int s = 0; s < nFrames; ++s)
  {
    // The slot about to be overwritten holds the sample written mDTSamples frames ago.
    for (int c = 0; c < nChans; ++c)
    {
      double* pSlot = pBuf + (size_t)c * mDTSamples + mWriteAddress;
      const double in = inputs[c][s];
      outputs[c][s] = *pSlot;
      *pSlot = in;
    }
    if (++mWriteAddress == mDTSamples)
      mWriteAddress = 0;
  }
}
