#pragma once
// A delay of a whole number of samples over several channels, for a plug-in that reports latency
// but passes its input through (PluginBase::PassThroughBuffers).
//
// Channel c of the output is channel c of the input, delaySamples later; channels with no output
// counterpart are dropped. SetDelayTime allocates, so it belongs in set-up, never in a block.

#include "framework/base/HeapBuf.h"

class NChanDelayLine
{
public:
  NChanDelayLine(int nInChans, int nOutChans);

  // Stores the delay, sizes the buffer to delaySamples per input channel, clears it. Answers false
  // (delay 0: ProcessBlock copies straight through) when the buffer cannot be had.
  bool SetDelayTime(int delaySamples);
  void ClearBuffer();
  void ProcessBlock(double** inputs, double** outputs, int nFrames);

  int GetDelayTime() const { return mDTSamples; }

private:
  QvTypedBuf<double> mBuffer;
  int mWriteAddress = 0;
  int mNInChans;
  int mNOutChans;
  int mDTSamples = 0;
};
