#include "tools/vsthost/transport.h"

#include <cmath>
#include <limits>

namespace vsthost {

void Transport::configure(const TransportSettings& settings, double sampleRate)
{
  mSettings = settings;
  if (!(mSettings.tempo > 0.0) || !std::isfinite(mSettings.tempo))
    mSettings.tempo = 120.0;
  mSampleRate = sampleRate > 0.0 ? sampleRate : 44100.0;
  mSamplePos = settings.startPpq >= 0.0 ? ppqToSamples(settings.startPpq) : settings.startSamples;
  mChanged = true;
  mPreRollLeft = settings.preRollBlocks > 0 ? settings.preRollBlocks : 0;
}

void Transport::setSampleRate(double sampleRate)
{
  if (!(sampleRate > 0.0) || sampleRate == mSampleRate)
    return;
  const double ppq = ppqPos();
  mSampleRate = sampleRate;
  mSamplePos = ppqToSamples(ppq);
}

void Transport::setPlaying(bool playing)
{
  if (playing != mSettings.playing)
    mChanged = true;
  mSettings.playing = playing;
}

void Transport::locateSamples(double samples)
{
  mSamplePos = samples;
  mChanged = true;
}

void Transport::locatePpq(double ppq) { locateSamples(ppqToSamples(ppq)); }

double Transport::ppqToSamples(double ppq) const
{
  return ppq * 60.0 / mSettings.tempo * mSampleRate;
}

double Transport::ppqPos() const { return mSamplePos / mSampleRate * mSettings.tempo / 60.0; }

bool Transport::loopRunning() const
{
  return running() && mSettings.loop && mSettings.loopEndPpq > mSettings.loopStartPpq;
}

VstTimeInfo Transport::timeInfo() const
{
  VstTimeInfo t = {};
  t.samplePos = mSamplePos;
  t.sampleRate = mSampleRate;
  t.nanoSeconds = mSamplePos / mSampleRate * 1e9;
  t.ppqPos = ppqPos();
  if (mSettings.ticksPerQuarter > 0)
  {
    const double ticks = mSettings.ticksPerQuarter;
    t.ppqPos = std::round(t.ppqPos * ticks) / ticks;
  }
  t.tempo = mSettings.tempo;
  t.timeSigNumerator = mSettings.numerator;
  t.timeSigDenominator = mSettings.denominator;
  t.flags = kVstNanosValid | kVstPpqPosValid | kVstTempoValid | kVstTimeSigValid;
  if (mSettings.numerator > 0 && mSettings.denominator > 0)
  {
    const double quartersPerBar = mSettings.numerator * 4.0 / mSettings.denominator;
    t.barStartPos = std::floor(t.ppqPos / quartersPerBar) * quartersPerBar;
    t.flags |= kVstBarsValid;
  }
  if (mSettings.loop)
  {
    t.cycleStartPos = mSettings.loopStartPpq;
    t.cycleEndPos = mSettings.loopEndPpq;
    t.flags |= kVstCyclePosValid | kVstTransportCycleActive;
  }
  if (running())
    t.flags |= kVstTransportPlaying;
  if (mChanged)
    t.flags |= kVstTransportChanged;
  return t;
}

int64_t Transport::framesToLoopEnd() const
{
  if (!loopRunning())
    return std::numeric_limits<int64_t>::max();
  const double end = ppqToSamples(mSettings.loopEndPpq);
  if (mSamplePos >= end)
    return std::numeric_limits<int64_t>::max();
  return static_cast<int64_t>(std::ceil(end - mSamplePos));
}

void Transport::advance(int64_t frames)
{
  mChanged = false;
  if (mPreRollLeft > 0)
  {
    mChanged = --mPreRollLeft == 0 && mSettings.playing;
    return;
  }
  if (!mSettings.playing)
    return;
  const bool looping = loopRunning() && mSamplePos < ppqToSamples(mSettings.loopEndPpq);
  mSamplePos += static_cast<double>(frames);
  if (looping)
  {
    const double end = ppqToSamples(mSettings.loopEndPpq);
    if (mSamplePos >= end)
      mSamplePos = ppqToSamples(mSettings.loopStartPpq) + (mSamplePos - end);
  }
}

}  // namespace vsthost
