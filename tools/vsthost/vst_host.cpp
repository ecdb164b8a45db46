#include "tools/vsthost/vst_host.h"

#include <cstdio>
#include <cstring>

#include "framework/vst/abi/events.h"
#include "framework/vst/abi/host_opcodes.h"
#include "tools/vsthost/plugin_instance.h"
#include "tools/vsthost/text_util.h"

namespace vsthost {
namespace {

const char* const kFieldNames[TimeOverrides::kFieldCount] = {
  "samplePos",          "sampleRate",    "ppqPos",      "tempo",
  "barStartPos",        "cycleStartPos", "cycleEndPos", "timeSigNumerator",
  "timeSigDenominator", "flags"};

// Copies at most size - 1 bytes and terminates.
void copyText(void* dst, const std::string& text, size_t size)
{
  if (size == 0)
    return;
  const size_t n = text.size() < size - 1 ? text.size() : size - 1;
  std::memcpy(dst, text.data(), n);
  static_cast<char*>(dst)[n] = '\0';
}

std::string hexBytes(const unsigned char* bytes, size_t n)
{
  std::string out;
  char buf[4];
  for (size_t i = 0; i < n; ++i)
  {
    std::snprintf(buf, sizeof buf, i ? " %02X" : "%02X", bytes[i]);
    out += buf;
  }
  return out;
}

}  // namespace

bool TimeOverrides::fieldByName(const std::string& name, Field* out)
{
  for (int f = 0; f < kFieldCount; ++f)
  {
    if (name == kFieldNames[f])
    {
      *out = static_cast<Field>(f);
      return true;
    }
  }
  return false;
}

void TimeOverrides::apply(VstTimeInfo* t) const
{
  double* const doubles[] = {&t->samplePos,   &t->sampleRate,    &t->ppqPos,     &t->tempo,
                             &t->barStartPos, &t->cycleStartPos, &t->cycleEndPos};
  for (int f = SamplePos; f <= CycleEndPos; ++f)
    if (mSet[f])
      *doubles[f] = mValue[f];
  if (mSet[TimeSigNumerator])
    t->timeSigNumerator = static_cast<VstInt32>(mValue[TimeSigNumerator]);
  if (mSet[TimeSigDenominator])
    t->timeSigDenominator = static_cast<VstInt32>(mValue[TimeSigDenominator]);
  if (mSet[Flags])
    t->flags = static_cast<VstInt32>(mValue[Flags]);
}

VstHost::VstHost()
{
  for (const char* yes :
       {"sendVstEvents", "sendVstMidiEvent", "sendVstTimeInfo", "receiveVstEvents",
        "receiveVstMidiEvent", "sizeWindow", "startStopProcess"})
    mCanDo[yes] = 1;
  mTransport.configure(TransportSettings{}, 44100.0);
}

VstIntPtr VstHost::answerTime(VstIntPtr /*filter: every group is filled whatever is asked*/)
{
  if (mTimeSource)
    return reinterpret_cast<VstIntPtr>(mTimeSource());
  if (mTimeOverrides.answerNull())
    return 0;
  mTimeAnswer = mTransport.timeInfo();
  mTimeOverrides.apply(&mTimeAnswer);
  return reinterpret_cast<VstIntPtr>(&mTimeAnswer);
}

void VstHost::logEvents(const void* ptr)
{
  if (!ptr)
  {
    mLog.add({audioMasterProcessEvents, 0, 0, 0.0f, "processEvents null"});
    return;
  }
  const VstEvents* list = static_cast<const VstEvents*>(ptr);
  VstEvent* const* slot = list->events;  // through a pointer: the list may hold more than two
  for (VstInt32 i = 0; i < list->numEvents; ++i)
  {
    const VstEvent* e = slot[i];
    if (!e)
      continue;
    std::string text;
    if (e->type == kVstMidiType)
    {
      const VstMidiEvent* m = reinterpret_cast<const VstMidiEvent*>(e);
      text = "processEvents midi " + std::to_string(m->deltaFrames) + " " +
             hexBytes(reinterpret_cast<const unsigned char*>(m->midiData), 3);
    }
    else if (e->type == kVstSysExType)
    {
      const VstMidiSysexEvent* s = reinterpret_cast<const VstMidiSysexEvent*>(e);
      const size_t n = s->sysexDump && s->dumpBytes > 0 ? static_cast<size_t>(s->dumpBytes) : 0;
      text = "processEvents sysex " + std::to_string(s->deltaFrames) + " " +
             hexBytes(reinterpret_cast<const unsigned char*>(s->sysexDump), n);
    }
    else
    {
      text = "processEvents type " + std::to_string(e->type) + " " + std::to_string(e->deltaFrames);
    }
    mLog.add({audioMasterProcessEvents, i, 0, 0.0f, text});
  }
}

VstIntPtr VstHost::answer(PluginInstance* instance, AEffect* /*effect*/, VstInt32 opcode,
                          VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
  mLog.countCall(opcode);
  switch (opcode)
  {
    case audioMasterAutomate:
      mLog.add(
        {opcode, index, value, opt, "automate " + std::to_string(index) + " " + formatFloat(opt)});
      return 0;
    case audioMasterVersion:
      return 2400;
    case audioMasterCurrentId:
      return 0;
    case audioMasterIdle:
      return 0;
    case audioMasterWantMidi:
      mLog.add({opcode, index, value, opt, "wantMidi"});
      return 1;
    case audioMasterGetTime:
      return answerTime(value);
    case audioMasterProcessEvents:
      logEvents(ptr);
      return mProcessEventsAnswer;
    case audioMasterIOChanged:
      mLog.add({opcode, index, value, opt, "ioChanged"});
      return 1;
    case audioMasterSizeWindow:
      mLog.add({opcode, index, value, opt,
                "sizeWindow " + std::to_string(index) + " " + std::to_string(value)});
      return 1;
    case audioMasterGetSampleRate:
      return static_cast<VstIntPtr>(instance->sampleRate());
    case audioMasterGetBlockSize:
      return instance->blockSize();
    case audioMasterGetInputLatency:
    case audioMasterGetOutputLatency:
      return 0;
    case audioMasterGetCurrentProcessLevel:
      if (mProcessLevel >= 0)
        return mProcessLevel;
      if (!instance->inProcess())
        return kVstProcessLevelUser;
      return mOffline ? kVstProcessLevelOffline : kVstProcessLevelRealtime;
    case audioMasterGetAutomationState:
      return kVstAutomationOff;
    case audioMasterGetVendorString:
      if (!ptr || mIdentity.vendor.empty())
        return 0;
      copyText(ptr, mIdentity.vendor, mIdentity.stringLimit);
      return 1;
    case audioMasterGetProductString:
      if (!ptr || mIdentity.product.empty())
        return 0;
      copyText(ptr, mIdentity.product, mIdentity.stringLimit);
      return 1;
    case audioMasterGetVendorVersion:
      return mIdentity.vendorVersion;
    case audioMasterCanDo:
    {
      if (!ptr)
        return 0;
      const auto it = mCanDo.find(static_cast<const char*>(ptr));
      return it == mCanDo.end() ? 0 : it->second;
    }
    case audioMasterGetLanguage:
      return kVstLangEnglish;
    case audioMasterUpdateDisplay:
      mLog.add({opcode, index, value, opt, "updateDisplay"});
      return 1;
    case audioMasterBeginEdit:
      mLog.add({opcode, index, value, opt, "beginEdit " + std::to_string(index)});
      return 1;
    case audioMasterEndEdit:
      mLog.add({opcode, index, value, opt, "endEdit " + std::to_string(index)});
      return 1;
    default:
      return 0;
  }
}

}  // namespace vsthost
