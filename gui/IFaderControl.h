#pragma once
// A fader: a handle bitmap sliding along a track of len pixels, value 1 at the top (vertical) or the
// right end (horizontal). A press or drag puts the handle's middle under the pointer.
//
// The travel is the track length less the handle's size; a fader without travel (handle as long as
// the track, or longer) keeps its value when pressed or dragged.

#include "gui/IControl.h"

class IFaderControl : public IControl
{
public:
  // The rectangle starts at (x, y): len long along the direction, the handle's size across.
  // onlyHandle: only the handle takes the mouse, not the whole track.
  IFaderControl(PluginBase* pPlug, int x, int y, int len, int paramIdx, IBitmap* pBitmap,
                EDirection direction = kVertical, bool onlyHandle = false);
  ~IFaderControl() override {}

  // Right button: PromptUserInput(). Otherwise the handle snaps to the pointer.
  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  // Absolute: the handle follows the pointer, whatever the movement since the last event.
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* pMod) override;
  bool Draw(IGraphics* pGraphics) override;
  bool IsHit(int x, int y) override;

  // Where the handle is drawn for value (a negative value: the current one).
  IRECT GetHandleRECT(double value = -1.0) const;
  // The value that puts the handle's middle at (x, y), pushed to the plug-in.
  void SnapToMouse(int x, int y);

protected:
  int Travel() const { return mLen > mHandleHeadroom ? mLen - mHandleHeadroom : 0; }

  int mLen;
  int mHandleHeadroom;
  IBitmap mBitmap;
  EDirection mDirection;
  bool mOnlyHandle;
};
