#include "tools/vsthost/plugin_info.h"

#include <cstdio>

#include "framework/vst/abi/aeffect.h"
#include "framework/vst/abi/categories.h"
#include "tools/vsthost/text_util.h"

namespace vsthost {

std::string describeFlags(VstInt32 flags)
{
  static const struct
  {
    VstInt32 bit;
    const char* name;
  } kNames[] = {{effFlagsHasEditor, "HasEditor"},
                {effFlagsHasClip, "HasClip"},
                {effFlagsHasVu, "HasVu"},
                {effFlagsCanMono, "CanMono"},
                {effFlagsCanReplacing, "CanReplacing"},
                {effFlagsProgramChunks, "ProgramChunks"},
                {effFlagsIsSynth, "IsSynth"},
                {effFlagsNoSoundInStop, "NoSoundInStop"},
                {effFlagsExtIsAsync, "ExtIsAsync"},
                {effFlagsExtHasBuffer, "ExtHasBuffer"},
                {effFlagsCanDoubleReplacing, "CanDoubleReplacing"}};
  std::string names;
  VstInt32 known = 0;
  for (const auto& n : kNames)
  {
    known |= n.bit;
    if (flags & n.bit)
      names += (names.empty() ? "" : " ") + std::string(n.name);
  }
  if (flags & ~known)
    names += (names.empty() ? "" : " ") + formatHex32(static_cast<uint32_t>(flags & ~known));
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%X", static_cast<unsigned>(flags));
  return std::string(hex) + " (" + names + ")";
}

const char* categoryName(VstIntPtr category)
{
  static const char* const kNames[] = {"Unknown",     "Effect",         "Synth",  "Analysis",
                                       "Mastering",   "Spacializer",    "RoomFx", "SurroundFx",
                                       "Restoration", "OfflineProcess", "Shell",  "Generator"};
  return category >= 0 && category < kPlugCategMaxCount ? kNames[category] : "?";
}

void printIdentity(PluginInstance& plugin, std::ostream& out)
{
  const AEffect* e = plugin.effect();
  if (!e)
    return;
  out << "magic: " << formatHex32(static_cast<uint32_t>(e->magic)) << " '" << fourCC(e->magic)
      << "'\n"
      << "entry: " << plugin.library().entryName() << "\n"
      << "uniqueID: " << formatHex32(static_cast<uint32_t>(e->uniqueID)) << " '"
      << fourCC(e->uniqueID) << "'\n"
      << "version: " << e->version << "\n"
      << "numPrograms: " << e->numPrograms << "\n"
      << "numParams: " << e->numParams << "\n"
      << "numInputs: " << e->numInputs << "\n"
      << "numOutputs: " << e->numOutputs << "\n"
      << "flags: " << describeFlags(e->flags) << "\n"
      << "initialDelay: " << e->initialDelay << "\n"
      << "effectName: " << quote(plugin.effectName()) << "\n"
      << "vendor: " << quote(plugin.vendorString()) << "\n"
      << "product: " << quote(plugin.productString()) << "\n"
      << "vendorVersion: " << plugin.vendorVersion() << "\n"
      << "vstVersion: " << plugin.vstVersion() << "\n";
  const VstIntPtr category = plugin.category();
  out << "category: " << category << " (" << categoryName(category) << ")\n";
}

void printParameters(PluginInstance& plugin, std::ostream& out)
{
  const int n = plugin.numParams();
  out << "parameters: " << n << "\n";
  for (int i = 0; i < n; ++i)
  {
    out << "  " << i << " " << quote(plugin.paramName(i))
        << " value=" << formatFloat(plugin.getParameter(i))
        << " display=" << quote(plugin.paramDisplay(i)) << " label=" << quote(plugin.paramLabel(i))
        << "\n";
  }
}

void printPrograms(PluginInstance& plugin, std::ostream& out)
{
  const int n = plugin.numPrograms();
  out << "programs: " << n << "\n";
  const int current = plugin.program();
  bool switched = false;
  for (int i = 0; i < n; ++i)
  {
    std::string name;
    if (plugin.programNameIndexed(i, &name) == 0 && name.empty())
    {
      plugin.setProgram(i);
      name = plugin.programName();
      switched = true;
    }
    out << "  " << i << " " << quote(name) << (i == current ? " (current)" : "") << "\n";
  }
  if (switched)
    plugin.setProgram(current);
}

}  // namespace vsthost
