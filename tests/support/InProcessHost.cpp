#include "tests/support/InProcessHost.h"

#include <cstring>
#include <stdexcept>

extern "C" AEffect* VSTPluginMain(audioMasterCallback hostCallback);

bool gPassThroughThrow = false;

namespace {

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
  mHost.identity().product = "Test Host";
  mHost.setProcessLevel(kVstProcessLevelRealtime);
  mHost.setTimeSource([this] { return mAnswerTime ? &mTime : nullptr; });
}

InProcessHost::~InProcessHost()
{
  Close();
  gPassThroughThrow = false;
}

AEffect* InProcessHost::Create(const char* variant)
{
  gVariant = variant;
  mInstance =
    vsthost::PluginInstance::create(mHost, vsthost::PluginLibrary::linked(&VSTPluginMain), nullptr);
  return Effect();
}

void InProcessHost::Close()
{
  if (mInstance)
    mInstance->close();
  mInstance.reset();
}

VstIntPtr InProcessHost::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                  float opt)
{
  return mInstance->dispatch(opcode, index, value, ptr, opt);
}

std::vector<RecordedHostCall> InProcessHost::Calls()
{
  std::vector<RecordedHostCall> calls;
  for (const vsthost::HostLogEntry& e : mHost.log().entries())
    calls.push_back({e.opcode, e.index, e.value, e.opt});
  return calls;
}
