// Builds the product's instance for the entry point.
#include "effect/Quorvalent.h"

PluginVST* MakePlugInstance(PluginInstanceInfo instanceInfo)
{
  Quorvalent* pPlug = new Quorvalent(instanceInfo);
  // The empty slots take the default state first; then the instance applies its current program,
  // so that what it reports is the program it names, and the host's first program change or bank
  // request stores that program's own values back into it rather than the defaults.
  pPlug->EnsureDefaultPreset();
  pPlug->RestorePreset(pPlug->GetCurrentPresetIdx());
  return pPlug;
}
