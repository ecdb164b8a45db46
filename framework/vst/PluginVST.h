#pragma once
// PluginVST: binds one plug-in instance to a host that speaks the VST 2.4 interface.
//
// The instance embeds the AEffect record the host addresses; every callback stored in it finds the
// instance again through the record's `object` field. The dispatcher, the parameter callbacks and
// the three processing callbacks each hold the instance mutex while they work on the instance, so
// host requests never run in the middle of an audio block. No C++ exception leaves a callback: one
// is stopped at the edge, counted, and reported through the log at the next dispatcher request
// made off the audio thread (BoundaryGuard).
//
// Two exceptions keep long work and host calls out from under the lock. effSetChunk copies, reads
// and checks the host's bytes (up to 16 MiB) without the lock and applies them under it in one
// short step. A processing callback asks the host for MIDI (audioMasterWantMidi) and for its time
// before it takes the lock; the time queries made during the block answer from that copy.
//
// Careful: the host owns the order of calls and the buffers it passes. Everything that comes from
// the host (indexes, sizes, counts, texts, chunks, numbers) is checked before use; text written
// into host buffers is bounded by the sizes the interface gives them.

#include "framework/PluginBase.h"
#include "framework/vst/abi/vst.h"

// What the entry point hands to a plug-in's constructor: the host's callback.
struct PluginInstanceInfo
{
  audioMasterCallback mVSTHostCallback;
};

#if defined(_WIN32)
// The module handle of the plug-in library, stored by DllMain; the editor loads its resources and
// registers its window class with it. (HINSTANCE without <windows.h>.)
struct HINSTANCE__;
extern HINSTANCE__* gHInstance;
#endif

class PluginVST;

// Defined once by every plug-in built on this binding: builds its instance for the host behind
// instanceInfo. The entry point calls it under a process-wide lock; null means no instance.
PluginVST* MakePlugInstance(PluginInstanceInfo instanceInfo);

// The host's time information, or null: the host's answer to audioMasterGetTime with the filter,
// kept only when the filter is 0 or shares a bit with the answer's flags.
// [audio, dispatcher]
VstTimeInfo* GetTimeInfo(audioMasterCallback hostCallback, AEffect* pEffect, int filter);

// The speaker-arrangement type of a side with nChannels channels.
int VSTSpkrArrType(int nChannels);

class PluginVST : public PluginBase
{
public:
  // Refused before anything is read: effSetChunk data of more bytes than this.
  static const int kMaxStateChunkSize = 16 * 1024 * 1024;

  // plugScChans (side-chain channels) is accepted for the product's signature and ignored.
  PluginVST(PluginInstanceInfo instanceInfo, int nParams, const char* channelIOStr, int nPresets,
            const char* effectName, const char* productName, const char* mfrName, int vendorVersion,
            int uniqueID, int mfrID, int latency = 0, bool plugDoesMidi = false,
            bool plugDoesChunks = false, bool plugIsInst = false, int plugScChans = 0);
  ~PluginVST() override;

  // ---- Host notifications (host callback opcodes; each answer is ignored) ----------------------
  // Each calls the host and takes no lock: never call one while holding the instance lock.

  // [GUI] audioMasterBeginEdit / audioMasterEndEdit around a user gesture.
  void BeginInformHostOfParamChange(int paramIdx) override;
  void EndInformHostOfParamChange(int paramIdx) override;
  // [GUI] audioMasterAutomate with the normalised value.
  void InformHostOfParamChange(int paramIdx, double normalizedValue) override;
  // [GUI] audioMasterUpdateDisplay.
  void InformHostOfProgramChange() override;

  // ---- Host time (audioMasterGetTime) ----------------------------------------------------------
  // During a block the time queries answer from the copy the processing callback fetched before it
  // took the instance lock; elsewhere they ask the host.

  // [audio] True when the host renders offline (process level 4). Asks the host.
  bool IsRenderingOffline() override;
  // [audio] The host's sample position rounded to the nearest sample; 0 without one.
  int GetSamplePos() override;
  // [audio] The host's tempo; 0 without one.
  double GetTempo() override;
  // [audio] The host's time signature; 0/0 without one.
  void GetTimeSig(int* pNumerator, int* pDenominator) override;
  // [audio] Overwrites the fields the host reports as valid and sane; a field without a usable
  // value keeps what it held. No answer at all leaves the record untouched.
  void GetTime(ITimeInfo* pTimeInfo) override;

  // ---- Host identification ---------------------------------------------------------------------

  // Asks the host for its product string and version on first use.
  EHost GetHost() override;
  // [dispatcher] Once per instance, at the first effOpen: identifies the host, limits a few hosts
  // to stereo, publishes the channel counts and calls OnHostIdentified.
  void HostSpecificInit() override;

  // ---- Editor, latency, MIDI out ---------------------------------------------------------------

