// Whole renders: the output does not depend on how the host cuts blocks or which processing
// callback it uses; every factory preset renders as checked in; and nothing a host sends makes the
// output non-finite.
#include "effect/ParameterTable.h"
#include "effect/dsp/AvxCode.h"
#include "tests/support/QuorvalentHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

// Same input and transport, blocks of 1, 32, 512, 4096 and random sizes, each callback: the same
// output (the float callbacks give the same values rounded to float). At 32768 Hz and 120 BPM
// every block start is exact in binary.
TEST(QuorvalentRender, OutputDoesNotDependOnBlocksOrCallback)
{
  struct Note
  {
    int frame, status, key, velocity;
  };
  struct Case
  {
    const char* what;
    int program;
    bool midiMode;
    std::vector<Note> notes;
  };
  const Case cases[] = {
    {"sequencer, Spastics", 24, false, {}},
    {"sequencer, Falling Drops", 0, false, {}},
    {"MIDI notes, Chill",
     21,
     true,
     {{100, 0x90, 60, 100},
      {4099, 0x90, 64, 90},
      {9000, 0x80, 64, 0},
      {9001, 0x90, 62, 80},
      {30000, 0x90, 62, 0},
      {40960, 0x91, 70, 127},
      {65535, 0x80, 70, 0},
      {65536, 0x90, 71, 1}}},
  };
  const int frames = 70000;  // past the first bar start
  for (const Case& c : cases)
  {
    auto renderWith = [&](const std::function<int()>& blockSize, ProcessCall call) {
      QuorvalentHost host(32768.0, 4096);
      host.selectProgram(c.program);
      host.setParam(kStepMode, c.midiMode);
      for (const Note& n : c.notes)
        host.midi(n.frame, n.status, n.key, n.velocity);
      return host.render(testSignal((size_t)frames, 7), blockSize, call);
    };
    const Stereo ref = renderWith([] { return 4096; }, ProcessCall::Double);
    std::mt19937 rng(11);
    const std::function<int()> sizes[] = {[] { return 1; }, [] { return 32; }, [] { return 512; },
                                          [] { return 4096; },
                                          [&rng] { return (int)(rng() % 700); }};
    for (ProcessCall call :
         {ProcessCall::Double, ProcessCall::Replacing, ProcessCall::Accumulating})
      for (size_t s = 0; s < 5; ++s)
      {
        SCOPED_TRACE(testing::Message() << c.what << ", callback " << (int)call << ", sizes " << s);
        const Stereo out = renderWith(sizes[s], call);
        for (int i = 0; i < frames; ++i)
        {
          const bool same = call == ProcessCall::Double
                              ? out.l[i] == ref.l[i] && out.r[i] == ref.r[i]
                              : out.l[i] == (float)ref.l[i] && out.r[i] == (float)ref.r[i];
          ASSERT_TRUE(same) << "frame " << i;
        }
      }
  }
}

