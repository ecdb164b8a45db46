#include "framework/vst/PluginVST.h"

#include "framework/base/Log.h"
#include "framework/base/StrCopy.h"
#include "framework/vst/BoundaryGuard.h"
#include "gui/IGraphics.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Answers of effVendorSpecific and effCanDo that some hosts look for.
const VstIntPtr kVendorAnswer = 0xbeef;
const VstIntPtr kHostExtensionAnswer = (VstIntPtr)0xbeef0000u;  // zero-extended

// Sizes of the parameter texts the plug-in hands out: the parameter's own fields.
const int kParamStrLen = IParam::kTextLen;

// What the time queries ask for, together: the filter of the time fetched for each block.
const int kBlockTimeFilter =
  kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstCyclePosValid | kVstTimeSigValid;

PluginVST* InstanceOf(AEffect* pEffect)
{
  return pEffect ? static_cast<PluginVST*>(pEffect->object) : nullptr;
}

// A host call on the instance behind pEffect: fn(instance) inside the boundary guard, counted under
// where when it throws. Without an instance, and after an exception, the answer is fallback.
template <class R, class FN>
R OnInstance(AEffect* pEffect, const char* where, R fallback, FN&& fn)
{
  PluginVST* pPlug = InstanceOf(pEffect);
  return pPlug ? BoundaryGuard::Run(where, fallback, [&] { return fn(pPlug); }) : fallback;
}

// The same for a call without an answer.
template <class FN>
void OnInstance(AEffect* pEffect, const char* where, FN&& fn)
{
  OnInstance(pEffect, where, 0, [&](PluginVST* pPlug) {
    fn(pPlug);
    return 0;
  });
}

// Copies a name into the host's buffer of size bytes: 1, or 0 when there is no buffer.
VstIntPtr NameToHost(void* ptr, int size, const char* name)
{
  if (!ptr)
    return 0;
  StrCopyBounded((char*)ptr, size, name);
  return 1;
}

// True when the pointer-sized value lies in 0 .. n - 1.
bool InRange(VstIntPtr value, int n) { return value >= 0 && value < (VstIntPtr)n; }

}  // namespace

// ---- Free functions ---------------------------------------------------------------------------

VstTimeInfo* GetTimeInfo(audioMasterCallback hostCallback, AEffect* pEffect, int filter)
{
  if (!hostCallback)
    return nullptr;
  VstTimeInfo* pTI =
    (VstTimeInfo*)hostCallback(pEffect, audioMasterGetTime, 0, filter, nullptr, 0.0f);
  if (pTI && (!filter || (pTI->flags & filter)))
    return pTI;
  return nullptr;
}

int VSTSpkrArrType(int nChannels)
{
  switch (nChannels)
  {
    case 0:
      return kSpeakerArrEmpty;
    case 1:
      return kSpeakerArrMono;
    case 2:
      return kSpeakerArrStereo;
    default:
      return kSpeakerArrUserDefined;
  }
}

// ---- Construction -----------------------------------------------------------------------------

