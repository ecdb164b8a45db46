// The editor surface's own members, for builds without the GUI.
//
// The plug-in attaches no surface while the GUI is not part of the build, so none of these is ever
// reached; they only satisfy the instance base and the binding, which name them. A build that has
// the GUI links the real surface instead.
#include "gui/IGraphics.h"

IGraphics::IGraphics(PluginBase* pPlug, int w, int h, int fps)
  : mPlug(pPlug)
  , mWidth(w)
  , mHeight(h)
  , mFPS(fps < 1 ? 25 : fps)
{}

IGraphics::~IGraphics() {}

bool IGraphics::MeasureIText(IText* /*pTxt*/, char* /*str*/, IRECT* /*pR*/) { return false; }

void IGraphics::Resize(int w, int h)
{
  mWidth = w;
  mHeight = h;
}

void IGraphics::PrepDraw() {}

void IGraphics::SetParameterFromPlug(int /*paramIdx*/, double /*value*/, bool /*normalized*/) {}
