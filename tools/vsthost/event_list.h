#pragma once

// MIDI and system-exclusive events on their way to a plug-in.
//
// `TimedEvent` places an event on the host's timeline (frames from the start of a render);
// `EventList` owns the interface records of one delivery and the `VstEvents` list that points at
// them. The list stays valid until the `EventList` is changed or destroyed, which the caller keeps
// from happening before the next processing callback returns, as the interface requires.

#include <cstdint>
#include <string>
#include <vector>

#include "framework/vst/abi/events.h"

namespace vsthost {

struct TimedEvent
{
  int64_t frame = 0;
  std::vector<uint8_t> bytes;  // a short message (1 to 3 bytes) or, when sysex, the whole dump
  bool sysex = false;
};

// Parses "FRAME:STATUS:DATA1:DATA2" (numbers decimal or 0x-hexadecimal), "on:FRAME:KEY:VEL[:CH]"
// and "off:FRAME:KEY[:VEL[:CH]]" (channels 1 to 16) into a short message.
bool parseMidiSpec(const std::string& text, TimedEvent* out);

// Events sorted by frame; events at the same frame keep their order.
void sortEvents(std::vector<TimedEvent>* events);

class EventList
{
public:
  void clear();
  void add(const TimedEvent& event, VstInt32 deltaFrames);
  size_t size() const { return mOrder.size(); }

  // The list of everything added, in order of addition.
  VstEvents* vstEvents();

private:
  struct Ref
  {
    bool sysex;
    size_t index;
  };
  std::vector<VstMidiEvent> mMidi;
  std::vector<VstMidiSysexEvent> mSysex;
  std::vector<std::vector<uint8_t>> mSysexData;
  std::vector<Ref> mOrder;
  std::vector<VstIntPtr> mListStorage;  // header then pointers, pointer-aligned
};

}  // namespace vsthost
