#include "tests/support/plugin_test_surface.h"

#include "framework/PluginBase.h"
#include "gui/IControl.h"

namespace {

class RecordingControl : public IControl
{
public:
  RecordingControl(TestSurface* pSurface, PluginBase* pPlug, int paramIdx)
    : IControl(pPlug, IRECT(0, 0, 1, 1), paramIdx)
    , mSurface(pSurface)
  {}
  bool Draw(IGraphics*) override { return true; }
  void SetValueFromPlug(double value) override
  {
    mSurface->mPushes.push_back({ParamIdx(), value, mSurface->GetBits() == nullptr});
  }

private:
  TestSurface* mSurface;
};

}  // namespace

TestSurface::TestSurface(PluginBase* pPlug, int w, int h, bool* pDeleted)
  : IGraphicsHeadless(pPlug, w, h)
  , mDeleted(pDeleted)
{
  for (int i = 0; i < pPlug->NParams(); ++i)
    AttachControl(new RecordingControl(this, pPlug, i));
}

TestSurface::~TestSurface()
{
  if (mDeleted)
    *mDeleted = true;
}