// Every factory preset matches its golden render: 16384 frames at 32768 Hz and 240 BPM (eight
// sixteenth steps) from a bar start, every eighth frame kept. A golden file holds "QG", the scale
// exponent k and a zero byte, then the kept frames as 16-bit little-endian stereo pairs at 2^-k a
// step, k chosen per preset to fit its peak. The tolerance of one step covers the rounding (half a
// step) and the last-bit differences of the two targets' mathematics libraries.
// QV_UPDATE_GOLDEN=1 writes the files anew.
TEST(QuorvalentRender, FactoryPresetsMatchTheirGoldenRenders)
{
  const int frames = 16384, keep = 8;
  const bool update = getenv("QV_UPDATE_GOLDEN") != nullptr;
  for (int program = 0; program < 27; ++program)
  {
    SCOPED_TRACE(testing::Message() << "program " << program);
    QuorvalentHost host(32768.0, 512);
    host.transport.tempo = 240.0;
    host.selectProgram(program);
    const Stereo out = host.render(testSignal(frames, 3), 512);
    std::vector<double> v;
    for (int i = 0; i < frames; i += keep)
      v.insert(v.end(), {out.l[i], out.r[i]});

    char path[512];
    snprintf(path, sizeof(path), "%s/golden/quorvalent/program-%02d.s16", QV_TEST_DATA, program);
    std::vector<unsigned char> bytes(4 + v.size() * 2);
    if (update)
    {
      double peak = 0.0;
      for (double x : v)
        peak = std::fmax(peak, std::fabs(x));
      int k = 0;
      while (k < 40 && peak * std::ldexp(1.0, k + 1) < 32000.0)
        ++k;
      bytes[0] = 'Q', bytes[1] = 'G', bytes[2] = (unsigned char)k;
      for (size_t i = 0; i < v.size(); ++i)
      {
        const long q = std::lround(std::ldexp(v[i], k));
        bytes[4 + i * 2] = (unsigned char)(q & 0xFF);
        bytes[5 + i * 2] = (unsigned char)((q >> 8) & 0xFF);
      }
    }
    FILE* f = fopen(path, update ? "wb" : "rb");
    ASSERT_NE(f, nullptr) << path;
    const size_t done =
      update ? fwrite(bytes.data(), 1, bytes.size(), f) : fread(bytes.data(), 1, bytes.size(), f);
    fclose(f);
    ASSERT_TRUE(done == bytes.size() && bytes[0] == 'Q' && bytes[1] == 'G') << path;

    double worst = 0.0;
    size_t at = 0;
    for (size_t i = 0; i < v.size(); ++i)
    {
      const int16_t g = (int16_t)(bytes[4 + i * 2] | (bytes[5 + i * 2] << 8));
      const double d = std::fabs(std::ldexp(v[i], bytes[2]) - g);
      if (d > worst)
        worst = d, at = i;
    }
    EXPECT_LE(worst, 1.0) << "at frame " << at / 2 * keep << ", scale 2^" << (int)bytes[2];
  }
}

namespace {

// Renders that exercise every part of the engine, with their outputs folded into one 64-bit hash
// of their bits (FNV-1a): every program in sequencer mode; MIDI notes; each filter and LFO shape,
// with and without modulation; a tempo, meter and rate that put step starts, bar lines and
// envelope stage ends at odd places; blocks of random sizes.
uint64_t exactRenders(VectorCode code)
{
  uint64_t hash = 14695981039346656037ull;
  auto fold = [&hash](const Stereo& out) {
    for (size_t i = 0; i < out.size(); ++i)
      for (double x : {out.l[i], out.r[i]})
      {
        unsigned char bytes[sizeof x];
        std::memcpy(bytes, &x, sizeof x);
        for (unsigned char b : bytes)
          hash = (hash ^ b) * 1099511628211ull;
      }
  };
  struct Case
  {
    int program;
    double rate, tempo;
    int numerator;
    std::vector<std::pair<int, double>> params;  // plain values, set before the render
    bool notes;
  };
  std::vector<Case> cases;
  for (int program = 0; program < kNumPrograms; ++program)
    cases.push_back({program, 32768.0, 240.0, 4, {}, false});
  for (int filterType = 0; filterType < 3; ++filterType)
    for (int lfoType = 0; lfoType < 3; ++lfoType)
      cases.push_back({(filterType * 3 + lfoType) % 27,
                       44100.0,
                       133.0,
                       filterType == 1 ? 3 : 4,
                       {{kFilterType, filterType},
                        {kAmpLFOType, lfoType},
                        {kFilterLFOType, 2 - lfoType},
                        {kAmpLFODepth, 0.7},
                        {kFilterLFODepth, lfoType == 1 ? 0.0 : 0.4},
                        {kFilterResonance, 0.8}},
                       false});
  cases.push_back({21, 48000.0, 120.0, 4, {{kStepMode, 1}}, true});
  cases.push_back({0, 48000.0, 97.0, 4, {{kStepMode, 1}, {kFilterEnvAmount, 0.3}}, true});

  for (const Case& c : cases)
  {
    QuorvalentHost host(c.rate, 1024);
    QuorvalentTestAccess::useVectorCode(host.plug(), code);
    host.transport.tempo = c.tempo;
    host.transport.numerator = c.numerator;
    host.selectProgram(c.program);
    for (const auto& p : c.params)
      host.setParam(p.first, p.second);
    if (c.notes)
      for (int frame : {50, 3000, 7001, 12000, 12001, 20000})
        host.midi(frame, frame % 3 ? 0x90 : 0x80, 60 + frame % 5, 100);
    std::mt19937 rng((uint32_t)c.program + 1);
    fold(host.render(testSignal(24000, 5), [&rng] { return 1 + (int)(rng() % 1024); }));
  }
  return hash;
}

}  // namespace

