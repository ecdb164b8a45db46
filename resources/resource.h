// The editor's bitmaps: PNG resources of the plug-in library, each an id and the file (and
// resource) name; after them the spare faces the library carries without the editor using them.
// Shared by the resource script, the native resource table (resources/
// CMakeLists.txt reads the pairs from here) and the editor layout.
#pragma once

#define KNOB_ID 101
#define KNOB_FN "knob_64_white1.png"
#define BIGBUTTON_ID 104
#define BIGBUTTON_FN "big_button.png"
#define BG_ID 105
#define BG_FN "QuorvalentGUI10.png"
#define TYPESELECTOR_ID 106
#define TYPESELECTOR_FN "type_selector.png"
#define SBUTTON_ID 109
#define SBUTTON_FN "S_Button-1.png"
#define STEPBUTTON_ID 111
#define STEPBUTTON_FN "step_button_mini.png"
#define LED_ID 112
#define LED_FN "Green LED.png"
#define KNOB8_ID 113
#define KNOB8_FN "knob_64_white1 8 step.png"
#define MIXER9_ID 118
#define MIXER9_FN "mixer_blue_9_steps.png"
#define MIXER15_ID 119
#define MIXER15_FN "mixer_blue_15_steps.png"
#define MIXERCONT_ID 120
#define MIXERCONT_FN "mixer_blue_cont_steps.png"

// Spare faces, not used by the editor.
#define KNOBRING_ID 107
#define KNOBRING_FN "knob_56_ring.png"
#define LEVER_ID 108
#define LEVER_FN "toggle_lever.png"
#define SBUTTONLABEL_ID 110
#define SBUTTONLABEL_FN "S_Button-labelled.png"
#define KNOB4_ID 114
#define KNOB4_FN "knob_56_white 4 step.png"
#define MIXER5_ID 115
#define MIXER5_FN "mixer_blue_5_steps.png"
#define FADER_ID 116
#define FADER_FN "fader_handle.png"
#define REDLED_ID 117
#define REDLED_FN "Red LED.png"
