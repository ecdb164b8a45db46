#pragma once

// The host's musical time, answered to audioMasterGetTime.
//
// The record belongs to the host and is valid until the processing callback that asked for it
// returns. `samplePos` and `sampleRate` are always valid; every other group of fields is valid only
// when its bit is set in `flags`. The value argument of audioMasterGetTime names the groups the
// plug-in wants; a host may fill more, or fewer.

#include "framework/vst/abi/platform.h"

#ifdef __cplusplus
extern "C" {
#endif

// Bits of `VstTimeInfo::flags` (and of the filter passed with audioMasterGetTime).
enum
{
  kVstTransportChanged = 1 << 0,  // play, cycle or record state changed since the last block
  kVstTransportPlaying = 1 << 1,
  kVstTransportCycleActive = 1 << 2,
  kVstTransportRecording = 1 << 3,
  kVstAutomationWriting = 1 << 6,
  kVstAutomationReading = 1 << 7,
  kVstNanosValid = 1 << 8,      // nanoSeconds
  kVstPpqPosValid = 1 << 9,     // ppqPos
  kVstTempoValid = 1 << 10,     // tempo
  kVstBarsValid = 1 << 11,      // barStartPos
  kVstCyclePosValid = 1 << 12,  // cycleStartPos, cycleEndPos
  kVstTimeSigValid = 1 << 13,   // timeSigNumerator, timeSigDenominator
  kVstSmpteValid = 1 << 14,     // smpteOffset, smpteFrameRate
  kVstClockValid = 1 << 15,     // samplesToNextClock
};

// Values of `VstTimeInfo::smpteFrameRate`.
enum
{
  kVstSmpte24fps = 0,
  kVstSmpte25fps = 1,
  kVstSmpte2997fps = 2,
  kVstSmpte30fps = 3,
  kVstSmpte2997dfps = 4,
  kVstSmpte30dfps = 5,
  kVstSmpteFilm16mm = 6,
  kVstSmpteFilm35mm = 7,
  kVstSmpte239fps = 10,
  kVstSmpte249fps = 11,
  kVstSmpte599fps = 12,
  kVstSmpte60fps = 13,
};

typedef struct VstTimeInfo
{
  double samplePos;  // position of the block's first sample, in samples
  double sampleRate;
  double nanoSeconds;    // system time of the block start
  double ppqPos;         // musical position in quarter notes
  double tempo;          // beats per minute
  double barStartPos;    // position of the last bar start, in quarter notes
  double cycleStartPos;  // loop start, in quarter notes
  double cycleEndPos;    // loop end, in quarter notes
  VstInt32 timeSigNumerator;
  VstInt32 timeSigDenominator;
  VstInt32 smpteOffset;  // in 80ths of a frame
  VstInt32 smpteFrameRate;
  VstInt32 samplesToNextClock;  // to the next 24-per-quarter MIDI clock
  VstInt32 flags;               // kVst* bits above
} VstTimeInfo;

#if VST_ABI_64
VST_STATIC_ASSERT(offsetof(VstTimeInfo, ppqPos) == 24, "VstTimeInfo layout");
VST_STATIC_ASSERT(offsetof(VstTimeInfo, cycleEndPos) == 56, "VstTimeInfo layout");
VST_STATIC_ASSERT(offsetof(VstTimeInfo, timeSigNumerator) == 64, "VstTimeInfo layout");
VST_STATIC_ASSERT(offsetof(VstTimeInfo, flags) == 84, "VstTimeInfo layout");
VST_STATIC_ASSERT(sizeof(VstTimeInfo) == 88, "VstTimeInfo layout");
#endif

#ifdef __cplusplus
}
#endif
