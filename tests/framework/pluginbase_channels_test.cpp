// Channel records, connection and the per-block attachment of host buffers.

#include "tests/support/plugin_test_plug.h"

#include "framework/NChanDelayLine.h"
#include "framework/base/Alloc.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <memory>
#include <vector>

namespace {

enum class Precision
{
  kFloat,
  kFloatAccumulating,
  kDouble
};

const char* Name(Precision p)
{
  return p == Precision::kFloat ? "float" : p == Precision::kDouble ? "double" : "accumulating";
}

// Host-side buffers of one block: nIn input channels holding ramps (channel c, frame s:
// (c + 1) * 1000 + s), nOut output channels prefilled with `fill`.
struct HostBlock
{
  std::vector<std::vector<float>> fin, fout;
  std::vector<std::vector<double>> din, dout;
  std::vector<float*> finPtrs, foutPtrs;
  std::vector<double*> dinPtrs, doutPtrs;

  HostBlock(int nIn, int nOut, int nFrames, float fill = -7.0f)
  {
    for (int c = 0; c < nIn; ++c)
    {
      fin.emplace_back(nFrames);
      din.emplace_back(nFrames);
      for (int s = 0; s < nFrames; ++s)
        fin[c][s] = (float)(din[c][s] = (c + 1) * 1000 + s);
    }
    for (int c = 0; c < nOut; ++c)
    {
      fout.emplace_back(nFrames, fill);
      dout.emplace_back(nFrames, fill);
    }
    for (auto& v : fin)
      finPtrs.push_back(v.data());
    for (auto& v : fout)
      foutPtrs.push_back(v.data());
    for (auto& v : din)
      dinPtrs.push_back(v.data());
    for (auto& v : dout)
      doutPtrs.push_back(v.data());
  }

  double Out(Precision p, int c, int s, bool inPlace = false) const
  {
    if (inPlace)
      return p == Precision::kDouble ? din[c][s] : (double)fin[c][s];
    return p == Precision::kDouble ? dout[c][s] : (double)fout[c][s];
  }
};

// What a binding's audio callback does with one block. In place, the host's output buffers are
// its input buffers.
void RunBlock(TestPlug& plug, HostBlock& b, Precision p, int nFrames, bool inPlace = false)
{
  if (!plug.EnsureBlockSize(nFrames))
    return;
  if (p == Precision::kDouble)
  {
    plug.AttachInputBuffers(0, plug.NInChannels(), b.dinPtrs.data(), nFrames);
    plug.AttachOutputBuffers(0, plug.NOutChannels(),
                             inPlace ? b.dinPtrs.data() : b.doutPtrs.data());
    plug.ProcessBuffers(0.0, nFrames);
    return;
  }
  plug.AttachInputBuffers(0, plug.NInChannels(), b.finPtrs.data(), nFrames);
  plug.AttachOutputBuffers(0, plug.NOutChannels(), inPlace ? b.finPtrs.data() : b.foutPtrs.data());
  if (p == Precision::kFloat)
    plug.ProcessBuffers(0.0f, nFrames);
  else
    plug.ProcessBuffersAccumulating(0.0f, nFrames);
}

const Precision kAllPrecisions[] = {Precision::kFloat, Precision::kFloatAccumulating,
                                    Precision::kDouble};

TEST(PluginBaseChannels, ChannelIOStringGivesLegalPairsAndChannelCounts)
{
  struct LegalQuery
  {
    int nIn, nOut;
    bool legal;
  };
  struct Case
  {
    const char* io;
    int nIn, nOut;
    std::vector<LegalQuery> queries;
  };
  const Case cases[] = {
    {"1-1 2-2", 2, 2, {{1, -1, true}, {2, 2, true}, {1, 2, false}, {-1, -1, true}, {0, 0, false}}},
    {"1-1 2-2 ", 2, 2, {{0, 0, true}}},  // a trailing blank adds the pair (0, 0)
    {"2-1", 2, 1, {{1, -1, false}, {-1, 1, true}, {2, 2, false}}},
    {"0-2", 0, 2, {{0, 2, true}, {1, -1, false}}},
    {"8-8 1-1", 8, 8, {{1, 1, true}, {8, -1, true}, {2, 2, false}}},
    {"1", 1, 0, {{1, 0, true}}},    // a pair without its output count
    {"x-y", 0, 0, {{0, 0, true}}},  // a token that does not parse gives (0, 0)
    {"", 0, 0, {{0, 0, true}}},
    {nullptr, 0, 0, {{-1, -1, false}}},  // no string, no pairs
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.io ? c.io : "(null)");
    TestPlug plug(0, c.io);
    EXPECT_EQ(plug.NInChannels(), c.nIn);
    EXPECT_EQ(plug.NOutChannels(), c.nOut);
    for (const LegalQuery& q : c.queries)
      EXPECT_EQ(plug.LegalIO(q.nIn, q.nOut), q.legal) << q.nIn << "-" << q.nOut;
  }
}

