#pragma once
// What the editor window's messages carry, in the surface's terms: the key codes its controls
// know, the modifier state of a mouse message, wheel notches, positions packed in a message and
// the redraw timer's period. The window host's procedure only unpacks messages and calls these.
//
// Portable: the message values are plain numbers here (the window system's own constants have the
// same values).

#include "gui/IGraphicsStructs.h"

#include <cstdint>

// Button and key flags of a mouse message's first argument.
enum EMouseMessageFlags
{
  kMouseFlagLeft = 0x1,
  kMouseFlagRight = 0x2,
  kMouseFlagShift = 0x4,
  kMouseFlagControl = 0x8,
  kMouseFlagMiddle = 0x10
};

// The surface's key code (0..40) of a virtual-key code, or -1 when the controls take no such key.
// Space and the arrows are 0..4, the digits 5..14 and the letters 15..40; virtual keys 97..122
// (the keypad's 1..9 and * + - . / , F1..F11) share the codes of 'A'..'Z'.
int KeyCodeOfVirtualKey(uintptr_t virtualKey);

// The modifiers of a mouse message: buttons, shift and control from its flags, alt as held now.
IMouseMod MouseModOf(uintptr_t flags, bool altHeld);

// Whole wheel notches (120 units each) of a wheel message's first argument; a part notch counts
// nothing, truncated toward zero.
int WheelNotches(uintptr_t wParam);

// The two signed 16-bit halves of a message's second argument: x low, y high.
void SignedWordsOf(intptr_t lParam, int* pX, int* pY);

// Milliseconds between redraw ticks at fps frames per second, truncated (40 at 25, 33 at 30).
int RedrawTimerPeriod(int fps);
