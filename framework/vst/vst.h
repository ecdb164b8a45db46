#pragma once

// The VST 2.4 binary interface, all of it.

#include "framework/vst/aeffect.h"
#include "framework/vst/categories.h"
#include "framework/vst/editor.h"
#include "framework/vst/events.h"
#include "framework/vst/host_opcodes.h"
#include "framework/vst/midi_key_name.h"
#include "framework/vst/opcodes.h"
#include "framework/vst/pins.h"
#include "framework/vst/platform.h"
#include "framework/vst/speakers.h"
#include "framework/vst/string_limits.h"
#include "framework/vst/time_info.h"