PluginVST::PluginVST(PluginInstanceInfo instanceInfo, int nParams, const char* channelIOStr,
                     int nPresets, const char* effectName, const char* productName,
                     const char* mfrName, int vendorVersion, int uniqueID, int mfrID, int latency,
                     bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst, int /*plugScChans*/)
  : PluginBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion,
               uniqueID, mfrID, latency, plugDoesMidi, plugDoesChunks, plugIsInst, kAPIVST2)
  , mHostCallback(instanceInfo.mVSTHostCallback)
  , mHostSpecificInitDone(false)
  , mDoesMidi(plugDoesMidi)
  , mHasVSTExtensions(0)
  , mBlockTime(nullptr)
{
  memset(&mAEffect, 0, sizeof(AEffect));
  mAEffect.magic = kEffectMagic;
  mAEffect.dispatcher = VSTDispatcher;
  mAEffect.process = VSTProcess;
  mAEffect.setParameter = VSTSetParameter;
  mAEffect.getParameter = VSTGetParameter;
  mAEffect.numPrograms = nPresets;
  mAEffect.numParams = nParams;
  mAEffect.numInputs = NInChannels();
  mAEffect.numOutputs = NOutChannels();
  mAEffect.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing;
  if (plugDoesChunks)
    mAEffect.flags |= effFlagsProgramChunks;
  if (LegalIO(1, -1))
    mAEffect.flags |= effFlagsCanMono;
  if (plugIsInst)
    mAEffect.flags |= effFlagsIsSynth;
  mAEffect.initialDelay = latency;
  mAEffect.ioRatio = 1.0f;
  mAEffect.object = this;
  mAEffect.uniqueID = uniqueID;
  mAEffect.version = GetEffectVersion(true);
  mAEffect.processReplacing = VSTProcessReplacing;
  mAEffect.processDoubleReplacing = VSTProcessDoubleReplacing;

  memset(&mEditRect, 0, sizeof(ERect));
  memset(&mInputSpkrArr, 0, sizeof(VstSpeakerArrangement));
  memset(&mOutputSpkrArr, 0, sizeof(VstSpeakerArrangement));
  mInputSpkrArr.numChannels = NInChannels();
  mOutputSpkrArr.numChannels = NOutChannels();
  mInputSpkrArr.type = VSTSpkrArrType(NInChannels());
  mOutputSpkrArr.type = VSTSpkrArrType(NOutChannels());

  SetInputChannelConnections(0, NInChannels(), true);
  SetOutputChannelConnections(0, NOutChannels(), true);
  SetBlockSize(1024);
}

// The bank state goes before the program state (members, in reverse order), then the base.
PluginVST::~PluginVST() {}

VstIntPtr PluginVST::HostCall(VstInt32 opCode, VstInt32 idx, VstIntPtr value, void* ptr, float opt)
{
  return mHostCallback ? mHostCallback(&mAEffect, opCode, idx, value, ptr, opt) : 0;
}

// ---- Host notifications -----------------------------------------------------------------------

void PluginVST::BeginInformHostOfParamChange(int paramIdx)
{
  HostCall(audioMasterBeginEdit, paramIdx);
}

void PluginVST::InformHostOfParamChange(int paramIdx, double normalizedValue)
{
  HostCall(audioMasterAutomate, paramIdx, 0, nullptr, (float)normalizedValue);
}

void PluginVST::EndInformHostOfParamChange(int paramIdx) { HostCall(audioMasterEndEdit, paramIdx); }

void PluginVST::InformHostOfProgramChange() { HostCall(audioMasterUpdateDisplay); }

// ---- Host time --------------------------------------------------------------------------------

const VstTimeInfo* PluginVST::TimeInfo(int filter)
{
  const VstTimeInfo* pTI = mBlockTime;
  if (!pTI)
    return GetTimeInfo(mHostCallback, &mAEffect, filter);
  return !filter || (pTI->flags & filter) ? pTI : nullptr;
}

bool PluginVST::IsRenderingOffline()
{
  return HostCall(audioMasterGetCurrentProcessLevel) == kVstProcessLevelOffline;
}

int PluginVST::GetSamplePos()
{
  const VstTimeInfo* pTI = TimeInfo(0);
  if (!pTI || !(pTI->samplePos >= 0.0))  // also refuses NaN
    return 0;
  const double pos = pTI->samplePos + 0.5;
  return pos >= (double)INT_MAX ? INT_MAX : (int)pos;
}

double PluginVST::GetTempo()
{
  const VstTimeInfo* pTI = TimeInfo(kVstTempoValid);
  if (!pTI || !std::isfinite(pTI->tempo) || pTI->tempo < 0.0)
    return 0.0;
  return pTI->tempo;
}

void PluginVST::GetTimeSig(int* pNumerator, int* pDenominator)
{
  *pNumerator = 0;
  *pDenominator = 0;
  const VstTimeInfo* pTI = TimeInfo(kVstTimeSigValid);
  if (pTI && pTI->timeSigNumerator >= 0 && pTI->timeSigDenominator >= 0)
  {
    *pNumerator = pTI->timeSigNumerator;
    *pDenominator = pTI->timeSigDenominator;
  }
}

