// The factory presets, and the developer's preset dump that wrote their source lines.
#include "effect/Quorvalent.h"

#include <cstdio>
#include <cstring>
#include <utility>

namespace {

// One factory preset: its name and the 42 values in parameter order, the 16 step flags written
// as digits (step 1 first).
struct FactoryPreset
{
  const char* name;
  double head[kStep1];                  // parameters 0 .. 19
  const char* steps;                    // parameters 20 .. 35
  double tail[kNumParams - kStepMode];  // parameters 36 .. 41
};

// Values below a parameter's minimum (the release of "Alienz" and "Little Kick") are stored as
// given; restoring the program clamps them like any other value.
// clang-format off
const FactoryPreset kFactoryPresets[] = {
  {"Falling Drops",
   {0.01, 0.5, 0.1, 0.693829, 0.01, 0.101899, 0.1, 0.943344, 0.285625, 0.310326,
    0.604263, 2, 0, 0.366592, 1, 0, 0, 0, 0, 2},
   "1001000010101010",
   {0, 1, 16, 5, 1, 1}},
  {"Tranceizer",
   {0.01, 0.5, 0.1, 0.861443, 0.01, 0.029308, 0.010527, 0.001112, 0.312422, 0.363621,
    0.000549, 2, 0, 0.405411, 0, 0, 0, 0, 0, 2},
   "1110111011101110",
   {0, 1, 16, 5, 1, 1}},
  {"Shortage",
   {0.01, 0.5, 0.1, 0.100111, 0.01, 0.029308, 0.010527, 0.001458, 0.519141, 0.363621,
    0, 2, 0, 0.000061, 0, 0, 0, 0, 0, 2},
   "0101001001011000",
   {0, 0.127563, 16, 5, 1, 1}},
  {"Normal",
   {0.01, 0.5, 0.1, 2.434015, 0.01, 0.029308, 0.010527, 0.001458, 0.519141, 0.363621,
    0.545059, 2, 0, 0.000061, 0, 0, 0, 0, 0, 2},
   "0101001001011000",
   {0, 0.67825, 16, 5, 1, 1}},
  {"Electro Resonance",
   {0.01, 0.5, 0.1, 0.885742, 0.010038, 0.26687, 0.002524, 0.077155, 0.01, 0.688933,
    0, 2, 0, 0.000061, 0, 0, 0, 0, 0, 2},
   "1000100011010010",
   {0, 0.67825, 16, 5, 0.984452, 1}},
  {"Flamenco",
   {0.01, 0.011544, 0.984452, 1.919188, 0.010038, 0.26687, 0.002524, 2.507108, 0.01, 0.04059,
    0.968994, 2, 1, 0.499893, 2, 0, 0, 0, 0, 2},
   "1001010010010010",
   {0, 1, 16, 5, 0.984452, 1}},
  {"Gargara",
   {0.01, 0.011544, 0.984452, 1.919188, 0.010038, 0.26687, 0.002524, 2.507108, 0.01, 0.04059,
    1, 5, 1, 0.022034, 5, 0, 0, 0, 0, 2},
   "1001010010010010",
   {0, 1, 16, 5, 1, 1}},
  {"Free Tongue",
   {0.01, 0.063, 0.984452, 1.347729, 0.014764, 0.26687, 0.002524, 0.409145, 0.109531, 0.644838,
    0.666519, 3, 1, 0.081314, 2, 0, 0, 0, 0, 2},
   "1001010010010010",
   {0, 1, 16, 5, 1, 1}},
  {"Syncopated",
   {0.01, 0.5, 0.1, 0.888872, 0.01, 0.244219, 0.001, 0.022804, 0.99, 0.170262,
    0, 2, 0, 0.527893, 1, 0, 0, 0, 2, 0},
   "1000100010101110",
   {0, 1, 6, 7, 1, 1}},
  {"Pompedazz",
   {0.01, 0.5, 0.1, 1.058882, 0.01, 0.01, 0.156499, 0.001, 0.124844, 0.714795,
    0.62262, 2, 0, 0.527893, 1, 0, 0, 0, 0, 0},
   "1000100010101110",
   {0, 0.2575, 6, 7, 1, 1}},
  {"Running Horse",
   {0.01, 1.294188, 1, 0.243927, 0.01, 0.01, 0.156499, 0.158002, 0.124844, 0.714795,
    0, 4, 0, 0, 2, 0, 0, 0, 0, 2},
   "1000100010101110",
   {0, 0.6175, 6, 8, 1, 1}},
  {"FMinazer",
   {0.01, 1.294188, 1, 0.243927, 0.01, 0.01, 0.156499, 0.018597, 0.105703, 0.01,
    0, 4, 0, 0.307678, 2, 0, 0, 0, 0, 2},
   "1111111000101110",
   {0, 0.6175, 6, 8, 1, 1}},
  {"Navel Air",
   {0.01, 0.5, 0.1, 0.441782, 0.01, 0.5, 0.1, 0.720103, 0.01, 0.01,
    0, 2, 0, 0.953674, 2, 0, 0, 0, 2, 1},
   "1001001001001100",
   {0, 1, 16, 5, 1, 1}},
  {"Tekchopat",
   {0.01, 0.5, 0.1, 5.042995, 0.01, 0.5, 0.1, 4.393271, 0.986172, 0.01,
    1, 3, 0, 0.679337, 3, 0, 0, 0, 0, 2},
   "1001111000011111",
   {0, 1, 16, 5, 1, 1}},
  {"Alienz",
   {0.01, 0.01, 0.299773, 0.088019, 0.01, 4.556394, 0.308371, 0.022804, 0.01, 0.277214,
    1, 5, 1, 0, 3, 0, 0, 0, 2, 2},
   "1000011101001001",
   {0, 1, 16, 5, 1, 1}},
  {"Tolvan",
   {0.01, 0.5, 1, 0.811164, 0.011634, 2.790611, 0.001, 0.27927, 0.01, 0.714795,
    1, 3, 0, 1, 2, 0, 0, 2, 0, 0},
   "1010000000100010",
   {0, 1, 16, 6, 1, 1}},
  {"Echo and Vup",
   {0.01, 0.5, 1, 9.233943, 0.011634, 2.790611, 0.001, 1.096201, 0.01, 0.84424,
    1, 3, 0, 1, 2, 0, 0, 1, 0, 0},
   "1000000000000000",
   {0, 1, 16, 6, 0.500393, 1}},
  {"Step Dancer",
   {0.01, 0.01, 0.001, 0.173371, 0.010001, 0.067182, 0.001061, 1.096201, 0.01, 0.84424,
    0, 3, 0, 0, 2, 0, 0, 2, 0, 0},
   "1111110000100001",
   {0, 0.3925, 16, 8, 0.500393, 1}},
  {"Frying",
   {0.01, 0.01, 0.001, 0.173371, 0.010001, 0.067182, 0.001061, 0.001001, 0.224375, 0.872881,
    0, 3, 0, 0.085831, 4, 0, 0, 2, 0, 0},
   "1111110000100001",
   {0, 0.3925, 8, 8, 0.270643, 1}},
  {"Little Kick",
   {0.01, 0.01, 0.001, 0.001, 0.010001, 0.01, 0.001, 0.001001, 0.01, 0.902006,
    0, 3, 0, 0.085831, 4, 0, 0, 0, 0, 2},
   "1000100010001010",
   {0, 0.46, 16, 5, 0.270643, 1}},
  {"Boring in the you essay",
   {0.01, 0.01, 1, 0.184611, 0.010001, 0.01, 0.511491, 0.001001, 0.01, 0.902006,
    0, 3, 0, 0.085831, 4, 0, 0, 0, 0, 2},
   "1011001100110011",
   {0, 0.994375, 16, 5, 0.270643, 1}},
  {"Chill",
   {0.01, 0.5, 0.1, 0.437953, 0.01, 3.738717, 0.23918, 0.224545, 0.01, 0.802184,
    0, 2, 0, 0.752014, 2, 0, 0, 0, 1, 0},
   "1010001000010010",
   {0, 1, 16, 5, 1, 1}},
  {"Softer",
   {0.04374, 0.5, 0.005405, 0.320976, 0.01, 0.825449, 1, 0.512183, 0.01, 0.802184,
    0, 0, 0, 0, 2, 0, 0, 0, 0, 0},
   "1101101101101101",
   {0, 1, 16, 5, 1, 1}},
  {"Jungle",
   {0.01, 0.5, 0.005405, 0.320976, 0.01, 0.825449, 1, 0.512183, 0.01, 0.802184,
    0, 0, 0, 0, 2, 0, 0, 0, 0, 0},
   "1000101000100000",
   {0, 1, 16, 5, 1, 1}},
  {"Spastics",
   {0.01, 0.5, 0.185447, 0.458733, 0.01, 0.825449, 1, 0.74355, 0.369844, 0.022704,
    0.483459, 5, 1, 1, 6, 1, 0, 0, 0, 0},
   "1010101011000111",
   {0, 1, 16, 8, 1, 1}},
  {"Morvia",
   {0.01, 0.174194, 0.500393, 0.409145, 0.01, 0.357576, 0.270643, 0.74355, 0.01, 0.220339,
    0, 5, 0, 0, 6, 0, 0, 0, 0, 0},
   "1010001010001000",
   {0, 0.7525, 16, 5, 1, 1}},
  {"xox",
   {0.013777, 0.5, 0.441538, 0.861443, 0.01, 0.019514, 0.001, 0.001112, 0.396641, 0.578537,
    0, 1, 0, 0.361878, 0, 0, 0, 2, 0, 2},
   "1110111011101110",
   {0, 1, 16, 5, 1, 1}},
};
// clang-format on

constexpr int kNumFactoryPresets = (int)(sizeof(kFactoryPresets) / sizeof(kFactoryPresets[0]));
static_assert(kNumFactoryPresets == 27, "27 factory presets, then the empty slots");

void presetValues(const FactoryPreset& preset, double (&values)[kNumParams])
{
  for (int i = 0; i < kStep1; ++i)
    values[i] = preset.head[i];
  for (int k = 0; k < kNumSteps; ++k)
    values[kStep1 + k] = preset.steps[k] == '1' ? 1.0 : 0.0;
  for (int i = kStepMode; i < kNumParams; ++i)
    values[i] = preset.tail[i - kStepMode];
}

}  // namespace

