// PluginBase: channel records, their connection, the per-block attachment of host buffers, the
// single/double precision conversion and the default pass-through.

#include "framework/PluginBase.h"

#include "framework/NChanDelayLine.h"

#include <cfloat>
#include <cmath>
#include <cstring>

namespace {

// The channels [idx, idx + n) that lie in [0, count), computed without overflow; negative indexes
// and counts are clamped.
struct ChannelRange
{
  int lo;
  int hi;
  ChannelRange(int idx, int n, int count)
  {
    long long l = idx < 0 ? 0 : idx;
    long long h = (long long)idx + (n < 0 ? 0 : n);
    if (h > count)
      h = count;
    if (l > h)
      l = h;
    lo = (int)l;
    hi = (int)h;
  }
};

template <class S, class D>
void CastCopy(D* pDest, const S* pSrc, int n)
{
  for (int i = 0; i < n; ++i)
    pDest[i] = (D)pSrc[i];
}

// A processed sample on its way to a single-precision host. Values below the float's normal range
// become 0 rather than float denormals: the engine's decays pass through that range as ordinary
// doubles, and denormals would slow down whatever processes the host's buffer next.
inline float ToHostFloat(double v)
{
  const float f = (float)v;
  return std::fabs(f) < FLT_MIN ? 0.0f : f;
}

// Writes one output channel's double block into the host's float buffer of the block, replacing
// what it holds or adding to it.
template <bool kAccumulate>
void StoreHostFloats(const PluginBase::OutChannel* pOut, int nFrames)
{
  if (!pOut->mConnected || !pOut->mFDest)
    return;
  float* pDest = pOut->mFDest;
  const double* pSrc = *pOut->mDest;
  for (int s = 0; s < nFrames; ++s)
    pDest[s] = kAccumulate ? ToHostFloat(pDest[s] + ToHostFloat(pSrc[s])) : ToHostFloat(pSrc[s]);
}

void ZeroDoubles(QvTypedBuf<double>& buf)
{
  if (buf.Get())
    memset(buf.Get(), 0, (size_t)buf.GetSize() * sizeof(double));
}

// The default pass-through on any sample type: output i copies input i, outputs without an input
// are silent. An output that is its input (in-place processing) is left as it is.
template <class T>
void PassChannels(T** inputs, T** outputs, int nIn, int nOut, int nFrames)
{
  if (nFrames < 1 || !outputs)
    return;
  for (int i = 0; i < nOut; ++i)
  {
    if (!outputs[i])
      continue;
    if (i < nIn && inputs && inputs[i])
    {
      if (outputs[i] != inputs[i])
        memmove(outputs[i], inputs[i], (size_t)nFrames * sizeof(T));
    }
    else
    {
      memset(outputs[i], 0, (size_t)nFrames * sizeof(T));
    }
  }
}

}  // namespace

void PluginBase::SetInputChannelConnections(int idx, int n, bool connected)
{
  const ChannelRange r(idx, n, NInChannels());
  for (int i = r.lo; i < r.hi; ++i)
  {
    InChannel* pIn = mInChannels.Get(i);
    pIn->mConnected = connected;
    if (!connected)
    {
      ZeroDoubles(pIn->mScratchBuf);
      *pIn->mSrc = pIn->mScratchBuf.Get();
    }
  }
}

void PluginBase::SetOutputChannelConnections(int idx, int n, bool connected)
{
  const ChannelRange r(idx, n, NOutChannels());
  for (int i = r.lo; i < r.hi; ++i)
  {
    OutChannel* pOut = mOutChannels.Get(i);
    pOut->mConnected = connected;
    if (!connected)
      *pOut->mDest = pOut->mScratchBuf.Get();
  }
}

bool PluginBase::IsInChannelConnected(int chIdx) const
{
  const InChannel* pIn = mInChannels.Get(chIdx);
  return pIn && pIn->mConnected;
}

bool PluginBase::IsOutChannelConnected(int chIdx) const
{
  const OutChannel* pOut = mOutChannels.Get(chIdx);
  return pOut && pOut->mConnected;
}

