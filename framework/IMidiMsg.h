#pragma once
// Short MIDI channel messages and system-exclusive dumps as the plug-in sees them.
//
// An IMidiMsg is a plain 8-byte value (sample offset plus three bytes) so queues of them are cheap
// to copy and grow by whole pages. The makers mask their inputs to valid MIDI ranges (data bytes
// 0..127, channels 0..15) so a bad argument can never turn a data byte into a status byte.

#include <cstdint>

struct IMidiMsg
{
  // Message kinds, the high nibble of the status byte.
  enum EStatusMsg
  {
    kNone = 0,
    kNoteOff = 8,
    kNoteOn = 9,
    kPolyAftertouch = 10,
    kControlChange = 11,
    kProgramChange = 12,
    kChannelAftertouch = 13,
    kPitchWheel = 14
  };

  // A controller number 0..127; the names are the common ones, any number in range may be cast.
  enum EControlChangeMsg
  {
    kModWheel = 1,
    kBreathController = 2,
    kFootController = 4,
    kPortamentoTime = 5,
    kChannelVolume = 7,
    kBalance = 8,
    kPan = 10,
    kExpressionController = 11,
    kSustainOnOff = 64,
    kAllSoundOff = 120,
    kAllNotesOff = 123
  };

  int mOffset;      // sample position within the current block
  uint8_t mStatus;  // kind in the high nibble, channel in the low nibble
  uint8_t mData1;
  uint8_t mData2;

  IMidiMsg(int offset = 0, uint8_t status = 0, uint8_t data1 = 0, uint8_t data2 = 0)
    : mOffset(offset)
    , mStatus(status)
    , mData1(data1)
    , mData2(data2)
  {}

  // Makers: each clears the message first.
  void MakeNoteOnMsg(int noteNumber, int velocity, int offset, int channel = 0);
  void MakeNoteOffMsg(int noteNumber, int offset, int channel = 0);
  // value -1..+1; out-of-range values clamp, NaN gives the centre.
  void MakePitchWheelMsg(double value, int channel = 0);
  // value 0..1 becomes 0..127 by truncation; out-of-range values clamp, NaN gives 0.
  void MakeControlChangeMsg(EControlChangeMsg idx, double value, int channel = 0);
  void Clear();

  // Readers: -1 (or 0 for the pitch wheel) when the message is not of the matching kind.
  int Channel() const;
  EStatusMsg StatusMsg() const;
  int NoteNumber() const;
  int Velocity() const;
  int Program() const;
  double PitchWheel() const;
  EControlChangeMsg ControlChangeIdx() const;
  double ControlChange(EControlChangeMsg idx) const;

  void LogMsg() const {}
};

static_assert(sizeof(IMidiMsg) == 8, "IMidiMsg is 8 bytes: 512 messages per 4096-byte page");

// A system-exclusive dump. The bytes are not owned: valid only as long as the sender keeps them.
struct ISysEx
{
  int mOffset;
  int mSize;
  const uint8_t* mData;

  ISysEx(int offset = 0, const uint8_t* data = nullptr, int size = 0)
    : mOffset(offset)
    , mSize(size)
    , mData(data)
  {}

  void Clear();
  void LogMsg() const {}
};

// The kind's name: "none", "noteoff", "noteon", ... or "unknown".
const char* StatusMsgStr(IMidiMsg::EStatusMsg msg);

// Writes up to maxLen / 3 bytes of data as "%02X" pairs separated by blanks into str (maxLen bytes
// including the terminator); str is always terminated when maxLen >= 1.
void SysExStr(char* str, int maxLen, const uint8_t* data, int size);
