#include "framework/IMidiMsg.h"
#include "framework/IMidiQueue.h"

#include "tests/support/FailingAlloc.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

TEST(MidiMsg, MakersBuildValidBytes)
{
  const struct
  {
    std::function<void(IMidiMsg&)> make;
    int offset, status, data1, data2;
  } cases[] = {
    {[](IMidiMsg& m) { m.MakeNoteOnMsg(60, 100, 12, 3); }, 12, 0x93, 60, 100},
    {[](IMidiMsg& m) { m.MakeNoteOffMsg(60, 7, 0); }, 7, 0x80, 60, 0},
    {[](IMidiMsg& m) { m.MakeNoteOnMsg(200, 128, 0, 17); }, 0, 0x91, 200 & 127, 0},  // masked
    {[](IMidiMsg& m) { m.MakeNoteOffMsg(5, 0, -1); }, 0, 0x8F, 5, 0},
    {[](IMidiMsg& m) { m.MakePitchWheelMsg(-1.0, 0); }, 0, 0xE0, 0, 0},
    {[](IMidiMsg& m) { m.MakePitchWheelMsg(0.0, 2); }, 0, 0xE2, 0, 64},
    {[](IMidiMsg& m) { m.MakePitchWheelMsg(2.0, 0); }, 0, 0xE0, 127, 127},
    {[](IMidiMsg& m) { m.MakePitchWheelMsg(-1e30, 0); }, 0, 0xE0, 0, 0},
    {[](IMidiMsg& m) { m.MakePitchWheelMsg(std::numeric_limits<double>::quiet_NaN(), 0); }, 0, 0xE0,
     0, 64},
    {[](IMidiMsg& m) { m.MakeControlChangeMsg(IMidiMsg::kModWheel, 0.5, 1); }, 0, 0xB1, 1, 63},
    {[](IMidiMsg& m) { m.MakeControlChangeMsg(IMidiMsg::kPan, 2.0, 0); }, 0, 0xB0, 10, 127},
    {[](IMidiMsg& m) { m.MakeControlChangeMsg(IMidiMsg::kPan, -1.0, 0); }, 0, 0xB0, 10, 0},
    {[](IMidiMsg& m) { m.MakeControlChangeMsg((IMidiMsg::EControlChangeMsg)130, 1.0, 0); }, 0, 0xB0,
     2, 127},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i)
  {
    const auto& c = cases[i];
    IMidiMsg m(99, 0xFF, 0xFF, 0xFF);
    c.make(m);
    EXPECT_EQ(m.mOffset, c.offset) << "case " << i;
    EXPECT_EQ(m.mStatus, c.status) << "case " << i;
    EXPECT_EQ(m.mData1, c.data1) << "case " << i;
    EXPECT_EQ(m.mData2, c.data2) << "case " << i;
  }
}

TEST(MidiMsg, ReadersAnswerOnlyForTheirKind)
{
  const struct
  {
    uint8_t status, data1, data2;
    int kind, note, velocity, program;
    double pitch, modWheel;
  } cases[] = {
    {0x93, 60, 100, IMidiMsg::kNoteOn, 60, 100, -1, 0, -1},
    {0xA0, 62, 5, IMidiMsg::kPolyAftertouch, 62, -1, -1, 0, -1},
    {0xB0, 1, 127, IMidiMsg::kControlChange, -1, -1, -1, 0, 1.0},
    {0xB0, 7, 127, IMidiMsg::kControlChange, -1, -1, -1, 0, -1},
    {0xC5, 12, 0, IMidiMsg::kProgramChange, -1, -1, 12, 0, -1},
    {0xE0, 0, 64, IMidiMsg::kPitchWheel, -1, -1, -1, 0.0, -1},
    {0xE0, 127, 127, IMidiMsg::kPitchWheel, -1, -1, -1, 8191.0 / 8192.0, -1},
    {0xF8, 60, 100, IMidiMsg::kNone, -1, -1, -1, 0, -1},  // system real-time
  };
  for (const auto& c : cases)
  {
    const IMidiMsg m(0, c.status, c.data1, c.data2);
    SCOPED_TRACE(testing::Message() << "status " << (int)c.status);
    EXPECT_EQ(m.StatusMsg(), c.kind);
    EXPECT_EQ(m.Channel(), c.status & 15);
    EXPECT_EQ(m.NoteNumber(), c.note);
    EXPECT_EQ(m.Velocity(), c.velocity);
    EXPECT_EQ(m.Program(), c.program);
    EXPECT_DOUBLE_EQ(m.PitchWheel(), c.pitch);
    EXPECT_DOUBLE_EQ(m.ControlChange(IMidiMsg::kModWheel), c.modWheel);
  }
}

