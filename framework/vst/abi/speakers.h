#pragma once

// Speaker arrangements exchanged with effSetSpeakerArrangement and effGetSpeakerArrangement.
//
// An arrangement is declared with eight speakers but sized by its sender for `numChannels`;
// a receiver reads no further than that.

#include "framework/vst/abi/platform.h"
#include "framework/vst/abi/string_limits.h"

#ifdef __cplusplus
extern "C" {
#endif

// Values of `VstSpeakerArrangement::type`.
enum
{
  kSpeakerArrUserDefined = -2,
  kSpeakerArrEmpty = -1,
  kSpeakerArrMono = 0,
  kSpeakerArrStereo = 1,
  kSpeakerArrStereoSurround = 2,
  kSpeakerArrStereoCenter = 3,
  kSpeakerArrStereoSide = 4,
  kSpeakerArrStereoCLfe = 5,
  kSpeakerArr30Cine = 6,
  kSpeakerArr30Music = 7,
  kSpeakerArr31Cine = 8,
  kSpeakerArr31Music = 9,
  kSpeakerArr40Cine = 10,
  kSpeakerArr40Music = 11,
  kSpeakerArr41Cine = 12,
  kSpeakerArr41Music = 13,
  kSpeakerArr50 = 14,
  kSpeakerArr51 = 15,
  kSpeakerArr60Cine = 16,
  kSpeakerArr60Music = 17,
  kSpeakerArr61Cine = 18,
  kSpeakerArr61Music = 19,
  kSpeakerArr70Cine = 20,
  kSpeakerArr70Music = 21,
  kSpeakerArr71Cine = 22,
  kSpeakerArr71Music = 23,
  kSpeakerArr80Cine = 24,
  kSpeakerArr80Music = 25,
  kSpeakerArr81Cine = 26,
  kSpeakerArr81Music = 27,
  kSpeakerArr102 = 28,
  kNumSpeakerArr = 29,
};

// Values of `VstSpeakerProperties::type`.
enum
{
  kSpeakerUndefined = 0x7fffffff,
  kSpeakerM = 0,  // mono
  kSpeakerL = 1,
  kSpeakerR = 2,
  kSpeakerC = 3,
  kSpeakerLfe = 4,
  kSpeakerLs = 5,
  kSpeakerRs = 6,
  kSpeakerLc = 7,
  kSpeakerRc = 8,
  kSpeakerS = 9,
  kSpeakerCs = kSpeakerS,
  kSpeakerSl = 10,
  kSpeakerSr = 11,
  kSpeakerTm = 12,
  kSpeakerTfl = 13,
  kSpeakerTfc = 14,
  kSpeakerTfr = 15,
  kSpeakerTrl = 16,
  kSpeakerTrc = 17,
  kSpeakerTrr = 18,
  kSpeakerLfe2 = 19,
};

typedef struct VstSpeakerProperties
{
  float azimuth;    // radians, -pi..pi
  float elevation;  // radians, -pi/2..pi/2
  float radius;     // metres
  float reserved;   // 0
  char name[kVstMaxNameLen];
  VstInt32 type;  // kSpeaker* value
  char future[28];
} VstSpeakerProperties;

typedef struct VstSpeakerArrangement
{
  VstInt32 type;         // kSpeakerArr* value
  VstInt32 numChannels;  // speakers in use
  VstSpeakerProperties speakers[8];
} VstSpeakerArrangement;

#if VST_ABI_64
VST_STATIC_ASSERT(offsetof(VstSpeakerProperties, name) == 16, "VstSpeakerProperties layout");
VST_STATIC_ASSERT(offsetof(VstSpeakerProperties, type) == 80, "VstSpeakerProperties layout");
VST_STATIC_ASSERT(sizeof(VstSpeakerProperties) == 112, "VstSpeakerProperties layout");
VST_STATIC_ASSERT(offsetof(VstSpeakerArrangement, speakers) == 8, "VstSpeakerArrangement layout");
VST_STATIC_ASSERT(sizeof(VstSpeakerArrangement) == 904, "VstSpeakerArrangement layout");
#endif

#ifdef __cplusplus
}
#endif
