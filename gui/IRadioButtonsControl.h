#pragma once
// A row or column of radio buttons over one parameter: button i of n stands for the value
// i / (n - 1). Each button shows frame 2 of the bitmap when it is the active one, frame 1 otherwise.
//
// The buttons span the control's rectangle from edge to edge, the gaps between them equal (up to
// truncation); reverse puts the first button at the bottom (or the right). A single button stands
// for the value 0.

#include "framework/base/HeapBuf.h"
#include "gui/IControl.h"

class IRadioButtonsControl : public IControl
{
public:
  // pBitmap: two stacked frames, off and on; each button is one frame's size.
  IRadioButtonsControl(PluginBase* pPlug, IRECT rect, int paramIdx, int nButtons, IBitmap* pBitmap,
                       EDirection direction = kVertical, bool reverse = false);
  ~IRadioButtonsControl() override {}

  // Right button: PromptUserInput(). Otherwise the button under the point (if any) becomes active;
  // the value is pushed either way.
  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  bool Draw(IGraphics* pGraphics) override;

  int NButtons() const { return mRECTs.GetSize(); }
  // The rectangle of button i (in range).
  const IRECT& GetButtonRECT(int i) { return mRECTs.Get()[i]; }

protected:
  QvTypedBuf<IRECT> mRECTs;
  IBitmap mBitmap;
};