void PluginBase::LimitToStereoIO()
{
  if (NInChannels() > 2)
    SetInputChannelConnections(2, NInChannels() - 2, false);
  if (NOutChannels() > 2)
    SetOutputChannelConnections(2, NOutChannels() - 2, false);
}

// Resizes and zeroes every scratch buffer, then points every slot at its scratch again (a buffer
// may have moved; connected slots are re-attached by the next block). Shrinking keeps the block,
// so a failure can only leave a buffer at its old, larger-than-needed size: every buffer holds at
// least the stored block size at all times.
bool PluginBase::ResizeScratchBuffers(int nFrames)
{
  bool allResized = true;
  for (int i = 0; i < NInChannels(); ++i)
  {
    InChannel* pIn = mInChannels.Get(i);
    pIn->mScratchBuf.Resize(nFrames, false);
    allResized = allResized && pIn->mScratchBuf.GetSize() == nFrames;
    ZeroDoubles(pIn->mScratchBuf);
    *pIn->mSrc = pIn->mScratchBuf.Get();
  }
  for (int i = 0; i < NOutChannels(); ++i)
  {
    OutChannel* pOut = mOutChannels.Get(i);
    pOut->mScratchBuf.Resize(nFrames, false);
    allResized = allResized && pOut->mScratchBuf.GetSize() == nFrames;
    ZeroDoubles(pOut->mScratchBuf);
    *pOut->mDest = pOut->mScratchBuf.Get();
  }
  return allResized;
}

void PluginBase::SetBlockSize(int blockSize)
{
  if (blockSize < 1 || blockSize == mBlockSize)
    return;
  if (ResizeScratchBuffers(blockSize))
    mBlockSize = blockSize;
}

bool PluginBase::EnsureBlockSize(int nFrames)
{
  if (nFrames < 1)
    return false;
  if (nFrames <= mBlockSize)
    return true;
  if (!ResizeScratchBuffers(nFrames))
    return false;
  mBlockSize = nFrames;
  return true;
}

void PluginBase::AttachInputBuffers(int idx, int n, double** ppData, int nFrames)
{
  if (!ppData || nFrames < 1 || nFrames > mBlockSize)
    return;
  const ChannelRange r(idx, n, NInChannels());
  double** ppHost = ppData;
  for (int i = r.lo; i < r.hi; ++i)
  {
    InChannel* pIn = mInChannels.Get(i);
    if (!pIn->mConnected)
      continue;
    double* pHost = *ppHost++;
    if (!pHost)
    {
      // A host that hands a null channel buffer gets silence on that channel.
      memset(pIn->mScratchBuf.Get(), 0, (size_t)nFrames * sizeof(double));
      pHost = pIn->mScratchBuf.Get();
    }
    *pIn->mSrc = pHost;
  }
}

void PluginBase::AttachInputBuffers(int idx, int n, float** ppData, int nFrames)
{
  if (!ppData || nFrames < 1 || nFrames > mBlockSize)
    return;
  const ChannelRange r(idx, n, NInChannels());
  float** ppHost = ppData;
  for (int i = r.lo; i < r.hi; ++i)
  {
    InChannel* pIn = mInChannels.Get(i);
    if (!pIn->mConnected)
      continue;
    const float* pHost = *ppHost++;
    double* pScratch = pIn->mScratchBuf.Get();
    if (pHost)
      CastCopy(pScratch, pHost, nFrames);
    else
      memset(pScratch, 0, (size_t)nFrames * sizeof(double));
    *pIn->mSrc = pScratch;
  }
}

void PluginBase::AttachOutputBuffers(int idx, int n, double** ppData)
{
  if (!ppData)
    return;
  const ChannelRange r(idx, n, NOutChannels());
  double** ppHost = ppData;
  for (int i = r.lo; i < r.hi; ++i)
  {
    OutChannel* pOut = mOutChannels.Get(i);
    if (!pOut->mConnected)
      continue;
    double* pHost = *ppHost++;
    // A null host buffer: the channel's output goes to its scratch and is dropped.
    *pOut->mDest = pHost ? pHost : pOut->mScratchBuf.Get();
  }
}

