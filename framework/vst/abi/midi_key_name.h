#pragma once

// The name of one MIDI key, asked for with effGetMidiKeyName (drum maps and the like).

#include "framework/vst/abi/platform.h"
#include "framework/vst/abi/string_limits.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct MidiKeyName
{
  VstInt32 thisProgramIndex;     // in: the MIDI program
  VstInt32 thisKeyNumber;        // in: the key, 0..127
  char keyName[kVstMaxNameLen];  // out
  VstInt32 reserved;             // 0
  VstInt32 flags;                // 0
} MidiKeyName;

VST_STATIC_ASSERT(offsetof(MidiKeyName, keyName) == 8, "MidiKeyName layout");
VST_STATIC_ASSERT(sizeof(MidiKeyName) == 80, "MidiKeyName layout");

#ifdef __cplusplus
}
#endif
