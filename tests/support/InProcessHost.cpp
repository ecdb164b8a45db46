#include "tests/support/InProcessHost.h"

#include <cstring>
#include <stdexcept>

extern "C" AEffect* VSTPluginMain(audioMasterCallback hostCallback);

bool gPassThroughThrow = false;

namespace {

InProcessHost* gHost = nullptr;
const char* gVariant = "stereo";

// The pass-through plug-in with hooks that throw on demand.
class ThrowingPlug : public PassThroughPlug
{
public:
  using PassThroughPlug::PassThroughPlug;
  void OnIdle() override
  {
    Throw();
    PassThroughPlug::OnIdle();
  }
  void OnParamChange(int idx) override
  {
    Throw();
    PassThroughPlug::OnParamChange(idx);
  }
  void ProcessDoubleReplacing(double** in, double** out, int n) override
  {
    Throw();
    PassThroughPlug::ProcessDoubleReplacing(in, out, n);
  }

private:
  static void Throw()
  {
    if (gPassThroughThrow)
      throw std::runtime_error("hook failed");
  }
};

}  // namespace

PluginVST* MakePlugInstance(PluginInstanceInfo instanceInfo)
{
  if (!strcmp(gVariant, "constructor-throws"))
    throw std::runtime_error("construction failed");
  if (!strcmp(gVariant, "throwing"))
    return new ThrowingPlug(instanceInfo, *FindPassThroughVariant("stereo"));
  const PassThroughVariant* pVariant = FindPassThroughVariant(gVariant);
  return pVariant ? new PassThroughPlug(instanceInfo, *pVariant) : nullptr;
}

InProcessHost::InProcessHost()
{
  memset(&mTime, 0, sizeof(mTime));
  mTime.sampleRate = 44100.0;
  mTime.tempo = 120.0;
  mTime.timeSigNumerator = 4;
  mTime.timeSigDenominator = 4;
  mTime.flags = kVstTempoValid | kVstTimeSigValid | kVstPpqPosValid;
  gHost = this;
}

InProcessHost::~InProcessHost()
{
  Close();
  gHost = nullptr;
  gPassThroughThrow = false;
}

AEffect* InProcessHost::Create(const char* variant)
{
  gVariant = variant;
  mEffect = VSTPluginMain(&Callback);
  return mEffect;
}

void InProcessHost::Close()
{
  if (mEffect)
    mEffect->dispatcher(mEffect, effClose, 0, 0, nullptr, 0.0f);
  mEffect = nullptr;
}

VstIntPtr InProcessHost::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                  float opt)
{
  return mEffect->dispatcher(mEffect, opcode, index, value, ptr, opt);
}

std::vector<RecordedHostCall> InProcessHost::Calls()
{
  std::lock_guard<std::mutex> guard(mLock);
  return mCalls;
}

int InProcessHost::Count(int opcode)
{
  std::lock_guard<std::mutex> guard(mLock);
  int n = 0;
  for (const RecordedHostCall& c : mCalls)
    n += c.mOpcode == opcode;
  return n;
}

void InProcessHost::ClearCalls()
{
  std::lock_guard<std::mutex> guard(mLock);
  mCalls.clear();
}

VstIntPtr InProcessHost::Callback(AEffect* /*pEffect*/, VstInt32 opcode, VstInt32 index,
                                  VstIntPtr value, void* ptr, float opt)
{
  return gHost ? gHost->Answer(opcode, index, value, ptr, opt) : 0;
}

VstIntPtr InProcessHost::Answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                float opt)
{
  {
    std::lock_guard<std::mutex> guard(mLock);
    mCalls.push_back({opcode, index, value, opt});
  }
  switch (opcode)
  {
    case audioMasterVersion:
      return kVstVersion;
    case audioMasterGetTime:
      return mAnswerTime ? (VstIntPtr)&mTime : 0;
    case audioMasterProcessEvents:
      return mEventsAnswer;
    case audioMasterGetCurrentProcessLevel:
      return mProcessLevel;
    case audioMasterGetProductString:
      if (!ptr || mProductString.empty())
        return 0;
      snprintf((char*)ptr, kVstMaxProductStrLen, "%s", mProductString.c_str());
      return 1;
    case audioMasterGetVendorVersion:
      return mVendorVersion;
    default:
      return 0;
  }
}
