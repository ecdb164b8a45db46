#pragma once

// Timed events exchanged with effProcessEvents (host to plug-in) and audioMasterProcessEvents
// (plug-in to host).
//
// A `VstEvents` list and the events it points to belong to the sender and stay valid only until
// the next processing callback returns (host to plug-in) or until the host callback returns
// (plug-in to host): a receiver copies what it keeps. Every event starts with the same four fields;
// `type` tells which record it is and `byteSize` its size.

#include "framework/vst/abi/platform.h"

#ifdef __cplusplus
extern "C" {
#endif

// Values of `VstEvent::type`.
enum
{
  kVstMidiType = 1,       // VstMidiEvent
  kVstAudioType = 2,      // deprecated
  kVstVideoType = 3,      // deprecated
  kVstParameterType = 4,  // deprecated
  kVstTriggerType = 5,    // deprecated
  kVstSysExType = 6,      // VstMidiSysexEvent
};

// Bits of `VstMidiEvent::flags`.
enum
{
  kVstMidiEventIsRealtime = 1 << 0,  // played live rather than from a sequencer track
};

// The common head of every event, followed by type-specific data.
typedef struct VstEvent
{
  VstInt32 type;         // kVst*Type
  VstInt32 byteSize;     // size of the whole record
  VstInt32 deltaFrames;  // sample offset within the current block
  VstInt32 flags;
  char data[16];
} VstEvent;

// A list of events. `events` is declared with two entries but holds `numEvents`: senders allocate
// the list with room for as many pointers as they need.
typedef struct VstEvents
{
  VstInt32 numEvents;
  VstIntPtr reserved;  // 0
  VstEvent* events[2];
} VstEvents;

// A short MIDI message (up to three bytes).
typedef struct VstMidiEvent
{
  VstInt32 type;         // kVstMidiType
  VstInt32 byteSize;     // sizeof(VstMidiEvent)
  VstInt32 deltaFrames;  // sample offset within the current block
  VstInt32 flags;        // kVstMidiEventIsRealtime
  VstInt32 noteLength;   // in samples, 0 when unknown
  VstInt32 noteOffset;   // samples into the note where playback starts
  char midiData[4];      // status, data 1, data 2, 0
  char detune;           // -64..63 cents
  char noteOffVelocity;
  char reserved1;
  char reserved2;
} VstMidiEvent;

// A system-exclusive message; the bytes are referenced, not contained.
typedef struct VstMidiSysexEvent
{
  VstInt32 type;         // kVstSysExType
  VstInt32 byteSize;     // sizeof(VstMidiSysexEvent)
  VstInt32 deltaFrames;  // sample offset within the current block
  VstInt32 flags;        // 0
  VstInt32 dumpBytes;    // size of sysexDump
  VstIntPtr resvd1;      // 0
  char* sysexDump;       // the message, F0 to F7
  VstIntPtr resvd2;      // 0
} VstMidiSysexEvent;

#if VST_ABI_64
VST_STATIC_ASSERT(sizeof(VstEvent) == 32, "VstEvent layout");
VST_STATIC_ASSERT(offsetof(VstEvents, reserved) == 8, "VstEvents layout");
VST_STATIC_ASSERT(offsetof(VstEvents, events) == 16, "VstEvents layout");
VST_STATIC_ASSERT(sizeof(VstEvents) == 32, "VstEvents layout");
VST_STATIC_ASSERT(offsetof(VstMidiEvent, midiData) == 24, "VstMidiEvent layout");
VST_STATIC_ASSERT(offsetof(VstMidiEvent, detune) == 28, "VstMidiEvent layout");
VST_STATIC_ASSERT(sizeof(VstMidiEvent) == 32, "VstMidiEvent layout");
VST_STATIC_ASSERT(offsetof(VstMidiSysexEvent, dumpBytes) == 16, "VstMidiSysexEvent layout");
VST_STATIC_ASSERT(offsetof(VstMidiSysexEvent, resvd1) == 24, "VstMidiSysexEvent layout");
VST_STATIC_ASSERT(offsetof(VstMidiSysexEvent, sysexDump) == 32, "VstMidiSysexEvent layout");
VST_STATIC_ASSERT(sizeof(VstMidiSysexEvent) == 48, "VstMidiSysexEvent layout");
#endif

#ifdef __cplusplus
}
#endif