// Every value goes to MakePreset as a double: the presets are made while the parameters are still
// untyped, so MakePreset reads a double for each of them.
template <std::size_t... I>
void Quorvalent::makeFactoryPreset(const char* name, const double* values,
                                   std::index_sequence<I...>)
{
  MakePreset(name, values[I]...);
}

void Quorvalent::CreatePresets()
{
  for (const FactoryPreset& preset : kFactoryPresets)
  {
    double values[kNumParams];
    presetValues(preset, values);
    makeFactoryPreset(preset.name, values, std::make_index_sequence<kNumParams>());
  }
}

// The developer's preset dump: the current values written as a preset-making source line and
// appended to a fixed file, for pasting into the factory presets above. Nothing in the plug-in
// calls it.

namespace {

const char* const kDumpFile = "/Users/Dovrik/Desktop/QuorvalentPresets.txt";

// Appends text to the dump file; writes nothing when the file cannot be opened.
void WriteLogFile(const char* text)
{
  FILE* file = fopen(kDumpFile, "a");
  if (!file)
    return;
  fputs(text, file);
  fclose(file);
}

}  // namespace

bool Quorvalent::presetDumpLine(char* line, int size)
{
  int len = snprintf(line, (size_t)size, "MakePreset(\"Bu %d\",", mDumpCount);
  if (len < 0 || len >= size)
    return false;

  for (int i = 0; i < kNumParams; ++i)
  {
    IParam* param = GetParam(i);
    double value;
    switch (i)
    {
      case kFilterEnvAmount:
        value = (double)(float)param->Value();
        break;
      case kAmpLFORate:
      case kFilterLFORate:
      case kFilterType:
      case kAmpLFOType:
      case kFilterLFOType:
      case kArpSpeed:
        value = (double)(float)param->Int();
        break;
      case kAmpLFOTriplet:
      case kFilterLFOTriplet:
      case kPush:
      case kStepMode:
        value = param->Bool() ? 1.0 : 0.0;
        break;
      default:
        value = (i >= kStep1 && i <= kStep16) ? (param->Bool() ? 1.0 : 0.0) : param->Value();
        break;
    }
    const int n = snprintf(line + len, (size_t)(size - len), "%f,", value);
    if (n < 0 || n >= size - len)
      return false;
    len += n;
  }

  // The last comma becomes the end of the call.
  len -= 1;
  const int n = snprintf(line + len, (size_t)(size - len), ");\n");
  return n >= 0 && n < size - len;
}

void Quorvalent::SavetheWorld()
{
  char line[kDumpLineSize];
  if (presetDumpLine(line, kDumpLineSize))
    WriteLogFile(line);
  ++mDumpCount;
}
