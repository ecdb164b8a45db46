#include "gui/IGraphicsHeadless.h"

#include "framework/base/QvString.h"
#include "raster/px_png.h"

#include <cctype>
#include <cstring>

IGraphicsHeadless::IGraphicsHeadless(PluginBase* pPlug, int w, int h, int fps, void* module)
  : IGraphics(pPlug, w, h, fps)
  , mModule(module)
{}

IGraphicsHeadless::~IGraphicsHeadless() {}

bool IGraphicsHeadless::Tick()
{
  IRECT r;
  if (!IsDirty(&r))
    return false;
  Draw(&r);
  return true;
}

void IGraphicsHeadless::HostPath(QvString* pPath) { pPath->Set(""); }

void IGraphicsHeadless::PluginPath(QvString* pPath) { pPath->Set(""); }

void IGraphicsHeadless::DesktopPath(QvString* pPath) { pPath->Set(""); }

bool IGraphicsHeadless::PromptForFile(QvString* pFilename, EFileAction /*action*/,
                                      QvString* /*pDir*/, char* /*extensions*/)
{
  pFilename->Set("");
  return false;
}

PX_IBitmap* IGraphicsHeadless::OSLoadBitmap(int id, const char* name)
{
  if (!IsPNGResourceName(name))
    return nullptr;
  return PX_LoadPNGFromResource((PX_ModuleHandle)mModule, id, nullptr);
}

bool IsPNGResourceName(const char* name)
{
  if (!name || !*name)
    return false;
  const char* ext = name + strlen(name) - 1;
  while (ext > name && *ext != '.')
    --ext;
  const char* png = "png";
  for (ext++; *png; ++ext, ++png)
    if (tolower((unsigned char)*ext) != *png)
      return false;
  return !*ext;
}