void PluginVST::GetTime(ITimeInfo* pTimeInfo)
{
  const VstTimeInfo* pTI = TimeInfo(kBlockTimeFilter);
  if (!pTI)
    return;
  // Positions and tempo the engine divides by or counts with must be finite.
  if (std::isfinite(pTI->samplePos))
    pTimeInfo->mSamplePos = pTI->samplePos;
  if ((pTI->flags & kVstPpqPosValid) && std::isfinite(pTI->ppqPos) && pTI->ppqPos >= 0.0)
    pTimeInfo->mPPQPos = pTI->ppqPos;
  if ((pTI->flags & kVstTempoValid) && std::isfinite(pTI->tempo) && pTI->tempo > 0.0)
    pTimeInfo->mTempo = pTI->tempo;
  if ((pTI->flags & kVstBarsValid) && std::isfinite(pTI->barStartPos) && pTI->barStartPos >= 0.0)
    pTimeInfo->mLastBar = pTI->barStartPos;
  if ((pTI->flags & kVstCyclePosValid) && std::isfinite(pTI->cycleStartPos) &&
      std::isfinite(pTI->cycleEndPos) && pTI->cycleStartPos >= 0.0 && pTI->cycleEndPos >= 0.0)
  {
    pTimeInfo->mCycleStart = pTI->cycleStartPos;
    pTimeInfo->mCycleEnd = pTI->cycleEndPos;
  }
  if ((pTI->flags & kVstTimeSigValid) && pTI->timeSigNumerator > 0 && pTI->timeSigDenominator > 0)
  {
    pTimeInfo->mNumerator = pTI->timeSigNumerator;
    pTimeInfo->mDenominator = pTI->timeSigDenominator;
  }
  pTimeInfo->mTransportIsRunning = (pTI->flags & kVstTransportPlaying) != 0;
  pTimeInfo->mTransportLoopEnabled = (pTI->flags & kVstTransportCycleActive) != 0;
}

// ---- Host identification ----------------------------------------------------------------------

EHost PluginVST::GetHost()
{
  if (mHost == kHostUninit)
  {
    // Hosts write at most 64 bytes; the larger buffer, terminated afterwards, tolerates more.
    char productStr[256];
    productStr[0] = '\0';
    int version = 0;
    HostCall(audioMasterGetProductString, 0, 0, productStr);
    productStr[sizeof(productStr) - 1] = '\0';
    if (productStr[0])
    {
      const VstIntPtr decVer = HostCall(audioMasterGetVendorVersion);
      version = PackDecimalVersion(decVer > INT_MAX ? INT_MAX : decVer < 0 ? 0 : (int)decVer);
    }
    SetHost(productStr, version);
  }
  return (EHost)mHost;
}

void PluginVST::HostSpecificInit()
{
  if (mHostSpecificInitDone)
    return;
  mHostSpecificInitDone = true;
  switch (GetHost())
  {
    case kHostForte:
    case kHostAudition:
    case kHostOrion:
    case kHostSAWStudio:
      LimitToStereoIO();
      break;
    default:
      break;
  }
  mAEffect.numInputs = mInputSpkrArr.numChannels = NInChannels();
  mAEffect.numOutputs = mOutputSpkrArr.numChannels = NOutChannels();
  OnHostIdentified();
}

// ---- Editor, latency, MIDI out ----------------------------------------------------------------

void PluginVST::AttachGraphics(IGraphics* pGraphics)
{
  if (!pGraphics)
    return;
  PluginBase::AttachGraphics(pGraphics);
  mAEffect.flags |= effFlagsHasEditor;
  mEditRect.top = mEditRect.left = 0;
  mEditRect.bottom = (int16_t)pGraphics->Height();
  mEditRect.right = (int16_t)pGraphics->Width();
}

