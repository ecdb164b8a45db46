// The editor surface every plug-in gets: headless for now on every platform (the window host of
// Windows takes over here when it exists).
#include "framework/PluginVST.h"
#include "gui/IGraphicsHeadless.h"

IGraphics* MakeGraphics(PluginVST* pPlug, int w, int h, int fps)
{
#if defined(_WIN32)
  void* module = gHInstance;  // null in a program: its own module
#else
  void* module = nullptr;
#endif
  return new IGraphicsHeadless(pPlug, w, h, fps, module);
}
