#include "tools/vsthost/wav_file.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace vsthost {
namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatExtensible = 0xFFFE;
constexpr int kMaxChannels = 256;

uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t le32(const uint8_t* p)
{
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void put16(std::vector<uint8_t>& out, uint32_t v)
{
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v)
{
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}
void putTag(std::vector<uint8_t>& out, const char* tag)
{
  for (int i = 0; i < 4; ++i)
    out.push_back(static_cast<uint8_t>(tag[i]));
}

bool fail(std::string* error, const char* why)
{
  if (error)
    *error = why;
  return false;
}

// One sample of the given encoding as a double in -1..1.
double decodeSample(const uint8_t* p, int bits, bool isFloat)
{
  if (isFloat)
  {
    if (bits == 32)
    {
      const uint32_t u = le32(p);
      float f;
      std::memcpy(&f, &u, 4);
      return f;
    }
    const uint64_t u = le32(p) | (static_cast<uint64_t>(le32(p + 4)) << 32);
    double d;
    std::memcpy(&d, &u, 8);
    return d;
  }
  switch (bits)
  {
    case 8:
      return (static_cast<int>(p[0]) - 128) / 128.0;
    case 16:
      return static_cast<int16_t>(le16(p)) / 32768.0;
    case 24:
    {
      int32_t v = static_cast<int32_t>(p[0] | (p[1] << 8) | (p[2] << 16));
      if (v & 0x800000)
        v -= 0x1000000;
      return v / 8388608.0;
    }
    default:
      return static_cast<int32_t>(le32(p)) / 2147483648.0;
  }
}

int32_t quantize(double v, double scale, int32_t lo, int32_t hi)
{
  if (std::isnan(v))
    return 0;
  const double x = std::floor(v * scale + 0.5);
  if (x < lo)
    return lo;
  if (x > hi)
    return hi;
  return static_cast<int32_t>(x);
}

}  // namespace

bool parseWavFormat(const std::string& text, WavFormat* out)
{
  if (text == "pcm16" || text == "16")
    *out = WavFormat::Pcm16;
  else if (text == "pcm24" || text == "24")
    *out = WavFormat::Pcm24;
  else if (text == "float32" || text == "float")
    *out = WavFormat::Float32;
  else
    return false;
  return true;
}

bool parseWav(const uint8_t* bytes, size_t size, WavData* out, std::string* error)
{
  if (size < 12 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0)
    return fail(error, "not a RIFF/WAVE file");

  bool haveFormat = false;
  uint16_t tag = 0, channels = 0, blockAlign = 0, bits = 0;
  uint32_t rate = 0;
  size_t pos = 12;
  while (size - pos >= 8)
  {
    const uint8_t* head = bytes + pos;
    const size_t available = size - pos - 8;
    const size_t chunkSize = le32(head + 4);
    const uint8_t* body = head + 8;
    if (std::memcmp(head, "fmt ", 4) == 0)
    {
      if (chunkSize < 16 || chunkSize > available)
        return fail(error, "truncated format chunk");
      tag = le16(body);
      channels = le16(body + 2);
      rate = le32(body + 4);
      blockAlign = le16(body + 12);
      bits = le16(body + 14);
      if (tag == kFormatExtensible)
      {
        if (chunkSize < 40)
          return fail(error, "truncated extensible format chunk");
        tag = le16(body + 24);  // first two bytes of the sub-format GUID
      }
      haveFormat = true;
    }
    else if (std::memcmp(head, "data", 4) == 0)
    {
      if (!haveFormat)
        return fail(error, "data chunk before format chunk");
      const bool isFloat = tag == kFormatFloat;
      if (tag != kFormatPcm && !isFloat)
        return fail(error, "unsupported sample encoding");
      const bool bitsOk = isFloat ? (bits == 32 || bits == 64)
                                  : (bits == 8 || bits == 16 || bits == 24 || bits == 32);
      if (!bitsOk)
        return fail(error, "unsupported sample size");
      if (channels == 0 || channels > kMaxChannels)
        return fail(error, "bad channel count");
      if (rate == 0 || rate > 0x7FFFFFFF)
        return fail(error, "bad sample rate");
      const size_t frameBytes = static_cast<size_t>(channels) * (bits / 8);
      if (blockAlign != frameBytes)
        return fail(error, "bad block alignment");
      // Streaming writers leave the size unset (0 or 0xFFFFFFFF): read what is there.
      const size_t dataBytes = chunkSize > available ? available : chunkSize;
      const size_t frames = dataBytes / frameBytes;
      out->audio.resize(channels, frames);
      out->sampleRate = static_cast<int>(rate);
      out->bitsPerSample = bits;
      out->isFloat = isFloat;
      const int sampleBytes = bits / 8;
      for (size_t f = 0; f < frames; ++f)
        for (int c = 0; c < channels; ++c)
          out->audio.channel(c)[f] = decodeSample(
            body + f * frameBytes + static_cast<size_t>(c) * sampleBytes, bits, isFloat);
      return true;
    }
    if (chunkSize > available)
      break;
    pos += 8 + chunkSize + (chunkSize & 1);
    if (pos > size)
      break;
  }
  return fail(error, haveFormat ? "no data chunk" : "no format chunk");
}

