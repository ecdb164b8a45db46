#pragma once

// RIFF/WAVE reading and writing.
//
// Reads PCM (8, 16, 24, 32 bits), IEEE float (32, 64 bits), also in the extensible header; writes
// 16- or 24-bit PCM or 32-bit float. Input is untrusted: every size is checked against the bytes
// actually present, a data chunk that claims more than the file holds is cut to what is there, and
// failures come back as false with a reason.

#include <cstdint>
#include <string>
#include <vector>

#include "tools/vsthost/audio_buffer.h"

namespace vsthost {

enum class WavFormat
{
  Pcm16,
  Pcm24,
  Float32
};

// "pcm16", "pcm24", "float32" (also "16", "24", "float").
bool parseWavFormat(const std::string& text, WavFormat* out);

struct WavData
{
  AudioBuffer audio;
  int sampleRate = 0;
  int bitsPerSample = 0;
  bool isFloat = false;
};

bool parseWav(const uint8_t* bytes, size_t size, WavData* out, std::string* error);
bool readWavFile(const std::string& path, WavData* out, std::string* error);

// Samples beyond -1..1 are clipped for PCM; NaN is written as 0.
std::vector<uint8_t> encodeWav(const AudioBuffer& audio, int sampleRate, WavFormat format);
bool writeWavFile(const std::string& path, const AudioBuffer& audio, int sampleRate,
                  WavFormat format, std::string* error);

// Whole-file helpers, also used for chunk files.
bool readFileBytes(const std::string& path, std::vector<uint8_t>* out, std::string* error);
bool writeFileBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error);

}  // namespace vsthost