void PluginVST::ResizeGraphics(int /*width*/, int /*height*/)
{
  IGraphics* pGraphics = GetGUI();
  if (!pGraphics)
    return;
  mEditRect.top = mEditRect.left = 0;
  mEditRect.bottom = (int16_t)pGraphics->Height();
  mEditRect.right = (int16_t)pGraphics->Width();
  OnWindowResize();
}

void PluginVST::SetLatency(int samples)
{
  mAEffect.initialDelay = samples;
  PluginBase::SetLatency(samples);
}

bool PluginVST::SendVSTEvent(VstEvent* pEvent)
{
  VstEvents events;
  memset(&events, 0, sizeof(VstEvents));
  events.numEvents = 1;
  events.events[0] = pEvent;
  return HostCall(audioMasterProcessEvents, 0, 0, &events) == 1;
}

// Clears an event record and fills in its header.
template <class EVENT>
static void InitVSTEvent(EVENT* pEvent, VstInt32 type, VstInt32 deltaFrames)
{
  memset(pEvent, 0, sizeof(EVENT));
  pEvent->type = type;
  pEvent->byteSize = (VstInt32)sizeof(EVENT);
  pEvent->deltaFrames = deltaFrames;
}

bool PluginVST::SendMidiMsg(IMidiMsg* pMsg)
{
  VstMidiEvent midiEvent;
  InitVSTEvent(&midiEvent, kVstMidiType, pMsg->mOffset);
  midiEvent.midiData[0] = (char)pMsg->mStatus;
  midiEvent.midiData[1] = (char)pMsg->mData1;
  midiEvent.midiData[2] = (char)pMsg->mData2;
  return SendVSTEvent((VstEvent*)&midiEvent);
}

bool PluginVST::SendSysEx(ISysEx* pSysEx)
{
  VstMidiSysexEvent sysexEvent;
  InitVSTEvent(&sysexEvent, kVstSysExType, pSysEx->mOffset);
  sysexEvent.dumpBytes = pSysEx->mSize;
  sysexEvent.sysexDump = (char*)pSysEx->mData;
  return SendVSTEvent((VstEvent*)&sysexEvent);
}

// ---- Parameter callbacks ----------------------------------------------------------------------

float PluginVST::VSTGetParameter(AEffect* pEffect, VstInt32 idx)
{
  return OnInstance(pEffect, "getParameter", 0.0f, [idx](PluginVST* _this) {
    IMutexLock lock(_this);
    return _this->IsParamIdx(idx) ? (float)_this->GetParam(idx)->GetNormalized() : 0.0f;
  });
}

void PluginVST::VSTSetParameter(AEffect* pEffect, VstInt32 idx, float value)
{
  OnInstance(pEffect, "setParameter", [idx, value](PluginVST* _this) {
    IMutexLock lock(_this);
    // A value that is not a number changes nothing (the parameter would not move either).
    if (_this->IsParamIdx(idx) && std::isfinite(value))
      _this->ApplyHostValue(idx, value, true);
  });
}

void PluginVST::ApplyHostValue(int idx, double value, bool normalized)
{
  if (IGraphics* pGraphics = GetGUI())
    pGraphics->SetParameterFromPlug(idx, value, normalized);
  IParam* pParam = GetParam(idx);
  if (normalized)
    pParam->SetNormalized(value);
  else
    pParam->Set(value);
  OnParamChange(idx);
}

// ---- Processing callbacks ---------------------------------------------------------------------

template <class SAMPLETYPE>
bool PluginVST::VSTPrepProcess(SAMPLETYPE** inputs, SAMPLETYPE** outputs, VstInt32 nFrames)
{
  // Grows the scratch buffers only when the host exceeds the block size it announced.
  if (!EnsureBlockSize(nFrames))
    return false;
  AttachInputBuffers(0, NInChannels(), inputs, nFrames);
  AttachOutputBuffers(0, NOutChannels(), outputs);
  return true;
}

