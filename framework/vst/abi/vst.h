#pragma once

// The VST 2.4 binary interface, all of it.

#include "framework/vst/abi/aeffect.h"
#include "framework/vst/abi/categories.h"
#include "framework/vst/abi/editor.h"
#include "framework/vst/abi/events.h"
#include "framework/vst/abi/host_opcodes.h"
#include "framework/vst/abi/midi_key_name.h"
#include "framework/vst/abi/opcodes.h"
#include "framework/vst/abi/pins.h"
#include "framework/vst/abi/platform.h"
#include "framework/vst/abi/speakers.h"
#include "framework/vst/abi/string_limits.h"
#include "framework/vst/abi/time_info.h"
