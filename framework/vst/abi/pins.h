#pragma once

// Properties of one input or output pin, filled by the plug-in for effGetInputProperties and
// effGetOutputProperties. The host passes the record; the plug-in writes what it knows and leaves
// the rest as passed.

#include "framework/vst/abi/platform.h"
#include "framework/vst/abi/string_limits.h"

#ifdef __cplusplus
extern "C" {
#endif

// Bits of `VstPinProperties::flags`.
enum
{
  kVstPinIsActive = 1 << 0,    // the pin is in use
  kVstPinIsStereo = 1 << 1,    // first pin of a stereo pair
  kVstPinUseSpeaker = 1 << 2,  // arrangementType is valid
};

typedef struct VstPinProperties
{
  char label[kVstMaxLabelLen];
  VstInt32 flags;            // kVstPin* bits
  VstInt32 arrangementType;  // a kSpeakerArr* value (speakers.h)
  char shortLabel[kVstMaxShortLabelLen];
  char future[48];
} VstPinProperties;

#if VST_ABI_64
VST_STATIC_ASSERT(offsetof(VstPinProperties, flags) == 64, "VstPinProperties layout");
VST_STATIC_ASSERT(offsetof(VstPinProperties, shortLabel) == 72, "VstPinProperties layout");
VST_STATIC_ASSERT(sizeof(VstPinProperties) == 128, "VstPinProperties layout");
#endif

#ifdef __cplusplus
}
#endif