template <class SAMPLETYPE, void (PluginBase::*PROCESS)(SAMPLETYPE, int)>
void PluginVST::VSTProcessBlock(AEffect* pEffect, SAMPLETYPE** inputs, SAMPLETYPE** outputs,
                                VstInt32 nFrames, const char* where)
{
  OnInstance(pEffect, where, [=](PluginVST* _this) {
    // Without frames or buffer arrays there is no block (the channel counts never change).
    if (nFrames < 1 || (!inputs && _this->NInChannels() > 0) ||
        (!outputs && _this->NOutChannels() > 0))
      return;
    // The host is asked before the lock is taken: no host call runs under it.
    if (_this->mDoesMidi)
      _this->HostCall(audioMasterWantMidi);
    VstTimeInfo time;
    const VstTimeInfo* pTI =
      (const VstTimeInfo*)_this->HostCall(audioMasterGetTime, 0, kBlockTimeFilter);
    if (pTI)
      time = *pTI;

    IMutexLock lock(_this);
    // The block's time, forgotten again before the lock is released (also on an exception).
    struct BlockTime
    {
      const VstTimeInfo*& mRef;
      ~BlockTime() { mRef = nullptr; }
    } blockTime{_this->mBlockTime};
    _this->mBlockTime = pTI ? &time : nullptr;
    if (_this->VSTPrepProcess(inputs, outputs, nFrames))
      (_this->*PROCESS)((SAMPLETYPE)0, nFrames);
  });
}

void PluginVST::VSTProcess(AEffect* pEffect, float** inputs, float** outputs, VstInt32 nFrames)
{
  VSTProcessBlock<float, &PluginBase::ProcessBuffersAccumulating>(pEffect, inputs, outputs, nFrames,
                                                                  "process");
}

void PluginVST::VSTProcessReplacing(AEffect* pEffect, float** inputs, float** outputs,
                                    VstInt32 nFrames)
{
  VSTProcessBlock<float, &PluginBase::ProcessBuffers>(pEffect, inputs, outputs, nFrames,
                                                      "processReplacing");
}

void PluginVST::VSTProcessDoubleReplacing(AEffect* pEffect, double** inputs, double** outputs,
                                          VstInt32 nFrames)
{
  VSTProcessBlock<double, &PluginBase::ProcessBuffers>(pEffect, inputs, outputs, nFrames,
                                                       "processDoubleReplacing");
}

// ---- Dispatcher -------------------------------------------------------------------------------

VstIntPtr PluginVST::VSTDispatcher(AEffect* pEffect, VstInt32 opCode, VstInt32 idx, VstIntPtr value,
                                   void* ptr, float opt)
{
  return OnInstance(pEffect, "dispatcher", (VstIntPtr)0, [&](PluginVST* _this) -> VstIntPtr {
    // Exceptions stopped since the last request are reported here, never on the audio thread.
    if (opCode != effProcessEvents)
      BoundaryGuard::Report();
    if (opCode == effSetChunk)
    {
      TRACE("%d(%s):%d:%d", opCode, VSTOpcodeStr(opCode), idx, (int)value);
      return _this->SetChunk(idx, value, ptr);
    }
    IMutexLock lock(_this);
    if (opCode == effEditIdle || opCode == effIdle)
    {
      _this->OnIdle();
      return 0;
    }
    TRACE("%d(%s):%d:%d", opCode, VSTOpcodeStr(opCode), idx, (int)value);
    if (opCode == effClose)
    {
      // The mutex lives in the instance: release it before the instance goes.
      lock.Destroy();
      delete _this;
      return 0;
    }
    return _this->Dispatch(opCode, idx, value, ptr, opt);
  });
}

