#pragma once

// A line-oriented language for driving a plug-in through the host, one request per line, so that
// tests can script dispatcher sessions and compare their printed transcripts.
//
// Every command line is echoed; a command with an answer prints it after " -> ", and reports
// (info, params, programs, log) follow on lines of their own. `expect` checks the answer of the
// latest command that gave one, an error answer included. Failed commands and unmet expectations print "-> error: ..." or
// "-> FAIL: ..." and are counted; the script goes on. '#' starts a comment (except in `expect`,
// which takes the rest of its line literally). The commands are listed by `help` and in
// `scriptHelp()`.

#include <istream>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/vsthost/audio_buffer.h"
#include "tools/vsthost/event_list.h"
#include "tools/vsthost/host_window.h"
#include "tools/vsthost/plugin_instance.h"
#include "tools/vsthost/renderer.h"
#include "tools/vsthost/signal_generator.h"
#include "tools/vsthost/vst_host.h"

namespace vsthost {

const char* scriptHelp();

class ScriptInterpreter
{
public:
  ScriptInterpreter(VstHost& host, std::ostream& out);
  ~ScriptInterpreter();

  // The library `load` takes when given no path.
  void setDefaultPlugin(const std::string& path) { mDefaultPlugin = path; }

  // Runs every line; answers the number of failures.
  int run(std::istream& in);
  // Runs one line; false when it failed.
  bool runLine(const std::string& line);

  int failures() const { return mFailures; }
  const std::string& lastAnswer() const { return mAnswer; }
  PluginInstance* plugin() { return mPlugin.get(); }
  const AudioBuffer& lastOutput() const { return mOutput; }

  struct Command;

private:
  friend const char* scriptHelp();
  static const std::vector<Command>& commands();

  using Args = std::vector<std::string>;
  bool requirePlugin();
  bool fail(const std::string& why);
  bool answer(const std::string& text);

  // Host configuration.
  bool cmdHostProduct(const Args& a);
  bool cmdHostVendor(const Args& a);
  bool cmdHostVendorVersion(const Args& a);
  bool cmdHostStringLimit(const Args& a);
  bool cmdHostProcessLevel(const Args& a);
  bool cmdHostOffline(const Args& a);
  bool cmdHostCanDo(const Args& a);
  bool cmdHostEventsAnswer(const Args& a);
  bool cmdTempo(const Args& a);
  bool cmdTimeSig(const Args& a);
  bool cmdTransport(const Args& a);
  bool cmdLocate(const Args& a);
  bool cmdLoop(const Args& a);
  bool cmdTimeOverride(const Args& a);
  bool cmdTimeNull(const Args& a);
  // Instance lifecycle.
  bool cmdLoad(const Args& a);
  bool cmdUnload(const Args& a);
  bool cmdOpen(const Args& a);
  bool cmdClose(const Args& a);
  bool cmdSetSampleRate(const Args& a);
  bool cmdSetBlockSize(const Args& a);
  bool cmdResume(const Args& a);
  bool cmdSuspend(const Args& a);
  // Parameters and programs.
  bool cmdParam(const Args& a);
  bool cmdGetParam(const Args& a);
  bool cmdParamName(const Args& a);
  bool cmdParamLabel(const Args& a);
  bool cmdParamDisplay(const Args& a);
  bool cmdString2Param(const Args& a);
  bool cmdProgram(const Args& a);
  bool cmdGetProgram(const Args& a);
  bool cmdProgramName(const Args& a);
  bool cmdSetProgramName(const Args& a);
  bool cmdProgramNameIndexed(const Args& a);
  bool cmdCanDo(const Args& a);
  bool cmdGetChunk(const Args& a);
  bool cmdSetChunk(const Args& a);
  bool cmdOpcode(const Args& a);
  // Events and audio.
  bool cmdMidi(const Args& a);
  bool cmdSysex(const Args& a);
  bool cmdSendEvents(const Args& a);
  bool cmdSignal(const Args& a);
  bool cmdBlocks(const Args& a);
  bool cmdPrefill(const Args& a);
  bool cmdProcess(const Args& a);
  bool cmdSample(const Args& a);
  bool cmdIdle(const Args& a);
  // Reports and checks.
  bool cmdInfo(const Args& a);
  bool cmdParams(const Args& a);
  bool cmdPrograms(const Args& a);
  bool cmdLog(const Args& a);
  bool cmdClearLog(const Args& a);
  bool cmdCalls(const Args& a);
  bool cmdExpect(const Args& a);
  bool cmdExpectNear(const Args& a);
  bool cmdEcho(const Args& a);
  bool cmdHelp(const Args& a);

  void reconfigureTransport();

  VstHost& mHost;
  std::ostream& mOut;
  std::string mDefaultPlugin;
  std::unique_ptr<PluginInstance> mPlugin;
  std::unique_ptr<Renderer> mRenderer;

  int mFailures = 0;
  int mLine = 0;
  std::string mAnswer;         // answer of the previous command with one
  std::string mPending;        // answer of the running command
  std::string mRestOfLine;     // raw text after the command word, for `expect`
  std::ostringstream mDetail;  // lines a command prints below its own

  TransportSettings mTransportSettings;
  SignalSpec mSignal;
  uint64_t mSignalFrame = 0;
  std::vector<TimedEvent> mQueued;
  EventList mSentEvents;  // kept alive until the next block, as the interface requires
  BlockPlan mBlocks;
  bool mBlocksSet = false;
  double mPrefill = 0.0;
  AudioBuffer mOutput;
  std::vector<uint8_t> mLastChunk;
  std::unique_ptr<HostWindow> mWindow;  // made on first use, for effEditOpen
};

}  // namespace vsthost
