#pragma once
// The plug-in instance that every API binding derives from, and the product from the binding.
//
// PluginBase owns the parameters, the program slots, the channel records with their scratch
// buffers, the instance mutex and the editor surface. It fixes the order of the virtual operations
// the binding and the product override (a class that overrides one keeps its place) and supplies
// their defaults; the operations that talk to the host are left to the binding.
//
// Threads: host threads call the binding, which holds the instance mutex around dispatcher calls,
// audio blocks and parameter get/set; the GUI thread calls SetParameterFromGUI and the begin/end
// notifications. The mutex is re-entrant, so operations that lock again under a held lock are fine.
//
// Careful: nothing calls the host while holding the instance mutex. A host may take a lock of its
// own in its callback (its automation handler, say) while its audio thread holds that lock and
// waits for ours in process: a host call under our lock would close the circle. So the operations
// that notify the host change the instance under the lock, release it, and only then call out; and
// each says below which lock it takes and whether it calls the host.

#include "framework/Hosts.h"
#include "framework/IMidiMsg.h"
#include "framework/IParam.h"
#include "framework/PluginStructs.h"
#include "framework/Versions.h"
#include "framework/base/ByteChunk.h"
#include "framework/base/HeapBuf.h"
#include "framework/base/Mutex.h"
#include "framework/base/PtrList.h"
#include "framework/base/QvString.h"

class IGraphics;
class NChanDelayLine;

class PluginBase
{
public:
  static const int kNameSize = 128;  // effect, product and maker names, terminator included

  // One legal pair of channel counts from the channel-I/O string.
  struct ChannelIO
  {
    int mIn;
    int mOut;
    ChannelIO(int nIn, int nOut)
      : mIn(nIn)
      , mOut(nOut)
    {}
  };

  // One input channel. mSrc is the channel's own entry of the input pointer array: a host buffer
  // while connected (double blocks), the scratch buffer otherwise. The scratch holds converted
  // single-precision input and is what a disconnected channel reads (zeros).
  struct InChannel
  {
    bool mConnected = false;
    double** mSrc = nullptr;
    QvTypedBuf<double> mScratchBuf;
    QvString mLabel;
  };

  // One output channel. mDest is the channel's own entry of the output pointer array; mFDest the
  // host's float buffer of the current single-precision block.
  struct OutChannel
  {
    bool mConnected = false;
    double** mDest = nullptr;
    float* mFDest = nullptr;
    QvTypedBuf<double> mScratchBuf;
    QvString mLabel;
  };

  // Scoped hold of the instance mutex. Destroy releases it early (before the instance is deleted
  // under it, for example); the destructor then releases nothing more.
  class IMutexLock
  {
  public:
    explicit IMutexLock(PluginBase* pPlug)
      : mpMutex(&pPlug->mMutex)
    {
      mpMutex->Enter();
    }
    ~IMutexLock() { Destroy(); }
    void Destroy()
    {
      if (mpMutex)
      {
        mpMutex->Leave();
        mpMutex = nullptr;
      }
    }
    IMutexLock(const IMutexLock&) = delete;
    IMutexLock& operator=(const IMutexLock&) = delete;

  private:
    QvMutex* mpMutex;
  };

