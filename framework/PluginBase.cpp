#include "framework/PluginBase.h"

#include "framework/NChanDelayLine.h"
#include "framework/base/Log.h"
#include "framework/base/StrCopy.h"
#include "gui/IGraphics.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

// Reads one decimal number at p as "%d" would (leading blanks skipped), clamped to int. Answers the
// position after it, or null when no number is there.
const char* ReadCount(const char* p, int* pValue)
{
  char* end = nullptr;
  const long long v = strtoll(p, &end, 10);
  if (end == p)
    return nullptr;
  *pValue = v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : (int)v;
  return end;
}

}  // namespace

PluginBase::PluginBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
                       const char* productName, const char* mfrName, int vendorVersion,
                       int uniqueID, int mfrID, int latency, bool /*plugDoesMidi*/,
                       bool plugDoesChunks, bool plugIsInst, EAPI plugAPI)
  : mUniqueID(uniqueID)
  , mMfrID(mfrID)
  , mVersion(vendorVersion)
  , mAPI(plugAPI)
  , mHost(kHostUninit)
  , mHostVersion(0)
  , mStateChunks(plugDoesChunks)
  , mIsInst(plugIsInst)
  , mCurrentPresetIdx(0)
  , mSampleRate(44100.0)
  , mBlockSize(0)
  , mLatency(latency)
  , mDelay(nullptr)
  , mGraphics(nullptr)
{
  for (int i = 0; i < nParams; ++i)
    mParams.Add(new IParam);
  for (int i = 0; i < nPresets; ++i)
    mPresets.Add(new IPreset(i));

  StrCopyBounded(mEffectName, kNameSize, effectName);
  StrCopyBounded(mProductName, kNameSize, productName);
  StrCopyBounded(mMfrName, kNameSize, mfrName);

  // One pair per blank-separated "<in>-<out>" token; a token that does not parse gives 0 for what
  // it lacks (so a trailing blank adds a pair (0, 0)).
  int nInputs = 0, nOutputs = 0;
  for (const char* p = channelIOStr; p;)
  {
    int nIn = 0, nOut = 0;
    const char* q = ReadCount(p, &nIn);
    if (q && *q == '-')
      ReadCount(q + 1, &nOut);
    if (nIn > nInputs)
      nInputs = nIn;
    if (nOut > nOutputs)
      nOutputs = nOut;
    mChannelIO.Add(new ChannelIO(nIn, nOut));
    p = strchr(p, ' ');
    if (p)
      ++p;
  }

  mInData.Resize(nInputs);
  mOutData.Resize(nOutputs);
  for (int i = 0; i < nInputs && mInData.Get(); ++i)
  {
    InChannel* pIn = new InChannel;
    pIn->mSrc = mInData.Get() + i;
    *pIn->mSrc = nullptr;
    mInChannels.Add(pIn);
  }
  for (int i = 0; i < nOutputs && mOutData.Get(); ++i)
  {
    OutChannel* pOut = new OutChannel;
    pOut->mDest = mOutData.Get() + i;
    *pOut->mDest = nullptr;
    mOutChannels.Add(pOut);
  }
}

PluginBase::~PluginBase()
{
  delete mGraphics;
  mGraphics = nullptr;
  mParams.Empty(true);
  mPresets.Empty(true);
  mInChannels.Empty(true);
  mOutChannels.Empty(true);
  mChannelIO.Empty(true);
  mInputBusLabels.Empty(true);
  mOutputBusLabels.Empty(true);
  delete mDelay;
  mDelay = nullptr;
}

// The defaults of Reset, OnParamChange and OnActivate only take the lock: an override may rely on
// the caller holding it.
void PluginBase::Reset() { IMutexLock lock(this); }

void PluginBase::OnParamChange(int /*paramIdx*/) { IMutexLock lock(this); }

void PluginBase::OnActivate(bool /*active*/) { IMutexLock lock(this); }

void PluginBase::ProcessMidiMsg(IMidiMsg* pMsg) { SendMidiMsg(pMsg); }

bool PluginBase::MidiNoteName(int /*noteNumber*/, char* name)
{
  if (name)
    *name = '\0';
  return false;
}

bool PluginBase::SerializeState(ByteChunk* pChunk) { return SerializeParams(pChunk); }

int PluginBase::UnserializeState(ByteChunk* pChunk, int startPos)
{
  return UnserializeParams(pChunk, startPos);
}

