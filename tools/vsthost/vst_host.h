#pragma once

// The host side of the interface: what the host answers when a plug-in calls it.
//
// One `VstHost` serves any number of `PluginInstance`s. Its answers are configurable so that tests
// can play a particular host: the product and vendor strings and version it identifies itself
// with, the process level, its capability answers, the answer to events sent out, and the time
// information (a running `Transport`, optionally overridden field by field or withheld).
// Everything the plug-in reports goes to the `HostLog`.
//
// Configure it from the thread that drives the plug-ins, not while a plug-in is running on another.

#include <array>
#include <functional>
#include <map>
#include <string>

#include "framework/vst/abi/aeffect.h"
#include "framework/vst/abi/time_info.h"
#include "tools/vsthost/host_log.h"
#include "tools/vsthost/transport.h"

namespace vsthost {

class PluginInstance;

struct HostIdentity
{
  std::string vendor = "Quorvalent";
  std::string product = "vsthost";  // empty: audioMasterGetProductString writes nothing, answers 0
  VstIntPtr vendorVersion = 1000;
  // Bytes written at most, NUL included. The interface allows 64; a larger limit plays a host
  // that overruns it.
  size_t stringLimit = 64;
};

// Replaces fields of the time information after the transport filled them, to play hosts that
// report odd values (a tempo of 0, no validity flags, a negative position).
class TimeOverrides
{
public:
  enum Field
  {
    SamplePos,
    SampleRate,
    PpqPos,
    Tempo,
    BarStartPos,
    CycleStartPos,
    CycleEndPos,
    TimeSigNumerator,
    TimeSigDenominator,
    Flags,
    kFieldCount
  };
  static bool fieldByName(const std::string& name, Field* out);

  void set(Field field, double value)
  {
    mSet[field] = true;
    mValue[field] = value;
  }
  void clear()
  {
    mSet.fill(false);
    mAnswerNull = false;
  }
  // audioMasterGetTime answers null.
  void setAnswerNull(bool answerNull) { mAnswerNull = answerNull; }
  bool answerNull() const { return mAnswerNull; }
  void apply(VstTimeInfo* info) const;

private:
  std::array<bool, kFieldCount> mSet{};
  std::array<double, kFieldCount> mValue{};
  bool mAnswerNull = false;
};

class VstHost
{
public:
  VstHost();

  HostIdentity& identity() { return mIdentity; }
  Transport& transport() { return mTransport; }
  TimeOverrides& timeOverrides() { return mTimeOverrides; }
  HostLog& log() { return mLog; }

  // A fixed answer to audioMasterGetCurrentProcessLevel, or -1 (the default) for what a host
  // would say: realtime (offline when rendering offline) inside a processing callback, user
  // otherwise.
  void setProcessLevel(VstIntPtr level) { mProcessLevel = level; }
  void setOffline(bool offline) { mOffline = offline; }
  bool offline() const { return mOffline; }

  // Answers to audioMasterCanDo; texts not set answer 0.
  void setCanDo(const std::string& capability, VstIntPtr answer) { mCanDo[capability] = answer; }
  // Answers audioMasterGetTime with what `source` returns (null: no time information) instead of
  // the transport's; an empty source restores the transport.
  void setTimeSource(std::function<VstTimeInfo*()> source) { mTimeSource = std::move(source); }
  // Answer to audioMasterProcessEvents (1, "taken", by default).
  void setProcessEventsAnswer(VstIntPtr answer) { mProcessEventsAnswer = answer; }

  // Answers one host opcode for `instance` (null while no instance is known to the caller).
  VstIntPtr answer(PluginInstance* instance, AEffect* effect, VstInt32 opcode, VstInt32 index,
                   VstIntPtr value, void* ptr, float opt);

private:
  VstIntPtr answerTime(VstIntPtr filter);
  void logEvents(const void* ptr);

  HostIdentity mIdentity;
  Transport mTransport;
  TimeOverrides mTimeOverrides;
  HostLog mLog;
  VstIntPtr mProcessLevel = -1;
  bool mOffline = false;
  std::map<std::string, VstIntPtr> mCanDo;
  VstIntPtr mProcessEventsAnswer = 1;
  std::function<VstTimeInfo*()> mTimeSource;
  VstTimeInfo mTimeAnswer{};  // valid until the next audioMasterGetTime
};

}  // namespace vsthost