  // channelIOStr: blank-separated "<inputs>-<outputs>" pairs, e.g. "1-1 2-2". Names are cut to
  // kNameSize - 1 characters. plugDoesMidi is kept by the binding, not here.
  PluginBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
             const char* productName, const char* mfrName, int vendorVersion, int uniqueID,
             int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst,
             EAPI plugAPI);

  // ---- Virtual operations, in their fixed order -------------------------------------------------

  // Deletes the editor, parameters, programs, channel records and the delay line.
  virtual ~PluginBase();

  // [dispatcher] Sample rate, block size or activation changed. Default: nothing.
  virtual void Reset();
  // [dispatcher, audio, GUI] Parameter paramIdx has a new value. Default: nothing.
  virtual void OnParamChange(int paramIdx);
  // [audio] Default: passes each input to the output of the same index, zero-fills outputs without
  // an input; tolerates in-place buffers (inputs[i] == outputs[i]).
  virtual void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames);
  virtual void ProcessSingleReplacing(float** inputs, float** outputs, int nFrames);
  // [GUI] The editor window was opened / is about to close.
  virtual void OnGUIOpen() {}
  virtual void OnGUIClose() {}
  // [dispatcher, instance lock held] Host idle call.
  virtual void OnIdle() {}
  // [dispatcher] Processing switched on or off. Default: nothing.
  virtual void OnActivate(bool active);
  // [dispatcher] Incoming MIDI; the message lives only for the call. Default: MIDI thru.
  virtual void ProcessMidiMsg(IMidiMsg* pMsg);
  virtual void ProcessSysEx(ISysEx* /*pSysEx*/) {}
  // [dispatcher] Writes a note's name (the host's buffer holds 64 bytes); false: no name.
  virtual bool MidiNoteName(int noteNumber, char* name);
  // The program state. Defaults: SerializeParams / UnserializeParams. UnserializeState answers
  // the position after the state, or -1 and changes nothing when the state cannot be read. Both
  // take the instance lock themselves (callers may hold it) and never call the host.
  virtual bool SerializeState(ByteChunk* pChunk);
  virtual int UnserializeState(ByteChunk* pChunk, int startPos);
  // True when data, read as a program state from its startPos-th double, matches every parameter
  // to single precision. data must hold NParams() doubles from there.
  virtual bool CompareState(const unsigned char* data, int startPos);
  virtual void OnWindowResize() {}
  virtual bool HostRequestingAboutBox() { return false; }
  // [dispatcher] Called once, after the host was identified at the first open.
  virtual void OnHostIdentified() {}
  virtual void PopupHostContextMenuForParam(int /*paramIdx*/, int /*x*/, int /*y*/) {}
  // [GUI] The user moved a control bound to paramIdx: under the instance lock, sets the parameter
  // and runs OnParamChange; then, the lock released, records automation with the host
  // (InformHostOfParamChange) of the value the parameter now holds (stepped, as getParameter
  // answers it), and only when that changed. An index outside the parameter list does nothing.
  // Call it without holding the instance lock: it calls the host.
  virtual void SetParameterFromGUI(int paramIdx, double normalizedValue);
  // [GUI] Host notifications (begin and end of an edit gesture, automation, display update);
  // supplied by the binding. Each calls the host and takes no lock: call them without holding the
  // instance lock.
  virtual void BeginInformHostOfParamChange(int paramIdx) = 0;
  virtual void InformHostOfParamChange(int paramIdx, double normalizedValue) = 0;
  virtual void EndInformHostOfParamChange(int paramIdx) = 0;
  virtual void InformHostOfProgramChange() = 0;
  // [audio, dispatcher] Host transport queries; supplied by the binding.
  virtual bool IsRenderingOffline() { return false; }
  virtual int GetSamplePos() = 0;
  virtual double GetTempo() = 0;
  virtual void GetTimeSig(int* pNumerator, int* pDenominator) = 0;
  virtual void GetTime(ITimeInfo* pTimeInfo) = 0;
  // The host; the binding identifies it on first use.
  virtual EHost GetHost() { return (EHost)mHost; }
  virtual EAPI GetAPI() { return (EAPI)mAPI; }
  // [GUI] The editor changed size; supplied by the binding.
  virtual void ResizeGraphics(int width, int height) = 0;
  // [dispatcher] Once per instance at the first open; the binding identifies the host there.
  virtual void HostSpecificInit() {}
  // Takes ownership of the editor surface (replacing, and deleting, an earlier one) after
  // pushing every parameter's normalised value into its controls. Null does nothing. Takes the
  // instance lock; no host call.
  virtual void AttachGraphics(IGraphics* pGraphics);
  // Stores the latency (and hands it to the delay line, when there is one).
  virtual void SetLatency(int samples);
  // [audio, dispatcher] MIDI out; supplied by the binding. SendSysEx default: false.
  virtual bool SendMidiMsg(IMidiMsg* pMsg) = 0;
  virtual bool SendSysEx(ISysEx* /*pSysEx*/) { return false; }
  // Pushes every parameter's plain value into the editor's controls (after a program or state load).
  // The caller holds the instance lock; no host call.
  virtual void RedrawParamControls();
  virtual void DirtyPTCompareState() {}
  virtual void PresetsChangedByHost() {}
  // [dispatcher] Resizes and zeroes every scratch buffer to blockSize doubles; the size is stored
  // only when every buffer was resized. The current size, or one below 1, changes nothing.
  virtual void SetBlockSize(int blockSize);

  // ---- Accessors ------------------------------------------------------------------------------

  int NParams() const { return mParams.GetSize(); }
  int NPresets() const { return mPresets.GetSize(); }
  int NInChannels() const { return mInChannels.GetSize(); }
  int NOutChannels() const { return mOutChannels.GetSize(); }
  // Null for an index outside the parameter list.
  IParam* GetParam(int idx) { return mParams.Get(idx); }
  const char* GetEffectName() const { return mEffectName; }
  const char* GetProductName() const { return mProductName; }
  const char* GetMfrName() const { return mMfrName; }
  int GetUniqueID() const { return mUniqueID; }
  int GetMfrID() const { return mMfrID; }
  double GetSampleRate() const { return mSampleRate; }
  void SetSampleRate(double sampleRate) { mSampleRate = sampleRate; }
  int GetBlockSize() const { return mBlockSize; }
  int GetLatency() const { return mLatency; }
  bool DoesStateChunks() const { return mStateChunks; }
  bool IsInst() const { return mIsInst; }
  int GetCurrentPresetIdx() const { return mCurrentPresetIdx; }
  IGraphics* GetGUI() { return mGraphics; }

  // True when some legal channel pair matches; a negative argument matches any count.
  bool LegalIO(int nIn, int nOut) const;

  // The decimal form (major * 10000 + minor * 100 + patch) or the packed version.
  int GetEffectVersion(bool decimal) const;
  // "v<major>.<minor>.<patch>" into buffer (kMaxVersionStrLen bytes).
  void GetEffectVersionStr(char* buffer) const;

  // OnParamChange for every parameter in index order (nothing while a bank is being staged).
  void OnParamReset();
  // Reports every parameter's normalised value to the host as automation: the values are taken
  // under the instance lock, the host is told after it is released. Calls the host: call it
  // without holding the instance lock.
  void DirtyParameters();
  // Samples per beat at the host's tempo; 0 without a tempo.
  double GetSamplesPerBeat();
  // Sends every message; true only when every send succeeded (all are sent regardless).
  bool SendMidiMsgs(QvTypedBuf<IMidiMsg>* pMsgs);

  // ---- Host identification --------------------------------------------------------------------

  // host = LookUpHost(productString); host version = version (packed).
  void SetHost(const char* productString, int version);
  // Identifies the host first when needed (virtual GetHost).
  int GetHostVersion(bool decimal);
  void GetHostVersionStr(char* buffer);
  const char* GetAPIString();
  const char* GetArchString() const { return "x64"; }

  // ---- Channels and buffers (Channels.cpp) ----------------------------------------------------

  // Connects or disconnects channels idx .. idx + n - 1, clamped to the channel list. A
  // disconnected channel points at its scratch buffer; a disconnected input's scratch is cleared so
  // it reads silence, not the last converted block.
  void SetInputChannelConnections(int idx, int n, bool connected);
  void SetOutputChannelConnections(int idx, int n, bool connected);
  bool IsInChannelConnected(int chIdx) const;
  bool IsOutChannelConnected(int chIdx) const;
  // Disconnects input and output channels from the third on.
  void LimitToStereoIO();

  // [audio] Makes the scratch buffers hold a block of nFrames: when a host exceeds the block size it
  // announced, every buffer grows first (an allocation once per new maximum) and the block size
  // follows. False when nFrames < 1 or a buffer could not grow: the block must not be processed.
  bool EnsureBlockSize(int nFrames);

  // [audio] Attach one block's host buffers to the channels idx .. idx + n - 1 (clamped). Host
  // pointers are taken one per connected channel, in channel order. Float input is converted into
  // the scratch buffers; float output goes through them. A null array, or a block longer than the
  // block size (see EnsureBlockSize), attaches nothing.
  void AttachInputBuffers(int idx, int n, double** ppData, int nFrames);
  void AttachInputBuffers(int idx, int n, float** ppData, int nFrames);
  void AttachOutputBuffers(int idx, int n, double** ppData);
  void AttachOutputBuffers(int idx, int n, float** ppData);

  // [audio] Runs ProcessDoubleReplacing on the attached buffers; the float forms then convert the
  // connected outputs to their float buffers (accumulating: adds them, in single precision).
  // nFrames < 1 or above the block size does nothing.
  void ProcessBuffers(double sampleType, int nFrames);
  void ProcessBuffers(float sampleType, int nFrames);
  void ProcessBuffersAccumulating(float sampleType, int nFrames);
  // [audio] Like ProcessBuffers, but through the delay line (latency set) or the default
  // pass-through, whatever the product's ProcessDoubleReplacing does.
  void PassThroughBuffers(double sampleType, int nFrames);
  void PassThroughBuffers(float sampleType, int nFrames);
  void ZeroScratchBuffers();

  // Labels of single channels (shown on the host's pins) and of buses.
  void SetInputLabel(int idx, const char* label);
  void SetOutputLabel(int idx, const char* label);
  // The index must be valid.
  QvString* GetInputLabel(int idx) { return &mInChannels.Get(idx)->mLabel; }
  QvString* GetOutputLabel(int idx) { return &mOutChannels.Get(idx)->mLabel; }
  // Input buses 0 and 1 only; output buses any index >= 0. An index past the end appends.
  void SetInputBusLabel(int idx, const char* label);
  void SetOutputBusLabel(int idx, const char* label);

  // ---- Programs and banks (Presets.cpp) -------------------------------------------------------
  // The Make* operations fill slots while the instance is built. Restoring, modifying and the bank
  // operations take the instance lock themselves (callers may hold it); none calls the host.

  // Fill the first slot not yet initialised (nothing when every slot is). MakePreset reads one
  // value per parameter in order: an int for bool, int and enum parameters, a double otherwise
  // (also for parameters not yet initialised).
  void MakePreset(const char* name, ...);
  // Reads nParamsNamed pairs (int index, value typed as for MakePreset); parameters not named keep
  // their current values. An index outside the parameter list is skipped (its value, read as a
  // double, is still consumed).
  void MakePresetFromNamedParams(const char* name, int nParamsNamed, ...);
  void MakePresetFromChunk(const char* name, ByteChunk* pChunk);
  // Decodes a base64 state of sizeOfChunk bytes (zero-filled where the text is shorter).
  void MakePresetFromBlob(const char* name, const char* blob, int sizeOfChunk);
  // Up to nPresets free slots get the current state, named name ("Empty" when null).
  void MakeDefaultPreset(const char* name, int nPresets);
  // Every free slot gets the current state, named "Empty".
  void EnsureDefaultPreset();
  void PruneUninitializedPresets();

  // Applies slot idx (a slot never filled takes the current state and a user-preset name) and makes
  // it current. False, changing nothing, for an index outside the slots or a state that cannot
  // be read.
  bool RestorePreset(int idx);
  // Restores the first slot named exactly name; false for a null or empty name or no match.
  bool RestorePreset(const char* name);
  // The slot's name, "" outside the slots.
  const char* GetPresetName(int idx);
  // Stores the current state into the current slot, and renames it when name is not empty.
  void ModifyCurrentPreset(const char* name = nullptr);

  // Bank state: per slot its name (string), initialised flag (byte) and, when set, its stored state.
  bool SerializePresets(ByteChunk* pChunk);
  // Reads a whole bank into the slots, then restores the current slot. Each slot's state is read
  // with UnserializeState and stored as SerializeState then writes it, in a short hold of the
  // instance lock per slot, from the parameters as they stand, which are put back before the lock
  // is released (OnParamReset does nothing meanwhile: an override of UnserializeState reports its
  // changes through it). Names and flags are read without the lock. A bank that cannot be read
  // whole answers -1 and leaves every slot and parameter as it was. A bank read whole replaces
  // every slot in one step under the lock, then the current slot is restored (one report of every
  // parameter). Answers the position after the bank. Never calls the host.
  int UnserializePresets(ByteChunk* pChunk, int startPos);

  // ---- Program and bank files (ProgramFiles.cpp, layouts in FxFiles.h) ------------------------

  // The current program as an FXP file, every slot as an FXB file, into pFile (cleared first):
  // chunk form with state chunks, parameter and program form otherwise. False when it failed.
  bool GetProgramFXP(ByteChunk* pFile);
  bool GetBankFXB(ByteChunk* pFile);
  // Load an FXP or FXB file held in memory. The whole file is checked first, and a file refused
  // then or by the state readers leaves the parameters and every slot as they were. Bank records
  // beyond the slots are skipped; a program-form bank's current program is clamped to the slots.
  // After a load the host is told of the program change.
  bool SetProgramFromFXP(const unsigned char* data, int size);
  bool SetBankFromFXB(const unsigned char* data, int size);
  // The same through the file at path. A save replaces the file only once it is completely written.
  bool SaveProgramToFXPFile(const char* path);
  bool SaveBankToFXBFile(const char* path);
  bool LoadProgramFromFXPFile(const char* path);
  bool LoadBankFromFXBFile(const char* path);
  // [GUI] The same through the editor's file dialog (ProgramFileDialogs.cpp), starting in
  // mPreviousPath; a save offers defaultFileName. False without an editor, when the dialog is
  // cancelled, and when the file operation fails.
  bool SaveProgramAsFXP(const char* defaultFileName);
  bool SaveBankAsFXB(const char* defaultFileName);
  bool LoadProgramFromFXP();
  bool LoadBankFromFXB();

  // ---- Preset source dumps (PresetDumps.cpp) --------------------------------------------------

  // Writes a MakePresetFromNamedParams call with the current values, naming parameter i
  // paramEnumNames[i] (one text per parameter).
  bool DumpPresetSrcCode(const char* filename, const char* paramEnumNames[]);
  // Writes a MakePresetFromBlob call with the current slot's stored state in base64.
  bool DumpPresetBlob(const char* filename);

  // ---- State serialisation (Serialize.cpp) ----------------------------------------------------

  static const int kChunkMagic = 0x70666674;
  static const int kFrameworkVersion = 0x00010000;

  // Clears the chunk and writes the state header (magic, framework version).
  static void InitChunkWithPluginVer(ByteChunk* pChunk);
  // Reads a state header at *pPos: answers its version and moves *pPos behind it. Without a header
  // (or with the version missing behind the magic) answers 0 and leaves *pPos.
  static int GetPluginVerFromChunk(ByteChunk* pChunk, int* pPos);

  // Appends every parameter's plain value as a double.
  bool SerializeParams(ByteChunk* pChunk);
  // Reads NParams() doubles from startPos into the parameters (clamped to their ranges; values
  // that are not finite are skipped), then OnParamReset. A state shorter than NParams() values
  // answers -1 and changes nothing. The state is read before the instance lock is taken; the
  // values are set and reported under it in one step.
  int UnserializeParams(ByteChunk* pChunk, int startPos);
  // Reads NParams() doubles from startPos into pValues as they are stored, touching nothing else
  // (no lock needed). Answers the position after them, or -1 (pValues undefined) when the state is
  // shorter or pValues cannot hold them.
  int ReadParams(const ByteChunk* pChunk, int startPos, QvTypedBuf<double>* pValues) const;