TEST(PluginBaseChannels, ConnectionRangesAreClampedToTheChannelList)
{
  struct Case
  {
    int idx, n;
    std::vector<bool> connectedAfterDisconnect;  // of 4 channels, all connected before
  };
  const Case cases[] = {
    {0, 4, {false, false, false, false}},
    {1, 2, {true, false, false, true}},
    {-1, 2, {false, true, true, true}},
    {3, 5, {true, true, true, false}},
    {-5, 3, {true, true, true, true}},
    {2, -1, {true, true, true, true}},
    {4, 1, {true, true, true, true}},
    {INT_MAX, INT_MAX, {true, true, true, true}},
    {0, INT_MAX, {false, false, false, false}},
    {-2, INT_MAX, {false, false, false, false}},
    {INT_MIN, INT_MAX, {true, true, true, true}},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(testing::Message() << "idx " << c.idx << " n " << c.n);
    std::unique_ptr<TestPlug> plug(TestPlug::MakeConnected(0, "4-4"));
    plug->SetInputChannelConnections(c.idx, c.n, false);
    plug->SetOutputChannelConnections(c.idx, c.n, false);
    for (int i = 0; i < 4; ++i)
    {
      EXPECT_EQ(plug->IsInChannelConnected(i), c.connectedAfterDisconnect[i]) << "input " << i;
      EXPECT_EQ(plug->IsOutChannelConnected(i), c.connectedAfterDisconnect[i]) << "output " << i;
    }
    EXPECT_FALSE(plug->IsInChannelConnected(-1));
    EXPECT_FALSE(plug->IsInChannelConnected(4));
  }
}

// With the default pass-through, output c shows what the plug-in read as input c.
TEST(PluginBaseChannels, DisconnectedInputsReadSilenceAndConnectedOnesTakeHostBuffersInOrder)
{
  for (Precision p : kAllPrecisions)
  {
    SCOPED_TRACE(Name(p));
    std::unique_ptr<TestPlug> plug(TestPlug::MakeConnected(0, "2-2"));
    const int n = 16;
    {
      // A first block with both inputs connected leaves converted audio in the scratch buffers.
      HostBlock warm(2, 2, n);
      RunBlock(*plug, warm, p, n);
    }
    plug->SetInputChannelConnections(0, 1, false);

    HostBlock b(1, 2, n, 0.0f);  // the host hands one input buffer: the one connected channel's
    RunBlock(*plug, b, p, n);
    for (int s = 0; s < n; ++s)
    {
      EXPECT_EQ(b.Out(p, 0, s), 0.0) << "frame " << s;         // input 0: silence
      EXPECT_EQ(b.Out(p, 1, s), 1000.0 + s) << "frame " << s;  // input 1: host's first
    }
  }
}

TEST(PluginBaseChannels, DisconnectedOutputNeverReachesTheHost)
{
  for (Precision p : kAllPrecisions)
  {
    SCOPED_TRACE(Name(p));
    std::unique_ptr<TestPlug> plug(TestPlug::MakeConnected(0, "2-2"));
    plug->SetOutputChannelConnections(0, 1, false);
    const int n = 8;
    HostBlock b(2, 2, n, 0.0f);
    RunBlock(*plug, b, p, n);
    for (int s = 0; s < n; ++s)
    {
      EXPECT_EQ(b.Out(p, 0, s), 2000.0 + s);  // the connected output 1 takes the first buffer
      EXPECT_EQ(b.Out(p, 1, s), 0.0);         // the second host buffer is not touched
    }
  }
}

