#pragma once
// An editor surface for the instance base's tests: one control per parameter of the plug-in
// records every value the plug-in pushes into the surface, and the surface reports its own
// destruction.

#include "gui/IGraphicsHeadless.h"

#include <vector>

class TestSurface : public IGraphicsHeadless
{
public:
  struct ParamPush
  {
    int paramIdx;
    double value;         // normalised
    bool beforePrepDraw;  // the surface had no bitmap yet
  };

  // deleted: set to true when the surface is destroyed (may be null).
  TestSurface(PluginBase* pPlug, int w, int h, bool* pDeleted = nullptr);
  ~TestSurface() override;

  std::vector<ParamPush> mPushes;

private:
  bool* mDeleted;
};
