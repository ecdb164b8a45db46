// A minimal VST 2.4 plug-in written straight against the interface declarations, with no framework
// code: a stereo gain with a mute switch, two parameters and two programs, state chunks, and MIDI
// echoed back to the host. It exists to prove the test host against a plug-in built independently
// of it, on both targets (a .so natively, a DLL under wine).
//
// Test hooks, through effVendorSpecific with ptr a text buffer of at least 256 bytes:
//   index 'TIME': writes what the host said in the last block: "samplePos ppqPos tempo flags level",
//                 level being the answer to the process-level request
//   index 'HOST': asks the host for its product string, vendor version and process level, sends it
//                 beginEdit/automate/endEdit for parameter 0, updateDisplay, ioChanged and
//                 sizeWindow 320x200, and writes "product|version|level"
//   index 'MIDI': writes the number of MIDI events received so far
//
// The faulty variant (built with QV_RAW_FAULTS) misbehaves in the one way that the environment
// variable QV_RAW_FAULT names when an instance is created; the validator's tests show that each
// fault is caught. The names are listed in `kFaults`.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <new>

#include "framework/vst/abi/vst.h"

namespace {

constexpr int kNumParams = 2;
constexpr int kNumPrograms = 2;
constexpr int kMaxEvents = 64;
constexpr VstInt32 kChunkMagic = VST_FOURCC('Q', 'R', 'a', 'w');

struct Program
{
  char name[kVstMaxProgNameLen];
  float values[kNumParams];
};

// Each fault names the check that must catch it (see the validator's tests).
const char* const kFaults[] = {
  "text-overrun",         // a parameter name of 100 bytes
  "text-unterminated",    // the effect name without its terminator
  "nan-param",            // NaN stored as a parameter value
  "nan-output",           // a NaN in every block
  "denormal-output",      // denormals instead of silence
  "write-input",          // the input buffers scaled in place
  "accumulate-replaces",  // the accumulating callback replaces
  "in-place-unsafe",      // channels swapped through the output buffers
  "chunk-counter",        // each chunk carries a request counter
  "program-any",          // any program index accepted
  "allocate",             // an allocation in every block
  "shared-state",         // parameters shared by every instance
  "nan-when-stopped",     // NaN out while the transport is stopped
  "nan-last-offset",      // NaN out when an event comes at the last frame of a block
  "display-doubles",      // a displayed gain typed back in doubles
};
constexpr int kNumFaults = sizeof kFaults / sizeof kFaults[0];

struct RawGain
{
  AEffect effect;
  int fault;  // index into kFaults, or -1
  audioMasterCallback host;
  Program programs[kNumPrograms];
  int current;
  VstTimeInfo lastTime;
  bool haveTime;
  VstIntPtr blockLevel;
  int midiReceived;
  int reportedProgram;               // "program-any"
  int chunkRequests;                 // "chunk-counter"
  VstMidiEvent pending[kMaxEvents];  // events delivered for the coming block, echoed to the host
  int numPending;
  unsigned char chunk[4 + 4 + kNumPrograms * sizeof(Program)];
};

RawGain* self(AEffect* e) { return static_cast<RawGain*>(e->object); }

bool faulty(const RawGain* p, const char* name)
{
  return p->fault >= 0 && std::strcmp(kFaults[p->fault], name) == 0;
}

int faultFromEnvironment()
{
#ifdef QV_RAW_FAULTS
  const char* name = std::getenv("QV_RAW_FAULT");
  for (int i = 0; name && i < kNumFaults; ++i)
    if (std::strcmp(kFaults[i], name) == 0)
      return i;
#endif
  return -1;
}

Program gSharedPrograms[kNumPrograms];  // "shared-state"

float* values(RawGain* p)
{
  return (faulty(p, "shared-state") ? gSharedPrograms : p->programs)[p->current].values;
}

double gainOf(RawGain* p) { return values(p)[1] >= 0.5f ? 0.0 : 2.0 * values(p)[0]; }

// Copies at most size - 1 characters and terminates: the interface's limits are what a host
// allocates.
void copyText(void* dst, const char* src, size_t size)
{
  const size_t n = strnlen(src, size - 1);
  std::memcpy(dst, src, n);
  static_cast<char*>(dst)[n] = '\0';
}

// At the start of each block: read the host's time and process level, and hand the MIDI events
// delivered for this block back to the host.
void beginBlock(RawGain* p)
{
  const VstIntPtr t =
    p->host(&p->effect, audioMasterGetTime, 0, kVstPpqPosValid | kVstTempoValid, nullptr, 0.0f);
  p->haveTime = t != 0;
  if (t)
    p->lastTime = *reinterpret_cast<const VstTimeInfo*>(t);
  p->blockLevel = p->host(&p->effect, audioMasterGetCurrentProcessLevel, 0, 0, nullptr, 0.0f);
  if (p->numPending == 0)
    return;
  struct
  {
    VstInt32 numEvents;
    VstIntPtr reserved;
    VstEvent* events[kMaxEvents];
  } list = {};
  list.numEvents = p->numPending;
  for (int i = 0; i < p->numPending; ++i)
    list.events[i] = reinterpret_cast<VstEvent*>(&p->pending[i]);
  p->host(&p->effect, audioMasterProcessEvents, 0, 0, &list, 0.0f);
  p->numPending = 0;
}

template <typename T>
void run(AEffect* e, T** in, T** out, VstInt32 frames, bool accumulate)
{
  RawGain* p = self(e);
  const int events = p->numPending;
  const int lastOffset = events > 0 ? p->pending[events - 1].deltaFrames : -1;
  beginBlock(p);
  const T gain = static_cast<T>(gainOf(p));
  if (faulty(p, "accumulate-replaces"))
    accumulate = false;
  if (faulty(p, "in-place-unsafe"))
  {
    for (VstInt32 i = 0; i < frames; ++i)
      out[0][i] = in[1][i] * gain;
    for (VstInt32 i = 0; i < frames; ++i)
      out[1][i] = in[0][i] * gain;
    return;
  }
  for (int c = 0; c < 2; ++c)
    for (VstInt32 i = 0; i < frames; ++i)
      out[c][i] = (accumulate ? out[c][i] : T(0)) + in[c][i] * gain;
  const bool stopped = p->haveTime && !(p->lastTime.flags & kVstTransportPlaying);
  if (frames > 0 && (faulty(p, "nan-output") || (faulty(p, "nan-when-stopped") && stopped) ||
                     (faulty(p, "nan-last-offset") && lastOffset == frames - 1)))
    out[0][frames / 2] = std::numeric_limits<T>::quiet_NaN();
  if (faulty(p, "denormal-output"))
    for (VstInt32 i = 0; i < frames; ++i)
      if (out[1][i] == T(0))
        out[1][i] = static_cast<T>(1e-40f);
  if (faulty(p, "write-input"))
    for (VstInt32 i = 0; i < frames; ++i)
      in[0][i] *= T(0.5);
  if (faulty(p, "allocate"))
    std::free(std::malloc(64 + static_cast<size_t>(frames)));
}

void processReplacing(AEffect* e, float** in, float** out, VstInt32 n)
{
  run(e, in, out, n, false);
}
void processAccumulating(AEffect* e, float** in, float** out, VstInt32 n)
{
  run(e, in, out, n, true);
}
void processDouble(AEffect* e, double** in, double** out, VstInt32 n) { run(e, in, out, n, false); }

void setParameter(AEffect* e, VstInt32 index, float value)
{
  if (value != value && !faulty(self(e), "nan-param"))
    return;  // not a number: nothing to set
  if (index >= 0 && index < kNumParams)
    values(self(e))[index] = value < 0.f ? 0.f : value > 1.f ? 1.f : value;
}

float getParameter(AEffect* e, VstInt32 index)
{
  return index >= 0 && index < kNumParams ? values(self(e))[index] : 0.0f;
}

VstIntPtr getChunk(RawGain* p, bool bank, void** data)
{
  unsigned char* c = p->chunk;
  std::memcpy(c, &kChunkMagic, 4);
  const VstInt32 count = bank ? kNumPrograms : 1;
  std::memcpy(c + 4, &count, 4);
  if (bank)
    std::memcpy(c + 8, p->programs, sizeof p->programs);
  else
    std::memcpy(c + 8, &p->programs[p->current], sizeof(Program));
  if (faulty(p, "chunk-counter"))
    c[8 + kVstMaxProgNameLen - 1] = static_cast<unsigned char>(++p->chunkRequests);
  *data = c;
  return 8 + count * static_cast<VstIntPtr>(sizeof(Program));
}

VstIntPtr setChunk(RawGain* p, bool bank, const unsigned char* c, VstIntPtr size)
{
  VstInt32 magic, count;
  if (!c || size < 8)
    return 0;
  std::memcpy(&magic, c, 4);
  std::memcpy(&count, c + 4, 4);
  if (magic != kChunkMagic || count != (bank ? kNumPrograms : 1) ||
      size != 8 + count * static_cast<VstIntPtr>(sizeof(Program)))
    return 0;
  if (bank)
    std::memcpy(p->programs, c + 8, sizeof p->programs);
  else
    std::memcpy(&p->programs[p->current], c + 8, sizeof(Program));
  for (Program& prog : p->programs)
    prog.name[kVstMaxProgNameLen - 1] = '\0';
  return 1;
}

VstIntPtr hostHook(RawGain* p, char* text)
{
  char product[128] = {};
  p->host(&p->effect, audioMasterGetProductString, 0, 0, product, 0.0f);
  const VstIntPtr version = p->host(&p->effect, audioMasterGetVendorVersion, 0, 0, nullptr, 0.0f);
  const VstIntPtr level =
    p->host(&p->effect, audioMasterGetCurrentProcessLevel, 0, 0, nullptr, 0.0f);
  p->host(&p->effect, audioMasterBeginEdit, 0, 0, nullptr, 0.0f);
  p->host(&p->effect, audioMasterAutomate, 0, 0, nullptr, 0.25f);
  p->host(&p->effect, audioMasterEndEdit, 0, 0, nullptr, 0.0f);
  p->host(&p->effect, audioMasterUpdateDisplay, 0, 0, nullptr, 0.0f);
  p->host(&p->effect, audioMasterIOChanged, 0, 0, nullptr, 0.0f);
  p->host(&p->effect, audioMasterSizeWindow, 320, 200, nullptr, 0.0f);
  std::snprintf(text, 256, "%s|%lld|%lld", product, static_cast<long long>(version),
                static_cast<long long>(level));
  return 1;
}

VstIntPtr dispatcher(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float)
{
  RawGain* p = self(e);
  if (!p)
    return 0;
  switch (opcode)
  {
    case effClose:
      delete p;
      return 1;
    case effSetProgram:
      if ((value >= 0 && value < kNumPrograms) || faulty(p, "program-any"))
        p->current = static_cast<int>(value < 0 || value >= kNumPrograms ? 0 : value);
      if (faulty(p, "program-any"))
        p->reportedProgram = static_cast<int>(value);
      return 0;
    case effGetProgram:
      return faulty(p, "program-any") ? p->reportedProgram : p->current;
    case effSetProgramName:
      if (ptr)
        copyText(p->programs[p->current].name, static_cast<const char*>(ptr), kVstMaxProgNameLen);
      return 0;
    case effGetProgramName:
      if (ptr)
        copyText(ptr, p->programs[p->current].name, kVstMaxProgNameLen);
      return 0;
    case effGetProgramNameIndexed:
      if (!ptr || index < 0 || index >= kNumPrograms)
        return 0;
      copyText(ptr, p->programs[index].name, kVstMaxProgNameLen);
      return 1;
    case effGetParamName:
    case effGetParamLabel:
    case effGetParamDisplay:
    {
      if (!ptr || index < 0 || index >= kNumParams)
        return 0;
      char text[32];
      const float v = values(p)[index];
      if (opcode == effGetParamName && faulty(p, "text-overrun"))
      {
        std::memset(ptr, 'n', 99);
        static_cast<char*>(ptr)[99] = '\0';
        return 0;
      }
      if (opcode == effGetParamName)
        std::snprintf(text, sizeof text, "%s", index == 0 ? "Gain" : "Mute");
      else if (opcode == effGetParamLabel)
        std::snprintf(text, sizeof text, "%s", index == 0 ? "x" : "");
      else if (index == 0)
        std::snprintf(text, sizeof text, "%.3f", 2.0 * v);
      else
        std::snprintf(text, sizeof text, "%s", v >= 0.5f ? "On" : "Off");
      copyText(ptr, text, kVstMaxParamStrLen);
      return 0;
    }
    case effString2Parameter:
    {
      if (index < 0 || index >= kNumParams)
        return 0;
      if (!ptr)
        return 1;
      const char* text = static_cast<const char*>(ptr);
      if (index == 1)
        values(p)[1] = std::strcmp(text, "On") == 0 ? 1.0f : 0.0f;
      else
        setParameter(
          e, 0, static_cast<float>(std::atof(text) / (faulty(p, "display-doubles") ? 1.0 : 2.0)));
      return 1;
    }
    case effCanBeAutomated:
      return index >= 0 && index < kNumParams;
    case effGetChunk:
      return ptr ? getChunk(p, index == 0, static_cast<void**>(ptr)) : 0;
    case effSetChunk:
      return setChunk(p, index == 0, static_cast<const unsigned char*>(ptr), value);
    case effProcessEvents:
    {
      const VstEvents* list = static_cast<const VstEvents*>(ptr);
      if (!list)
        return 0;
      VstEvent* const* slot = list->events;
      for (VstInt32 i = 0; i < list->numEvents; ++i)
      {
        if (!slot[i] || slot[i]->type != kVstMidiType)
          continue;
        ++p->midiReceived;
        if (p->numPending < kMaxEvents)
          p->pending[p->numPending++] = *reinterpret_cast<VstMidiEvent*>(slot[i]);
      }
      return 1;
    }
    case effGetInputProperties:
    case effGetOutputProperties:
    {
      if (!ptr || index < 0 || index > 1)
        return 0;
      VstPinProperties* pin = static_cast<VstPinProperties*>(ptr);
      std::snprintf(pin->label, sizeof pin->label, "Raw %s %d",
                    opcode == effGetInputProperties ? "In" : "Out", index + 1);
      pin->flags = kVstPinIsActive | (index == 0 ? kVstPinIsStereo : 0);
      pin->arrangementType = kSpeakerArrStereo;
      return 1;
    }
    case effGetPlugCategory:
      return kPlugCategEffect;
    case effGetEffectName:
      if (ptr && faulty(p, "text-unterminated"))
        std::memset(ptr, 'e', 40);
      else if (ptr)
        copyText(ptr, "QV Raw Gain", kVstMaxEffectNameLen);
      return ptr != nullptr;
    case effGetVendorString:
      if (ptr)
        copyText(ptr, "Quorvalent Tests", kVstMaxVendorStrLen);
      return ptr != nullptr;
    case effGetProductString:
      if (ptr)
        copyText(ptr, "Raw Gain", kVstMaxProductStrLen);
      return ptr != nullptr;
    case effGetVendorVersion:
      return 1;
    case effGetVstVersion:
      return kVstVersion;
    case effCanDo:
    {
      if (!ptr)
        return 0;
      for (const char* yes : {"receiveVstEvents", "receiveVstMidiEvent", "sendVstEvents",
                              "sendVstMidiEvent", "receiveVstTimeInfo"})
        if (std::strcmp(static_cast<const char*>(ptr), yes) == 0)
          return 1;
      return -1;
    }
    case effVendorSpecific:
    {
      char* text = static_cast<char*>(ptr);
      if (!text)
        return 0;
      if (index == VST_FOURCC('T', 'I', 'M', 'E'))
      {
        if (!p->haveTime)
          std::snprintf(text, 256, "none %lld", static_cast<long long>(p->blockLevel));
        else
          std::snprintf(text, 256, "%.9g %.9g %.9g %d %lld", p->lastTime.samplePos,
                        p->lastTime.ppqPos, p->lastTime.tempo, p->lastTime.flags,
                        static_cast<long long>(p->blockLevel));
        return 1;
      }
      if (index == VST_FOURCC('H', 'O', 'S', 'T'))
        return hostHook(p, text);
      if (index == VST_FOURCC('M', 'I', 'D', 'I'))
      {
        std::snprintf(text, 256, "%d", p->midiReceived);
        return 1;
      }
      return 0;
    }
    default:
      return 0;
  }
}

AEffect* create(audioMasterCallback host)
{
  if (!host || host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
    return nullptr;
  RawGain* p = new (std::nothrow) RawGain();
  if (!p)
    return nullptr;
  p->host = host;
  p->fault = faultFromEnvironment();
  std::snprintf(p->programs[0].name, kVstMaxProgNameLen, "Unity");
  p->programs[0].values[0] = 0.5f;
  std::snprintf(p->programs[1].name, kVstMaxProgNameLen, "Half");
  p->programs[1].values[0] = 0.25f;
  AEffect& e = p->effect;
  e.magic = kEffectMagic;
  e.dispatcher = dispatcher;
  e.process = processAccumulating;
  e.setParameter = setParameter;
  e.getParameter = getParameter;
  e.numPrograms = kNumPrograms;
  e.numParams = kNumParams;
  e.numInputs = 2;
  e.numOutputs = 2;
  e.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing | effFlagsProgramChunks;
  e.ioRatio = 1.0f;
  e.object = p;
  e.uniqueID = VST_FOURCC('Q', 'v', 'R', 'w');
  e.version = 1;
  e.processReplacing = processReplacing;
  e.processDoubleReplacing = processDouble;
  return &e;
}

}  // namespace

#ifndef QV_RAW_LEGACY_ONLY
VST_EXTERN_C VST_EXPORT AEffect* VSTPluginMain(audioMasterCallback host) { return create(host); }
#endif

// The legacy entry: `main` cannot be declared as such in C++, so the symbol is named directly.
VST_EXTERN_C VST_EXPORT AEffect* legacyMain(audioMasterCallback host) __asm__("main");
VST_EXTERN_C VST_EXPORT AEffect* legacyMain(audioMasterCallback host) { return create(host); }
