#pragma once

// Sizes of the text buffers the interface exchanges, terminating NUL included.
//
// Hosts allocate by these sizes, and many plug-ins write more than they allow (a parameter display
// of 8 bytes is seldom enough); a careful host passes larger buffers, a careful plug-in writes no
// more than these.

enum
{
  kVstMaxProgNameLen = 24,    // effGetProgramName, effSetProgramName, effGetProgramNameIndexed
  kVstMaxParamStrLen = 8,     // effGetParamLabel, effGetParamDisplay, effGetParamName
  kVstMaxVendorStrLen = 64,   // effGetVendorString, audioMasterGetVendorString
  kVstMaxProductStrLen = 64,  // effGetProductString, audioMasterGetProductString
  kVstMaxEffectNameLen = 32,  // effGetEffectName
  kVstMaxNameLen = 64,        // MidiKeyName, VstSpeakerProperties names
  kVstMaxLabelLen = 64,       // VstPinProperties::label
  kVstMaxShortLabelLen = 8,   // VstPinProperties::shortLabel
  kVstMaxCategLabelLen = 24,  // parameter category labels
  kVstMaxFileNameLen = 100,   // file names
};