TEST(PluginBaseChannels, DefaultPassThroughCopiesMatchingChannelsAndSilencesTheRestAlsoInPlace)
{
  struct Case
  {
    const char* io;
    int nIn, nOut;
    bool inPlace;
    std::vector<double> expectedLastFrame;  // per output channel
  };
  const Case cases[] = {
    {"1-2", 1, 2, false, {1063.0, 0.0}},    {"2-1", 2, 1, false, {1063.0}},
    {"2-2", 2, 2, false, {1063.0, 2063.0}}, {"0-2", 0, 2, false, {0.0, 0.0}},
    {"2-2", 2, 2, true, {1063.0, 2063.0}},  {"1-1", 1, 1, true, {1063.0}},
  };
  for (const Case& c : cases)
    for (Precision p : {Precision::kFloat, Precision::kDouble})
    {
      SCOPED_TRACE(testing::Message() << c.io << (c.inPlace ? " in place " : " ") << Name(p));
      std::unique_ptr<TestPlug> plug(TestPlug::MakeConnected(0, c.io));
      HostBlock b(c.nIn, c.nOut, 64, 0.0f);
      RunBlock(*plug, b, p, 64, c.inPlace);
      for (int o = 0; o < c.nOut; ++o)
        EXPECT_EQ(b.Out(p, o, 63, c.inPlace), c.expectedLastFrame[o]) << "output " << o;
    }
}

// A plug-in whose output is a fixed double that single precision cannot hold.
class ConstantPlug : public TestPlug
{
public:
  double mValue;
  ConstantPlug(double value)
    : TestPlug(0, "1-1")
    , mValue(value)
  {
    SetInputChannelConnections(0, 1, true);
    SetOutputChannelConnections(0, 1, true);
    SetBlockSize(16);
  }
  void ProcessDoubleReplacing(double**, double** outputs, int nFrames) override
  {
    for (int s = 0; s < nFrames; ++s)
      outputs[0][s] = mValue;
  }
};

TEST(PluginBaseChannels, AccumulatingRoundsEachSampleToFloatBeforeAdding)
{
  // 2^-24 + 2^-49 rounds to 2^-24 in single precision; 1 + 2^-24 is then a tie that rounds to 1.
  // Summed in double first, the same value would round up to 1 + 2^-23.
  const double v = std::ldexp(1.0, -24) + std::ldexp(1.0, -49);
  struct Case
  {
    float hostValue;
    float expected;
  };
  const Case cases[] = {
    {1.0f, 1.0f},
    {0.0f, (float)v},
    {-1.0f, -1.0f + (float)v},
  };
  for (const Case& c : cases)
  {
    ConstantPlug plug(v);
    HostBlock b(1, 1, 4, c.hostValue);
    RunBlock(plug, b, Precision::kFloatAccumulating, 4);
    for (int s = 0; s < 4; ++s)
      EXPECT_EQ(b.fout[0][s], c.expected) << "host value " << c.hostValue;
  }
}

// Counts heap calls, failing every call after the first `allowed` ones.
struct AllocGate
{
  static int sAllowed;
  static int sCalls;
  static void* Realloc(void* ptr, size_t size)
  {
    if (sCalls++ >= sAllowed)
      return nullptr;
    return realloc(ptr, size);
  }
};
int AllocGate::sAllowed = 0;
int AllocGate::sCalls = 0;

class AllocGateScope
{
public:
  explicit AllocGateScope(int allowed)
  {
    AllocGate::sAllowed = allowed;
    AllocGate::sCalls = 0;
    mPrev = QvSetReallocHook(&AllocGate::Realloc);
  }
  ~AllocGateScope() { QvSetReallocHook(mPrev); }

private:
  QvReallocFn mPrev;
};

