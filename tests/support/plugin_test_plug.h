#pragma once
// A tiny binding over PluginBase for the instance base's tests: the host side is a log of the calls
// the plug-in makes, and the transport answers come from fields the test sets.

#include "framework/PluginBase.h"

#include <string>
#include <vector>

class TestPlug : public PluginBase
{
public:
  // One call the plug-in made: "automate 3 0.5", "begin 3", "paramchange 3", "midi 144 60 100" ...
  std::vector<std::string> mLog;

  double mTempo = 120.0;
  bool mMidiSendResult = true;

  TestPlug(int nParams, const char* channelIOStr, int nPresets = 0, bool doesChunks = false,
           const char* effectName = "Test Effect", int version = 0x10001)
    : PluginBase(nParams, channelIOStr, nPresets, effectName, "Test Product", "Test Maker", version,
                 0x51767470, 0x51764d6b, 0, true, doesChunks, false, kAPIVST2)
  {}

  // The construction a binding finishes with: every channel connected, 1024-sample blocks.
  static TestPlug* MakeConnected(int nParams, const char* channelIOStr, int nPresets = 0)
  {
    TestPlug* pPlug = new TestPlug(nParams, channelIOStr, nPresets);
    pPlug->SetInputChannelConnections(0, pPlug->NInChannels(), true);
    pPlug->SetOutputChannelConnections(0, pPlug->NOutChannels(), true);
    pPlug->SetBlockSize(1024);
    return pPlug;
  }

  // Initialises every parameter as a double 0..1 with step 0.001 and default 0.
  void InitDoubles()
  {
    for (int i = 0; i < NParams(); ++i)
      GetParam(i)->InitDouble("p", 0.0, 0.0, 1.0, 0.001);
  }

  void OnParamChange(int paramIdx) override { Log("paramchange " + std::to_string(paramIdx)); }
  void PresetsChangedByHost() override { Log("presetschanged"); }

  void BeginInformHostOfParamChange(int idx) override { Log("begin " + std::to_string(idx)); }
  void InformHostOfParamChange(int idx, double normalizedValue) override
  {
    Log("automate " + std::to_string(idx) + " " + Num(normalizedValue));
  }
  void EndInformHostOfParamChange(int idx) override { Log("end " + std::to_string(idx)); }
  void InformHostOfProgramChange() override { Log("programchange"); }
  int GetSamplePos() override { return 0; }
  double GetTempo() override { return mTempo; }
  void GetTimeSig(int* pNum, int* pDen) override { *pNum = 4, *pDen = 4; }
  void GetTime(ITimeInfo*) override {}
  void ResizeGraphics(int, int) override {}
  bool SendMidiMsg(IMidiMsg* pMsg) override
  {
    Log("midi " + std::to_string(pMsg->mStatus) + " " + std::to_string(pMsg->mData1) + " " +
        std::to_string(pMsg->mData2));
    return mMidiSendResult;
  }

  // The values of every parameter.
  std::vector<double> Values()
  {
    std::vector<double> v;
    for (int i = 0; i < NParams(); ++i)
      v.push_back(GetParam(i)->Value());
    return v;
  }

  // Exposed for the tests.
  using PluginBase::mInData;
  using PluginBase::mOutData;

  static std::string Num(double v)
  {
    char s[32];
    snprintf(s, sizeof(s), "%g", v);
    return s;
  }

private:
  void Log(const std::string& s) { mLog.push_back(s); }
};
