#pragma once

// The editor's rectangle, answered to effEditGetRect as an `ERect*` owned by the plug-in.

#include "framework/vst/abi/platform.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct ERect
{
  int16_t top;
  int16_t left;
  int16_t bottom;
  int16_t right;
} ERect;

VST_STATIC_ASSERT(sizeof(ERect) == 8, "ERect layout");

#ifdef __cplusplus
}
#endif