bool readFileBytes(const std::string& path, std::vector<uint8_t>* out, std::string* error)
{
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f)
    return fail(error, "cannot open file");
  out->clear();
  uint8_t buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
    out->insert(out->end(), buf, buf + n);
  const bool ok = !std::ferror(f);
  std::fclose(f);
  return ok ? true : fail(error, "read error");
}

bool writeFileBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error)
{
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f)
    return fail(error, "cannot create file");
  const bool written =
    bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  const bool closed = std::fclose(f) == 0;
  return (written && closed) ? true : fail(error, "write error");
}

bool readWavFile(const std::string& path, WavData* out, std::string* error)
{
  std::vector<uint8_t> bytes;
  if (!readFileBytes(path, &bytes, error))
    return false;
  return parseWav(bytes.data(), bytes.size(), out, error);
}

std::vector<uint8_t> encodeWav(const AudioBuffer& audio, int sampleRate, WavFormat format)
{
  const bool isFloat = format == WavFormat::Float32;
  const int bits = format == WavFormat::Pcm16 ? 16 : format == WavFormat::Pcm24 ? 24 : 32;
  const uint32_t channels = static_cast<uint32_t>(audio.channels());
  const uint32_t blockAlign = channels * (bits / 8);
  const uint32_t dataBytes = static_cast<uint32_t>(audio.frames() * blockAlign);
  const uint32_t fmtBytes = isFloat ? 18 : 16;
  const uint32_t factBytes = isFloat ? 12 : 0;

  std::vector<uint8_t> out;
  out.reserve(12 + 8 + fmtBytes + factBytes + 8 + dataBytes + 1);
  putTag(out, "RIFF");
  put32(out, 4 + 8 + fmtBytes + factBytes + 8 + dataBytes + (dataBytes & 1));
  putTag(out, "WAVE");
  putTag(out, "fmt ");
  put32(out, fmtBytes);
  put16(out, isFloat ? kFormatFloat : kFormatPcm);
  put16(out, channels);
  put32(out, static_cast<uint32_t>(sampleRate));
  put32(out, static_cast<uint32_t>(sampleRate) * blockAlign);
  put16(out, blockAlign);
  put16(out, static_cast<uint32_t>(bits));
  if (isFloat)
  {
    put16(out, 0);  // no extension
    putTag(out, "fact");
    put32(out, 4);
    put32(out, static_cast<uint32_t>(audio.frames()));
  }
  putTag(out, "data");
  put32(out, dataBytes);
  for (size_t f = 0; f < audio.frames(); ++f)
  {
    for (uint32_t c = 0; c < channels; ++c)
    {
      const double v = audio.channel(static_cast<int>(c))[f];
      if (format == WavFormat::Pcm16)
      {
        put16(out, static_cast<uint16_t>(quantize(v, 32768.0, -32768, 32767)));
      }
      else if (format == WavFormat::Pcm24)
      {
        const uint32_t u = static_cast<uint32_t>(quantize(v, 8388608.0, -8388608, 8388607));
        out.push_back(static_cast<uint8_t>(u));
        out.push_back(static_cast<uint8_t>(u >> 8));
        out.push_back(static_cast<uint8_t>(u >> 16));
      }
      else
      {
        const float fv = static_cast<float>(v);
        uint32_t u;
        std::memcpy(&u, &fv, 4);
        put32(out, u);
      }
    }
  }
  if (dataBytes & 1)
    out.push_back(0);
  return out;
}

bool writeWavFile(const std::string& path, const AudioBuffer& audio, int sampleRate,
                  WavFormat format, std::string* error)
{
  return writeFileBytes(path, encodeWav(audio, sampleRate, format), error);
}

}  // namespace vsthost
