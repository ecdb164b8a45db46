#pragma once
// Debug and time utilities: the debug message sink, the trace hook, a millisecond timer, the local
// time stamp with its UTC offset, build stamps and two string helpers. Nothing here writes a file.

#include "framework/base/QvString.h"

#include <ctime>

#if defined(__MINGW32__)
#define QV_PRINTF_FMT(f, a) __attribute__((format(gnu_printf, f, a)))
#elif defined(__GNUC__)
#define QV_PRINTF_FMT(f, a) __attribute__((format(printf, f, a)))
#else
#define QV_PRINTF_FMT(f, a)
#endif

// Receives each finished debug line (the text ends in "\r\n"). The platform's sink sends it to the
// debugger on Windows and to stderr elsewhere.
typedef void (*DebugSinkFn)(const char* text);

// Installs sink (null restores the platform's sink) and returns the previous one. Process-wide.
DebugSinkFn SetDebugSink(DebugSinkFn sink);

// Formats into a 4096-byte buffer (at most 4093 characters), strips trailing whitespace, appends
// "\r\n" and hands the line to the sink.
void DBGMSG(const char* format, ...) QV_PRINTF_FMT(1, 2);

// The trace hook: does nothing. Entry points call it through TRACE, which evaluates none of its
// arguments unless the build defines QV_TRACE (they are still type-checked).
void Trace(const char* file, int line, const char* format, ...) QV_PRINTF_FMT(3, 4);

#if defined(QV_TRACE)
#define TRACE(...) Trace(__FILE__, __LINE__, __VA_ARGS__)
#else
#define TRACE(...)                                                                                 \
  do                                                                                               \
  {                                                                                                \
    if (false)                                                                                     \
      Trace(__FILE__, __LINE__, __VA_ARGS__);                                                      \
  } while (0)
#endif

// Fires at most once per period. Ticks are milliseconds from a monotonic source; tests may inject
// their own source.
class Timer
{
public:
  typedef unsigned int (*TickFn)();

  // The platform's millisecond tick: monotonic.
  static unsigned int DefaultTicks();

  explicit Timer(TickFn ticks = &DefaultTicks)
    : mTicks(ticks)
    , mLastTick(ticks())
  {}

  // True, renewing the stored tick, when more than seconds * 1000 ticks passed since the last.
  bool Every(double seconds)
  {
    const int elapsed = (int)(mTicks() - mLastTick);  // unsigned difference survives wrap-around
    if ((double)elapsed > seconds * 1000.0)
    {
      mLastTick = mTicks();
      return true;
    }
    return false;
  }

private:
  TickFn mTicks;
  unsigned int mLastTick;
};

// True for blank, tab, line feed and carriage return.
bool IsWhitespace(char c);

// Writes the lower case of src into dest (destSize bytes, terminator included), truncating.
void ToLower(char* dest, const char* src, int destSize);

// The local date and time with the UTC offset: "YYYYMMDD HH:MM +HHMM". The text lives in a buffer
// of the calling thread, valid until its next call.
const char* CurrentTime();

// Minutes that local time is ahead of UTC, from the two broken-down forms of the same instant.
int UtcOffsetMinutes(const struct tm& local, const struct tm& utc);

// Builds a bracketed stamp from the compiler's __DATE__ ("Mon DD YYYY", day padded with a blank)
// and __TIME__ ("hh:mm:ss"): "[Jan 5 12:34]" for a one-digit day, "[Dec25 12:34]" for two digits.
void CompileTimestamp(const char* date, const char* time, QvString* out);

// cStr, a blank and the CompileTimestamp of date and time, in a static string: valid until the next
// call, not re-entrant.
const char* AppendTimestamp(const char* date, const char* time, const char* cStr);

// Names for trace output; empty for every argument.
const char* VSTOpcodeStr(int opCode);
const char* AUSelectStr(int select);
const char* AUPropertyStr(int propID);
const char* AUScopeStr(int scope);
