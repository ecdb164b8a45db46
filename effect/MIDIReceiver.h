#pragma once
// Turns queued note messages into note-on and note-off signals, sample by sample.
//
// The receiver keeps one current note: only a note other than the current one fires note-on, and
// only the release of the current note (a note-off, or a note-on of velocity 0) fires note-off,
// with the current note's velocity. Messages are taken when the running sample count of the block
// reaches their offset.
//
// Per block, under the instance lock: the dispatcher queues the block's messages
// (onMessageReceived); in MIDI mode the processing loop calls advance() once per sample and then
// endBlock(); otherwise it calls dropPending(). Either end restarts the count for the next block,
// so the queue holds at most one block's messages. It never grows beyond its first allocation:
// messages beyond its room are dropped, and nothing here allocates after construction.

#include "effect/Signal.h"
#include "framework/IMidiMsg.h"
#include "framework/IMidiQueue.h"

class MIDIReceiver
{
public:
  MIDIReceiver();

  // Queues a copy of a note-on or note-off (any channel); every other message is dropped.
  void onMessageReceived(IMidiMsg* message);

  // Takes, in order, each queued message whose offset is not beyond the running count, then
  // counts one sample.
  void advance();

  // Samples that advance() counts from now on before it takes a message (INT_MAX when none is
  // queued), and n such advances at once.
  int samplesBeforeNextMessage() const;
  void skip(int n);

  // Ends a block in which the receiver was advanced: messages still queued (offsets beyond the
  // block) are taken now, in order; the count restarts at 0.
  void endBlock();

  // Ends a block in which the receiver was not advanced: its messages are discarded; the count
  // restarts at 0.
  void dropPending();

private:
  void take(const IMidiMsg& message);

  IMidiQueue mMidiQueue;
  int mLastNoteNumber;
  int mLastVelocity;
  int mOffset;

public:
  Signals::Signal2<int, int> noteOn;   // (note number, velocity)
  Signals::Signal2<int, int> noteOff;  // (note number, velocity of the current note)
};
