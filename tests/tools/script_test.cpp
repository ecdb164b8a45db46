// The script language: a session against the independent test plug-in must print the same
// transcript on every target, and failures must be counted, never silently passed.

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "tools/vsthost/script_interpreter.h"
#include "tools/vsthost/vst_host.h"

using namespace vsthost;

namespace {

struct ScriptRun
{
  std::string transcript;
  int failures;
};

ScriptRun runScript(const std::string& script)
{
  VstHost host;
  std::ostringstream out;
  ScriptInterpreter interpreter(host, out);
  interpreter.setDefaultPlugin(QV_RAW_GAIN);
  std::istringstream in(script);
  const int failures = interpreter.run(in);
  return {out.str(), failures};
}

}  // namespace

TEST(HostScript, SessionTranscriptIsExact)
{
  const std::string script = R"(# a whole session
hostProduct "Test Host"
load
expect VSTPluginMain
open
setSampleRate 48000
setBlockSize 256
resume
paramName 0
paramDisplay 0
param 0 0.25
getParam 0
expect 0.25
string2param 1 On
paramDisplay 1
programNameIndexed 1
program 1
getProgram
expect 1
setProgramName "Soft one"
programName
programs
opcode 29 1 0 text
opcode 33 0 0 pin
opcode 34 1 0 pin
opcode 51 0 0 str=receiveVstEvents
opcode 51 0 0 str=nothing
opcode 69 0 arrout arrout
opcode 50 0x484F5354 0 text
log
clearLog
getChunk program
setChunk program last
expect 1
opcode 24 1 3 last
signal sine:1000:0.5
blocks random:1:100:3
midi on:10:60:100
midi off:300:60
process 500
process 500 double
prefill 1
process 100 accumulating
sample 0 0
opcode 50 0x4D494449 0 text
log
calls 7
close
getParam 0
)";
  const std::string expected = R"(hostProduct "Test Host"
load -> VSTPluginMain
expect VSTPluginMain -> ok
open -> 0
setSampleRate 48000
setBlockSize 256
resume
paramName 0 -> "Gain"
paramDisplay 0 -> "1.000"
param 0 0.25
getParam 0 -> 0.25
expect 0.25 -> ok
string2param 1 On -> 1
paramDisplay 1 -> "On"
programNameIndexed 1 -> 1 "Half"
program 1
getProgram -> 1
expect 1 -> ok
setProgramName "Soft one"
programName -> "Soft one"
programs
programs: 2
  0 "Unity"
  1 "Soft one" (current)
opcode 29 1 0 text -> 1 "Soft one"
opcode 33 0 0 pin -> 1 flags=3 arrangement=1 label="Raw In 1" short=""
opcode 34 1 0 pin -> 1 flags=1 arrangement=1 label="Raw Out 2" short=""
opcode 51 0 0 str=receiveVstEvents -> 1
opcode 51 0 0 str=nothing -> -1
opcode 69 0 arrout arrout -> 0 in=null out=null
opcode 50 0x484F5354 0 text -> 1 "Test Host|1000|1"
log -> beginEdit 0; automate 0 0.25; endEdit 0; updateDisplay; ioChanged; sizeWindow 320 200
  beginEdit 0
  automate 0 0.25
  endEdit 0
  updateDisplay
  ioChanged
  sizeWindow 320 200
clearLog
getChunk program -> 40
setChunk program last -> 1
expect 1 -> ok
opcode 24 1 3 last -> 0
signal sine:1000:0.5
blocks random:1:100:3
midi on:10:60:100
midi off:300:60
process 500 -> ch0 peak=0.25 rms=0.177313 ch1 peak=0.25 rms=0.177313
process 500 double -> ch0 peak=0.25 rms=0.176688 ch1 peak=0.25 rms=0.176688
prefill 1
process 100 accumulating -> ch0 peak=1.25 rms=1.00823 ch1 peak=1.25 rms=1.00823
sample 0 0 -> 0.783493638
opcode 50 0x4D494449 0 text -> 1 "2"
log -> processEvents midi 10 90 3C 64; processEvents midi 9 80 3C 00
  processEvents midi 10 90 3C 64
  processEvents midi 9 80 3C 00
calls 7 -> 24
close
getParam 0 -> error: the instance is closed
)";
  const ScriptRun run = runScript(script);
  EXPECT_EQ(run.transcript, expected);
  EXPECT_EQ(run.failures, 1);
}

TEST(HostScript, FailuresAreCountedAndReported)
{
  const struct
  {
    const char* script;
    int failures;
    const char* mark;  // printed on the failing line
  } cases[] = {
    {"frobnicate\n", 1, "-> error: unknown command"},
    {"getParam 0\n", 1, "-> error: no plug-in loaded"},
    {"load\ngetParam 0\nexpect 0.6\n", 1, "-> FAIL: got 0.5"},
    {"load\nparamName 0\nexpect \"Gain\"\nexpect Gain\n", 1, "-> FAIL: got \"Gain\""},
    {"load\ngetParam 0\nexpectNear 0.49 0.02\nexpectNear 0.4 0.05\n", 1, "-> FAIL: got 0.5"},
    {"load\nexpect 0.5\n", 1, "-> FAIL: got VSTPluginMain"},
    {"load /no/such/plugin.so\n", 1, "-> error: cannot load library"},
    {"param 0\n", 1, "-> error: usage: param I V"},
    {"echo \"unterminated\n", 1, "-> error: unterminated quote"},
    {"load\nopcode 8 0 0 bogus\n", 1, "-> error: unknown PTR kind"},
    {"load\nopen\nsetBlockSize 64\nblocks 128\nprocess 256\n", 1, "-> error: blocks larger than"},
    {"load\nopen\nprocess 10 sideways\n", 1, "-> error: replacing, accumulating or double"},
    {"load\nsample 0 0\n", 1, "-> error: no such sample"},
    {"timeOverride nonsense 1\n", 1, "-> error: unknown field"},
    // An error is an answer a script can expect; the error itself still counts.
    {"getProgram\nexpect error: no plug-in loaded\n", 1, "expect error: no plug-in loaded -> ok"},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.script);
    const ScriptRun run = runScript(c.script);
    EXPECT_EQ(run.failures, c.failures) << run.transcript;
    if (*c.mark)
    {
      EXPECT_NE(run.transcript.find(c.mark), std::string::npos) << run.transcript;
    }
  }
}
