#pragma once
// An in-process host for the plug-in's tests. Quorvalent is compiled into the test program, created
// through its VSTPluginMain by the test host and opened as a host would. The host plays a scripted
// transport: it answers
// audioMasterGetTime for the block about to run, moves on by each block while playing and wraps at
// a loop's end (splitting the block there); or it keeps time with the test host's transport
// (`useClock`). MIDI is queued by frame and handed to the block that holds it.

#include "effect/Quorvalent.h"
#include "tools/vsthost/plugin_instance.h"
#include "tools/vsthost/transport.h"
#include "tools/vsthost/vst_host.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Read access to the engine's state, for tests that watch the sequencer sample by sample.
struct QuorvalentTestAccess
{
  static float gateGain(const Quorvalent& q) { return q.mGateGain; }
  static bool trigger(const Quorvalent& q) { return q.mTrigger; }
  static EnvelopeGenerator::EnvelopeStage ampStage(const Quorvalent& q)
  {
    return q.mAmpEnvelope.getCurrentStage();
  }
  static EnvelopeGenerator::EnvelopeStage filterStage(const Quorvalent& q)
  {
    return q.mFilterEnvelope.getCurrentStage();
  }
  // The version of the engine's quiet runs (one the processor runs: processorVectorCode()).
  static void useVectorCode(Quorvalent& q, VectorCode code) { q.mVectorCode = code; }
  static bool presetDumpLine(Quorvalent& q, char* line, int size)
  {
    return q.presetDumpLine(line, size);
  }
};

using vsthost::ProcessCall;

struct Stereo
{
  std::vector<double> l, r;
  explicit Stereo(size_t n = 0, double value = 0.0)
    : l(n, value)
    , r(n, value)
  {}
  size_t size() const { return l.size(); }
};

class QuorvalentHost
{
public:
  struct Transport
  {
    double tempo = 120.0;
    int numerator = 4;
    int denominator = 4;
    bool playing = true;
    double pos = 0.0;  // in samples
    bool loop = false;
    double loopStartPpq = 0.0, loopEndPpq = 0.0;
    bool rawTime = false;  // answer `raw` instead of the transport's own time information
    VstTimeInfo raw{};
  };

  explicit QuorvalentHost(double sampleRate = 32768.0, int maxBlock = 4096);
  ~QuorvalentHost();

  AEffect* effect() { return mEffect; }
  Quorvalent& plug();
  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f);
  // A text the plug-in writes for opcode (parameter name, display, program name ...).
  std::string text(VstInt32 opcode, VstInt32 index = 0);

  void setSampleRate(double sampleRate);
  // A plain value, as a host sets it: numbers as text, switches through their normalised value.
  void setParam(int idx, double value);
  void selectProgram(int idx) { dispatch(effSetProgram, 0, idx); }
  // Every parameter at its default: the last slot is an "Empty" program.
  void loadDefaults() { selectProgram(kNumPrograms - 1); }

  Transport transport;
  // What the plug-in reported from its editor: "begin 3", "automate 3 0.5", "end 3".
  std::vector<std::string> edits();
  double samplesPerBeat() const { return 60.0 * mSampleRate / transport.tempo; }
  // From now on the test host's transport (song positions in ticks, pre-roll, locates) keeps
  // the time instead of `transport`; it follows later sample-rate changes.
  vsthost::Transport& useClock(const vsthost::TransportSettings& settings);

  // Queues a MIDI message for the block holding frame (counted from the next render's start).
  void midi(int64_t frame, int status, int data1, int data2);

  // Renders input in blocks of blockSize(); after each one-frame block, perFrame (when given)
  // receives the host position of that frame.
  Stereo render(const Stereo& input, const std::function<int()>& blockSize,
                ProcessCall call = ProcessCall::Double,
                const std::function<void(double hostPos)>& perFrame = nullptr);
  Stereo render(const Stereo& input, int blockSize, ProcessCall call = ProcessCall::Double)
  {
    return render(
      input, [blockSize] { return blockSize; }, call);
  }

private:
  VstTimeInfo* timeInfo();
  void sendMidi(int64_t from, int64_t to);

  vsthost::VstHost mHost;
  std::unique_ptr<vsthost::PluginInstance> mInstance;
  AEffect* mEffect = nullptr;
  double mSampleRate;
  int mMaxBlock;
  VstTimeInfo mTime{};
  bool mUseClock = false;
  vsthost::Transport mClock;
  std::vector<std::pair<int64_t, VstMidiEvent>> mMidi;
};

// Input whose samples are exact in binary (and in single precision), the same on both targets:
// a constant, or a 64-sample saw plus white noise, a quarter each.
Stereo dcInput(size_t frames, double value = 1.0);
Stereo testSignal(size_t frames, uint32_t seed = 1);
