#pragma once

// Opcodes the plug-in sends to the host's `audioMasterCallback`.
//
// Each line names the arguments that carry something (the others are 0 or null) and the answer.
// Calls come on whichever thread is running inside the plug-in; those marked [audio] are made
// from within a processing callback.

enum
{
  audioMasterAutomate = 0,       // index: parameter; opt: new normalised value
  audioMasterVersion = 1,        // -> host's interface version (2400)
  audioMasterCurrentId = 2,      // -> unique id of the sub-plug-in being created by a shell
  audioMasterIdle = 3,           // the host should idle its editors
  audioMasterPinConnected = 4,   // deprecated
  audioMasterWantMidi = 6,       // [audio] deprecated: the plug-in wants MIDI events
  audioMasterGetTime = 7,        // [audio] value: VstTimeInfoFlags wanted -> VstTimeInfo* or null
  audioMasterProcessEvents = 8,  // [audio] ptr: VstEvents* sent out -> 1 when taken
  audioMasterSetTime = 9,        // deprecated
  audioMasterTempoAt = 10,       // deprecated
  audioMasterGetNumAutomatableParameters = 11,  // deprecated
  audioMasterGetParameterQuantization = 12,     // deprecated
  audioMasterIOChanged = 13,      // numInputs, numOutputs or initialDelay changed -> 1 when handled
  audioMasterNeedIdle = 14,       // deprecated
  audioMasterSizeWindow = 15,     // index: width; value: height -> 1 when resized
  audioMasterGetSampleRate = 16,  // -> current sample rate
  audioMasterGetBlockSize = 17,   // -> current block size
  audioMasterGetInputLatency = 18,
  audioMasterGetOutputLatency = 19,
  audioMasterGetPreviousPlug = 20,          // deprecated
  audioMasterGetNextPlug = 21,              // deprecated
  audioMasterWillReplaceOrAccumulate = 22,  // deprecated
  audioMasterGetCurrentProcessLevel = 23,   // -> VstProcessLevels
  audioMasterGetAutomationState = 24,       // -> VstAutomationStates
  audioMasterOfflineStart = 25,
  audioMasterOfflineRead = 26,
  audioMasterOfflineWrite = 27,
  audioMasterOfflineGetCurrentPass = 28,
  audioMasterOfflineGetCurrentMetaPass = 29,
  audioMasterSetOutputSampleRate = 30,          // deprecated
  audioMasterGetOutputSpeakerArrangement = 31,  // deprecated
  audioMasterGetVendorString = 32,   // ptr: buffer (kVstMaxVendorStrLen) -> 1 when written
  audioMasterGetProductString = 33,  // ptr: buffer (kVstMaxProductStrLen) -> 1 when written
  audioMasterGetVendorVersion = 34,  // -> host version, decimal
  audioMasterVendorSpecific = 35,
  audioMasterSetIcon = 36,        // deprecated
  audioMasterCanDo = 37,          // ptr: capability text -> 1 yes, 0 no
  audioMasterGetLanguage = 38,    // -> VstHostLanguage
  audioMasterOpenWindow = 39,     // deprecated
  audioMasterCloseWindow = 40,    // deprecated
  audioMasterGetDirectory = 41,   // -> the plug-in's folder (platform path) or null
  audioMasterUpdateDisplay = 42,  // names, programs or the display changed -> 1 when handled
  audioMasterBeginEdit = 43,      // index: parameter; a user gesture starts
  audioMasterEndEdit = 44,        // index: parameter; the gesture ends
  audioMasterOpenFileSelector = 45,
  audioMasterCloseFileSelector = 46,
  audioMasterEditFile = 47,                    // deprecated
  audioMasterGetChunkFile = 48,                // deprecated
  audioMasterGetInputSpeakerArrangement = 49,  // deprecated
};

// Answers of audioMasterGetCurrentProcessLevel.
enum
{
  kVstProcessLevelUnknown = 0,
  kVstProcessLevelUser = 1,      // a user thread (the UI)
  kVstProcessLevelRealtime = 2,  // the audio thread
  kVstProcessLevelPrefetch = 3,  // a sequencer or prefetch thread
  kVstProcessLevelOffline = 4,   // offline rendering
};

// Answers of audioMasterGetAutomationState.
enum
{
  kVstAutomationUnsupported = 0,
  kVstAutomationOff = 1,
  kVstAutomationRead = 2,
  kVstAutomationWrite = 3,
  kVstAutomationReadWrite = 4,
};

// Answers of audioMasterGetLanguage.
enum
{
  kVstLangEnglish = 1,
  kVstLangGerman = 2,
  kVstLangFrench = 3,
  kVstLangItalian = 4,
  kVstLangSpanish = 5,
  kVstLangJapanese = 6,
};