VstIntPtr PluginVST::Dispatch(VstInt32 opCode, VstInt32 idx, VstIntPtr value, void* ptr, float opt)
{
  switch (opCode)
  {
    case effOpen:
      HostSpecificInit();
      OnParamReset();
      return 0;

    case effSetProgram:
      // An index outside the program list changes nothing.
      if (!InRange(value, NPresets()))
        return 0;
      if (!DoesStateChunks())
        ModifyCurrentPreset();
      RestorePreset((int)value);
      return 0;

    case effGetProgram:
      return GetCurrentPresetIdx();

    case effSetProgramName:
      if (ptr)
      {
        // The host's text is read no further than the interface's program name length.
        char name[kVstMaxProgNameLen];
        StrCopyBounded(name, kVstMaxProgNameLen, (const char*)ptr);
        ModifyCurrentPreset(name);
        PresetsChangedByHost();
      }
      return 0;

    case effGetProgramName:
      if (ptr)
        StrCopyBounded((char*)ptr, kVstMaxProgNameLen, GetPresetName(GetCurrentPresetIdx()));
      return 0;

    case effGetParamLabel:
    case effGetParamDisplay:
    case effGetParamName:
      if (ptr && IsParamIdx(idx))
      {
        const IParam* pParam = GetParam(idx);
        if (opCode == effGetParamDisplay)
          pParam->GetDisplayForHost((char*)ptr, kParamStrLen);
        else
          StrCopyBounded((char*)ptr, kParamStrLen,
                         opCode == effGetParamLabel ? pParam->GetLabelForHost()
                                                    : pParam->GetNameForHost());
      }
      return 0;

    case effSetSampleRate:
      // A rate that is not a positive number is ignored.
      if (std::isfinite(opt) && opt > 0.0f)
      {
        SetSampleRate((double)opt);
        Reset();
      }
      return 0;

    case effSetBlockSize:
      // A size below one frame is ignored.
      if (value >= 1 && value <= INT_MAX)
      {
        SetBlockSize((int)value);
        Reset();
      }
      return 0;

    case effMainsChanged:
      if (!value)
      {
        OnActivate(false);
        Reset();
      }
      else
      {
        OnActivate(true);
      }
      return 0;

    case effEditGetRect:
      if (ptr && GetGUI())
      {
        *(ERect**)ptr = &mEditRect;
        return 1;
      }
      return 0;

    case effEditOpen:
      if (IGraphics* pGraphics = GetGUI())
      {
        if (pGraphics->OpenWindow(ptr))
        {
          OnGUIOpen();
          return 1;
        }
      }
      return 0;

    case effEditClose:
      if (IGraphics* pGraphics = GetGUI())
      {
        OnGUIClose();
        pGraphics->CloseWindow();
        return 1;
      }
      return 0;

    case effIdentify:
      return kVstIdentifyAnswer;

    case effGetChunk:
      return GetChunk(idx, (void**)ptr);

    case effProcessEvents:
      return ProcessEvents((const VstEvents*)ptr);

    case effCanBeAutomated:
      return 1;

    case effString2Parameter:
      return String2Parameter(idx, (const char*)ptr);

    case effGetProgramNameIndexed:
      if (ptr)
      {
        StrCopyBounded((char*)ptr, kVstMaxProgNameLen, GetPresetName(idx));
        return ((char*)ptr)[0] ? 1 : 0;
      }
      return 0;

    case effGetInputProperties:
      return PinProperties(true, idx, (VstPinProperties*)ptr);

    case effGetOutputProperties:
      return PinProperties(false, idx, (VstPinProperties*)ptr);

    case effGetPlugCategory:
      return IsInst() ? kPlugCategSynth : kPlugCategEffect;

    case effSetSpeakerArrangement:
      return SetSpeakerArrangement((const VstSpeakerArrangement*)value,
                                   (const VstSpeakerArrangement*)ptr);

    case effGetEffectName:
      return NameToHost(ptr, kVstMaxEffectNameLen, GetEffectName());

    case effGetVendorString:
      return NameToHost(ptr, kVstMaxVendorStrLen, GetMfrName());

    case effGetProductString:
      return NameToHost(ptr, kVstMaxProductStrLen, GetProductName());

    case effVendorSpecific:
      return VendorSpecific(idx, value, ptr, opt);

    case effCanDo:
      return CanDo((const char*)ptr);

    case effGetVstVersion:
      return kVstVersion;

    case effGetMidiKeyName:
      if (MidiKeyName* pKey = (MidiKeyName*)ptr)
      {
        pKey->keyName[0] = '\0';
        const bool named = MidiNoteName(pKey->thisKeyNumber, pKey->keyName);
        pKey->keyName[kVstMaxNameLen - 1] = '\0';
        return named ? 1 : 0;
      }
      return 0;

    case effGetSpeakerArrangement:
      if (value)
        *(VstSpeakerArrangement**)value = &mInputSpkrArr;
      if (ptr)
        *(VstSpeakerArrangement**)ptr = &mOutputSpkrArr;
      return 1;

    default:
      // effProcessVarIo, the deprecated and unsupported opcodes and everything above 69.
      return 0;
  }
}

