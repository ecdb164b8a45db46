#include "tools/vsthost/script_interpreter.h"

#include <cmath>
#include <cstring>
#include <sstream>

#include "framework/vst/abi/editor.h"
#include "framework/vst/abi/midi_key_name.h"
#include "framework/vst/abi/opcodes.h"
#include "framework/vst/abi/pins.h"
#include "framework/vst/abi/speakers.h"
#include "tools/vsthost/plugin_info.h"
#include "tools/vsthost/text_util.h"
#include "tools/vsthost/wav_file.h"

namespace vsthost {

struct ScriptInterpreter::Command
{
  const char* name;
  size_t minArgs;
  size_t maxArgs;
  bool (ScriptInterpreter::*run)(const Args&);
  const char* usage;
};

using SI = ScriptInterpreter;

const std::vector<SI::Command>& SI::commands()
{
  constexpr size_t kMany = 1000;  // no upper bound on the argument count
  static const std::vector<Command> kCommands = {
    {"hostProduct", 1, 1, &SI::cmdHostProduct,
     "hostProduct TEXT        product string the host reports (\"\" none)"},
    {"hostVendor", 1, 1, &SI::cmdHostVendor,
     "hostVendor TEXT         vendor string the host reports"},
    {"hostVendorVersion", 1, 1, &SI::cmdHostVendorVersion,
     "hostVendorVersion N     host version, decimal"},
    {"hostStringLimit", 1, 1, &SI::cmdHostStringLimit,
     "hostStringLimit N       bytes the host writes at most into a string"},
    {"hostProcessLevel", 1, 1, &SI::cmdHostProcessLevel,
     "hostProcessLevel N|auto answer to the process-level request"},
    {"hostOffline", 1, 1, &SI::cmdHostOffline,
     "hostOffline on|off      automatic process level is offline while processing"},
    {"hostCanDo", 2, 2, &SI::cmdHostCanDo,
     "hostCanDo TEXT N        host's answer to a capability request"},
    {"hostEventsAnswer", 1, 1, &SI::cmdHostEventsAnswer,
     "hostEventsAnswer N      host's answer to events sent to it"},
    {"tempo", 1, 1, &SI::cmdTempo, "tempo BPM"},
    {"timeSig", 1, 1, &SI::cmdTimeSig, "timeSig N/D"},
    {"transport", 1, 1, &SI::cmdTransport, "transport play|stop"},
    {"locate", 2, 2, &SI::cmdLocate, "locate samples N | locate ppq X"},
    {"loop", 1, 2, &SI::cmdLoop, "loop START END (quarter notes) | loop off"},
    {"timeOverride", 1, 2, &SI::cmdTimeOverride, "timeOverride FIELD VALUE | timeOverride clear"},
    {"timeNull", 1, 1, &SI::cmdTimeNull, "timeNull on|off         the time request answers null"},
    {"load", 0, 1, &SI::cmdLoad,
     "load [PATH]             load the plug-in, create an instance -> entry point"},
    {"unload", 0, 0, &SI::cmdUnload,
     "unload                  close the instance, release the library"},
    {"open", 0, 0, &SI::cmdOpen, "open                    effOpen"},
    {"close", 0, 0, &SI::cmdClose, "close                   effClose"},
    {"setSampleRate", 1, 1, &SI::cmdSetSampleRate, "setSampleRate HZ"},
    {"setBlockSize", 1, 1, &SI::cmdSetBlockSize, "setBlockSize N"},
    {"resume", 0, 0, &SI::cmdResume, "resume                  effMainsChanged 1, effStartProcess"},
    {"suspend", 0, 0, &SI::cmdSuspend, "suspend                 effStopProcess, effMainsChanged 0"},
    {"param", 2, 2, &SI::cmdParam, "param I V               setParameter"},
    {"getParam", 1, 1, &SI::cmdGetParam, "getParam I              getParameter -> value"},
    {"paramName", 1, 1, &SI::cmdParamName, "paramName I             -> text"},
    {"paramLabel", 1, 1, &SI::cmdParamLabel, "paramLabel I            -> text"},
    {"paramDisplay", 1, 1, &SI::cmdParamDisplay, "paramDisplay I          -> text"},
    {"string2param", 2, 2, &SI::cmdString2Param,
     "string2param I TEXT     effString2Parameter -> answer"},
    {"program", 1, 1, &SI::cmdProgram, "program N               effSetProgram"},
    {"getProgram", 0, 0, &SI::cmdGetProgram, "getProgram              -> index"},
    {"programName", 0, 0, &SI::cmdProgramName, "programName             -> text"},
    {"setProgramName", 1, 1, &SI::cmdSetProgramName, "setProgramName TEXT"},
    {"programNameIndexed", 1, 1, &SI::cmdProgramNameIndexed,
     "programNameIndexed I    -> answer text"},
    {"canDo", 1, 1, &SI::cmdCanDo, "canDo TEXT              effCanDo -> answer"},
    {"getChunk", 1, 3, &SI::cmdGetChunk, "getChunk bank|program [> FILE] -> size"},
    {"setChunk", 2, 2, &SI::cmdSetChunk, "setChunk bank|program FILE|last -> answer"},
    {"opcode", 4, 5, &SI::cmdOpcode,
     "opcode N INDEX VALUE PTR [OPT] -> answer ...\n"
     "                        VALUE: integer | arr=CHANNELS | arrout\n"
     "                        PTR: null | text | str=TEXT | pin | rect | chunk | last | file=PATH "
     "|\n"
     "                             keyname=PROGRAM:KEY | arr=CHANNELS | arrout | events |\n"
     "                             window (a host window on Windows, null elsewhere)"},
    {"midi", 1, 1, &SI::cmdMidi,
     "midi FRAME:STATUS:D1:D2 | midi on:FRAME:KEY:VEL[:CH] | midi off:FRAME:KEY[:VEL[:CH]]\n"
     "                        queue for the next process (frames from its start)"},
    {"sysex", 2, kMany, &SI::cmdSysex, "sysex FRAME BYTE...      queue a system-exclusive message"},
    {"sendEvents", 0, 0, &SI::cmdSendEvents,
     "sendEvents              effProcessEvents with the queue now -> answer"},
    {"signal", 1, 1, &SI::cmdSignal,
     "signal silence|impulse[:A]|dc[:A]|sine[:F[:A]]|noise[:A[:SEED]]"},
    {"blocks", 1, 1, &SI::cmdBlocks, "blocks N|random:MIN:MAX[:SEED]"},
    {"prefill", 1, 1, &SI::cmdPrefill,
     "prefill V               output buffers hold V before each callback"},
    {"process", 1, 2, &SI::cmdProcess,
     "process N [replacing|accumulating|double] -> per-channel peak, rms"},
    {"sample", 2, 2, &SI::cmdSample,
     "sample CH I             output sample of the last process -> value"},
    {"idle", 1, 1, &SI::cmdIdle,
     "idle N                  N times: effEditIdle, then the window messages"},
    {"info", 0, 0, &SI::cmdInfo, "info                    print identity"},
    {"params", 0, 0, &SI::cmdParams, "params                  print parameters"},
    {"programs", 0, 0, &SI::cmdPrograms, "programs                print program names"},
    {"log", 0, 0, &SI::cmdLog,
     "log                     print the host log -> entries joined by \"; \""},
    {"clearLog", 0, 0, &SI::cmdClearLog, "clearLog"},
    {"calls", 1, 1, &SI::cmdCalls,
     "calls OPCODE            host opcode calls since clearLog -> count"},
    {"expect", 0, kMany, &SI::cmdExpect,
     "expect TEXT             the previous answer is TEXT (numbers compare as numbers)"},
    {"expectNear", 2, 2, &SI::cmdExpectNear,
     "expectNear V TOL        the previous answer is within TOL of V"},
    {"echo", 0, kMany, &SI::cmdEcho, "echo TEXT"},
    {"help", 0, 0, &SI::cmdHelp, "help"},
  };
  return kCommands;
}

namespace {

bool parseOnOff(const std::string& text, bool* out)
{
  if (text == "on")
    *out = true;
  else if (text == "off")
    *out = false;
  else
    return false;
  return true;
}

bool parseIndex(const std::string& text, VstInt32* out)
{
  int64_t v;
  if (!parseInt(text, &v) || v < INT32_MIN || v > INT32_MAX)
    return false;
  *out = static_cast<VstInt32>(v);
  return true;
}

bool parseChunkKind(const std::string& text, bool* program)
{
  if (text == "bank")
    *program = false;
  else if (text == "program")
    *program = true;
  else
    return false;
  return true;
}

std::string trim(const std::string& s)
{
  const size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos)
    return "";
  const size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

void fillArrangement(VstSpeakerArrangement* arr, int channels)
{
  std::memset(arr, 0, sizeof *arr);
  arr->numChannels = channels;
  arr->type = channels == 0   ? kSpeakerArrEmpty
              : channels == 1 ? kSpeakerArrMono
              : channels == 2 ? kSpeakerArrStereo
                              : kSpeakerArrUserDefined;
}

std::string describeArrangement(const VstSpeakerArrangement* arr)
{
  if (!arr)
    return "null";
  return std::to_string(arr->type) + ":" + std::to_string(arr->numChannels);
}

}  // namespace

const char* scriptHelp()
{
  static const std::string text = [] {
    std::string t;
    for (const auto& c : ScriptInterpreter::commands())
      t += std::string("  ") + c.usage + "\n";
    return t;
  }();
  return text.c_str();
}

ScriptInterpreter::ScriptInterpreter(VstHost& host, std::ostream& out)
  : mHost(host)
  , mOut(out)
{
  mTransportSettings = host.transport().settings();
}

ScriptInterpreter::~ScriptInterpreter()
{
  // The instance goes before the window its editor may live in.
  mRenderer.reset();
  mPlugin.reset();
  mWindow.reset();
}

int ScriptInterpreter::run(std::istream& in)
{
  std::string line;
  while (std::getline(in, line))
    runLine(line);
  return mFailures;
}

bool ScriptInterpreter::fail(const std::string& why)
{
  mPending = "error: " + why;
  return false;
}

bool ScriptInterpreter::answer(const std::string& text)
{
  mPending = text;
  return true;
}

bool ScriptInterpreter::requirePlugin()
{
  if (mPlugin && mPlugin->effect())
    return true;
  return fail(mPlugin ? "the instance is closed" : "no plug-in loaded");
}

bool ScriptInterpreter::runLine(const std::string& rawLine)
{
  ++mLine;
  std::vector<std::string> tokens;
  const std::string line = trim(rawLine);
  if (!tokenize(line, &tokens))
  {
    mOut << line << " -> error: unterminated quote\n";
    ++mFailures;
    return false;
  }
  if (tokens.empty())
    return true;

  const Command* command = nullptr;
  for (const auto& c : commands())
    if (tokens[0] == c.name)
      command = &c;
  const Args args(tokens.begin() + 1, tokens.end());
  mPending.clear();
  bool ok = false;
  if (!command)
  {
    fail("unknown command (try help)");
  }
  else if (args.size() < command->minArgs || args.size() > command->maxArgs)
  {
    fail(std::string("usage: ") + command->usage);
  }
  else
  {
    mRestOfLine = trim(line.substr(tokens[0].size()));
    ok = (this->*command->run)(args);
  }
  const bool isCheck =
    command && (command->run == &SI::cmdExpect || command->run == &SI::cmdExpectNear);
  mOut << line;
  if (!mPending.empty())
    mOut << " -> " << mPending;
  mOut << "\n" << mDetail.str();
  mDetail.str("");
  if (!ok)
    ++mFailures;
  if (!isCheck && !mPending.empty())
    mAnswer = mPending;  // errors too: a script may expect one
  return ok;
}

// ---- host configuration -------------------------------------------------------------------------

bool SI::cmdHostProduct(const Args& a)
{
  mHost.identity().product = a[0];
  return true;
}

bool SI::cmdHostVendor(const Args& a)
{
  mHost.identity().vendor = a[0];
  return true;
}

bool SI::cmdHostVendorVersion(const Args& a)
{
  int64_t v;
  if (!parseInt(a[0], &v))
    return fail("not an integer");
  mHost.identity().vendorVersion = static_cast<VstIntPtr>(v);
  return true;
}

bool SI::cmdHostStringLimit(const Args& a)
{
  int64_t v;
  if (!parseInt(a[0], &v) || v < 1 || v > 4096)
    return fail("a size from 1 to 4096");
  mHost.identity().stringLimit = static_cast<size_t>(v);
  return true;
}

bool SI::cmdHostProcessLevel(const Args& a)
{
  int64_t v = -1;
  if (a[0] != "auto" && (!parseInt(a[0], &v) || v < 0))
    return fail("a level >= 0, or auto");
  mHost.setProcessLevel(static_cast<VstIntPtr>(v));
  return true;
}

bool SI::cmdHostOffline(const Args& a)
{
  bool on;
  if (!parseOnOff(a[0], &on))
    return fail("on or off");
  mHost.setOffline(on);
  return true;
}

bool SI::cmdHostCanDo(const Args& a)
{
  int64_t v;
  if (!parseInt(a[1], &v))
    return fail("not an integer");
  mHost.setCanDo(a[0], static_cast<VstIntPtr>(v));
  return true;
}

bool SI::cmdHostEventsAnswer(const Args& a)
{
  int64_t v;
  if (!parseInt(a[0], &v))
    return fail("not an integer");
  mHost.setProcessEventsAnswer(static_cast<VstIntPtr>(v));
  return true;
}

void SI::reconfigureTransport()
{
  Transport& t = mHost.transport();
  TransportSettings s = mTransportSettings;
  s.playing = t.settings().playing;
  s.startSamples = t.samplePos();
  s.startPpq = -1.0;
  t.configure(s, t.sampleRate());
}

bool SI::cmdTempo(const Args& a)
{
  double v;
  if (!parseDouble(a[0], &v) || !(v > 0.0) || !std::isfinite(v))
    return fail("a positive tempo");
  mTransportSettings.tempo = v;
  reconfigureTransport();
  return true;
}

bool SI::cmdTimeSig(const Args& a)
{
  const std::vector<std::string> parts = split(a[0], '/');
  int64_t n, d;
  if (parts.size() != 2 || !parseInt(parts[0], &n) || !parseInt(parts[1], &d) || n < 1 || d < 1 ||
      n > 64 || d > 64)
    return fail("N/D with both from 1 to 64");
  mTransportSettings.numerator = static_cast<int>(n);
  mTransportSettings.denominator = static_cast<int>(d);
  reconfigureTransport();
  return true;
}

bool SI::cmdTransport(const Args& a)
{
  if (a[0] != "play" && a[0] != "stop")
    return fail("play or stop");
  mTransportSettings.playing = a[0] == "play";
  mHost.transport().setPlaying(mTransportSettings.playing);
  return true;
}

bool SI::cmdLocate(const Args& a)
{
  double v;
  if (!parseDouble(a[1], &v) || !std::isfinite(v))
    return fail("not a number");
  if (a[0] == "samples")
    mHost.transport().locateSamples(v);
  else if (a[0] == "ppq")
    mHost.transport().locatePpq(v);
  else
    return fail("samples or ppq");
  return true;
}

bool SI::cmdLoop(const Args& a)
{
  if (a.size() == 1)
  {
    if (a[0] != "off")
      return fail("loop START END, or loop off");
    mTransportSettings.loop = false;
  }
  else
  {
    double start, end;
    if (!parseDouble(a[0], &start) || !parseDouble(a[1], &end) || !(start >= 0.0) || !(end > start))
      return fail("0 <= START < END");
    mTransportSettings.loop = true;
    mTransportSettings.loopStartPpq = start;
    mTransportSettings.loopEndPpq = end;
  }
  reconfigureTransport();
  return true;
}

bool SI::cmdTimeOverride(const Args& a)
{
  if (a.size() == 1)
  {
    if (a[0] != "clear")
      return fail("timeOverride FIELD VALUE, or timeOverride clear");
    const bool wasNull = mHost.timeOverrides().answerNull();
    mHost.timeOverrides().clear();
    mHost.timeOverrides().setAnswerNull(wasNull);
    return true;
  }
  TimeOverrides::Field field;
  if (!TimeOverrides::fieldByName(a[0], &field))
    return fail("unknown field");
  double v;
  int64_t i;
  if (parseInt(a[1], &i))
    v = static_cast<double>(i);
  else if (!parseDouble(a[1], &v))
    return fail("not a number");
  mHost.timeOverrides().set(field, v);
  return true;
}

bool SI::cmdTimeNull(const Args& a)
{
  bool on;
  if (!parseOnOff(a[0], &on))
    return fail("on or off");
  mHost.timeOverrides().setAnswerNull(on);
  return true;
}

// ---- instance lifecycle --------------------------------------------------------------------------

bool SI::cmdLoad(const Args& a)
{
  const std::string path = a.empty() ? mDefaultPlugin : a[0];
  if (path.empty())
    return fail("no plug-in path");
  mRenderer.reset();
  mPlugin.reset();
  std::string error;
  mPlugin = PluginInstance::load(mHost, path, &error);
  if (!mPlugin)
    return fail(error);
  mRenderer.reset(new Renderer(*mPlugin));
  return answer(mPlugin->library().entryName());
}

bool SI::cmdUnload(const Args&)
{
  mRenderer.reset();
  mPlugin.reset();
  return true;
}

bool SI::cmdOpen(const Args&)
{
  if (!requirePlugin())
    return false;
  return answer(std::to_string(mPlugin->dispatch(effOpen)));
}

bool SI::cmdClose(const Args&)
{
  if (!requirePlugin())
    return false;
  mPlugin->close();
  return true;
}

bool SI::cmdSetSampleRate(const Args& a)
{
  double v;
  if (!parseDouble(a[0], &v) || !(v > 0.0) || !std::isfinite(v))
    return fail("a positive rate");
  if (!requirePlugin())
    return false;
  mPlugin->setSampleRate(v);
  mHost.transport().setSampleRate(v);
  return true;
}

bool SI::cmdSetBlockSize(const Args& a)
{
  int64_t v;
  if (!parseInt(a[0], &v) || v < 1 || v > (1 << 20))
    return fail("a size from 1 to 1048576");
  if (!requirePlugin())
    return false;
  mPlugin->setBlockSize(static_cast<int>(v));
  return true;
}

bool SI::cmdResume(const Args&)
{
  if (!requirePlugin())
    return false;
  mPlugin->resume();
  return true;
}

bool SI::cmdSuspend(const Args&)
{
  if (!requirePlugin())
    return false;
  mPlugin->suspend();
  return true;
}

// ---- parameters and programs --------------------------------------------------------------------

bool SI::cmdParam(const Args& a)
{
  VstInt32 i;
  double v;
  if (!parseIndex(a[0], &i) || !parseDouble(a[1], &v))
    return fail("param INDEX VALUE");
  if (!requirePlugin())
    return false;
  mPlugin->setParameter(i, static_cast<float>(v));
  return true;
}

bool SI::cmdGetParam(const Args& a)
{
  VstInt32 i;
  if (!parseIndex(a[0], &i))
    return fail("not an index");
  if (!requirePlugin())
    return false;
  return answer(formatFloat(mPlugin->getParameter(i)));
}

bool SI::cmdParamName(const Args& a)
{
  VstInt32 i;
  if (!parseIndex(a[0], &i))
    return fail("not an index");
  if (!requirePlugin())
    return false;
  return answer(quote(mPlugin->paramName(i)));
}

bool SI::cmdParamLabel(const Args& a)
{
  VstInt32 i;
  if (!parseIndex(a[0], &i))
    return fail("not an index");
  if (!requirePlugin())
    return false;
  return answer(quote(mPlugin->paramLabel(i)));
}

bool SI::cmdParamDisplay(const Args& a)
{
  VstInt32 i;
  if (!parseIndex(a[0], &i))
    return fail("not an index");
  if (!requirePlugin())
    return false;
  return answer(quote(mPlugin->paramDisplay(i)));
}

bool SI::cmdString2Param(const Args& a)
{
  VstInt32 i;
  if (!parseIndex(a[0], &i))
    return fail("not an index");
  if (!requirePlugin())
    return false;
  return answer(std::to_string(mPlugin->stringToParameter(i, a[1])));
}

bool SI::cmdProgram(const Args& a)
{
  VstInt32 i;
  if (!parseIndex(a[0], &i))
    return fail("not an index");
  if (!requirePlugin())
    return false;
  mPlugin->setProgram(i);
  return true;
}

bool SI::cmdGetProgram(const Args&)
{
  if (!requirePlugin())
    return false;
  return answer(std::to_string(mPlugin->program()));
}

bool SI::cmdProgramName(const Args&)
{
  if (!requirePlugin())
    return false;
  return answer(quote(mPlugin->programName()));
}

bool SI::cmdSetProgramName(const Args& a)
{
  if (!requirePlugin())
    return false;
  mPlugin->setProgramName(a[0]);
  return true;
}

bool SI::cmdProgramNameIndexed(const Args& a)
{
  VstInt32 i;
  if (!parseIndex(a[0], &i))
    return fail("not an index");
  if (!requirePlugin())
    return false;
  std::string name;
  const VstIntPtr r = mPlugin->programNameIndexed(i, &name);
  return answer(std::to_string(r) + " " + quote(name));
}

bool SI::cmdCanDo(const Args& a)
{
  if (!requirePlugin())
    return false;
  return answer(std::to_string(mPlugin->canDo(a[0])));
}

bool SI::cmdGetChunk(const Args& a)
{
  bool program;
  if (!parseChunkKind(a[0], &program))
    return fail("bank or program");
  std::string file;
  if (a.size() == 3 && a[1] == ">")
    file = a[2];
  else if (a.size() == 2)
    file = a[1];
  else if (a.size() != 1)
    return fail("getChunk bank|program [> FILE]");
  if (!requirePlugin())
    return false;
  VstIntPtr size = 0;
  mLastChunk = mPlugin->getChunk(program, &size);
  std::string error;
  if (!file.empty() && !writeFileBytes(file, mLastChunk, &error))
    return fail(error);
  return answer(std::to_string(size));
}

bool SI::cmdSetChunk(const Args& a)
{
  bool program;
  if (!parseChunkKind(a[0], &program))
    return fail("bank or program");
  std::vector<uint8_t> bytes;
  std::string error;
  if (a[1] == "last")
    bytes = mLastChunk;
  else if (!readFileBytes(a[1], &bytes, &error))
    return fail(error);
  if (!requirePlugin())
    return false;
  return answer(std::to_string(mPlugin->setChunk(program, bytes)));
}

bool SI::cmdOpcode(const Args& a)
{
  VstInt32 opcode, index;
  if (!parseIndex(a[0], &opcode) || !parseIndex(a[1], &index))
    return fail("opcode N INDEX VALUE PTR [OPT]");
  double opt = 0.0;
  if (a.size() == 5 && !parseDouble(a[4], &opt))
    return fail("OPT is not a number");

  // Everything a pointer argument may point to, alive for the call.
  VstSpeakerArrangement arrIn, arrOut;
  VstSpeakerArrangement* receivedIn = nullptr;
  VstSpeakerArrangement* receivedOut = nullptr;
  std::vector<char> text;
  VstPinProperties pin;
  std::memset(&pin, 0, sizeof pin);
  ERect* rect = nullptr;
  void* chunk = nullptr;
  MidiKeyName key;
  std::memset(&key, 0, sizeof key);
  std::vector<uint8_t> bytes;

  // VALUE
  VstIntPtr value = 0;
  int64_t iv;
  const std::string& v = a[2];
  if (v.rfind("arr=", 0) == 0)
  {
    if (!parseInt(v.substr(4), &iv) || iv < 0 || iv > 8)
      return fail("arr=CHANNELS, 0 to 8");
    fillArrangement(&arrIn, static_cast<int>(iv));
    value = reinterpret_cast<VstIntPtr>(&arrIn);
  }
  else if (v == "arrout")
  {
    value = reinterpret_cast<VstIntPtr>(&receivedIn);
  }
  else if (parseInt(v, &iv))
  {
    value = static_cast<VstIntPtr>(iv);
  }
  else
  {
    return fail("VALUE: integer, arr=CHANNELS or arrout");
  }

  // PTR
  const std::string& p = a[3];
  void* ptr = nullptr;
  enum class Show
  {
    None,
    Text,
    Pin,
    Rect,
    Chunk,
    Key,
    ArrOut
  } show = Show::None;
  if (p == "null")
  {}
  else if (p == "text")
  {
    text.assign(1024, '\0');
    ptr = text.data();
    show = Show::Text;
  }
  else if (p.rfind("str=", 0) == 0)
  {
    text.assign(p.begin() + 4, p.end());
    text.push_back('\0');
    ptr = text.data();
  }
  else if (p == "pin")
  {
    ptr = &pin;
    show = Show::Pin;
  }
  else if (p == "rect")
  {
    ptr = &rect;
    show = Show::Rect;
  }
  else if (p == "chunk")
  {
    ptr = &chunk;
    show = Show::Chunk;
  }
  else if (p == "last" || p.rfind("file=", 0) == 0)
  {
    std::string error;
    if (p == "last")
      bytes = mLastChunk;
    else if (!readFileBytes(p.substr(5), &bytes, &error))
      return fail(error);
    if (bytes.empty())
      bytes.push_back(0);
    ptr = bytes.data();
  }
  else if (p.rfind("keyname=", 0) == 0)
  {
    const std::vector<std::string> parts = split(p.substr(8), ':');
    int64_t prog, k;
    if (parts.size() != 2 || !parseInt(parts[0], &prog) || !parseInt(parts[1], &k))
      return fail("keyname=PROGRAM:KEY");
    key.thisProgramIndex = static_cast<VstInt32>(prog);
    key.thisKeyNumber = static_cast<VstInt32>(k);
    ptr = &key;
    show = Show::Key;
  }
  else if (p.rfind("arr=", 0) == 0)
  {
    if (!parseInt(p.substr(4), &iv) || iv < 0 || iv > 8)
      return fail("arr=CHANNELS, 0 to 8");
    fillArrangement(&arrOut, static_cast<int>(iv));
    ptr = &arrOut;
  }
  else if (p == "arrout")
  {
    ptr = &receivedOut;
  }
  else if (p == "window")
  {
    if (!mWindow)
      mWindow.reset(new HostWindow());
    ptr = mWindow->handle();
  }
  else if (p == "events")
  {
    mSentEvents.clear();
    sortEvents(&mQueued);
    for (const TimedEvent& e : mQueued)
      mSentEvents.add(e, static_cast<VstInt32>(e.frame));
    mQueued.clear();
    ptr = mSentEvents.vstEvents();
  }
  else
  {
    return fail("unknown PTR kind");
  }
  if (v == "arrout" || p == "arrout")
    show = Show::ArrOut;

  if (!requirePlugin())
    return false;
  const VstIntPtr r = mPlugin->dispatch(opcode, index, value, ptr, static_cast<float>(opt));
  std::string out = std::to_string(r);
  switch (show)
  {
    case Show::None:
      break;
    case Show::Text:
      out += " " + quote(fromBuffer(text.data(), text.size()));
      break;
    case Show::Pin:
      out += " flags=" + std::to_string(pin.flags) +
             " arrangement=" + std::to_string(pin.arrangementType) +
             " label=" + quote(fromBuffer(pin.label, sizeof pin.label)) +
             " short=" + quote(fromBuffer(pin.shortLabel, sizeof pin.shortLabel));
      break;
    case Show::Rect:
      if (!rect)
        out += " rect=null";
      else
        out += " rect=" + std::to_string(rect->top) + "," + std::to_string(rect->left) + "," +
               std::to_string(rect->bottom) + "," + std::to_string(rect->right);
      break;
    case Show::Chunk:
      if (r > 0 && chunk)
      {
        const uint8_t* b = static_cast<const uint8_t*>(chunk);
        mLastChunk.assign(b, b + r);
        out += " bytes=" + std::to_string(r);
      }
      else
      {
        out += " bytes=0";
      }
      break;
    case Show::Key:
      out += " " + quote(fromBuffer(key.keyName, sizeof key.keyName));
      break;
    case Show::ArrOut:
      if (v == "arrout")
        out += " in=" + describeArrangement(receivedIn);
      if (p == "arrout")
        out += " out=" + describeArrangement(receivedOut);
      break;
  }
  return answer(out);
}

// ---- events and audio ---------------------------------------------------------------------------

bool SI::cmdMidi(const Args& a)
{
  TimedEvent e;
  if (!parseMidiSpec(a[0], &e))
    return fail("bad MIDI message");
  mQueued.push_back(e);
  return true;
}

bool SI::cmdSysex(const Args& a)
{
  TimedEvent e;
  e.sysex = true;
  int64_t v;
  if (!parseInt(a[0], &v) || v < 0)
    return fail("bad frame");
  e.frame = v;
  for (size_t i = 1; i < a.size(); ++i)
  {
    if (!parseInt(a[i], &v) || v < 0 || v > 255)
      return fail("bytes are 0 to 255");
    e.bytes.push_back(static_cast<uint8_t>(v));
  }
  mQueued.push_back(e);
  return true;
}

bool SI::cmdSendEvents(const Args&)
{
  if (!requirePlugin())
    return false;
  mSentEvents.clear();
  sortEvents(&mQueued);
  for (const TimedEvent& e : mQueued)
    mSentEvents.add(e, static_cast<VstInt32>(e.frame));
  mQueued.clear();
  return answer(std::to_string(mPlugin->sendEvents(mSentEvents)));
}

bool SI::cmdSignal(const Args& a)
{
  if (!parseSignalSpec(a[0], &mSignal))
    return fail("bad signal");
  return true;
}

bool SI::cmdBlocks(const Args& a)
{
  if (!parseBlockPlan(a[0], &mBlocks))
    return fail("bad block plan");
  mBlocksSet = true;
  return true;
}

bool SI::cmdPrefill(const Args& a)
{
  if (!parseDouble(a[0], &mPrefill))
    return fail("not a number");
  return true;
}

bool SI::cmdProcess(const Args& a)
{
  int64_t frames;
  if (!parseInt(a[0], &frames) || frames < 0 || frames > (int64_t{1} << 26))
    return fail("bad frame count");
  RenderSettings settings;
  if (a.size() == 2 && !parseProcessCall(a[1], &settings.call))
    return fail("replacing, accumulating or double");
  if (!requirePlugin())
    return false;
  settings.prefill = mPrefill;
  if (mBlocksSet)
    settings.blocks = mBlocks;
  else
    settings.blocks.size = mPlugin->blockSize();

  AudioBuffer input(std::max(mPlugin->effect()->numInputs, 1), static_cast<size_t>(frames));
  generateSignal(mSignal, mPlugin->sampleRate(), mSignalFrame, &input);
  mSignalFrame += static_cast<uint64_t>(frames);
  sortEvents(&mQueued);
  std::string error;
  const bool ok = mRenderer->render(input, mQueued, settings, &mOutput, &error);
  mQueued.clear();
  if (!ok)
    return fail(error);

  std::string out;
  for (int c = 0; c < mOutput.channels(); ++c)
  {
    double peak = 0.0, sum = 0.0;
    bool finite = true;
    for (size_t i = 0; i < mOutput.frames(); ++i)
    {
      const double s = mOutput.channel(c)[i];
      if (!std::isfinite(s))
      {
        finite = false;
        continue;
      }
      peak = std::max(peak, std::fabs(s));
      sum += s * s;
    }
    const double rms =
      mOutput.frames() ? std::sqrt(sum / static_cast<double>(mOutput.frames())) : 0.0;
    char buf[96];
    std::snprintf(buf, sizeof buf, "%sch%d peak=%.6g rms=%.6g%s", c ? " " : "", c, peak, rms,
                  finite ? "" : " nonfinite");
    out += buf;
  }
  return answer(out.empty() ? "no outputs" : out);
}

bool SI::cmdSample(const Args& a)
{
  int64_t c, i;
  if (!parseInt(a[0], &c) || !parseInt(a[1], &i))
    return fail("sample CHANNEL INDEX");
  if (c < 0 || c >= mOutput.channels() || i < 0 || static_cast<uint64_t>(i) >= mOutput.frames())
    return fail("no such sample in the last output");
  return answer(formatFloat(mOutput.channel(static_cast<int>(c))[i]));
}

bool SI::cmdIdle(const Args& a)
{
  int64_t n;
  if (!parseInt(a[0], &n) || n < 0 || n > 100000)
    return fail("a count from 0 to 100000");
  if (!requirePlugin())
    return false;
  for (int64_t i = 0; i < n; ++i)
  {
    mPlugin->dispatch(effEditIdle);
    HostWindow::pumpMessages();
  }
  return true;
}

// ---- reports and checks -------------------------------------------------------------------------

bool SI::cmdInfo(const Args&)
{
  if (!requirePlugin())
    return false;
  printIdentity(*mPlugin, mDetail);
  return true;
}

bool SI::cmdParams(const Args&)
{
  if (!requirePlugin())
    return false;
  printParameters(*mPlugin, mDetail);
  return true;
}

bool SI::cmdPrograms(const Args&)
{
  if (!requirePlugin())
    return false;
  printPrograms(*mPlugin, mDetail);
  return true;
}

bool SI::cmdLog(const Args&)
{
  std::string joined;
  for (const std::string& l : mHost.log().lines())
  {
    mDetail << "  " << l << "\n";
    joined += (joined.empty() ? "" : "; ") + l;
  }
  return answer(joined.empty() ? "(empty)" : joined);
}

bool SI::cmdClearLog(const Args&)
{
  mHost.log().clear();
  return true;
}

bool SI::cmdCalls(const Args& a)
{
  VstInt32 opcode;
  if (!parseIndex(a[0], &opcode))
    return fail("not an opcode");
  return answer(std::to_string(mHost.log().calls(opcode)));
}

bool SI::cmdExpect(const Args&)
{
  const std::string& expected = mRestOfLine;
  double x, y;
  const bool same =
    (parseDouble(expected, &x) && parseDouble(mAnswer, &y)) ? x == y : expected == mAnswer;
  if (same)
    return answer("ok");
  mPending = "FAIL: got " + mAnswer;
  return false;
}

bool SI::cmdExpectNear(const Args& a)
{
  double want, tol, got;
  if (!parseDouble(a[0], &want) || !parseDouble(a[1], &tol))
    return fail("expectNear VALUE TOLERANCE");
  if (parseDouble(mAnswer, &got) && std::fabs(got - want) <= tol)
    return answer("ok");
  mPending = "FAIL: got " + mAnswer;
  return false;
}

bool SI::cmdEcho(const Args&) { return answer(mRestOfLine); }

bool SI::cmdHelp(const Args&)
{
  mDetail << scriptHelp();
  return true;
}

}  // namespace vsthost
