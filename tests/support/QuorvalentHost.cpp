#include "tests/support/QuorvalentHost.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

VST_EXTERN_C AEffect* VSTPluginMain(audioMasterCallback hostCallback);

QuorvalentHost::QuorvalentHost(double sampleRate, int maxBlock)
  : mSampleRate(sampleRate)
  , mMaxBlock(maxBlock)
{
  // A plain host: it names itself, asks nothing of the plug-in and claims no capability.
  mHost.identity().product = "Quorvalent Test Host";
  mHost.identity().vendorVersion = 1;
  mHost.setProcessLevel(0);
  for (const char* capability :
       {"sendVstEvents", "sendVstMidiEvent", "sendVstTimeInfo", "receiveVstEvents",
        "receiveVstMidiEvent", "sizeWindow", "startStopProcess"})
    mHost.setCanDo(capability, 0);
  mHost.setTimeSource([this] { return timeInfo(); });
  mInstance =
    vsthost::PluginInstance::create(mHost, vsthost::PluginLibrary::linked(&VSTPluginMain), nullptr);
  mEffect = mInstance->effect();
  dispatch(effOpen);
  setSampleRate(sampleRate);
  mInstance->setBlockSize(maxBlock);
  dispatch(effMainsChanged, 0, 1);
}

QuorvalentHost::~QuorvalentHost()
{
  dispatch(effMainsChanged, 0, 0);
  mInstance->close();
}

std::vector<std::string> QuorvalentHost::edits()
{
  std::vector<std::string> edits;
  for (const vsthost::HostLogEntry& e : mHost.log().entries())
  {
    char call[64];
    if (e.opcode == audioMasterAutomate)
      snprintf(call, sizeof(call), "automate %d %g", e.index, e.opt);
    else if (e.opcode == audioMasterBeginEdit || e.opcode == audioMasterEndEdit)
      snprintf(call, sizeof(call), "%s %d", e.opcode == audioMasterBeginEdit ? "begin" : "end",
               e.index);
    else
      continue;
    edits.push_back(call);
  }
  return edits;
}

Quorvalent& QuorvalentHost::plug()
{
  return *static_cast<Quorvalent*>(static_cast<PluginVST*>(mEffect->object));
}

VstIntPtr QuorvalentHost::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt)
{
  return mEffect->dispatcher(mEffect, opcode, index, value, ptr, opt);
}

std::string QuorvalentHost::text(VstInt32 opcode, VstInt32 index)
{
  char buffer[256] = {};
  dispatch(opcode, index, 0, buffer);
  return buffer;
}

vsthost::Transport& QuorvalentHost::useClock(const vsthost::TransportSettings& settings)
{
  mClock.configure(settings, mSampleRate);
  mUseClock = true;
  return mClock;
}

void QuorvalentHost::setSampleRate(double sampleRate)
{
  mSampleRate = sampleRate;
  mClock.setSampleRate(sampleRate);
  mInstance->setSampleRate(sampleRate);
}

void QuorvalentHost::setParam(int idx, double value)
{
  IParam* param = plug().GetParam(idx);
  if (param->GetNDisplayTexts() == 0)
  {
    char number[64];
    snprintf(number, sizeof(number), "%.17g", value);
    dispatch(effString2Parameter, idx, 0, number);
  }
  else
  {
    mEffect->setParameter(mEffect, idx, (float)param->GetNormalized(value));
  }
}

void QuorvalentHost::midi(int64_t frame, int status, int data1, int data2)
{
  VstMidiEvent e{};
  e.type = kVstMidiType;
  e.byteSize = sizeof(VstMidiEvent);
  e.midiData[0] = (char)status;
  e.midiData[1] = (char)data1;
  e.midiData[2] = (char)data2;
  mMidi.push_back({frame, e});
}

void QuorvalentHost::sendMidi(int64_t from, int64_t to)
{
  std::vector<VstMidiEvent> events;
  std::vector<std::pair<int64_t, VstMidiEvent>> later;
  for (auto& m : mMidi)
  {
    if (m.first >= to)
    {
      later.push_back(m);
      continue;
    }
    m.second.deltaFrames = (VstInt32)(m.first - from);
    events.push_back(m.second);
  }
  mMidi.swap(later);
  if (events.empty())
    return;
  std::vector<unsigned char> list(sizeof(VstEvents) + events.size() * sizeof(VstEvent*));
  VstEvents* pList = reinterpret_cast<VstEvents*>(list.data());
  pList->numEvents = (VstInt32)events.size();
  for (size_t i = 0; i < events.size(); ++i)
    pList->events[i] = reinterpret_cast<VstEvent*>(&events[i]);
  dispatch(effProcessEvents, 0, 0, pList);
}

