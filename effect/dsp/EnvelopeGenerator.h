#pragma once
// Exponential ADSR envelope, one level per sample.
//
// Each timed stage (attack, decay, release) multiplies the level by a constant per-sample factor
// chosen so that the stage runs from its start level towards its target in the stage's length.
// Stage times are seconds, the sustain value is a level. The sample rate takes effect at the next
// stage entry, so a running stage keeps its length.
//
// The level never becomes inf or NaN: a stage shorter than one sample is passed through at once, a
// segment that cannot be exponential (it starts at level 0) holds its level, a segment too short
// for its fall stops at 0, and non-finite stage values or sample rates are ignored.

class EnvelopeGenerator
{
public:
  enum EnvelopeStage : int
  {
    OFF = 0,
    ATTACK,
    DECAY,
    SUSTAIN,
    RELEASE,
    kNumEnvelopeStages
  };

  EnvelopeGenerator();

  // The level for this sample; enters the next stage first when the running one has ended.
  // Inline: both envelopes run every sample.
  double nextSample()
  {
    if (currentStage == OFF || currentStage == SUSTAIN)
      return currentLevel;
    if (currentSampleIndex >= nextStageSampleIndex)
      enterNextStages();
    currentLevel *= multiplier;
    currentSampleIndex += 1;
    return currentLevel;
  }

  // Samples that nextSample() gives from now on before it enters another stage: 0 when the next
  // one does; OFF and SUSTAIN do not end by themselves (kNoStageEnd).
  static const unsigned long long kNoStageEnd = ~0ull;
  unsigned long long samplesLeftInStage() const
  {
    if (!isTimedStage(currentStage))
      return kNoStageEnd;
    return currentSampleIndex < nextStageSampleIndex ? nextStageSampleIndex - currentSampleIndex
                                                     : 0;
  }

  // The level's course through the running stage, as a value for a loop to step in registers:
  // each step() is nextSample() for a sample that does not end the stage (one of
  // samplesLeftInStage()). Timed stages multiply the level by the stage's factor, OFF and SUSTAIN
  // hold it. followed() takes the course back after n steps.
  struct Course
  {
    double level;
    double multiplier;
    bool moving;
    double step()
    {
      if (moving)
        level *= multiplier;
      return level;
    }
  };
  Course course() const { return {currentLevel, multiplier, isTimedStage(currentStage)}; }
  void followed(const Course& course, unsigned long long n)
  {
    currentLevel = course.level;
    if (course.moving)
      currentSampleIndex += n;
  }

  // Starts newStage from its own start level (RELEASE: from the level where the envelope stands).
  void enterStage(EnvelopeStage newStage);

  void setSampleRate(double newSampleRate);

  // Seconds for ATTACK, DECAY and RELEASE, a level for SUSTAIN. Changing the running stage keeps
  // the level and stretches the unelapsed fraction of the stage to the new time.
  void setStageValue(EnvelopeStage stage, double value);

  EnvelopeStage getCurrentStage() const { return currentStage; }

  // multiplier = 1 + (ln(endLevel) - ln(startLevel)) / lengthInSamples; 1 when that is not a
  // finite number (no samples, or a start level of 0), 0 when it is negative.
  void calculateMultiplier(double startLevel, double endLevel, unsigned long long lengthInSamples);

private:
  static bool isTimedStage(EnvelopeStage stage)
  {
    return stage == ATTACK || stage == DECAY || stage == RELEASE;
  }

  // The running timed stage has ended: enters the next one, passing through stages of no samples.
  void enterNextStages();

  // Whole samples in a product of seconds and sample rate: truncated, 0 for anything below one
  // sample or not a number, bounded far beyond any real stage so the conversion is always defined.
  static unsigned long long toSamples(double product);

  double minimumLevel;
  EnvelopeStage currentStage;
  double currentLevel;
  double multiplier;
  double sampleRate;
  double stageValue[kNumEnvelopeStages];
  unsigned long long currentSampleIndex;
  unsigned long long nextStageSampleIndex;
};
