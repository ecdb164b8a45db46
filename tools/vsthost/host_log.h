#pragma once

// What the plug-in told the host: the notifications a test wants to see (automation, edit
// gestures, MIDI wish, display and I/O changes, window size, events sent out), in the order they
// came, and a count of every host opcode called.
//
// Plug-ins may call the host from several threads, so every access takes the log's own lock. The
// log holds at most `kMaxEntries`; past that it counts what it drops.

#include <array>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "framework/vst/abi/platform.h"

namespace vsthost {

struct HostLogEntry
{
  VstInt32 opcode = 0;
  VstInt32 index = 0;
  VstIntPtr value = 0;
  float opt = 0.0f;
  std::string text;  // "automate 3 0.5", "processEvents midi 12 90 3C 64", ...
};

class HostLog
{
public:
  static constexpr size_t kMaxEntries = 100000;
  static constexpr int kCountedOpcodes = 64;

  void add(HostLogEntry entry);
  void countCall(VstInt32 opcode);
  void clear();

  std::vector<HostLogEntry> entries() const;
  // The entries' texts; a run of identical texts becomes one line with " xN" appended.
  std::vector<std::string> lines() const;
  // Calls of one host opcode since the last clear (0 for opcodes outside 0..63).
  uint64_t calls(VstInt32 opcode) const;
  size_t dropped() const;

private:
  mutable std::mutex mLock;
  std::vector<HostLogEntry> mEntries;
  std::array<uint64_t, kCountedOpcodes> mCalls{};
  size_t mDropped = 0;
};

}  // namespace vsthost
