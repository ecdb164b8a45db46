// WAV files: what the host writes reads back within the encoding's precision, files written by
// other tools are understood, and malformed files are refused without reading out of bounds.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "tools/vsthost/wav_file.h"

using namespace vsthost;

namespace {

using Bytes = std::vector<uint8_t>;

void put16(Bytes& b, uint32_t v)
{
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(Bytes& b, uint32_t v)
{
  put16(b, v & 0xFFFF);
  put16(b, v >> 16);
}

Bytes chunk(const char* id, const Bytes& body, uint32_t declaredSize = 0xFFFFFFFEu)
{
  Bytes b(id, id + 4);
  put32(b, declaredSize == 0xFFFFFFFEu ? static_cast<uint32_t>(body.size()) : declaredSize);
  b.insert(b.end(), body.begin(), body.end());
  if (body.size() & 1)
    b.push_back(0);
  return b;
}

Bytes fmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, uint16_t blockAlign = 0)
{
  Bytes b;
  const uint16_t align = blockAlign ? blockAlign : static_cast<uint16_t>(channels * bits / 8);
  put16(b, tag);
  put16(b, channels);
  put32(b, rate);
  put32(b, rate * align);
  put16(b, align);
  put16(b, bits);
  return b;
}

Bytes extensibleFmt(uint16_t subTag, uint16_t channels, uint32_t rate, uint16_t bits)
{
  Bytes b = fmt(0xFFFE, channels, rate, bits);
  put16(b, 22);
  put16(b, bits);
  put32(b, 3);
  put16(b, subTag);
  const uint8_t guidRest[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
  b.insert(b.end(), guidRest, guidRest + 14);
  return b;
}

Bytes riff(const std::vector<Bytes>& chunks)
{
  Bytes body = {'W', 'A', 'V', 'E'};
  for (const Bytes& c : chunks)
    body.insert(body.end(), c.begin(), c.end());
  Bytes b = {'R', 'I', 'F', 'F'};
  put32(b, static_cast<uint32_t>(body.size()));
  b.insert(b.end(), body.begin(), body.end());
  return b;
}

Bytes floatBytes(std::initializer_list<float> values)
{
  Bytes b;
  for (float f : values)
  {
    uint32_t u;
    std::memcpy(&u, &f, 4);
    put32(b, u);
  }
  return b;
}

}  // namespace

TEST(HostWavFile, WrittenFilesReadBackWithinTheirPrecision)
{
  const std::vector<double> values = {0.0, 0.5, -0.25, 1e-3, -1.0, 0.999, 1.0, 1.5, -2.0, NAN};
  const struct
  {
    WavFormat format;
    int bits;
    bool isFloat;
    double step;  // one quantisation step
  } cases[] = {
    {WavFormat::Pcm16, 16, false, 1.0 / 32768},
    {WavFormat::Pcm24, 24, false, 1.0 / 8388608},
    {WavFormat::Float32, 32, true, 0.0},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.bits);
    for (int frames : {static_cast<int>(values.size()), 1, 0})
    {  // 1 frame of 3 x 24 bits is odd-sized
      AudioBuffer audio(3, static_cast<size_t>(frames));
      for (int ch = 0; ch < 3; ++ch)
        for (int i = 0; i < frames; ++i)
          audio.channel(ch)[i] = values[(static_cast<size_t>(i) + ch) % values.size()];
      const Bytes bytes = encodeWav(audio, 48000, c.format);
      WavData back;
      std::string error;
      ASSERT_TRUE(parseWav(bytes.data(), bytes.size(), &back, &error)) << error;
      EXPECT_EQ(back.sampleRate, 48000);
      EXPECT_EQ(back.bitsPerSample, c.bits);
      EXPECT_EQ(back.isFloat, c.isFloat);
      ASSERT_EQ(back.audio.channels(), 3);
      ASSERT_EQ(back.audio.frames(), static_cast<size_t>(frames));
      for (int ch = 0; ch < 3; ++ch)
      {
        for (int i = 0; i < frames; ++i)
        {
          const double in = audio.channel(ch)[i];
          const double out = back.audio.channel(ch)[i];
          if (std::isnan(in))
          {
            EXPECT_TRUE(c.isFloat ? std::isnan(out) : out == 0.0);
          }
          else if (c.isFloat)
          {
            EXPECT_EQ(out, static_cast<double>(static_cast<float>(in)));
          }
          else
          {
            const double clipped = std::max(-1.0, std::min(1.0 - c.step, in));
            EXPECT_NEAR(out, clipped, c.step / 2) << in;
          }
        }
      }
    }
  }
}

