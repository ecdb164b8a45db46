#pragma once
// Two controls without a picture of their own: a rectangle filled with one colour, and an invisible
// area that toggles its value on each press.

#include "gui/IControl.h"

// Fills its rectangle with its colour (blended through the source alpha). Bound to no parameter.
class IPanelControl : public IControl
{
public:
  IPanelControl(PluginBase* pPlug, IRECT rect, const IColor* pColor);
  ~IPanelControl() override {}

  bool Draw(IGraphics* pGraphics) override;

protected:
  IColor mColor;
};

// Draws nothing; a press with any button toggles the value between 0 and 1 and pushes it.
class IInvisibleSwitchControl : public IControl
{
public:
  IInvisibleSwitchControl(PluginBase* pPlug, IRECT rect, int paramIdx);
  ~IInvisibleSwitchControl() override {}

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  bool Draw(IGraphics* /*pGraphics*/) override { return true; }
};
