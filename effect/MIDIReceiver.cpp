#include "effect/MIDIReceiver.h"

#include <climits>

namespace {
constexpr int kQueueSize = 1024;
}

MIDIReceiver::MIDIReceiver()
  : mMidiQueue(kQueueSize)
  , mLastNoteNumber(-1)
  , mLastVelocity(0)
  , mOffset(0)
{}

void MIDIReceiver::onMessageReceived(IMidiMsg* message)
{
  if (!message)
    return;
  const IMidiMsg::EStatusMsg status = message->StatusMsg();
  if (status != IMidiMsg::kNoteOn && status != IMidiMsg::kNoteOff)
    return;
  // With room to spare the queue compacts instead of growing; when full, the message is dropped.
  if (mMidiQueue.ToDo() >= mMidiQueue.GetSize())
    return;
  mMidiQueue.Add(message);
}

void MIDIReceiver::take(const IMidiMsg& message)
{
  const int noteNumber = message.NoteNumber();
  const int velocity = message.Velocity();
  if (message.StatusMsg() == IMidiMsg::kNoteOn && velocity != 0)
  {
    if (noteNumber != mLastNoteNumber)
    {
      mLastNoteNumber = noteNumber;
      mLastVelocity = velocity;
      noteOn(noteNumber, velocity);
    }
  }
  else if (noteNumber == mLastNoteNumber)
  {
    mLastNoteNumber = -1;
    noteOff(noteNumber, mLastVelocity);
  }
}

void MIDIReceiver::advance()
{
  while (const IMidiMsg* front = mMidiQueue.Peek())
  {
    if (front->mOffset > mOffset)
      break;
    const IMidiMsg message = *front;
    mMidiQueue.Remove();
    take(message);
  }
  if (mOffset < INT_MAX)
    ++mOffset;
}

int MIDIReceiver::samplesBeforeNextMessage() const
{
  const IMidiMsg* front = mMidiQueue.Peek();
  if (!front)
    return INT_MAX;
  return front->mOffset > mOffset ? front->mOffset - mOffset : 0;
}

void MIDIReceiver::skip(int n) { mOffset = n < INT_MAX - mOffset ? mOffset + n : INT_MAX; }

void MIDIReceiver::endBlock()
{
  while (const IMidiMsg* front = mMidiQueue.Peek())
  {
    const IMidiMsg message = *front;
    mMidiQueue.Remove();
    take(message);
  }
  mOffset = 0;
}

void MIDIReceiver::dropPending()
{
  while (!mMidiQueue.Empty())
    mMidiQueue.Remove();
  mOffset = 0;
}
