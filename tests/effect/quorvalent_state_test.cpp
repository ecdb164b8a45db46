// State from the host: a bank is staged without touching the engine, then its current program is
// applied once, as a program chunk would apply it.
#include "tests/support/QuorvalentHost.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Program = std::vector<double>;

// The state header, then for a bank every slot (name, flag, values), for a program its values.
std::vector<uint8_t> stateChunk(const std::vector<Program>& programs, bool bank)
{
  ByteChunk c;
  PluginBase::InitChunkWithPluginVer(&c);
  for (const Program& p : programs)
  {
    if (bank)
    {
      c.PutStr("staged");
      c.PutBool(true);
    }
    for (double v : p)
      c.Put(&v);
  }
  return std::vector<uint8_t>(c.GetBytes(), c.GetBytes() + c.Size());
}

Stereo renderAfterSetChunk(std::vector<uint8_t> chunk, int index, bool* pSilentEnvelopes)
{
  QuorvalentHost host;
  EXPECT_EQ(host.dispatch(effSetChunk, index, (VstIntPtr)chunk.size(), chunk.data()), 1);
  EXPECT_EQ(host.dispatch(effGetProgram), 0);
  *pSilentEnvelopes = QuorvalentTestAccess::ampStage(host.plug()) == EnvelopeGenerator::OFF &&
                      QuorvalentTestAccess::filterStage(host.plug()) == EnvelopeGenerator::OFF;
  return host.render(testSignal(8192), 256);
}

}  // namespace

TEST(QuorvalentState, BankWithPushStoredInMidiModeFiresNoNote)
{
  Program defaults;
  {
    QuorvalentHost host;
    host.loadDefaults();
    for (int i = 0; i < kNumParams; ++i)
      defaults.push_back(host.plug().GetParam(i)->Value());
  }
  // Every program in MIDI mode with "Push!!" pressed; each with a mix of its own, so that the
  // output tells which one the engine took.
  std::vector<Program> bank(kNumPrograms, defaults);
  for (int k = 0; k < kNumPrograms; ++k)
  {
    bank[k][kStepMode] = 1.0;
    bank[k][kPush] = 1.0;
    bank[k][kDryWet] = 0.25 + k / 100.0;
  }

  bool silentAfterBank = false, silentAfterProgram = false;
  const Stereo loaded = renderAfterSetChunk(stateChunk(bank, true), 0, &silentAfterBank);
  const Stereo fresh = renderAfterSetChunk(stateChunk({bank[0]}, false), 1, &silentAfterProgram);
  EXPECT_TRUE(silentAfterBank);
  EXPECT_TRUE(silentAfterProgram);
  EXPECT_EQ(loaded.l, fresh.l);
  EXPECT_EQ(loaded.r, fresh.r);
}
