#pragma once

// Prints what a host reads from a plug-in: its identity (record fields and names), its parameters
// (name, label, display text, normalised value) and its program names. Reading only: no parameter
// or program is changed, except that program names are read by switching programs (and back) when
// the plug-in does not answer effGetProgramNameIndexed.

#include <ostream>

#include "tools/vsthost/plugin_instance.h"

namespace vsthost {

void printIdentity(PluginInstance& plugin, std::ostream& out);
void printParameters(PluginInstance& plugin, std::ostream& out);
void printPrograms(PluginInstance& plugin, std::ostream& out);

// "0x1019 (HasEditor CanMono CanReplacing CanDoubleReplacing)".
std::string describeFlags(VstInt32 flags);
const char* categoryName(VstIntPtr category);

}  // namespace vsthost
