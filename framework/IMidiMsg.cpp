#include "framework/IMidiMsg.h"

#include <cmath>
#include <cstdio>

namespace {

uint8_t DataByte(int v) { return (uint8_t)(v & 0x7F); }
uint8_t StatusByte(int kind, int channel) { return (uint8_t)((kind << 4) | (channel & 0x0F)); }

}  // namespace

void IMidiMsg::MakeNoteOnMsg(int noteNumber, int velocity, int offset, int channel)
{
  Clear();
  mStatus = StatusByte(kNoteOn, channel);
  mData1 = DataByte(noteNumber);
  mData2 = DataByte(velocity);
  mOffset = offset;
}

void IMidiMsg::MakeNoteOffMsg(int noteNumber, int offset, int channel)
{
  Clear();
  mStatus = StatusByte(kNoteOff, channel);
  mData1 = DataByte(noteNumber);
  mOffset = offset;
}

void IMidiMsg::MakePitchWheelMsg(double value, int channel)
{
  Clear();
  mStatus = StatusByte(kPitchWheel, channel);
  // Clamp in double first: the cast of an out-of-range or NaN value is undefined.
  if (std::isnan(value))
    value = 0.0;
  value = value < -1.0 ? -1.0 : (value > 1.0 ? 1.0 : value);
  int i = (int)(value * 8192.0) + 8192;
  if (i > 16383)
    i = 16383;
  mData1 = (uint8_t)(i & 127);
  mData2 = (uint8_t)(i >> 7);
}

void IMidiMsg::MakeControlChangeMsg(EControlChangeMsg idx, double value, int channel)
{
  Clear();
  mStatus = StatusByte(kControlChange, channel);
  mData1 = DataByte((int)idx);
  if (!(value >= 0.0))  // also NaN
    value = 0.0;
  if (value > 1.0)
    value = 1.0;
  mData2 = (uint8_t)(int)(value * 127.0);
}

void IMidiMsg::Clear()
{
  mOffset = 0;
  mStatus = mData1 = mData2 = 0;
}

int IMidiMsg::Channel() const { return mStatus & 0x0F; }

IMidiMsg::EStatusMsg IMidiMsg::StatusMsg() const
{
  const int kind = mStatus >> 4;
  return (kind >= kNoteOff && kind <= kPitchWheel) ? (EStatusMsg)kind : kNone;
}

int IMidiMsg::NoteNumber() const
{
  switch (StatusMsg())
  {
    case kNoteOn:
    case kNoteOff:
    case kPolyAftertouch:
      return mData1;
    default:
      return -1;
  }
}

int IMidiMsg::Velocity() const
{
  switch (StatusMsg())
  {
    case kNoteOn:
    case kNoteOff:
      return mData2;
    default:
      return -1;
  }
}

int IMidiMsg::Program() const { return StatusMsg() == kProgramChange ? mData1 : -1; }

double IMidiMsg::PitchWheel() const
{
  if (StatusMsg() != kPitchWheel)
    return 0.0;
  const int i = mData1 + mData2 * 128 - 8192;
  return (double)i / 8192.0;
}

IMidiMsg::EControlChangeMsg IMidiMsg::ControlChangeIdx() const { return (EControlChangeMsg)mData1; }

double IMidiMsg::ControlChange(EControlChangeMsg idx) const
{
  if (StatusMsg() == kControlChange && (int)mData1 == (int)idx)
    return (double)mData2 / 127.0;
  return -1.0;
}

void ISysEx::Clear()
{
  mOffset = mSize = 0;
  mData = nullptr;
}

const char* StatusMsgStr(IMidiMsg::EStatusMsg msg)
{
  // Names of the channel messages, kNoteOff to kPitchWheel in order.
  static const char* const kChannelMsgNames[] = {
    "noteoff",           "noteon",    "aftertouch", "controlchange", "programchange",
    "channelaftertouch", "pitchwheel"};
  if (msg == IMidiMsg::kNone)
    return "none";
  if (msg >= IMidiMsg::kNoteOff && msg <= IMidiMsg::kPitchWheel)
    return kChannelMsgNames[msg - IMidiMsg::kNoteOff];
  return "unknown";
}

void SysExStr(char* str, int maxLen, const uint8_t* data, int size)
{
  if (!str || maxLen < 1)
    return;
  str[0] = '\0';
  if (!data || size < 1)
    return;
  const int n = maxLen / 3 < size ? maxLen / 3 : size;
  if (n < 1)
    return;
  static const char kHex[] = "0123456789ABCDEF";
  char* p = str;
  for (int i = 0; i < n; ++i)
  {
    *p++ = kHex[data[i] >> 4];
    *p++ = kHex[data[i] & 15];
    *p++ = ' ';
  }
  p[-1] = '\0';  // the last blank becomes the terminator: 3n bytes <= maxLen
}
