#pragma once
// The 42 host-visible parameters of the effect, one constant row each.
//
// The plug-in's CreateParams and the editor layout both read this table: the name the host shows,
// the editor position of the parameter's control, and default, minimum and maximum. Kind and shape
// are decided by index in CreateParams. Indexes are the host's parameter numbers: never reorder.

enum EParams
{
  kAmpAttack = 0,
  kAmpDecay,
  kAmpSustain,
  kAmpRelease,
  kFilterAttack,
  kFilterDecay,
  kFilterSustain,
  kFilterRelease,
  kFilterCutoff,
  kFilterResonance,
  kAmpLFODepth,  // 10
  kAmpLFORate,
  kAmpLFOTriplet,
  kFilterLFODepth,
  kFilterLFORate,
  kFilterLFOTriplet,
  kPush,
  kFilterType,
  kAmpLFOType,
  kFilterLFOType,
  kStep1,  // 20 .. 35: steps 1 .. 16
  kStep16 = kStep1 + 15,
  kStepMode,  // 36: off = sequencer, on = MIDI / push
  kNoteLength,
  kNumStepsParam,
  kArpSpeed,
  kFilterEnvAmount,  // 40
  kDryWet,
  kNumParams
};

static_assert(kStep16 == 35 && kStepMode == 36 && kDryWet == 41 && kNumParams == 42,
              "parameter numbers are what hosts store: they never change");

constexpr int kNumSteps = 16;
constexpr int kNumPrograms = 30;

struct ParameterProperties
{
  const char* name;
  int x;  // editor position of the parameter's control
  int y;
  double defaultVal;
  double minVal;
  double maxVal;
};

extern const ParameterProperties parameterProperties[kNumParams];

// Step length in sixty-fourth notes, indexed by "Arp Speed"; 0 stands for half a sixty-fourth.
constexpr int kNumSpeeds = 10;
extern const int speed_array[kNumSpeeds];

// Steps on in a new instance: 1, 2 and 6.
constexpr bool kDefaultStepOn[kNumSteps] = {true,  true,  false, false, false, true,  false, false,
                                            false, false, false, false, false, false, false, false};
