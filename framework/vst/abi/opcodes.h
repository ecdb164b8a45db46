#pragma once

// Opcodes the host sends to `AEffect::dispatcher`.
//
// Each line names the arguments that carry something (the others are 0 or null) and the result.
// Calls come on the host's main (UI) thread unless marked [audio]. Opcodes marked deprecated
// belong to earlier versions of the interface; a 2.4 plug-in may answer them with 0.

enum
{
  effOpen = 0,             // after creation, before anything else
  effClose = 1,            // the instance deletes itself; the record is dead afterwards
  effSetProgram = 2,       // value: program index
  effGetProgram = 3,       // -> current program index
  effSetProgramName = 4,   // ptr: text (kVstMaxProgNameLen)
  effGetProgramName = 5,   // ptr: buffer for the current program's name
  effGetParamLabel = 6,    // index: parameter; ptr: buffer for its unit ("dB")
  effGetParamDisplay = 7,  // index: parameter; ptr: buffer for its value as text
  effGetParamName = 8,     // index: parameter; ptr: buffer for its name
  effGetVu = 9,            // deprecated

  effSetSampleRate = 10,  // opt: sample rate
  effSetBlockSize = 11,   // value: largest block the host will pass
  effMainsChanged = 12,   // value: 0 suspend, 1 resume

  effEditGetRect = 13,  // ptr: ERect** receiving the editor's rectangle -> 1 when there is one
  effEditOpen = 14,     // ptr: parent window (HWND on Windows) -> 1 when opened
  effEditClose = 15,
  effEditDraw = 16,   // deprecated
  effEditMouse = 17,  // deprecated
  effEditKey = 18,    // deprecated
  effEditIdle = 19,   // periodic editor idle
  effEditTop = 20,    // deprecated
  effEditSleep = 21,  // deprecated
  effIdentify = 22,   // deprecated; -> 'NvEf'

  effGetChunk = 23,          // index: 0 bank, 1 program; ptr: void** receiving the data -> size
  effSetChunk = 24,          // index: 0 bank, 1 program; value: size; ptr: the data -> 1 or 0
  effProcessEvents = 25,     // [audio] ptr: VstEvents* for the next block -> 1
  effCanBeAutomated = 26,    // index: parameter -> 1 when automatable
  effString2Parameter = 27,  // index: parameter; ptr: text (null asks whether supported) -> 1 or 0
  effGetNumProgramCategories = 28,  // deprecated
  effGetProgramNameIndexed = 29,  // index: program; value: category (-1 all); ptr: buffer -> 1 or 0
  effCopyProgram = 30,            // deprecated
  effConnectInput = 31,           // deprecated
  effConnectOutput = 32,          // deprecated
  effGetInputProperties = 33,     // index: input; ptr: VstPinProperties* -> 1 or 0
  effGetOutputProperties = 34,    // index: output; ptr: VstPinProperties* -> 1 or 0
  effGetPlugCategory = 35,        // -> VstPlugCategory
  effGetCurrentPosition = 36,     // deprecated
  effGetDestinationBuffer = 37,   // deprecated
  effOfflineNotify = 38,
  effOfflinePrepare = 39,
  effOfflineRun = 40,
  effProcessVarIo = 41,
  effSetSpeakerArrangement = 42,  // value: input VstSpeakerArrangement*; ptr: output one -> 1 or 0
  effSetBlockSizeAndSampleRate = 43,  // deprecated
  effSetBypass = 44,         // value: 1 bypass, 0 process -> 1 when the plug-in bypasses itself
  effGetEffectName = 45,     // ptr: buffer (kVstMaxEffectNameLen)
  effGetErrorText = 46,      // deprecated
  effGetVendorString = 47,   // ptr: buffer (kVstMaxVendorStrLen)
  effGetProductString = 48,  // ptr: buffer (kVstMaxProductStrLen)
  effGetVendorVersion = 49,  // -> vendor-specific version
  effVendorSpecific = 50,    // all arguments vendor-defined
  effCanDo = 51,             // ptr: capability text -> 1 yes, -1 no, 0 don't know
  effGetTailSize = 52,       // -> tail in samples (0 default, 1 none)
  effIdle = 53,              // deprecated
  effGetIcon = 54,           // deprecated
  effSetViewPosition = 55,   // deprecated
  effGetParameterProperties = 56,  // index: parameter; ptr: properties record -> 1 or 0
  effKeysRequired = 57,            // deprecated
  effGetVstVersion = 58,           // -> 2400
  effEditKeyDown = 59,             // index: ASCII; value: virtual key; opt: modifiers
  effEditKeyUp = 60,
  effSetEditKnobMode = 61,  // value: knob mode
  effGetMidiProgramName = 62,
  effGetCurrentMidiProgram = 63,
  effGetMidiProgramCategory = 64,
  effHasMidiProgramsChanged = 65,
  effGetMidiKeyName = 66,  // index: MIDI channel; ptr: MidiKeyName* -> 1 when named
  effBeginSetProgram = 67,
  effEndSetProgram = 68,
  effGetSpeakerArrangement = 69,  // value: VstSpeakerArrangement** input; ptr: ** output -> 1 or 0
  effShellGetNextPlugin = 70,     // ptr: name buffer -> next sub-plug-in id
  effStartProcess = 71,           // processing is about to start
  effStopProcess = 72,            // processing stopped
  effSetTotalSampleToProcess = 73,  // value: frames of an offline pass
  effSetPanLaw = 74,                // value: pan law; opt: gain
  effBeginLoadBank = 75,            // ptr: patch chunk info -> -1 refuse, 1 accept
  effBeginLoadProgram = 76,         // ptr: patch chunk info -> -1 refuse, 1 accept
  effSetProcessPrecision = 77,      // value: VstProcessPrecision
  effGetNumMidiInputChannels = 78,
  effGetNumMidiOutputChannels = 79,
};

// Answer of effIdentify.
#define kVstIdentifyAnswer VST_FOURCC('N', 'v', 'E', 'f')

// Answer of effGetVstVersion for this version of the interface.
enum
{
  kVstVersion = 2400
};

// Value of effSetProcessPrecision.
enum
{
  kVstProcessPrecision32 = 0,  // processReplacing
  kVstProcessPrecision64 = 1,  // processDoubleReplacing
};