// ---- Dispatcher rows --------------------------------------------------------------------------

VstIntPtr PluginVST::GetChunk(VstInt32 idx, void** ppData)
{
  if (!ppData)
    return 0;
  const bool isBank = idx == 0;
  ByteChunk* pChunk = isBank ? &mBankState : &mState;
  InitChunkWithPluginVer(pChunk);
  bool ok;
  if (isBank)
  {
    ModifyCurrentPreset();
    ok = SerializePresets(pChunk);
  }
  else
  {
    ok = SerializeState(pChunk);
  }
  if (!ok || pChunk->Size() <= 0)
    return 0;
  *ppData = pChunk->GetBytes();
  return pChunk->Size();
}

VstIntPtr PluginVST::SetChunk(VstInt32 idx, VstIntPtr size, const void* pData)
{
  if (!pData || size <= 0 || size > kMaxStateChunkSize)
    return 0;
  // Copied without the lock, into a chunk of its own: a host may hand back the very bytes
  // effGetChunk lent it, which live in mState / mBankState.
  ByteChunk chunk;
  if (chunk.Resize((int)size) < 0)
    return 0;
  memcpy(chunk.GetBytes(), pData, (size_t)size);

  int pos = 0;
  const int version = GetPluginVerFromChunk(&chunk, &pos);
  if (idx == 0 && version > 0xFFFF)
  {
    // Staged slot by slot in short holds of the lock; applied, the editor's controls included,
    // in one step under it.
    return UnserializePresets(&chunk, pos) < 0 ? 0 : 1;
  }
  // One program: its state is read from the chunk (as much as the parameters take), checked whole
  // and applied in one step under the lock.
  IMutexLock lock(this);
  if (UnserializeState(&chunk, pos) < 0)
    return 0;
  ModifyCurrentPreset();
  RedrawParamControls();
  return 1;
}

VstIntPtr PluginVST::ProcessEvents(const VstEvents* pEvents)
{
  if (!pEvents)
    return 0;
  // The list holds numEvents pointers although it is declared with two: read through a pointer.
  VstEvent* const* ppEvents = pEvents->events;
  for (int i = 0; i < pEvents->numEvents; ++i)
  {
    const VstEvent* pEvent = ppEvents[i];
    if (!pEvent)
      continue;
    if (pEvent->type == kVstMidiType)
    {
      const VstMidiEvent* pME = (const VstMidiEvent*)pEvent;
      IMidiMsg msg(pME->deltaFrames, (uint8_t)pME->midiData[0], (uint8_t)pME->midiData[1],
                   (uint8_t)pME->midiData[2]);
      ProcessMidiMsg(&msg);
    }
    else if (pEvent->type == kVstSysExType)
    {
      const VstMidiSysexEvent* pSE = (const VstMidiSysexEvent*)pEvent;
      // A dump without bytes behind its count is not passed on.
      if (pSE->dumpBytes < 0 || (pSE->dumpBytes > 0 && !pSE->sysexDump))
        continue;
      ISysEx sysex(pSE->deltaFrames, (const uint8_t*)pSE->sysexDump, pSE->dumpBytes);
      ProcessSysEx(&sysex);
    }
  }
  return 1;
}

