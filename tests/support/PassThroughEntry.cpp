// The pass-through plug-in library's instance maker: the variant is fixed when the library is built.

#include "tests/support/PassThroughPlug.h"

#ifndef QV_PASSTHRU_VARIANT
#error "QV_PASSTHRU_VARIANT names the variant this library builds"
#endif

PluginVST* MakePlugInstance(PluginInstanceInfo instanceInfo)
{
  const PassThroughVariant* pVariant = FindPassThroughVariant(QV_PASSTHRU_VARIANT);
  return pVariant ? new PassThroughPlug(instanceInfo, *pVariant) : nullptr;
}
