#pragma once
// The pass-through test plug-in: built on the framework and the VST binding, it keeps the
// framework's default processing (inputs copied to outputs, outputs without an input silent) and
// records the hooks the binding calls, so tests can watch both what a host sees and what the
// plug-in was told.
//
// One class, several layouts: a variant fixes the channel-I/O string, MIDI, state chunks,
// instrument flag, latency, names and whether an editor is attached.

#include "framework/vst/PluginVST.h"

#include <string>
#include <vector>

struct PassThroughVariant
{
  const char* mName;  // "stereo", "quad", "chunks"
  const char* mChannelIO;
  const char* mEffectName;
  const char* mProductName;
  const char* mMfrName;
  int mVersion;
  int mUniqueID;
  int mLatency;
  bool mDoesMidi;
  bool mDoesChunks;
  bool mIsInst;
  int mNumPrograms;          // program slots; the first two get factory programs
  bool mEditor;              // attaches an editor surface of kEditorWidth x kEditorHeight
  const char* mInputLabel0;  // label of input 0 ("" for none)
};

// The variant named name, or null.
const PassThroughVariant* FindPassThroughVariant(const char* name);

class PassThroughPlug : public PluginVST
{
public:
  enum EParams
  {
    kGain = 0,  // double -60..12 dB, step 0.1, default 0
    kMode,      // enum "Clean", "Warm", "Hot", default 0
    kBypass,    // bool, default off
    kSteps,     // int 1..16, default 16
    kCutoff,    // double 20..20000 Hz, step 1, shape 2, default 1000
    kFine,      // double 0..1, step 0.001, default 0.5
    kNumParams
  };
  static const int kEditorWidth = 300;
  static const int kEditorHeight = 200;

  PassThroughPlug(PluginInstanceInfo instanceInfo, const PassThroughVariant& variant);

  // Hooks seen, in order: "reset", "param 3", "activate 1", "idle", "identified 17", "midi 90 3C 64 5",
  // "sysex 3 7", "guiopen", "guiclose", "presets".
  std::vector<std::string> mHooks;
  int mIdleCalls = 0;  // kept apart: idle calls come from a thread of their own in some tests

  void Reset() override;
  void OnParamChange(int paramIdx) override;
  void OnIdle() override { ++mIdleCalls; }
  void OnActivate(bool active) override;
  void ProcessMidiMsg(IMidiMsg* pMsg) override;  // records, then the default MIDI thru
  void ProcessSysEx(ISysEx* pSysEx) override;
  void OnHostIdentified() override;
  void OnGUIOpen() override { mHooks.push_back("guiopen"); }
  void OnGUIClose() override { mHooks.push_back("guiclose"); }
  void PresetsChangedByHost() override { mHooks.push_back("presets"); }
  bool MidiNoteName(int noteNumber, char* name) override;

  // Hooks whose text starts with prefix.
  int CountHooks(const std::string& prefix) const;
};