TEST(PluginBaseChannels, ABlockLongerThanTheBlockSizeGrowsTheBuffersAndIsProcessedWhole)
{
  struct Case
  {
    int blockSize;
    int nFrames;
  };
  const Case cases[] = {{64, 65}, {64, 1000}, {1024, 4096}, {1, 2}};
  for (const Case& c : cases)
    for (Precision p : kAllPrecisions)
    {
      SCOPED_TRACE(testing::Message() << c.blockSize << " -> " << c.nFrames << " " << Name(p));
      std::unique_ptr<TestPlug> plug(TestPlug::MakeConnected(0, "2-2"));
      plug->SetBlockSize(c.blockSize);
      plug->SetInputChannelConnections(1, 1, false);  // exercises the scratch of both kinds
      plug->SetOutputChannelConnections(1, 1, false);
      HostBlock b(1, 2, c.nFrames, 0.0f);
      RunBlock(*plug, b, p, c.nFrames);
      EXPECT_EQ(plug->GetBlockSize(), c.nFrames);
      for (int s = 0; s < c.nFrames; ++s)
        ASSERT_EQ(b.Out(p, 0, s), 1000.0 + s) << "frame " << s;
      // The buffers grew once: later blocks up to that size allocate nothing.
      AllocGateScope gate(0);
      for (int n : {c.nFrames, 1})
      {
        HostBlock later(1, 2, n, 0.0f);
        RunBlock(*plug, later, p, n);
        EXPECT_EQ(later.Out(p, 0, n - 1), 1000.0 + n - 1);
      }
      EXPECT_EQ(AllocGate::sCalls, 0);
    }
}

TEST(PluginBaseChannels, BlockSizeIsStoredOnlyWhenEveryBufferWasResized)
{
  // 2-2 has four scratch buffers; growing from 1024 to 8192 frames needs one allocation each.
  for (int allowed : {0, 1, 3, 4})
  {
    SCOPED_TRACE(testing::Message() << allowed << " allocations succeed");
    std::unique_ptr<TestPlug> plug(TestPlug::MakeConnected(0, "2-2"));
    {
      AllocGateScope gate(allowed);
      plug->SetBlockSize(8192);
    }
    const bool resized = allowed >= 4;
    EXPECT_EQ(plug->GetBlockSize(), resized ? 8192 : 1024);
    {
      AllocGateScope gate(0);
      EXPECT_EQ(plug->EnsureBlockSize(8192), resized);
    }
    // Whatever size was kept, a block of it is processed within the buffers.
    const int n = plug->GetBlockSize();
    for (Precision p : kAllPrecisions)
    {
      plug->SetInputChannelConnections(1, 1, false);
      HostBlock b(1, 2, n, 0.0f);
      RunBlock(*plug, b, p, n);
      EXPECT_EQ(b.Out(p, 0, n - 1), 1000.0 + n - 1);
      EXPECT_EQ(b.Out(p, 1, n - 1), 0.0);
      plug->SetInputChannelConnections(1, 1, true);
    }
  }
}

TEST(PluginBaseChannels, InvalidBlocksLeaveTheHostBuffersAlone)
{
  struct Case
  {
    const char* what;
    int nFrames;
    bool nullInputs;
    bool nullOutputs;
  };
  const Case cases[] = {
    {"no frames", 0, false, false},
    {"negative frames", -5, false, false},
    {"more frames than the block size", 1025, false, false},
    {"null input array", 16, true, false},
    {"null output array", 16, false, true},
  };
  for (const Case& c : cases)
    for (Precision p : kAllPrecisions)
    {
      SCOPED_TRACE(testing::Message() << c.what << " " << Name(p));
      std::unique_ptr<TestPlug> plug(TestPlug::MakeConnected(0, "2-2"));
      const int n = c.nFrames > 0 ? c.nFrames : 1;
      HostBlock b(2, 2, n, -7.0f);
      if (p == Precision::kDouble)
      {
        plug->AttachInputBuffers(0, 2, c.nullInputs ? (double**)nullptr : b.dinPtrs.data(),
                                 c.nFrames);
        plug->AttachOutputBuffers(0, 2, c.nullOutputs ? (double**)nullptr : b.doutPtrs.data());
        plug->ProcessBuffers(0.0, c.nullInputs || c.nullOutputs ? 0 : c.nFrames);
      }
      else
      {
        plug->AttachInputBuffers(0, 2, c.nullInputs ? (float**)nullptr : b.finPtrs.data(),
                                 c.nFrames);
        plug->AttachOutputBuffers(0, 2, c.nullOutputs ? (float**)nullptr : b.foutPtrs.data());
        const int frames = c.nullInputs || c.nullOutputs ? 0 : c.nFrames;
        if (p == Precision::kFloat)
          plug->ProcessBuffers(0.0f, frames);
        else
          plug->ProcessBuffersAccumulating(0.0f, frames);
      }
      for (int ch = 0; ch < 2; ++ch)
        for (int s = 0; s < n; ++s)
          ASSERT_EQ(b.Out(p, ch, s), -7.0);
    }
}