TEST(MidiMsg, SysExTextFitsTheBuffer)
{
  const uint8_t bytes[] = {0x01, 0xAB, 0xF7, 0x10, 0x20};
  const struct
  {
    int maxLen;
    const uint8_t* data;
    int size;
    const char* want;
  } cases[] = {
    {7, bytes, 5, "01 AB"}, {9, bytes, 3, "01 AB F7"}, {64, bytes, 5, "01 AB F7 10 20"},
    {3, bytes, 5, "01"},    {2, bytes, 5, ""},         {64, nullptr, 5, ""},
    {64, bytes, -3, ""},
  };
  for (const auto& c : cases)
  {
    char buf[80];
    memset(buf, '#', sizeof(buf));
    SysExStr(buf, c.maxLen, c.data, c.size);
    EXPECT_STREQ(buf, c.want) << c.maxLen << "/" << c.size;
    EXPECT_EQ(buf[c.maxLen], '#');
  }
}

// Adds messages with the given offsets, tagging each with its arrival index in data 1.
void Fill(IMidiQueue& q, const std::vector<int>& offsets, uint8_t status = 0x90)
{
  for (size_t i = 0; i < offsets.size(); ++i)
  {
    const IMidiMsg m(offsets[i], status, (uint8_t)i, 1);
    q.Add(&m);
  }
}

// The queue's contents as "offset.arrival", oldest first; empties the queue.
std::string Drain(IMidiQueue& q)
{
  std::string s;
  for (; !q.Empty(); q.Remove())
    s += std::to_string(q.Peek()->mOffset) + "." + std::to_string(q.Peek()->mData1) + " ";
  return s;
}

std::vector<int> Range(int n)
{
  std::vector<int> v(n);
  for (int i = 0; i < n; ++i)
    v[i] = i;
  return v;
}

TEST(MidiQueue, KeepsOffsetOrderAndArrivalOrderWithinAnOffset)
{
  const struct
  {
    std::vector<int> offsets;
    const char* want;
  } cases[] = {
    {{5, 3, 5, 0}, "0.3 3.1 5.0 5.2 "},
    {{3, 2, 1}, "1.2 2.1 3.0 "},
    {{2, 9, 2, 9, 0, 2}, "0.4 2.0 2.2 2.5 9.1 9.3 "},
  };
  for (const auto& c : cases)
  {
    IMidiQueue q(1);
    Fill(q, c.offsets);
    EXPECT_EQ(Drain(q), c.want);
  }
}

TEST(MidiQueue, GrowsInWholePagesOnlyWhenNothingWasRead)
{
  const struct
  {
    int size, granule;
  } granules[] = {{1, 512}, {512, 512}, {513, 1024},
                  {0, 512}, {-7, 512},  {INT_MAX, (INT_MAX / 4096) * 512}};
  for (const auto& c : granules)
    EXPECT_EQ(IMidiQueue::Granulize(c.size), c.granule) << c.size;

  // 512 queued, `removed` of them read, then one more message at `offset`.
  const struct
  {
    int removed, offset, capacity;
  } cases[] = {
    {0, 512, 1024},   // full and nothing read: grows
    {10, 1000, 512},  // full with read messages: compacts, appends
    {10, 15, 512},    // compacts, inserts
    {1, 0, 512},      // compacts, inserts at the front
  };
  for (const auto& c : cases)
  {
    IMidiQueue q(1);
    Fill(q, Range(512));
    EXPECT_EQ(q.GetSize(), 512);
    for (int i = 0; i < c.removed; ++i)
      q.Remove();
    FailingAlloc hook(c.capacity == 512 ? FailingAlloc::kFailAll : FailingAlloc::kCount);
    const IMidiMsg m(c.offset, 0x80, 0, 0);
    EXPECT_TRUE(q.Add(&m));
    EXPECT_EQ(q.GetSize(), c.capacity);
    EXPECT_EQ(q.ToDo(), 512 - c.removed + 1);
    int last = -1, noteOffs = 0;
    for (; !q.Empty(); q.Remove())
    {
      EXPECT_LE(last, q.Peek()->mOffset);
      last = q.Peek()->mOffset;
      noteOffs += q.Peek()->mStatus == 0x80;
    }
    EXPECT_EQ(noteOffs, 1);
  }
}

TEST(MidiQueue, FailedGrowthDropsTheMessageAndKeepsTheQueue)
{
  IMidiQueue q(1);
  Fill(q, Range(512));
  FailingAlloc hook(FailingAlloc::kFailAll);
  const IMidiMsg m(3, 0x80, 60, 0);
  EXPECT_FALSE(q.Add(&m));
  EXPECT_EQ(q.GetSize(), 512);
  EXPECT_EQ(q.ToDo(), 512);
}

TEST(MidiQueue, EmptyQueueIgnoresRemoveAndPeeksNull)
{
  IMidiQueue q;
  q.Remove();
  EXPECT_EQ(q.Peek(), nullptr);
  Fill(q, {1});
  q.Remove();
  q.Remove();
  EXPECT_TRUE(q.Empty());
  Fill(q, {4});
  EXPECT_EQ(Drain(q), "4.0 ");
}

}  // namespace
