#pragma once
// A host for tests that need to see inside the plug-in: the pass-through plug-in is compiled into
// the test program and created through its VSTPluginMain by the test host, which records every host
// call and answers as configured (`vst()`); the time information is the test's own `mTime`.
//
// Calls may come from several threads; the test host's log has a lock of its own.

#include "tests/support/PassThroughPlug.h"
#include "tools/vsthost/plugin_instance.h"
#include "tools/vsthost/vst_host.h"

#include <memory>
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

  // The test host's answers: a product "Test Host" of version 1000, realtime processing.
  vsthost::VstHost& vst() { return mHost; }
  VstTimeInfo mTime;        // answered to audioMasterGetTime
  bool mAnswerTime = true;  // false: audioMasterGetTime answers null

  // The plug-in to build: a variant name, or "throwing" for a plug-in that throws from its hooks
  // once gPassThroughThrow is set, or "constructor-throws".
  AEffect* Create(const char* variant);
  // Closes the instance (effClose) when still open.
  void Close();

  AEffect* Effect() { return mInstance ? mInstance->effect() : nullptr; }
  PassThroughPlug* Plug()
  {
    return static_cast<PassThroughPlug*>(static_cast<PluginVST*>(Effect()->object));
  }
  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f);

  // The notifications the plug-in sent, and the calls of one opcode, since the last clear.
  std::vector<RecordedHostCall> Calls();
  int Count(int opcode) { return (int)mHost.log().calls(opcode); }
  int CountAll()
  {
    int n = 0;
    for (int opcode = 0; opcode < vsthost::HostLog::kCountedOpcodes; ++opcode)
      n += Count(opcode);
    return n;
  }
  void ClearCalls() { mHost.log().clear(); }

private:
  vsthost::VstHost mHost;
  std::unique_ptr<vsthost::PluginInstance> mInstance;
};

// Set by the "throwing" plug-in's tests: its hooks throw while true.
extern bool gPassThroughThrow;