TEST(HostWavFile, ReadsEncodingsAndLayoutsOfOtherWriters)
{
  Bytes pcm8 = {0x80, 0xC0, 0x00, 0xFF};
  Bytes pcm32;
  put32(pcm32, 0x40000000u);
  put32(pcm32, 0xC0000000u);
  Bytes f64(16, 0);
  const double d[2] = {0.125, -0.5};
  std::memcpy(f64.data(), d, 16);
  const struct
  {
    const char* what;
    Bytes file;
    int channels;
    size_t frames;
    double first, last;
  } cases[] = {
    {"8-bit unsigned", riff({chunk("fmt ", fmt(1, 1, 8000, 8)), chunk("data", pcm8)}), 1, 4, 0.0,
     127.0 / 128},
    {"32-bit integer", riff({chunk("fmt ", fmt(1, 2, 44100, 32)), chunk("data", pcm32)}), 2, 1, 0.5,
     -0.5},
    {"64-bit float", riff({chunk("fmt ", fmt(3, 1, 44100, 64)), chunk("data", f64)}), 1, 2, 0.125,
     -0.5},
    {"extensible float",
     riff(
       {chunk("fmt ", extensibleFmt(3, 2, 96000, 32)), chunk("data", floatBytes({0.25f, -0.75f}))}),
     2, 1, 0.25, -0.75},
    {"odd-sized chunk before the format",
     riff({chunk("LIST", Bytes(5, 'x')), chunk("fmt ", fmt(1, 1, 8000, 8)), chunk("data", pcm8)}),
     1, 4, 0.0, 127.0 / 128},
    {"data size left unset by a streaming writer",
     riff({chunk("fmt ", fmt(1, 1, 8000, 8)), chunk("data", pcm8, 0xFFFFFFFFu)}), 1, 4, 0.0,
     127.0 / 128},
    {"a partial frame at the end is dropped",
     riff({chunk("fmt ", fmt(1, 2, 8000, 8)), chunk("data", Bytes{0x80, 0x80, 0xFF})}), 2, 1, 0.0,
     0.0},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.what);
    WavData out;
    std::string error;
    ASSERT_TRUE(parseWav(c.file.data(), c.file.size(), &out, &error)) << error;
    ASSERT_EQ(out.audio.channels(), c.channels);
    ASSERT_EQ(out.audio.frames(), c.frames);
    EXPECT_EQ(out.audio.channel(0)[0], c.first);
    EXPECT_EQ(out.audio.channel(c.channels - 1)[c.frames - 1], c.last);
  }
}

TEST(HostWavFile, RefusesMalformedFiles)
{
  const Bytes data = chunk("data", Bytes(8, 0));
  const struct
  {
    const char* what;
    Bytes file;
  } cases[] = {
    {"empty", {}},
    {"not RIFF", Bytes{'R', 'I', 'F', 'X', 0, 0, 0, 0, 'W', 'A', 'V', 'E'}},
    {"no chunks", riff({})},
    {"no data", riff({chunk("fmt ", fmt(1, 1, 8000, 16))})},
    {"data before format", riff({data, chunk("fmt ", fmt(1, 1, 8000, 16))})},
    {"format chunk too short", riff({chunk("fmt ", Bytes(14, 0)), data})},
    {"format chunk larger than the file", riff({chunk("fmt ", fmt(1, 1, 8000, 16), 1000)})},
    {"no channels", riff({chunk("fmt ", fmt(1, 0, 8000, 16, 2)), data})},
    {"zero sample rate", riff({chunk("fmt ", fmt(1, 1, 0, 16)), data})},
    {"block alignment disagrees", riff({chunk("fmt ", fmt(1, 2, 8000, 16, 2)), data})},
    {"12-bit samples", riff({chunk("fmt ", fmt(1, 1, 8000, 12, 2)), data})},
    {"16-bit float", riff({chunk("fmt ", fmt(3, 1, 8000, 16)), data})},
    {"compressed", riff({chunk("fmt ", fmt(2, 1, 8000, 16)), data})},
    {"extensible without its extension", riff({chunk("fmt ", fmt(0xFFFE, 1, 8000, 16)), data})},
    {"chunk size overflowing the file", riff({chunk("LIST", Bytes(4, 0), 0xFFFFFFF0u)})},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.what);
    WavData out;
    std::string error;
    // A copy of exactly the file's size, so that a read past its end is caught by the sanitizer.
    std::vector<uint8_t> exact(c.file);
    EXPECT_FALSE(parseWav(exact.data(), exact.size(), &out, &error));
    EXPECT_FALSE(error.empty());
  }
}
