#include "effect/MIDIReceiver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr int kBlock = 64;
struct Msg
{
  int block, offset, status, note, velocity;
};

// Plays blocks as the processing loop does: the block's messages first, then in MIDI mode one
// advance per sample and endBlock, otherwise only dropPending. Events read
// "on|off <note> <velocity> @<block>:<sample>", sample kBlock meaning the block's end.
struct Host
{
  MIDIReceiver receiver;
  std::vector<std::string> events;
  int block = 0, sample = 0;

  Host()
  {
    receiver.noteOn.Connect(this, &Host::onNoteOn);
    receiver.noteOff.Connect(this, &Host::onNoteOff);
  }
  void log(const char* what, int n, int v)
  {
    events.push_back(std::string(what) + " " + std::to_string(n) + " " + std::to_string(v) + " @" +
                     std::to_string(block) + ":" + std::to_string(sample));
  }
  void onNoteOn(int n, int v) { log("on", n, v); }
  void onNoteOff(int n, int v) { log("off", n, v); }

  // skipping: the samples before each next message are counted at once (skip), as a quiet run of
  // the processing loop does.
  void play(const std::vector<Msg>& msgs, int blocks, bool midiMode = true, bool skipping = false)
  {
    for (block = 0; block < blocks; ++block)
    {
      for (const Msg& m : msgs)
        if (m.block == block)
        {
          IMidiMsg msg(m.offset, (uint8_t)m.status, (uint8_t)m.note, (uint8_t)m.velocity);
          receiver.onMessageReceived(&msg);
        }
      for (sample = 0; midiMode && sample < kBlock;)
      {
        const int quiet =
          skipping ? std::min(receiver.samplesBeforeNextMessage(), kBlock - sample) : 0;
        if (quiet > 0)
        {
          receiver.skip(quiet);
          sample += quiet;
        }
        else
        {
          receiver.advance();
          ++sample;
        }
      }
      sample = kBlock;
      midiMode ? receiver.endBlock() : receiver.dropPending();
    }
  }
};

// Skipping the samples before the next message fires the same notes at the same samples.
TEST(MIDIReceiver, NotesFireAtTheirOffsetUnderTheCurrentNoteRules)
{
  struct Case
  {
    const char* what;
    std::vector<Msg> msgs;
    std::vector<std::string> expect;
  };
  const Case cases[] = {
    {"ordered by offset, equal offsets in arrival order",
     {{0, 30, 0x90, 64, 90}, {0, 10, 0x90, 60, 100}, {0, 30, 0x80, 64, 0}, {0, 30, 0x90, 67, 5}},
     {"on 60 100 @0:10", "on 64 90 @0:30", "off 64 90 @0:30", "on 67 5 @0:30"}},
    {"same timing in every block",
     {{0, 17, 0x90, 60, 100}, {3, 17, 0x80, 60, 0}, {7, 0, 0x90, 62, 1}, {7, 63, 0x80, 62, 0}},
     {"on 60 100 @0:17", "off 60 100 @3:17", "on 62 1 @7:0", "off 62 1 @7:63"}},
    {"a newer note takes over; the old note's release is ignored",
     {{0, 1, 0x90, 60, 100}, {0, 2, 0x90, 64, 80}, {0, 3, 0x80, 60, 0}},
     {"on 60 100 @0:1", "on 64 80 @0:2"}},
    {"the current note again fires nothing",
     {{0, 1, 0x90, 60, 100}, {1, 5, 0x90, 60, 120}},
     {"on 60 100 @0:1"}},
    {"velocity 0 and note-off release with the note's own velocity",
     {{0, 1, 0x90, 60, 100}, {0, 9, 0x90, 60, 0}, {1, 4, 0x90, 60, 50}, {1, 6, 0x80, 60, 127}},
     {"on 60 100 @0:1", "off 60 100 @0:9", "on 60 50 @1:4", "off 60 50 @1:6"}},
    {"release of a key never pressed", {{0, 3, 0x80, 61, 0}, {0, 4, 0x9F, 61, 0}}, {}},
    {"any channel; other messages dropped",
     {{0, 2, 0xB0, 60, 100}, {0, 3, 0xE5, 60, 100}, {0, 4, 0x9C, 48, 7}, {0, 5, 0xF8, 0, 0}},
     {"on 48 7 @0:4"}},
    {"offsets before the block at its start, beyond it at its end",
     {{1, -5, 0x90, 60, 100}, {1, kBlock + 10, 0x80, 60, 0}, {2, 3, 0x90, 62, 9}},
     {"on 60 100 @1:0", "off 60 100 @1:64", "on 62 9 @2:3"}},
  };
  for (const Case& c : cases)
    for (bool skipping : {false, true})
    {
      Host host;
      host.play(c.msgs, 10, true, skipping);
      EXPECT_EQ(host.events, c.expect) << c.what << (skipping ? ", skipping" : "");
    }
}

// Notes of blocks that are not advanced (sequencer mode) are dropped at the block's end: none
// fires later and the queue never accumulates. It holds 1024 messages at most; further ones are
// dropped rather than grow it, and taken messages make room again.
TEST(MIDIReceiver, QueueHoldsOnlyTheCurrentBlockAndIsBounded)
{
  Host host;
  std::vector<Msg> msgs;
  for (int b = 0; b < 200; ++b)
    for (int i = 0; i < 40; ++i)
      msgs.push_back({b, i, 0x90, 20 + i % 2, 100});
  host.play(msgs, 200, false);
  host.play({{0, 12, 0x90, 70, 33}}, 1);
  EXPECT_EQ(host.events, std::vector<std::string>{"on 70 33 @0:12"});

  host.events.clear();
  for (int i = 0; i < 5000; ++i)
  {
    IMidiMsg msg(0, 0x90, (uint8_t)(i % 2), 100);
    host.receiver.onMessageReceived(&msg);
  }
  host.receiver.onMessageReceived(nullptr);
  host.receiver.advance();
  EXPECT_EQ(host.events.size(), 1024u);
  IMidiMsg msg(1, 0x90, 9, 1);
  host.receiver.onMessageReceived(&msg);
  host.receiver.advance();
  EXPECT_EQ(host.events.size(), 1025u);
}

}  // namespace
