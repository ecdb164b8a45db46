#include "effect/dsp/EnvelopeGenerator.h"

#include <cmath>

namespace {

// 2^53 samples: exactly representable, and longer than any stage will ever run.
constexpr double kMaxStageSamples = 9007199254740992.0;

}  // namespace

EnvelopeGenerator::EnvelopeGenerator()
  : minimumLevel(0.0001)
  , currentStage(OFF)
  , currentLevel(minimumLevel)
  , multiplier(1.0)
  , sampleRate(44100.0)
  , stageValue{0.0, 0.01, 0.5, 0.1, 1.0}
  , currentSampleIndex(0)
  , nextStageSampleIndex(0)
{}

unsigned long long EnvelopeGenerator::toSamples(double product)
{
  if (!(product >= 1.0))
    return 0;
  if (product >= kMaxStageSamples)
    return (unsigned long long)kMaxStageSamples;
  return (unsigned long long)product;
}

void EnvelopeGenerator::calculateMultiplier(double startLevel, double endLevel,
                                            unsigned long long lengthInSamples)
{
  multiplier = 1.0 + (std::log(endLevel) - std::log(startLevel)) / (double)lengthInSamples;
  // A stage of no samples is left before its factor is used; a segment from level 0 (log 0 is
  // -inf) has no exponential path and holds its level instead.
  if (!std::isfinite(multiplier))
    multiplier = 1.0;
  // A falling segment shorter than its log ratio in samples would flip the level's sign and grow
  // it each sample; it falls to 0 instead.
  else if (multiplier < 0.0)
    multiplier = 0.0;
}

void EnvelopeGenerator::enterStage(EnvelopeStage newStage)
{
  if (newStage < OFF || newStage >= kNumEnvelopeStages)
    return;

  currentStage = newStage;
  currentSampleIndex = 0;
  nextStageSampleIndex = isTimedStage(newStage) ? toSamples(stageValue[newStage] * sampleRate) : 0;

  switch (newStage)
  {
    case OFF:
      currentLevel = 0.0;
      multiplier = 1.0;
      break;
    case ATTACK:
      currentLevel = minimumLevel;
      calculateMultiplier(currentLevel, 1.0, nextStageSampleIndex);
      break;
    case DECAY:
      currentLevel = 1.0;
      calculateMultiplier(currentLevel, std::fmax(stageValue[SUSTAIN], minimumLevel),
                          nextStageSampleIndex);
      break;
    case SUSTAIN:
      currentLevel = stageValue[SUSTAIN];
      multiplier = 1.0;
      break;
    case RELEASE:
      // Release starts wherever the envelope stands; from 0 it stays at 0.
      calculateMultiplier(currentLevel, minimumLevel, nextStageSampleIndex);
      break;
    default:
      break;
  }
}

void EnvelopeGenerator::enterNextStages()
{
  // Usually one step; stages of no samples are passed through in the same call.
  while (isTimedStage(currentStage) && currentSampleIndex >= nextStageSampleIndex)
    enterStage(static_cast<EnvelopeStage>((currentStage + 1) % kNumEnvelopeStages));
}

void EnvelopeGenerator::setSampleRate(double newSampleRate)
{
  if (std::isfinite(newSampleRate) && newSampleRate > 0.0)
    sampleRate = newSampleRate;
}

void EnvelopeGenerator::setStageValue(EnvelopeStage stage, double value)
{
  if (stage < OFF || stage >= kNumEnvelopeStages || !std::isfinite(value))
    return;

  stageValue[stage] = value;
  if (stage != currentStage)
    return;

  if (isTimedStage(stage))
  {
    double target = minimumLevel;
    if (stage == ATTACK)
      target = 1.0;
    else if (stage == DECAY)
      target = std::fmax(stageValue[SUSTAIN], minimumLevel);

    // The unelapsed fraction of the stage, stretched to the new time. A stage of no samples has
    // nothing left (0 / 0 gives NaN, which converts to 0).
    const double unelapsed = 1.0 - (double)currentSampleIndex / (double)nextStageSampleIndex;
    const unsigned long long remaining = toSamples(sampleRate * (unelapsed * value));
    nextStageSampleIndex = currentSampleIndex + remaining;
    calculateMultiplier(currentLevel, target, remaining);
  }
  else if (stage == SUSTAIN)
  {
    currentLevel = value;
  }
}
