// The plug-in's editor: its layout and the step lamps it drives.
//
// The drawing surface is not part of this build yet, so the plug-in has no editor: it advertises
// none, effEditOpen fails, and the lamps (mLeds, mLedIdx) stay unset.
#include "effect/Quorvalent.h"

void Quorvalent::CreateGraphics() {}

void Quorvalent::OnIdle()
{
  if (!GetGUI())
    return;
}
