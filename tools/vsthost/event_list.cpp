#include "tools/vsthost/event_list.h"

#include <algorithm>
#include <cstring>

#include "tools/vsthost/text_util.h"

namespace vsthost {

bool parseMidiSpec(const std::string& text, TimedEvent* out)
{
  const std::vector<std::string> parts = split(text, ':');
  std::vector<int64_t> n;
  const bool named = parts[0] == "on" || parts[0] == "off";
  for (size_t i = named ? 1 : 0; i < parts.size(); ++i)
  {
    int64_t v;
    if (!parseInt(parts[i], &v))
      return false;
    n.push_back(v);
  }
  TimedEvent e;
  if (named)
  {
    const bool on = parts[0] == "on";
    if (n.size() < (on ? 3u : 2u) || n.size() > 4)
      return false;
    const int64_t velocity = n.size() > 2 ? n[2] : 0;
    const int64_t channel = n.size() > 3 ? n[3] : 1;
    if (n[1] < 0 || n[1] > 127 || velocity < 0 || velocity > 127 || channel < 1 || channel > 16)
      return false;
    e.bytes = {static_cast<uint8_t>((on ? 0x90 : 0x80) | (channel - 1)), static_cast<uint8_t>(n[1]),
               static_cast<uint8_t>(velocity)};
  }
  else
  {
    if (n.size() < 2 || n.size() > 4)
      return false;
    for (size_t i = 1; i < n.size(); ++i)
    {
      if (n[i] < 0 || n[i] > 255)
        return false;
      e.bytes.push_back(static_cast<uint8_t>(n[i]));
    }
  }
  if (n[0] < 0)
    return false;
  e.frame = n[0];
  *out = e;
  return true;
}

void sortEvents(std::vector<TimedEvent>* events)
{
  std::stable_sort(events->begin(), events->end(),
                   [](const TimedEvent& a, const TimedEvent& b) { return a.frame < b.frame; });
}

void EventList::clear()
{
  mMidi.clear();
  mSysex.clear();
  mSysexData.clear();
  mOrder.clear();
}

void EventList::add(const TimedEvent& event, VstInt32 deltaFrames)
{
  if (event.sysex)
  {
    VstMidiSysexEvent s = {};
    s.type = kVstSysExType;
    s.byteSize = sizeof(VstMidiSysexEvent);
    s.deltaFrames = deltaFrames;
    s.dumpBytes = static_cast<VstInt32>(event.bytes.size());
    mSysex.push_back(s);
    mSysexData.push_back(event.bytes);
    mOrder.push_back({true, mSysex.size() - 1});
    return;
  }
  VstMidiEvent m = {};
  m.type = kVstMidiType;
  m.byteSize = sizeof(VstMidiEvent);
  m.deltaFrames = deltaFrames;
  for (size_t i = 0; i < event.bytes.size() && i < 3; ++i)
    m.midiData[i] = static_cast<char>(event.bytes[i]);
  mMidi.push_back(m);
  mOrder.push_back({false, mMidi.size() - 1});
}

VstEvents* EventList::vstEvents()
{
  // The header takes two pointer-sized words (numEvents padded, reserved); at least two pointer
  // slots follow, as the record declares.
  const size_t slots = std::max<size_t>(mOrder.size(), 2);
  mListStorage.assign(2 + slots, 0);
  VstEvents* list = reinterpret_cast<VstEvents*>(mListStorage.data());
  list->numEvents = static_cast<VstInt32>(mOrder.size());
  VstEvent** slot = list->events;  // indexed through a pointer: the list holds more than two
  for (size_t i = 0; i < mOrder.size(); ++i)
  {
    const Ref& r = mOrder[i];
    if (r.sysex)
    {
      VstMidiSysexEvent& s = mSysex[r.index];
      s.sysexDump = reinterpret_cast<char*>(mSysexData[r.index].data());
      slot[i] = reinterpret_cast<VstEvent*>(&s);
    }
    else
    {
      slot[i] = reinterpret_cast<VstEvent*>(&mMidi[r.index]);
    }
  }
  return list;
}

}  // namespace vsthost
