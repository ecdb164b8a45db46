#include "tests/support/PassThroughPlug.h"

#include "tests/support/plugin_test_surface.h"

#include <cstdio>
#include <cstring>

namespace {

const PassThroughVariant kVariants[] = {
  // The product's layout: mono or stereo, MIDI in, no state chunks, no editor.
  {"stereo", "1-1 2-2", "PassThru Stereo", "", "Orvyn Test", 0x10001, 0x51767053, 0, true, false,
   false, 5, false, ""},
  // Four channels a side, no MIDI, no programs; names longer than the host's fields.
  {"quad", "4-4", "PassThru Quad with a name longer than thirty-two bytes",
   "A product string that runs well past the sixty-four bytes a host gives it, to be cut",
   "A maker name that also runs well past the sixty-four bytes a host gives it, to be cut", 0x10203,
   0x51767051, 0, false, false, false, 0, false, "Left front in"},
  // Mono in, stereo out, an instrument with state chunks, latency and an editor.
  {"chunks", "1-2", "PassThru Chunks", "PassThru Suite", "Orvyn Test", 0x20304, 0x51767043, 64,
   true, true, true, 5, true, ""},
};

// An editor surface whose window opens whenever the host hands it a parent window.
class WindowSurface : public TestSurface
{
public:
  WindowSurface(PluginBase* pPlug)
    : TestSurface(pPlug, PassThroughPlug::kEditorWidth, PassThroughPlug::kEditorHeight)
  {}
  void* OpenWindow(void* pParent) override { return mWindow = pParent; }
  void CloseWindow() override { mWindow = nullptr; }
  void* GetWindow() override { return mWindow; }

private:
  void* mWindow = nullptr;
};

}  // namespace

const PassThroughVariant* FindPassThroughVariant(const char* name)
{
  for (const PassThroughVariant& v : kVariants)
    if (!strcmp(v.mName, name))
      return &v;
  return nullptr;
}

PassThroughPlug::PassThroughPlug(PluginInstanceInfo instanceInfo, const PassThroughVariant& v)
  : PluginVST(instanceInfo, kNumParams, v.mChannelIO, v.mNumPrograms, v.mEffectName, v.mProductName,
              v.mMfrName, v.mVersion, v.mUniqueID, 0x4F72766E, v.mLatency, v.mDoesMidi,
              v.mDoesChunks, v.mIsInst)
{
  GetParam(kGain)->InitDouble("Gain", 0.0, -60.0, 12.0, 0.1, "dB");
  GetParam(kMode)->InitEnum("Mode", 0, 3);
  GetParam(kMode)->SetDisplayText(0, "Clean");
  GetParam(kMode)->SetDisplayText(1, "Warm");
  GetParam(kMode)->SetDisplayText(2, "Hot");
  GetParam(kBypass)->InitBool("Bypass", false);
  GetParam(kSteps)->InitInt("Steps", 16, 1, 16);
  GetParam(kCutoff)->InitDouble("Cutoff", 1000.0, 20.0, 20000.0, 1.0, "Hz");
  GetParam(kCutoff)->SetShape(2.0);
  GetParam(kFine)->InitDouble("Fine", 0.5, 0.0, 1.0, 0.001);

  MakePreset("Factory A", -6.0, 1, 0, 8, 500.0, 0.25);
  MakePreset("A factory program with a long name", 3.0, 2, 1, 4, 8000.0, 0.75);

  if (v.mInputLabel0[0])
    SetInputLabel(0, v.mInputLabel0);
  if (v.mEditor)
    AttachGraphics(new WindowSurface(this));
}

void PassThroughPlug::Reset()
{
  IMutexLock lock(this);
  mHooks.push_back("reset");
}

void PassThroughPlug::OnParamChange(int paramIdx)
{
  IMutexLock lock(this);
  mHooks.push_back("param " + std::to_string(paramIdx));
}

void PassThroughPlug::OnActivate(bool active)
{
  IMutexLock lock(this);
  mHooks.push_back(active ? "activate 1" : "activate 0");
}

void PassThroughPlug::ProcessMidiMsg(IMidiMsg* pMsg)
{
  char s[48];
  snprintf(s, sizeof(s), "midi %02X %02X %02X %d", pMsg->mStatus, pMsg->mData1, pMsg->mData2,
           pMsg->mOffset);
  mHooks.push_back(s);
  PluginVST::ProcessMidiMsg(pMsg);
}

void PassThroughPlug::ProcessSysEx(ISysEx* pSysEx)
{
  mHooks.push_back("sysex " + std::to_string(pSysEx->mOffset) + " " +
                   std::to_string(pSysEx->mSize));
}

void PassThroughPlug::OnHostIdentified()
{
  mHooks.push_back("identified " + std::to_string((int)GetHost()));
}

bool PassThroughPlug::MidiNoteName(int noteNumber, char* name)
{
  // Names the middle C only.
  if (noteNumber != 60)
    return PluginVST::MidiNoteName(noteNumber, name);
  snprintf(name, kVstMaxNameLen, "%s", "Middle C");
  return true;
}

int PassThroughPlug::CountHooks(const std::string& prefix) const
{
  int n = 0;
  for (const std::string& h : mHooks)
    if (h.compare(0, prefix.size(), prefix) == 0)
      ++n;
  return n;
}
