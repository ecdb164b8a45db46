#pragma once
// The bitmap controls the editor is built from: a bitmap showing the frame its value selects (the
// background, the step lamps), a switch stepping through its frames per click, a momentary contact
// button, the drag behaviour of knobs and a knob drawn as one frame of a filmstrip.
//
// Frames are chosen by value: for N frames, value v shows frame 1 + round(v * (N - 1)), with v held
// in 0..1 first (a value that is not a number shows frame 1).

#include "gui/IControl.h"

class IBitmapControl : public IControl
{
public:
  // Occupies one frame of the bitmap at (x, y).
  IBitmapControl(PluginBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                 IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNone);
  ~IBitmapControl() override {}

  bool Draw(IGraphics* pGraphics) override;

  // The frame (from 1) that value selects among n frames.
  static int FrameFor(double value, int n);

protected:
  IBitmap mBitmap;
};

// Each click (any button) moves one frame on, from the last back to the first.
class ISwitchControl : public IBitmapControl
{
public:
  ISwitchControl(PluginBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                 IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNone);
  ~ISwitchControl() override {}

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  // One more click: the surface has delivered the first of the pair as a press already.
  void OnMouseDblClick(int x, int y, IMouseMod* pMod) override;
};

// A momentary button: a press steps like a switch, the release sends 0.
class IContactControl : public ISwitchControl
{
public:
  IContactControl(PluginBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap);
  ~IContactControl() override {}

  void OnMouseUp(int x, int y, IMouseMod* pMod) override;
};

// The drag of every knob: moving the mouse up (vertical) or right (horizontal) by the control's
// extent times the gearing moves the value from 0 to 1; control or shift gear ten times finer.
class IKnobControl : public IControl
{
public:
  IKnobControl(PluginBase* pPlug, IRECT rect, int paramIdx, EDirection direction = kVertical,
               double gearing = DEFAULT_GEARING);
  ~IKnobControl() override {}

  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* pMod) override;

protected:
  EDirection mDirection;
  double mGearing;
};

// A knob drawn as the frame of a filmstrip its value selects.
class IKnobMultiControl : public IKnobControl
{
public:
  IKnobMultiControl(PluginBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                    EDirection direction = kVertical, double gearing = DEFAULT_GEARING);
  ~IKnobMultiControl() override {}

  bool Draw(IGraphics* pGraphics) override;

protected:
  IBitmap mBitmap;
};
