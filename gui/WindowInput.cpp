#include "gui/WindowInput.h"

namespace {

const uintptr_t kVirtualKeySpace = 32;
const uintptr_t kVirtualKeyLeft = 37;
const uintptr_t kVirtualKeyUp = 38;
const uintptr_t kVirtualKeyRight = 39;
const uintptr_t kVirtualKeyDown = 40;
const int kWheelDelta = 120;

}  // namespace

int KeyCodeOfVirtualKey(uintptr_t vk)
{
  switch (vk)
  {
    case kVirtualKeySpace:
      return 0;
    case kVirtualKeyUp:
      return 1;
    case kVirtualKeyDown:
      return 2;
    case kVirtualKeyLeft:
      return 3;
    case kVirtualKeyRight:
      return 4;
    default:
      break;
  }
  if (vk >= '0' && vk <= '9')
    return (int)vk - 43;
  if (vk >= 'A' && vk <= 'Z')
    return (int)vk - 50;
  if (vk >= 'a' && vk <= 'z')
    return (int)vk - 82;
  return -1;
}

IMouseMod MouseModOf(uintptr_t flags, bool altHeld)
{
  return IMouseMod((flags & kMouseFlagLeft) != 0, (flags & kMouseFlagRight) != 0,
                   (flags & kMouseFlagShift) != 0, (flags & kMouseFlagControl) != 0, altHeld);
}

int WheelNotches(uintptr_t wParam)
{
  const int delta = (int16_t)(uint16_t)((wParam >> 16) & 0xFFFF);
  return delta / kWheelDelta;
}

void SignedWordsOf(intptr_t lParam, int* pX, int* pY)
{
  *pX = (int16_t)(uint16_t)(lParam & 0xFFFF);
  *pY = (int16_t)(uint16_t)((lParam >> 16) & 0xFFFF);
}

int RedrawTimerPeriod(int fps) { return (int)(1000.0 / (double)(fps < 1 ? 25 : fps)); }
