#pragma once
// A minimal host for tests that need to see inside the plug-in: the pass-through plug-in is compiled
// into the test program and created through VSTPluginMain with a callback that records every host
// call and answers from fields the test sets.
//
// One host at a time per program (the callback finds it through a global). Calls may come from
// several threads; the record has a lock of its own.

#include "tests/support/PassThroughPlug.h"

#include <mutex>
#include <string>
#include <vector>

struct RecordedHostCall
{
  int mOpcode;
  int mIndex;
  VstIntPtr mValue;
  float mOpt;
};

class InProcessHost
{
public:
  InProcessHost();
  ~InProcessHost();

  // What the host answers.
  std::string mProductString = "Test Host";  // empty: writes nothing
  VstIntPtr mVendorVersion = 1000;
  VstTimeInfo mTime;        // answered to audioMasterGetTime
  bool mAnswerTime = true;  // false: audioMasterGetTime answers null
  VstIntPtr mProcessLevel = kVstProcessLevelRealtime;
  VstIntPtr mEventsAnswer = 1;  // answer to audioMasterProcessEvents

  // The plug-in to build: a variant name, or "throwing" for a plug-in that throws from its hooks
  // once mThrow is set, or "constructor-throws".
  AEffect* Create(const char* variant);
  // Closes the instance (effClose) when still open.
  void Close();

  AEffect* Effect() { return mEffect; }
  PassThroughPlug* Plug()
  {
    return static_cast<PassThroughPlug*>(static_cast<PluginVST*>(mEffect->object));
  }
  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f);

  std::vector<RecordedHostCall> Calls();
  int Count(int opcode);
  void ClearCalls();

  static VstIntPtr Callback(AEffect* pEffect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                            void* ptr, float opt);

private:
  VstIntPtr Answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

  std::mutex mLock;
  std::vector<RecordedHostCall> mCalls;
  AEffect* mEffect = nullptr;
};

// Set by the "throwing" plug-in's tests: its hooks throw while true.
extern bool gPassThroughThrow;