  // The base operation, then the editor flag and rectangle. Null does nothing.
  void AttachGraphics(IGraphics* pGraphics) override;
  // [GUI] Takes the editor rectangle from the surface again (the arguments are not used).
  void ResizeGraphics(int width, int height) override;
  // Also rewrites the AEffect's initialDelay; the host is not told.
  void SetLatency(int samples) override;
  // [audio, dispatcher] One event out through audioMasterProcessEvents; true when the host took
  // it. The event lives on the stack: the host must consume it during the call.
  bool SendMidiMsg(IMidiMsg* pMsg) override;
  bool SendSysEx(ISysEx* pSysEx) override;
  bool SendVSTEvent(VstEvent* pEvent);

  audioMasterCallback GetHostCallback() const { return mHostCallback; }
  AEffect* GetAEffect() { return &mAEffect; }
  bool DoesMidi() const { return mDoesMidi; }
  // Bit 1: the host asked canDo "hasHostExtensions"; bit 2: "hasHostViewAsConfig".
  int GetHostExtensions() const { return mHasVSTExtensions; }

  // ---- The callbacks stored in the AEffect -----------------------------------------------------

  // [main thread; effProcessEvents on the audio thread] Holds the instance lock for the request,
  // but for effSetChunk (see above).
  static VstIntPtr VSTDispatcher(AEffect* pEffect, VstInt32 opCode, VstInt32 idx, VstIntPtr value,
                                 void* ptr, float opt);
  // [audio] Accumulating, replacing and double-precision replacing blocks.
  static void VSTProcess(AEffect* pEffect, float** inputs, float** outputs, VstInt32 nFrames);
  static void VSTProcessReplacing(AEffect* pEffect, float** inputs, float** outputs,
                                  VstInt32 nFrames);
  static void VSTProcessDoubleReplacing(AEffect* pEffect, double** inputs, double** outputs,
                                        VstInt32 nFrames);
  // [any thread] Normalised parameter values.
  static float VSTGetParameter(AEffect* pEffect, VstInt32 idx);
  static void VSTSetParameter(AEffect* pEffect, VstInt32 idx, float value);

private:
  // One dispatcher request, the instance mutex held (every opcode but effClose and effSetChunk).
  VstIntPtr Dispatch(VstInt32 opCode, VstInt32 idx, VstIntPtr value, void* ptr, float opt);
  VstIntPtr GetChunk(VstInt32 idx, void** ppData);
  // Called without the instance lock: takes it only to apply a state read whole.
  VstIntPtr SetChunk(VstInt32 idx, VstIntPtr size, const void* pData);
  VstIntPtr ProcessEvents(const VstEvents* pEvents);
  VstIntPtr String2Parameter(VstInt32 idx, const char* text);
  // A value the host set (setParameter, effString2Parameter), instance lock held: the editor's
  // controls follow it, the parameter takes it (normalised or plain), then OnParamChange. The host
  // is not told: it made the change.
  void ApplyHostValue(int idx, double value, bool normalized);
  VstIntPtr PinProperties(bool input, VstInt32 idx, VstPinProperties* pProps);
  VstIntPtr SetSpeakerArrangement(const VstSpeakerArrangement* pIn,
                                  const VstSpeakerArrangement* pOut);
  VstIntPtr VendorSpecific(VstInt32 idx, VstIntPtr value, void* ptr, float opt);
  VstIntPtr CanDo(const char* capability);

  // One block through any of the three processing callbacks: the instance mutex held for the
  // whole block, the host's buffers attached, then PROCESS (replacing or accumulating).
  // where names the callback in the report of a stopped exception.
  template <class SAMPLETYPE, void (PluginBase::*PROCESS)(SAMPLETYPE, int)>
  static void VSTProcessBlock(AEffect* pEffect, SAMPLETYPE** inputs, SAMPLETYPE** outputs,
                              VstInt32 nFrames, const char* where);
  // Attaches a block's host buffers; false when the scratch buffers could not grow to the block
  // and it must not be processed.
  template <class SAMPLETYPE>
  bool VSTPrepProcess(SAMPLETYPE** inputs, SAMPLETYPE** outputs, VstInt32 nFrames);
  // The host's time for a query with this filter: the block's copy during a block, else the
  // host's answer; null when there is none or it shares no bit with a non-zero filter.
  const VstTimeInfo* TimeInfo(int filter);

  // The host callback, or 0 when there is none.
  VstIntPtr HostCall(VstInt32 opCode, VstInt32 idx = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f);
  bool IsParamIdx(VstIntPtr idx) const { return idx >= 0 && idx < NParams(); }

  ERect mEditRect;
  audioMasterCallback mHostCallback;
  VstSpeakerArrangement mInputSpkrArr;
  VstSpeakerArrangement mOutputSpkrArr;
  bool mHostSpecificInitDone;
  bool mDoesMidi;
  int mHasVSTExtensions;
  ByteChunk mState;      // effGetChunk's bytes for one program
  ByteChunk mBankState;  // effGetChunk's bytes for the bank
  AEffect mAEffect;
  // The host's time as fetched for the running block; null outside a block (instance lock held).
  const VstTimeInfo* mBlockTime;
};