protected:
  // Pure pass-through of the channels (the default ProcessDoubleReplacing, callable directly).
  void PassThrough(double** inputs, double** outputs, int nFrames);

  QvPtrList<ChannelIO> mChannelIO;
  QvMutex mMutex;
  char mEffectName[kNameSize];
  char mProductName[kNameSize];
  char mMfrName[kNameSize];
  int mUniqueID;
  int mMfrID;
  int mVersion;
  int mAPI;
  int mHost;
  int mHostVersion;
  bool mStateChunks;
  bool mIsInst;
  int mCurrentPresetIdx;
  double mSampleRate;
  int mBlockSize;
  int mLatency;
  QvString mPreviousPath;
  NChanDelayLine* mDelay;
  IGraphics* mGraphics;
  QvPtrList<IParam> mParams;
  QvPtrList<IPreset> mPresets;
  QvTypedBuf<double*> mInData;
  QvTypedBuf<double*> mOutData;
  QvPtrList<InChannel> mInChannels;
  QvPtrList<OutChannel> mOutChannels;
  QvPtrList<QvString> mInputBusLabels;
  QvPtrList<QvString> mOutputBusLabels;

private:
  // Sets every parameter whose value is finite (clamped), then OnParamReset; the caller holds the
  // instance lock.
  void ApplyParams(const double* values);
  // Reads one slot's state of a bank at pos through UnserializeState, starting from the parameters
  // as they stand (kept in current, nParams values), and appends what SerializeState then writes
  // to pState. Takes the instance lock and puts the parameters back before releasing it. Answers
  // the position after the state, or -1.
  int StagePresetState(ByteChunk* pChunk, int pos, double* current, ByteChunk* pState);
  // Under the instance lock, put(i) for i = 0 .. count() - 1: false when pChunk is null or a put
  // fails (what was put so far stays in pChunk).
  template <class COUNT, class PUT>
  bool PutEachLocked(ByteChunk* pChunk, COUNT&& count, PUT&& put)
  {
    if (!pChunk)
      return false;
    IMutexLock lock(this);
    for (int i = 0; i < count(); ++i)
      if (!put(i))
        return false;
    return true;
  }
  // Set while UnserializePresets stages a bank: OnParamReset does nothing.
  bool mStagingPresets = false;
  IPreset* GetNextUninitializedPreset();
  void MakeUserPresetName(char* name);
  bool ResizeScratchBuffers(int nFrames);

  PluginBase(const PluginBase&) = delete;
  PluginBase& operator=(const PluginBase&) = delete;
};