// The engine's output is bit for bit what it was when this hash was recorded: its arithmetic
// keeps the order and rounding of every operation (no contraction into fused multiply-adds, no
// reassociation), on both targets. QV_UPDATE_GOLDEN=1 prints the current hash.
TEST(QuorvalentRender, OutputIsBitForBitAsRecorded)
{
  const uint64_t kRecorded = 0x40361baacd68d81full;
  const uint64_t hash = exactRenders(processorVectorCode());
  if (getenv("QV_UPDATE_GOLDEN"))
    printf("exact renders: 0x%016llxull\n", (unsigned long long)hash);
  EXPECT_EQ(hash, kRecorded) << std::hex << hash;
}

// Each version of the quiet runs the processor runs (AVX, AVX-512) computes the bits of their
// baseline version.
TEST(QuorvalentRender, EveryVectorVersionGivesTheBaselineBits)
{
  if (processorVectorCode() == VectorCode::kBaseline)
    GTEST_SKIP() << "the processor does not run AVX";
  const uint64_t baseline = exactRenders(VectorCode::kBaseline);
  for (VectorCode code : {VectorCode::kAvx, VectorCode::kAvx512})
  {
    if (code > processorVectorCode())
      break;
    EXPECT_EQ(exactRenders(code), baseline) << "version " << (int)code;
  }
}

// Whatever a host sends (parameter values out of range or not numbers, stray MIDI, broken time
// information, odd sample rates and block sizes, program changes), finite input gives finite output.
TEST(QuorvalentRender, HostInputNeverMakesTheOutputNonFinite)
{
  const double odd[] = {NAN, INFINITY, -INFINITY, -1.0, 0.0, 1e-300, 1e300, -1e300, 0.5};
  for (uint32_t seed = 1; seed <= 4; ++seed)
  {
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    std::mt19937 rng(seed);
    auto pick = [&](double lo, double hi) {
      return rng() % 4 == 0 ? odd[rng() % 9] : lo + (hi - lo) * (double)(rng() % 100000) / 1e5;
    };
    QuorvalentHost host(44100.0, 512);
    for (int iteration = 0; iteration < 600; ++iteration)
    {
      VstTimeInfo& t = host.transport.raw;
      switch (rng() % 8)
      {
        case 0:
        case 1:
          host.effect()->setParameter(host.effect(), (int)(rng() % kNumParams), (float)pick(-2, 3));
          break;
        case 2:
          host.midi((int)(rng() % 700) - 50, (int)(rng() % 256), (int)(rng() % 256),
                    (int)(rng() % 256));
          break;
        case 3:
          host.transport.rawTime = rng() % 2 == 0;
          t.samplePos = pick(0.0, 1e7);
          t.ppqPos = pick(0.0, 1000.0);
          t.tempo = pick(1.0, 400.0);
          t.timeSigNumerator = (int)(rng() % 20) - 2;
          t.timeSigDenominator = (int)(rng() % 20) - 2;
          t.flags = (int)(rng() % 0x4000);
          break;
        case 4:
          host.setSampleRate(rng() % 3 == 0 ? pick(1.0, 2e5) : 44100.0);
          break;
        case 5:
          host.selectProgram((int)(rng() % 30));
          break;
        default:
          break;
      }
      const int n = (int)(rng() % 513);
      const ProcessCall call = (ProcessCall)(rng() % 3);
      const Stereo out = host.render(testSignal((size_t)n, seed), n, call);
      for (int i = 0; i < n; ++i)
        ASSERT_TRUE(std::isfinite(out.l[i]) && std::isfinite(out.r[i]))
          << "iteration " << iteration << ", frame " << i;
    }
  }
}
