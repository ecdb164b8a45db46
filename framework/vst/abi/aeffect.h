#pragma once

// The plug-in instance record of the VST 2.4 interface.
//
// The plug-in allocates one `AEffect` per instance and hands its address to the host from the
// entry point; from then on the host reaches the instance only through the callbacks stored here,
// each of which receives the record back. The plug-in finds its own object through `object`.

#include "framework/vst/abi/platform.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct AEffect AEffect;

// Host callback handed to the entry point: the plug-in's only way to ask or tell the host
// anything (audioMaster* opcodes, host_opcodes.h). `effect` is null for calls made before the
// record exists.
// [any thread the plug-in is called on; audio thread for time, MIDI out and process level]
typedef VstIntPtr (*audioMasterCallback)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                         VstIntPtr value, void* ptr, float opt);

// The plug-in's opcode handler (eff* opcodes, opcodes.h).
// [main thread, except effProcessEvents, which comes on the audio thread before each block]
typedef VstIntPtr (*AEffectDispatcherProc)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                           VstIntPtr value, void* ptr, float opt);

// Single-precision block: `process` adds into the outputs (accumulating, deprecated),
// `processReplacing` overwrites them.
// [audio thread]
typedef void (*AEffectProcessProc)(AEffect* effect, float** inputs, float** outputs,
                                   VstInt32 sampleFrames);

// Double-precision block, overwriting the outputs.
// [audio thread]
typedef void (*AEffectProcessDoubleProc)(AEffect* effect, double** inputs, double** outputs,
                                         VstInt32 sampleFrames);

// Sets parameter `index` to a normalised value in 0..1.
// [main thread or audio thread]
typedef void (*AEffectSetParameterProc)(AEffect* effect, VstInt32 index, float parameter);

// Reads parameter `index` as a normalised value in 0..1.
// [any thread]
typedef float (*AEffectGetParameterProc)(AEffect* effect, VstInt32 index);

// The value of `AEffect::magic`: the bytes "PtsV" in memory on a little-endian machine.
#define kEffectMagic VST_FOURCC('V', 's', 't', 'P')

// Bits of `AEffect::flags`.
enum
{
  effFlagsHasEditor = 1 << 0,            // effEditOpen opens an editor
  effFlagsHasClip = 1 << 1,              // deprecated
  effFlagsHasVu = 1 << 2,                // deprecated
  effFlagsCanMono = 1 << 3,              // deprecated: accepts a mono input
  effFlagsCanReplacing = 1 << 4,         // processReplacing is supported (mandatory in 2.4)
  effFlagsProgramChunks = 1 << 5,        // state is exchanged with effGetChunk / effSetChunk
  effFlagsIsSynth = 1 << 8,              // an instrument
  effFlagsNoSoundInStop = 1 << 9,        // output is silent while input is silent
  effFlagsExtIsAsync = 1 << 10,          // deprecated
  effFlagsExtHasBuffer = 1 << 11,        // deprecated
  effFlagsCanDoubleReplacing = 1 << 12,  // processDoubleReplacing is supported
};

struct AEffect
{
  VstInt32 magic;  // kEffectMagic

  AEffectDispatcherProc dispatcher;
  AEffectProcessProc process;  // accumulating, deprecated
  AEffectSetParameterProc setParameter;
  AEffectGetParameterProc getParameter;

  VstInt32 numPrograms;
  VstInt32 numParams;
  VstInt32 numInputs;
  VstInt32 numOutputs;
  VstInt32 flags;  // effFlags*

  VstIntPtr resvd1;  // reserved for the host, 0
  VstIntPtr resvd2;  // reserved for the host, 0

  VstInt32 initialDelay;   // latency in samples
  VstInt32 realQualities;  // deprecated
  VstInt32 offQualities;   // deprecated
  float ioRatio;           // deprecated

  void* object;  // the plug-in's own instance
  void* user;    // free for the plug-in's use

  VstInt32 uniqueID;  // registered four-character identifier
  VstInt32 version;   // plug-in version, decimal (10001 for 1.0.1)

  AEffectProcessProc processReplacing;
  AEffectProcessDoubleProc processDoubleReplacing;

  char future[56];  // zero
};

#if VST_ABI_64
VST_STATIC_ASSERT(offsetof(AEffect, dispatcher) == 8, "AEffect layout");
VST_STATIC_ASSERT(offsetof(AEffect, numPrograms) == 40, "AEffect layout");
VST_STATIC_ASSERT(offsetof(AEffect, flags) == 56, "AEffect layout");
VST_STATIC_ASSERT(offsetof(AEffect, resvd1) == 64, "AEffect layout");
VST_STATIC_ASSERT(offsetof(AEffect, initialDelay) == 80, "AEffect layout");
VST_STATIC_ASSERT(offsetof(AEffect, ioRatio) == 92, "AEffect layout");
VST_STATIC_ASSERT(offsetof(AEffect, object) == 96, "AEffect layout");
VST_STATIC_ASSERT(offsetof(AEffect, uniqueID) == 112, "AEffect layout");
VST_STATIC_ASSERT(offsetof(AEffect, processReplacing) == 120, "AEffect layout");
VST_STATIC_ASSERT(offsetof(AEffect, processDoubleReplacing) == 128, "AEffect layout");
VST_STATIC_ASSERT(offsetof(AEffect, future) == 136, "AEffect layout");
VST_STATIC_ASSERT(sizeof(AEffect) == 192, "AEffect layout");
#endif

// The exported entry point: creates one instance and returns its record, or null.
// `VSTPluginMain` is the 2.4 name; older hosts look for `main` with the same signature.
// [main thread]
typedef AEffect* (*VstPluginMainProc)(audioMasterCallback host);

#ifdef __cplusplus
}
#endif