TEST(PluginBaseChannels, NullChannelBuffersFromTheHostAreSilenceOrDropped)
{
  for (Precision p : kAllPrecisions)
  {
    SCOPED_TRACE(Name(p));
    std::unique_ptr<TestPlug> plug(TestPlug::MakeConnected(0, "2-2"));
    HostBlock b(2, 2, 8, 0.0f);
    b.finPtrs[0] = nullptr;
    b.dinPtrs[0] = nullptr;
    b.foutPtrs[1] = nullptr;
    b.doutPtrs[1] = nullptr;
    RunBlock(*plug, b, p, 8);
    for (int s = 0; s < 8; ++s)
      EXPECT_EQ(b.Out(p, 0, s), 0.0);
  }
}

TEST(PluginBaseChannels, LimitToStereoDisconnectsChannelsFromTheThirdOn)
{
  struct Case
  {
    const char* io;
    std::vector<bool> in, out;
  };
  const Case cases[] = {
    {"4-6", {true, true, false, false}, {true, true, false, false, false, false}},
    {"2-2", {true, true}, {true, true}},
    {"1-3", {true}, {true, true, false}},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.io);
    std::unique_ptr<TestPlug> plug(TestPlug::MakeConnected(0, c.io));
    plug->LimitToStereoIO();
    ASSERT_EQ(plug->NInChannels(), (int)c.in.size());
    ASSERT_EQ(plug->NOutChannels(), (int)c.out.size());
    for (size_t i = 0; i < c.in.size(); ++i)
      EXPECT_EQ(plug->IsInChannelConnected((int)i), c.in[i]) << "input " << i;
    for (size_t i = 0; i < c.out.size(); ++i)
      EXPECT_EQ(plug->IsOutChannelConnected((int)i), c.out[i]) << "output " << i;
  }
}

TEST(NChanDelayLine, OutputIsTheInputDelayedByTheDelayTime)
{
  struct Case
  {
    int nIn, nOut, delay, nFrames;
    bool inPlace;
  };
  const Case cases[] = {
    {2, 2, 3, 20, false}, {2, 2, 4, 9, false}, {1, 2, 5, 12, false},
    {2, 1, 1, 6, false},  {2, 2, 7, 30, true}, {2, 2, 0, 5, false},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(testing::Message() << c.nIn << "-" << c.nOut << " delay " << c.delay);
    NChanDelayLine dl(c.nIn, c.nOut);
    ASSERT_TRUE(dl.SetDelayTime(c.delay));
    HostBlock b(c.nIn, c.nOut, c.nFrames, 0.0f);
    double** outs = c.inPlace ? b.dinPtrs.data() : b.doutPtrs.data();
    // Two half blocks: the delay carries across block boundaries.
    const int half = c.nFrames / 2;
    std::vector<double*> in2, out2;
    for (int ch = 0; ch < c.nIn; ++ch)
      in2.push_back(b.dinPtrs[ch] + half);
    for (int ch = 0; ch < c.nOut; ++ch)
      out2.push_back(outs[ch] + half);
    dl.ProcessBlock(b.dinPtrs.data(), outs, half);
    dl.ProcessBlock(in2.data(), out2.data(), c.nFrames - half);
    const int nCh = c.nIn < c.nOut ? c.nIn : c.nOut;
    for (int ch = 0; ch < nCh; ++ch)
      for (int s = 0; s < c.nFrames; ++s)
      {
        const double expected = s < c.delay ? 0.0 : (ch + 1) * 1000.0 + s - c.delay;
        ASSERT_EQ(outs[ch][s], expected) << "channel " << ch << " frame " << s;
      }
  }
}

}  // namespace
