#include "framework/base/Log.h"
#include "framework/base/LogPlatform.h"
#include "framework/base/StrCopy.h"

#include <atomic>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

std::atomic<DebugSinkFn> gDebugSink{&PlatformDebugOutput};

const int kDbgBufSize = 4096;
const int kDbgMaxChars = kDbgBufSize - 3;  // room for "\r\n" and the terminator

}  // namespace

DebugSinkFn SetDebugSink(DebugSinkFn sink)
{
  return gDebugSink.exchange(sink ? sink : &PlatformDebugOutput);
}

void DBGMSG(const char* format, ...)
{
  char buf[kDbgBufSize] = {};
  va_list args;
  va_start(args, format);
  int n = vsnprintf(buf, (size_t)kDbgMaxChars + 1, format, args);
  va_end(args);
  // The result is the length the whole text would have had (or negative on some run-times when it
  // was cut): the end is never beyond what the buffer took.
  if (n < 0 || n > kDbgMaxChars)
    n = (int)strnlen(buf, (size_t)kDbgMaxChars);
  while (n > 0 && isspace((unsigned char)buf[n - 1]))
    buf[--n] = '\0';
  buf[n++] = '\r';
  buf[n++] = '\n';
  buf[n] = '\0';
  gDebugSink.load()(buf);
}

void Trace(const char*, int, const char*, ...) {}

bool IsWhitespace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

void ToLower(char* dest, const char* src, int destSize)
{
  if (!dest || destSize < 1)
    return;
  int i = 0;
  if (src)
    for (; i < destSize - 1 && src[i]; ++i)
      dest[i] = (char)tolower((unsigned char)src[i]);
  dest[i] = '\0';
}

int UtcOffsetMinutes(const struct tm& local, const struct tm& utc)
{
  int offset = (local.tm_hour * 60 + local.tm_min) - (utc.tm_hour * 60 + utc.tm_min);
  int d = local.tm_yday - utc.tm_yday;
  if (d != 0)
  {
    // Across a year boundary the day-of-year difference is large: Jan 1 vs Dec 31 is one day.
    if (d >= 2)
      d = -1;
    else if (d < -1)
      d = 1;
    offset += d * 1440;
  }
  return offset;
}

const char* CurrentTime()
{
  static thread_local char sTimeStr[32];
  struct tm local = {}, utc = {};
  if (!PlatformLocalAndUtc(time(nullptr), &local, &utc))
  {
    sTimeStr[0] = '\0';
    return sTimeStr;
  }
  char buf[20];  // "YYYYMMDD HH:MM " and room to spare
  if (!strftime(buf, sizeof(buf), "%Y%m%d %H:%M ", &local))
    buf[0] = '\0';
  const int offset = UtcOffsetMinutes(local, utc);
  const unsigned a = (unsigned)(offset < 0 ? -offset : offset);
  snprintf(sTimeStr, sizeof(sTimeStr), "%s%c%02u%02u", buf, offset < 0 ? '-' : '+', (a / 60) % 100,
           a % 60);
  return sTimeStr;
}

void CompileTimestamp(const char* date, const char* time, QvString* out)
{
  if (!out)
    return;
  // "[" and the month with the day, the character after the month dropped: a one-digit day loses
  // its padding blank ("[Jan 5"), a two-digit day joins the month ("[Dec25").
  out->Set("[");
  if (date)
    out->Append(date, 6);
  out->DeleteSub(4, 1);
  // A blank and the time cut to hours and minutes, within 12 characters.
  out->Append(" ");
  const int room = 12 - out->GetLength();
  if (time && room > 0)
    out->Append(time, room);
  out->Append("]");
}

const char* AppendTimestamp(const char* date, const char* time, const char* cStr)
{
  static QvString str;
  QvString stamp;
  CompileTimestamp(date, time, &stamp);
  str.Set(cStr ? cStr : "");
  str.Append(" ");
  str.Append(stamp.Get());
  return str.Get();
}

const char* VSTOpcodeStr(int) { return ""; }
const char* AUSelectStr(int) { return ""; }
const char* AUPropertyStr(int) { return ""; }
const char* AUScopeStr(int) { return ""; }
