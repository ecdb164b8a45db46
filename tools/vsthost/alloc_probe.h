#pragma once

// Counts the heap allocations a thread makes while it is armed: the test of a plug-in's promise
// that its processing callbacks never allocate.
//
// The counting hooks into the allocator of the sanitizer runtimes (AddressSanitizer,
// ThreadSanitizer), which already interpose every allocation of the process, a plug-in's
// included. Elsewhere (plain native builds, Windows) `available` is false and nothing is counted.
// Only allocations made on the armed thread count, and none made while a `AllocProbePause` lives
// on it (the host's own work inside its callbacks).

#include <cstdint>

namespace vsthost {

class AllocProbe
{
public:
  static bool available();

  AllocProbe();  // arms the calling thread
  ~AllocProbe();
  AllocProbe(const AllocProbe&) = delete;
  AllocProbe& operator=(const AllocProbe&) = delete;

  // Allocations counted since this probe armed the thread.
  uint64_t count() const;

private:
  uint64_t mStart;
};

class AllocProbePause
{
public:
  AllocProbePause();
  ~AllocProbePause();
  AllocProbePause(const AllocProbePause&) = delete;
  AllocProbePause& operator=(const AllocProbePause&) = delete;

  // True while a pause lives on the calling thread: a program counting allocations its own way
  // leaves out the host's work too.
  static bool active();
};

}  // namespace vsthost