VstIntPtr PluginVST::String2Parameter(VstInt32 idx, const char* text)
{
  if (!IsParamIdx(idx))
    return 0;
  if (!text)
    return 1;  // the conversion is offered
  IParam* pParam = GetParam(idx);
  double v;
  if (pParam->GetNDisplayTexts() == 0)
  {
    // A number, optionally followed by a unit; anything else is refused.
    char* end = nullptr;
    v = strtod(text, &end);
    if (end == text || !std::isfinite(v))
      return 0;
    if (pParam->DisplayIsNegated())
      v = -v;
  }
  else
  {
    int i = 0;
    if (!pParam->MapDisplayText(text, &i))
      return 0;
    v = i;
  }
  ApplyHostValue(idx, v, false);
  return 1;
}

VstIntPtr PluginVST::PinProperties(bool input, VstInt32 idx, VstPinProperties* pProps)
{
  const int nChannels = input ? NInChannels() : NOutChannels();
  if (!pProps || idx < 0 || idx >= nChannels)
    return 0;
  pProps->flags = kVstPinIsActive;
  if (idx % 2 == 0 && idx < nChannels - 1)
    pProps->flags |= kVstPinIsStereo;
  const QvString* pLabel = input ? GetInputLabel(idx) : GetOutputLabel(idx);
  if (pLabel->GetLength() > 0)
    StrCopyBounded(pProps->label, kVstMaxLabelLen, pLabel->Get());
  else
    snprintf(pProps->label, kVstMaxLabelLen, input ? "Input %d" : "Output %d", idx + 1);
  return 1;
}

VstIntPtr PluginVST::SetSpeakerArrangement(const VstSpeakerArrangement* pIn,
                                           const VstSpeakerArrangement* pOut)
{
  // A negative channel count is no arrangement: nothing changes.
  if ((pIn && pIn->numChannels < 0) || (pOut && pOut->numChannels < 0))
    return 0;
  if (pIn)
  {
    const int n = pIn->numChannels;
    SetInputChannelConnections(0, n, true);
    SetInputChannelConnections(n, NInChannels() - n, false);
  }
  if (pOut)
  {
    const int n = pOut->numChannels;
    SetOutputChannelConnections(0, n, true);
    SetOutputChannelConnections(n, NOutChannels() - n, false);
  }
  return 1;
}

VstIntPtr PluginVST::VendorSpecific(VstInt32 idx, VstIntPtr value, void* ptr, float opt)
{
  if (idx == 7 && ptr)
  {
    // The display text of parameter `value` at the normalised value opt.
    if (!IsParamIdx(value) || !std::isfinite(opt))
    {
      *(char*)ptr = '\0';
      return 0;
    }
    const double normalized = opt < 0.0f ? 0.0 : opt > 1.0f ? 1.0 : (double)opt;
    GetParam((int)value)->GetDisplayForHost(normalized, true, (char*)ptr, true, kParamStrLen);
    return kVendorAnswer;
  }
  if (idx == 8)
  {
    if (IsParamIdx(value) && GetParam((int)value)->Type() != IParam::kTypeDouble)
      return kVendorAnswer;
  }
  return 0;
}

VstIntPtr PluginVST::CanDo(const char* capability)
{
  if (!capability)
    return 0;
  TRACE("VSTCanDo(%s)", capability);
  if (!strcmp(capability, "receiveVstTimeInfo"))
    return 1;
  if (mDoesMidi)
  {
    if (!strcmp(capability, "sendVstEvents") || !strcmp(capability, "sendVstMidiEvent") ||
        !strcmp(capability, "receiveVstEvents") || !strcmp(capability, "receiveVstMidiEvent"))
      return 1;
  }
  if (!strcmp(capability, "hasHostExtensions"))
  {
    mHasVSTExtensions |= 1;
    return kHostExtensionAnswer;
  }
  if (!strcmp(capability, "hasHostViewAsConfig"))
  {
    mHasVSTExtensions |= 2;
    return kHostExtensionAnswer;
  }
  return 0;
}
