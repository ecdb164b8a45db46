#pragma once
// BoundaryGuard: the edge between a C host and the plug-in's C++. Every function the host calls
// runs its work through Run, and so does every window procedure of the editor (the window system
// calls them, often from the host's message loop): no exception unwinds into the host's or the
// system's frames; one that arrives there is stopped, counted and reported later instead of
// vanishing.
//
// Why counted and not logged where it happens: the processing callbacks run on the audio thread,
// which does no I/O. Counting is lock-free; only Report, called on the dispatcher thread, writes
// the log line.
//
// Careful: the count is process-wide (every instance of the library shares it), so any instance's
// dispatcher reports what any instance stopped. `where` must be a string literal: it is kept by
// address until the report.

#include "framework/base/Log.h"

#include <atomic>

class BoundaryGuard
{
public:
  // [any thread] fn() and its result; fallback when fn throws, the exception stopped and counted
  // under where.
  template <class R, class FN>
  static R Run(const char* where, R fallback, FN&& fn) noexcept
  {
    try
    {
      return fn();
    }
    catch (...)
    {
      sLastWhere.store(where, std::memory_order_relaxed);
      sStopped.fetch_add(1, std::memory_order_release);
      return fallback;
    }
  }

  // [any thread] fn(); false when it threw, the exception stopped and counted under where.
  template <class FN>
  static bool Completed(const char* where, FN&& fn) noexcept
  {
    return Run(where, false, [&] {
      fn();
      return true;
    });
  }

  // [dispatcher] One log line for the exceptions stopped since the last report; none without any.
  static void Report()
  {
    if (sStopped.load(std::memory_order_relaxed) == 0)
      return;
    const unsigned n = sStopped.exchange(0, std::memory_order_acquire);
    if (n)
      DBGMSG("%u exception%s stopped at the host boundary, the last in %s", n, n == 1 ? "" : "s",
             sLastWhere.load(std::memory_order_relaxed));
  }

  // Stopped and not yet reported.
  static unsigned Pending() { return sStopped.load(std::memory_order_relaxed); }

private:
  static inline std::atomic<unsigned> sStopped{0};
  static inline std::atomic<const char*> sLastWhere{""};
};
