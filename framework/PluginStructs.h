#pragma once
// Small value types shared by the plug-in instance and its bindings: the plug-in API identifier, the
// host's transport snapshot and one program slot.

#include "framework/base/ByteChunk.h"

// The plug-in API an instance is bound to (stored as an int in PluginBase).
enum EAPI
{
  kAPIVST2 = 0,
  kAPIVST3 = 1,
  kAPIAU = 2,
  kAPIRTAS = 3,
  kAPIAAX = 4,
  kAPIStandalone = 5
};

// The API's name: "VST2", "VST3", "AU", "RTAS", "AAX", "Standalone"; "" for any other value.
const char* GetAPIName(int api);

// The host's musical time as the plug-in last saw it.
//
// A binding's GetTime overwrites only the fields the host reports as valid and sane, so a field
// keeps its default (or the previous block's value, when the caller reuses the record) otherwise.
struct ITimeInfo
{
  double mTempo = 120.0;  // beats per minute
  double mSamplePos = -1.0;
  double mPPQPos = -1.0;      // quarter-note position
  double mLastBar = -1.0;     // start of the last bar, in quarter notes
  double mCycleStart = -1.0;  // in quarter notes
  double mCycleEnd = -1.0;    // in quarter notes
  int mNumerator = 4;
  int mDenominator = 4;
  bool mTransportIsRunning = false;
  bool mTransportLoopEnabled = false;
};

// One program slot: a name and the stored program state (the bytes SerializeState wrote).
//
// The slot index is not kept: a slot is known by its place in the instance's list.
struct IPreset
{
  static const int kNameSize = 256;  // bytes, terminator included

  bool mInitialized = false;
  char mName[kNameSize];
  ByteChunk mChunk;

  explicit IPreset(int /*idx*/) { SetName("empty"); }

  // Copies name, cut to kNameSize - 1 characters; null gives the empty name.
  void SetName(const char* name);
};
