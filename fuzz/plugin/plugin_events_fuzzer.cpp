// effProcessEvents with hostile event lists, each followed by a block: the answer is always 1, the
// plug-in sees only MIDI and well-formed system-exclusive events, and parameters stay in range.

#include "tests/support/InProcessHost.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  // Each event takes 16 bytes: type, byteSize, deltaFrames, then midiData (MIDI) or dump length
  // (sysex, pointing into the input). A type byte of 0xFF stands for a null entry.
  const size_t n = size / 16;
  std::vector<VstMidiEvent> midi(n);
  std::vector<VstMidiSysexEvent> sysex(n);
  std::vector<VstIntPtr> list(2 + n + 1);  // header, then the pointers
  VstEvent** slots = (VstEvent**)&list[2];
  for (size_t i = 0; i < n; ++i)
  {
    const uint8_t* d = data + 16 * i;
    int32_t delta, length;
    memcpy(&delta, d + 4, 4);
    memcpy(&length, d + 8, 4);
    if (d[0] == 0xFF)
    {
      slots[i] = nullptr;
    }
    else if (d[0] % 3 == 0)
    {
      sysex[i].type = kVstSysExType;
      sysex[i].deltaFrames = delta;
      // A length within the input points at real bytes; any other keeps its hostile count.
      sysex[i].dumpBytes = length;
      const bool inside = length >= 0 && (size_t)length <= size;
      sysex[i].sysexDump = inside && !(d[1] & 1) ? (char*)data : nullptr;
      slots[i] = (VstEvent*)&sysex[i];
    }
    else
    {
      midi[i].type = d[0] % 3 == 1 ? (int32_t)kVstMidiType : (int32_t)d[0];
      midi[i].byteSize = d[1];
      midi[i].deltaFrames = delta;
      memcpy(midi[i].midiData, d + 12, 4);
      slots[i] = (VstEvent*)&midi[i];
    }
  }
  VstEvents* events = (VstEvents*)list.data();
  events->numEvents = (VstInt32)n;

  InProcessHost host;
  AEffect* e = host.Create("stereo");
  host.Dispatch(effOpen);
  if (host.Dispatch(effProcessEvents, 0, 0, events) != 1)
    abort();
  // "sysex <offset> <size>": no dump with a negative size gets through.
  for (const std::string& h : host.Plug()->mHooks)
    if (h.compare(0, 5, "sysex") == 0 && atoi(h.c_str() + h.rfind(' ') + 1) < 0)
      abort();
  float in[2][32] = {}, out[2][32];
  float* ins[2] = {in[0], in[1]};
  float* outs[2] = {out[0], out[1]};
  e->processReplacing(e, ins, outs, 32);
  for (int i = 0; i < host.Plug()->NParams(); ++i)
  {
    const float v = e->getParameter(e, i);
    if (!(v >= 0.0f && v <= 1.0f))
      abort();
  }
  return 0;
}
