// The editor surface on Windows: the window host, with the plug-in module's resources and window
// class (the program's own module when the plug-in is compiled into a program).
#include "framework/vst/PluginVST.h"
#include "gui/IGraphicsWin.h"

IGraphics* MakeGraphics(PluginVST* pPlug, int w, int h, int fps)
{
  IGraphicsWin* pGraphics = new IGraphicsWin(pPlug, w, h, fps);
  pGraphics->SetHInstance(gHInstance ? (HINSTANCE)gHInstance : GetModuleHandleA(nullptr));
  return pGraphics;
}

bool MakeGraphicsOpensWindows() { return true; }