void PluginBase::AttachOutputBuffers(int idx, int n, float** ppData)
{
  if (!ppData)
    return;
  const ChannelRange r(idx, n, NOutChannels());
  float** ppHost = ppData;
  for (int i = r.lo; i < r.hi; ++i)
  {
    OutChannel* pOut = mOutChannels.Get(i);
    if (!pOut->mConnected)
      continue;
    *pOut->mDest = pOut->mScratchBuf.Get();
    pOut->mFDest = *ppHost++;
  }
}

void PluginBase::ProcessBuffers(double /*sampleType*/, int nFrames)
{
  if (nFrames < 1 || nFrames > mBlockSize)
    return;
  ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
}

void PluginBase::ProcessBuffers(float /*sampleType*/, int nFrames)
{
  if (nFrames < 1 || nFrames > mBlockSize)
    return;
  ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
  for (int i = 0; i < NOutChannels(); ++i)
    StoreHostFloats<false>(mOutChannels.Get(i), nFrames);
}

void PluginBase::ProcessBuffersAccumulating(float /*sampleType*/, int nFrames)
{
  if (nFrames < 1 || nFrames > mBlockSize)
    return;
  ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
  for (int i = 0; i < NOutChannels(); ++i)
    StoreHostFloats<true>(mOutChannels.Get(i), nFrames);
}

void PluginBase::PassThroughBuffers(double /*sampleType*/, int nFrames)
{
  if (nFrames < 1 || nFrames > mBlockSize)
    return;
  if (mLatency && mDelay)
    mDelay->ProcessBlock(mInData.Get(), mOutData.Get(), nFrames);
  else
    PassThrough(mInData.Get(), mOutData.Get(), nFrames);
}

void PluginBase::PassThroughBuffers(float /*sampleType*/, int nFrames)
{
  if (nFrames < 1 || nFrames > mBlockSize)
    return;
  PassThroughBuffers(0.0, nFrames);
  for (int i = 0; i < NOutChannels(); ++i)
  {
    OutChannel* pOut = mOutChannels.Get(i);
    if (pOut->mConnected && pOut->mFDest)
      CastCopy(pOut->mFDest, *pOut->mDest, nFrames);
  }
}

void PluginBase::ZeroScratchBuffers()
{
  for (int i = 0; i < NInChannels(); ++i)
    ZeroDoubles(mInChannels.Get(i)->mScratchBuf);
  for (int i = 0; i < NOutChannels(); ++i)
    ZeroDoubles(mOutChannels.Get(i)->mScratchBuf);
}

void PluginBase::PassThrough(double** inputs, double** outputs, int nFrames)
{
  PassChannels(inputs, outputs, NInChannels(), NOutChannels(), nFrames);
}

void PluginBase::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames)
{
  PassChannels(inputs, outputs, NInChannels(), NOutChannels(), nFrames);
}

void PluginBase::ProcessSingleReplacing(float** inputs, float** outputs, int nFrames)
{
  PassChannels(inputs, outputs, NInChannels(), NOutChannels(), nFrames);
}

void PluginBase::SetInputLabel(int idx, const char* label)
{
  InChannel* pIn = mInChannels.Get(idx);
  if (pIn && label)
    pIn->mLabel.Set(label);
}

void PluginBase::SetOutputLabel(int idx, const char* label)
{
  OutChannel* pOut = mOutChannels.Get(idx);
  if (pOut && label)
    pOut->mLabel.Set(label);
}

namespace {

void ReplaceBusLabel(QvPtrList<QvString>& labels, int idx, const char* label)
{
  labels.Delete(idx, true);
  QvString* pLabel = new QvString(label);
  if (!labels.Insert(idx, pLabel))
    delete pLabel;
}

}  // namespace

void PluginBase::SetInputBusLabel(int idx, const char* label)
{
  if (idx == 0 || idx == 1)
    ReplaceBusLabel(mInputBusLabels, idx, label);
}

void PluginBase::SetOutputBusLabel(int idx, const char* label)
{
  if (idx >= 0)
    ReplaceBusLabel(mOutputBusLabels, idx, label);
}
