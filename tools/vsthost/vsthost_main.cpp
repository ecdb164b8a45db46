// vsthost: loads a VST 2.4 plug-in and prints what a host reads from it, renders audio through it
// into a WAV file, runs a dispatcher script against it, validates it, or takes a picture of its
// editor in a real window.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "framework/vst/abi/opcodes.h"
#include "tools/editor_picture/png_writer.h"
#include "tools/vsthost/editor_window.h"
#include "tools/vsthost/plugin_info.h"
#include "tools/vsthost/plugin_instance.h"
#include "tools/vsthost/renderer.h"
#include "tools/vsthost/script_interpreter.h"
#include "tools/vsthost/signal_generator.h"
#include "tools/vsthost/text_util.h"
#include "tools/vsthost/validator.h"
#include "tools/vsthost/vst_host.h"
#include "tools/vsthost/wav_file.h"

using namespace vsthost;

namespace {

const char kUsage[] =
  "usage:\n"
  "  vsthost info PLUGIN [HOST OPTIONS] [--rate HZ] [--block N]\n"
  "  vsthost render PLUGIN OUT.wav [OPTIONS]\n"
  "  vsthost script PLUGIN SCRIPT|-      (PLUGIN is what 'load' takes without a path)\n"
  "  vsthost validate PLUGIN [--json FILE|-] [--known CHECK[=REASON]]... [--only GROUP,...]\n"
  "                                       (exit 1 when a check fails; known faults do not)\n"
  "  vsthost editor PLUGIN OUT.png [OPTIONS]  (Windows: the editor's window, after the\n"
  "                                  transport ran --seconds, 0.7 by default, through it)\n"
  "  vsthost help-script\n"
  "  vsthost help | --help | -h          (this text)\n"
  "render options:\n"
  "  --in FILE.wav | --signal silence|impulse[:A]|dc[:A]|sine[:F[:A]]|noise[:A[:SEED]]\n"
  "                                  (sine:440:0.5)\n"
  "  --seconds S | --frames N        length of a generated signal (2 s)\n"
  "  --channels N                    channels of a generated signal (the plug-in's inputs)\n"
  "  --rate HZ                       sample rate (the input file's, else 44100)\n"
  "  --block N | random:MIN:MAX[:SEED]  block sizes (512)\n"
  "  --callback replacing|accumulating|double  (replacing)\n"
  "  --format pcm16|pcm24|float32    output encoding (float32)\n"
  "  --tempo BPM --timesig N/D --stopped --start-samples N --start-ppq X --loop START:END\n"
  "  --ppq-ticks N                   song position rounded to 1/N quarter note (exact)\n"
  "  --pre-roll N                    blocks stopped before the transport plays (0)\n"
  "  --program N --param INDEX=VALUE (repeatable)\n"
  "  --midi FRAME:STATUS:D1:D2 | on:FRAME:KEY:VEL[:CH] | off:FRAME:KEY[:VEL[:CH]] (repeatable)\n"
  "  --offline                       report the offline process level while rendering\n"
  "host options (all commands):\n"
  "  --host-product TEXT --host-vendor TEXT --host-version N\n";

int usage(const std::string& why)
{
  if (!why.empty())
    std::cerr << "vsthost: " << why << "\n";
  std::cerr << kUsage;
  return 2;
}

struct Options
{
  std::string input;
  SignalSpec signal;
  double seconds = 2.0;
  int64_t frames = -1;
  int channels = -1;
  double rate = -1.0;
  BlockPlan blocks;
  ProcessCall call = ProcessCall::Replacing;
  WavFormat format = WavFormat::Float32;
  TransportSettings transport;
  int program = -1;
  std::vector<std::pair<int, float>> params;
  std::vector<TimedEvent> events;
  bool offline = false;
};

bool parseRange(const std::string& text, int64_t lo, int64_t hi, int64_t* out)
{
  return parseInt(text, out) && *out >= lo && *out <= hi;
}

bool parsePositive(const std::string& text, double* out)
{
  return parseDouble(text, out) && *out > 0.0 && std::isfinite(*out);
}

// One option that takes a value; false when the value is bad.
bool parseValueOption(const std::string& opt, const std::string& v, VstHost& host, Options* o)
{
  int64_t n = 0;
  double d = 0.0;
  TransportSettings& t = o->transport;
  if (opt == "--in")
    o->input = v;
  else if (opt == "--signal")
    return parseSignalSpec(v, &o->signal);
  else if (opt == "--seconds")
    return parseDouble(v, &o->seconds) && o->seconds >= 0 && o->seconds < 86400;
  else if (opt == "--frames")
    return parseRange(v, 0, INT64_C(1) << 32, &o->frames);
  else if (opt == "--channels")
  {
    if (!parseRange(v, 1, 64, &n))
      return false;
    o->channels = static_cast<int>(n);
  }
  else if (opt == "--rate")
    return parsePositive(v, &o->rate) && o->rate <= 1e6;
  else if (opt == "--block")
    return parseBlockPlan(v, &o->blocks);
  else if (opt == "--callback")
    return parseProcessCall(v, &o->call);
  else if (opt == "--format")
    return parseWavFormat(v, &o->format);
  else if (opt == "--tempo")
    return parsePositive(v, &t.tempo);
  else if (opt == "--timesig")
  {
    const std::vector<std::string> p = split(v, '/');
    int64_t num = 0, den = 0;
    if (p.size() != 2 || !parseRange(p[0], 1, 64, &num) || !parseRange(p[1], 1, 64, &den))
      return false;
    t.numerator = static_cast<int>(num);
    t.denominator = static_cast<int>(den);
  }
  else if (opt == "--start-samples")
    return parseDouble(v, &t.startSamples) && std::isfinite(t.startSamples);
  else if (opt == "--start-ppq")
    return parseDouble(v, &t.startPpq) && t.startPpq >= 0 && std::isfinite(t.startPpq);
  else if (opt == "--loop")
  {
    const std::vector<std::string> p = split(v, ':');
    if (p.size() != 2 || !parseDouble(p[0], &t.loopStartPpq) || !parseDouble(p[1], &t.loopEndPpq) ||
        !(t.loopStartPpq >= 0) || !(t.loopEndPpq > t.loopStartPpq))
      return false;
    t.loop = true;
  }
  else if (opt == "--ppq-ticks" || opt == "--pre-roll")
  {
    if (!parseRange(v, opt == "--pre-roll" ? 0 : 1, 1000000, &n))
      return false;
    (opt == "--pre-roll" ? t.preRollBlocks : t.ticksPerQuarter) = static_cast<int>(n);
  }
  else if (opt == "--program")
  {
    if (!parseRange(v, 0, INT32_MAX, &n))
      return false;
    o->program = static_cast<int>(n);
  }
  else if (opt == "--param")
  {
    const size_t eq = v.find('=');
    if (eq == std::string::npos || !parseRange(v.substr(0, eq), 0, INT32_MAX, &n) ||
        !parseDouble(v.substr(eq + 1), &d))
      return false;
    o->params.emplace_back(static_cast<int>(n), static_cast<float>(d));
  }
  else if (opt == "--midi")
  {
    TimedEvent e;
    if (!parseMidiSpec(v, &e))
      return false;
    o->events.push_back(e);
  }
  else if (opt == "--host-product")
    host.identity().product = v;
  else if (opt == "--host-vendor")
    host.identity().vendor = v;
  else if (opt == "--host-version")
  {
    if (!parseInt(v, &n))
      return false;
    host.identity().vendorVersion = static_cast<VstIntPtr>(n);
  }
  else
    return false;
  return true;
}

const char* const kValueOptions[] = {
  "--in",          "--signal",       "--seconds",   "--frames",  "--channels", "--rate",
  "--block",       "--callback",     "--format",    "--tempo",   "--timesig",  "--start-samples",
  "--start-ppq",   "--loop",         "--program",   "--param",   "--midi",     "--host-product",
  "--host-vendor", "--host-version", "--ppq-ticks", "--pre-roll"};

// Parses the options after the positional arguments; false with a message on a bad one.
bool parseOptions(const std::vector<std::string>& args, VstHost& host, Options* o, std::string* why)
{
  for (size_t i = 0; i < args.size(); ++i)
  {
    const std::string& opt = args[i];
    if (opt == "--stopped")
    {
      o->transport.playing = false;
      continue;
    }
    if (opt == "--offline")
    {
      o->offline = true;
      continue;
    }
    bool known = false;
    for (const char* name : kValueOptions)
      known = known || opt == name;
    if (!known)
    {
      *why = "unknown option " + opt;
      return false;
    }
    if (i + 1 >= args.size() || !parseValueOption(opt, args[i + 1], host, o))
    {
      *why = "bad or missing value for " + opt;
      return false;
    }
    ++i;
  }
  return true;
}

std::unique_ptr<PluginInstance> loadOrComplain(VstHost& host, const std::string& path)
{
  std::string error;
  std::unique_ptr<PluginInstance> plugin = PluginInstance::load(host, path, &error);
  if (!plugin)
    std::cerr << "vsthost: " << path << ": " << error << "\n";
  return plugin;
}

int runInfo(const std::string& path, const std::vector<std::string>& args)
{
  VstHost host;
  Options o;
  std::string why;
  if (!parseOptions(args, host, &o, &why))
    return usage(why);
  auto plugin = loadOrComplain(host, path);
  if (!plugin)
    return 1;
  plugin->open();
  plugin->setSampleRate(o.rate > 0 ? o.rate : 44100.0);
  plugin->setBlockSize(o.blocks.largest());
  std::cout << "plugin: " << path << "\n";
  printIdentity(*plugin, std::cout);
  printParameters(*plugin, std::cout);
  printPrograms(*plugin, std::cout);
  return 0;
}

// The instance, prepared as a host prepares it, with the options' program and parameters set.
std::unique_ptr<PluginInstance> loadPrepared(VstHost& host, const std::string& path,
                                             const Options& o, double rate)
{
  auto plugin = loadOrComplain(host, path);
  if (!plugin)
    return plugin;
  prepareInstance(*plugin, rate, o.blocks);
  if (o.program >= 0)
    plugin->setProgram(o.program);
  for (const auto& p : o.params)
    plugin->setParameter(p.first, p.second);
  return plugin;
}

// Input (or, when it holds no channel, the options' signal for their length) through the plug-in
// with the options' events, callback and blocks; false after saying why not.
bool renderThrough(PluginInstance& plugin, Options& o, double rate, AudioBuffer* in,
                   AudioBuffer* out)
{
  if (!in->channels())
  {
    const int channels = o.channels > 0 ? o.channels : std::max(plugin.effect()->numInputs, 1);
    const int64_t frames =
      o.frames >= 0 ? o.frames : static_cast<int64_t>(std::llround(o.seconds * rate));
    in->resize(channels, static_cast<size_t>(frames));
    generateSignal(o.signal, rate, 0, in);
  }
  sortEvents(&o.events);
  RenderSettings settings;
  settings.call = o.call;
  settings.blocks = o.blocks;
  Renderer renderer(plugin);
  std::string error;
  if (!renderer.render(*in, o.events, settings, out, &error))
  {
    std::cerr << "vsthost: " << error << "\n";
    return false;
  }
  return true;
}

int runRender(const std::string& path, const std::string& outPath,
              const std::vector<std::string>& args)
{
  VstHost host;
  Options o;
  std::string why;
  if (!parseOptions(args, host, &o, &why))
    return usage(why);

  WavData in;
  if (!o.input.empty())
  {
    std::string error;
    if (!readWavFile(o.input, &in, &error))
    {
      std::cerr << "vsthost: " << o.input << ": " << error << "\n";
      return 1;
    }
  }
  const double rate = o.rate > 0 ? o.rate : (in.sampleRate > 0 ? in.sampleRate : 44100.0);
  host.setOffline(o.offline);
  host.transport().configure(o.transport, rate);

  auto plugin = loadPrepared(host, path, o, rate);
  AudioBuffer out;
  if (!plugin || !renderThrough(*plugin, o, rate, &in.audio, &out))
    return 1;
  plugin->suspend();
  plugin->close();
  std::string error;
  if (!writeWavFile(outPath, out, static_cast<int>(std::lround(rate)), o.format, &error))
  {
    std::cerr << "vsthost: " << outPath << ": " << error << "\n";
    return 1;
  }
  std::cout << "rendered " << out.frames() << " frames, " << out.channels() << " channels at "
            << formatFloat(rate) << " Hz through the " << processCallName(o.call)
            << " callback into " << outPath << "\n";
  for (int c = 0; c < out.channels(); ++c)
  {
    double peak = 0.0;
    bool finite = true;
    for (size_t i = 0; i < out.frames(); ++i)
    {
      const double s = out.channel(c)[i];
      if (!std::isfinite(s))
        finite = false;
      else
        peak = std::max(peak, std::fabs(s));
    }
    std::cout << "  channel " << c << ": peak " << formatFloat(peak)
              << (finite ? "" : " (not finite)") << "\n";
  }
  return 0;
}

int runScript(const std::string& path, const std::string& scriptPath,
              const std::vector<std::string>& args)
{
  VstHost host;
  Options o;
  std::string why;
  if (!parseOptions(args, host, &o, &why))
    return usage(why);
  ScriptInterpreter interpreter(host, std::cout);
  if (path != "-")
    interpreter.setDefaultPlugin(path);
  int failures;
  if (scriptPath == "-")
  {
    failures = interpreter.run(std::cin);
  }
  else
  {
    std::ifstream file(scriptPath);
    if (!file)
    {
      std::cerr << "vsthost: cannot open " << scriptPath << "\n";
      return 2;
    }
    failures = interpreter.run(file);
  }
  std::cout << (failures ? "script failed: " : "script passed: ") << failures << " failure(s)\n";
  return failures ? 1 : 0;
}

int runValidate(const std::string& path, const std::vector<std::string>& args)
{
  ValidateOptions options;
  options.plugin = path;
  std::string jsonPath;
  for (size_t i = 0; i < args.size(); ++i)
  {
    if (i + 1 >= args.size() ||
        (args[i] != "--json" && args[i] != "--known" && args[i] != "--only"))
      return usage("bad validate option " + args[i]);
    if (args[i] == "--json")
      jsonPath = args[i + 1];
    else if (args[i] == "--only")
      options.groups = split(args[i + 1], ',');
    else
      options.knownFaults.push_back(parseKnownFault(args[i + 1]));
    ++i;
  }
  const ValidationReport report = validatePlugin(options);
  if (jsonPath == "-")
  {
    std::cout << report.json();
  }
  else if (!jsonPath.empty())
  {
    std::string error;
    const std::string json = report.json();
    if (!writeFileBytes(jsonPath, std::vector<uint8_t>(json.begin(), json.end()), &error))
      std::cerr << "vsthost: " << jsonPath << ": " << error << "\n";
  }
  std::cout << report.summary();
  return report.failed() ? 1 : 0;
}

// Opens the editor in a host window, runs the transport through the plug-in (so the editor shows a
// running sequencer), lets it redraw and writes what its window shows.
int runEditor(const std::string& path, const std::string& outPath,
              const std::vector<std::string>& args)
{
  const int kRedrawMs = 400;  // a few redraw ticks, with slack
  VstHost host;
  Options o;
  o.seconds = 0.7;
  std::string why;
  if (!parseOptions(args, host, &o, &why))
    return usage(why);
  const double rate = o.rate > 0 ? o.rate : 44100.0;
  host.transport().configure(o.transport, rate);
  auto plugin = loadPrepared(host, path, o, rate);
  if (!plugin)
    return 1;
  EditorWindow editor(*plugin);
  if (!editor.open() || !editor.editor())
  {
    std::cerr << "vsthost: " << path << ": no editor window opens\n";
    return 1;
  }
  AudioBuffer in, out;
  if (!renderThrough(*plugin, o, rate, &in, &out))
    return 1;
  plugin->dispatch(effEditIdle);
  EditorWindow::pumpFor(kRedrawMs);
  Picture picture;
  if (!editor.capture(&picture) || !WritePNGPixels(picture.pixels.data(), picture.width,
                                                   picture.height, picture.width, outPath.c_str()))
  {
    std::cerr << "vsthost: cannot write the editor's picture to " << outPath << "\n";
    return 1;
  }
  std::cout << "editor window " << picture.width << " x " << picture.height << " after "
            << formatFloat(o.seconds) << " s of transport at " << formatFloat(o.transport.tempo)
            << " BPM, written to " << outPath << "\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv)
{
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty())
    return usage("");
  const std::string command = args[0];
  if (command == "help" || command == "--help" || command == "-h")
  {
    std::cout << kUsage;
    return 0;
  }
  if (command == "help-script")
  {
    std::cout << scriptHelp();
    return 0;
  }
  if (command == "info" && args.size() >= 2)
    return runInfo(args[1], std::vector<std::string>(args.begin() + 2, args.end()));
  if (command == "render" && args.size() >= 3)
    return runRender(args[1], args[2], std::vector<std::string>(args.begin() + 3, args.end()));
  if (command == "script" && args.size() >= 3)
    return runScript(args[1], args[2], std::vector<std::string>(args.begin() + 3, args.end()));
  if (command == "validate" && args.size() >= 2)
    return runValidate(args[1], std::vector<std::string>(args.begin() + 2, args.end()));
  if (command == "editor" && args.size() >= 3)
    return runEditor(args[1], args[2], std::vector<std::string>(args.begin() + 3, args.end()));
  return usage(command == "info" || command == "render" || command == "script" ||
                   command == "validate" || command == "editor"
                 ? "missing arguments"
                 : "unknown command " + command);
}