void PluginBase::SetParameterFromGUI(int paramIdx, double normalizedValue)
{
  if (paramIdx < 0 || paramIdx >= NParams())
    return;
  TRACE("%d:%f", paramIdx, normalizedValue);
  bool changed;
  double held;
  {
    IMutexLock lock(this);
    IParam* pParam = GetParam(paramIdx);
    // What the host would read as it reads the value held now leaves that value as it is.
    changed = !pParam->KeepsHostValue(normalizedValue);
    if (changed)
      pParam->SetNormalized(normalizedValue);
    held = pParam->GetNormalized();
    OnParamChange(paramIdx);
  }
  // Automation records what the plug-in holds, never a value between its steps.
  if (changed)
    InformHostOfParamChange(paramIdx, held);
}

void PluginBase::AttachGraphics(IGraphics* pGraphics)
{
  if (!pGraphics)
    return;
  IMutexLock lock(this);
  for (int i = 0; i < NParams(); ++i)
    pGraphics->SetParameterFromPlug(i, GetParam(i)->GetNormalized(), true);
  pGraphics->PrepDraw();
  if (mGraphics != pGraphics)
    delete mGraphics;
  mGraphics = pGraphics;
}

void PluginBase::SetLatency(int samples)
{
  mLatency = samples;
  if (mDelay)
    mDelay->SetDelayTime(samples);
}

void PluginBase::RedrawParamControls()
{
  if (!mGraphics)
    return;
  for (int i = 0; i < NParams(); ++i)
    mGraphics->SetParameterFromPlug(i, GetParam(i)->Value(), false);
}

bool PluginBase::LegalIO(int nIn, int nOut) const
{
  for (int i = 0; i < mChannelIO.GetSize(); ++i)
  {
    const ChannelIO* pIO = mChannelIO.Get(i);
    if ((nIn < 0 || nIn == pIO->mIn) && (nOut < 0 || nOut == pIO->mOut))
      return true;
  }
  return false;
}

int PluginBase::GetEffectVersion(bool decimal) const
{
  return decimal ? GetDecimalVersion(mVersion) : mVersion;
}

void PluginBase::GetEffectVersionStr(char* buffer) const { GetVersionStr(mVersion, buffer); }

void PluginBase::OnParamReset()
{
  if (mStagingPresets)
    return;
  for (int i = 0; i < NParams(); ++i)
    OnParamChange(i);
}

void PluginBase::DirtyParameters()
{
  const int n = NParams();
  QvTypedBuf<double> values;
  values.Resize(n);
  if (values.GetSize() != n)
    return;
  {
    IMutexLock lock(this);
    for (int i = 0; i < n; ++i)
      values.Get()[i] = GetParam(i)->GetNormalized();
  }
  for (int i = 0; i < n; ++i)
    InformHostOfParamChange(i, values.Get()[i]);
}

double PluginBase::GetSamplesPerBeat()
{
  const double tempo = GetTempo();
  return tempo > 0.0 ? mSampleRate * 60.0 / tempo : 0.0;
}

bool PluginBase::SendMidiMsgs(QvTypedBuf<IMidiMsg>* pMsgs)
{
  if (!pMsgs)
    return true;
  bool allSent = true;
  IMidiMsg* pMsg = pMsgs->Get();
  for (int i = 0, n = pMsgs->GetSize(); i < n; ++i)
    allSent = SendMidiMsg(&pMsg[i]) && allSent;
  return allSent;
}

void PluginBase::SetHost(const char* productString, int version)
{
  mHost = LookUpHost(productString);
  mHostVersion = version;
}

int PluginBase::GetHostVersion(bool decimal)
{
  GetHost();
  return decimal ? GetDecimalVersion(mHostVersion) : mHostVersion;
}

void PluginBase::GetHostVersionStr(char* buffer)
{
  GetHost();
  GetVersionStr(mHostVersion, buffer);
}

const char* PluginBase::GetAPIString() { return GetAPIName(GetAPI()); }

const char* GetAPIName(int api)
{
  switch (api)
  {
    case kAPIVST2:
      return "VST2";
    case kAPIVST3:
      return "VST3";
    case kAPIAU:
      return "AU";
    case kAPIRTAS:
      return "RTAS";
    case kAPIAAX:
      return "AAX";
    case kAPIStandalone:
      return "Standalone";
    default:
      return "";
  }
}
