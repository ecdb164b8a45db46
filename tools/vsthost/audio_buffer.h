#pragma once

// Planar multichannel audio in double precision: what the host reads from WAV files and signal
// generators, hands to the plug-in (converted per block for the single-precision callbacks) and
// writes back out.

#include <cstddef>
#include <vector>

namespace vsthost {

class AudioBuffer
{
public:
  AudioBuffer() = default;
  AudioBuffer(int channels, size_t frames) { resize(channels, frames); }

  // Every channel holds `frames` zeros afterwards.
  void resize(int channels, size_t frames)
  {
    mData.assign(channels > 0 ? static_cast<size_t>(channels) : 0,
                 std::vector<double>(frames, 0.0));
    mFrames = frames;
  }

  int channels() const { return static_cast<int>(mData.size()); }
  size_t frames() const { return mFrames; }
  double* channel(int c) { return mData[static_cast<size_t>(c)].data(); }
  const double* channel(int c) const { return mData[static_cast<size_t>(c)].data(); }

private:
  std::vector<std::vector<double>> mData;
  size_t mFrames = 0;
};

}  // namespace vsthost
