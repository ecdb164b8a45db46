// Program (FXP) files from hostile bytes; see fx_fuzz.h.
#include "fuzz/framework/fx_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  FuzzFxLoader(data, size, false);
  return 0;
}
