// The editor surface of platforms without a window host: headless. It draws, but opens no window,
// so hosts are not offered an editor here.
#include "framework/vst/PluginVST.h"
#include "gui/IGraphicsHeadless.h"

IGraphics* MakeGraphics(PluginVST* pPlug, int w, int h, int fps)
{
  return new IGraphicsHeadless(pPlug, w, h, fps, nullptr);
}

bool MakeGraphicsOpensWindows() { return false; }
