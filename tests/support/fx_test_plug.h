#pragma once
// The plug-in of the program and bank file tests and fuzzers: five parameters of every type (one
// shaped), slots of which the first three hold programs (the third with a name longer than a file's
// name field) and the rest the defaults; state chunks on or off.

#include "tests/support/plugin_test_plug.h"

#include <cstdint>
#include <memory>
#include <vector>

inline std::unique_ptr<TestPlug> MakeFxTestPlug(bool chunks, int nPresets = 4)
{
  std::unique_ptr<TestPlug> plug(new TestPlug(5, "2-2", nPresets, chunks));
  plug->GetParam(0)->InitDouble("gain", 0.0, -60.0, 12.0, 0.1);
  plug->GetParam(1)->InitEnum("mode", 1, 3);
  plug->GetParam(2)->InitBool("bypass", false);
  plug->GetParam(3)->InitInt("steps", 16, 1, 16);
  plug->GetParam(4)->InitDouble("cutoff", 1000.0, 20.0, 20000.0, 1.0);
  plug->GetParam(4)->SetShape(2.0);
  plug->MakePreset("first", -6.0, 2, 1, 8, 500.0);
  plug->MakePreset("second program", 3.5, 0, 0, 1, 20000.0);
  plug->MakePreset("a name longer than its field in a file", -60.0, 1, 1, 16, 20.0);
  plug->EnsureDefaultPreset();
  return plug;
}

// What a loader may change: every parameter value, every slot (the bank state) and the current
// program.
struct FxPlugState
{
  std::vector<double> mValues;
  std::vector<uint8_t> mBank;
  int mCurrent;

  explicit FxPlugState(TestPlug& plug)
    : mValues(plug.Values())
    , mCurrent(plug.GetCurrentPresetIdx())
  {
    ByteChunk bank;
    plug.SerializePresets(&bank);
    mBank.assign(bank.GetBytes(), bank.GetBytes() + bank.Size());
  }
  bool operator==(const FxPlugState& o) const
  {
    return mValues == o.mValues && mBank == o.mBank && mCurrent == o.mCurrent;
  }
};