VstTimeInfo* QuorvalentHost::timeInfo()
{
  if (transport.rawTime)
  {
    mTime = transport.raw;
    return &mTime;
  }
  if (mUseClock)
  {
    mTime = mClock.timeInfo();
    return &mTime;
  }
  mTime = VstTimeInfo{};
  mTime.samplePos = transport.pos;
  mTime.sampleRate = mSampleRate;
  mTime.ppqPos = transport.pos / samplesPerBeat();
  mTime.tempo = transport.tempo;
  mTime.cycleStartPos = transport.loopStartPpq;
  mTime.cycleEndPos = transport.loopEndPpq;
  mTime.timeSigNumerator = transport.numerator;
  mTime.timeSigDenominator = transport.denominator;
  mTime.flags = kVstPpqPosValid | kVstTempoValid | kVstCyclePosValid | kVstTimeSigValid |
                (transport.playing ? kVstTransportPlaying : 0) |
                (transport.loop ? kVstTransportCycleActive : 0);
  return &mTime;
}

Stereo QuorvalentHost::render(const Stereo& input, const std::function<int()>& blockSize,
                              ProcessCall call, const std::function<void(double)>& perFrame)
{
  const int64_t n = (int64_t)input.size();
  Stereo output(input.size());
  std::vector<float> fin[2], fout[2];
  for (int c = 0; c < 2; ++c)
  {
    const std::vector<double>& src = c ? input.r : input.l;
    fin[c].assign(src.begin(), src.end());
    fout[c].assign(input.size(), 0.0f);
  }

  for (int64_t frame = 0; frame < n;)
  {
    int64_t len = std::min<int64_t>(std::clamp(blockSize(), 0, mMaxBlock), n - frame);
    const double loopEnd = transport.loopEndPpq * samplesPerBeat();
    if (mUseClock)
      len = std::min<int64_t>(len, std::max<int64_t>(mClock.framesToLoopEnd(), 1));
    else if (transport.loop && transport.playing && loopEnd - transport.pos >= 1.0)
      len = std::min<int64_t>(len, (int64_t)std::ceil(loopEnd - transport.pos));
    sendMidi(frame, frame + std::max<int64_t>(len, 1));

    if (call == ProcessCall::Double)
    {
      double* in[2] = {const_cast<double*>(&input.l[frame]), const_cast<double*>(&input.r[frame])};
      double* out[2] = {&output.l[frame], &output.r[frame]};
      mEffect->processDoubleReplacing(mEffect, in, out, (VstInt32)len);
    }
    else
    {
      float* in[2] = {&fin[0][frame], &fin[1][frame]};
      float* out[2] = {&fout[0][frame], &fout[1][frame]};
      (call == ProcessCall::Replacing ? mEffect->processReplacing
                                      : mEffect->process)(mEffect, in, out, (VstInt32)len);
      for (int64_t i = frame; i < frame + len; ++i)
      {
        output.l[i] = fout[0][i];
        output.r[i] = fout[1][i];
      }
    }

    const double blockStart = mUseClock ? mClock.samplePos() : transport.pos;
    if (mUseClock)
    {
      mClock.advance(len);
    }
    else if (transport.playing)
    {
      transport.pos += (double)len;
      if (transport.loop && transport.pos >= loopEnd)
        transport.pos = transport.loopStartPpq * samplesPerBeat();
    }
    if (perFrame && len == 1)
      perFrame(blockStart);
    frame += len;
  }
  return output;
}

Stereo dcInput(size_t frames, double value) { return Stereo(frames, value); }

Stereo testSignal(size_t frames, uint32_t seed)
{
  Stereo s(frames);
  uint32_t state = seed;
  auto noise = [&state] {
    state = state * 1664525u + 1013904223u;
    return ((double)(state >> 8) / 8388608.0 - 1.0) * 0.25;
  };
  for (size_t i = 0; i < frames; ++i)
  {
    const double saw = ((double)(i % 64) / 32.0 - 1.0) * 0.25;
    s.l[i] = saw + noise();
    s.r[i] = -saw + noise();
  }
  return s;
}
