#pragma once
// IControl: the base of every element of the editor.
//
// A control is a rectangle on the drawing surface, optionally bound to one plug-in parameter (and
// to auxiliary ones), holding the normalised value it shows and the flags that drive redrawing.
// Values flow both ways: from the plug-in through SetValueFromPlug (never echoed back), from the
// user through SetDirty(true), which pushes the value to PluginBase::SetParameterFromGUI.
//
// The surface owns its controls (made with new, handed to IGraphics::AttachControl, deleted
// through the virtual destructor). Subclasses keep the virtual operations in this order.
//
// Threads: SetValueFromPlug and SetAuxParamValueFromPlug run on the host's thread that sets the
// parameter; everything else on the GUI thread. The value, the default and the dirty and redraw
// flags are relaxed atomics: the GUI thread may see a change a tick late, never a torn one.

#include "framework/base/HeapBuf.h"
#include "gui/IGraphicsStructs.h"
#include "gui/IRelaxed.h"

class IGraphics;
class ITextControl;
class PluginBase;

// v held in 0..1 in double, a value that is not a number taken as 0: what a value may be before it
// is cast to a pixel offset or an index (the cast of a value far outside int is undefined).
inline double ClampUnit(double v) { return v >= 0.0 ? (v <= 1.0 ? v : 1.0) : 0.0; }

class IControl
{
public:
  // An auxiliary parameter: its index and the normalised value last handed in by the plug-in.
  struct AuxParam
  {
    IRelaxed<double> mValue;
    int mParamIdx;
    explicit AuxParam(int idx)
      : mValue(0.0)
      , mParamIdx(idx)
    {}
  };

  // paramIdx -1 binds no parameter.
  IControl(PluginBase* pPlug, IRECT rect, int paramIdx = -1,
           IChannelBlend blend = IChannelBlend(IChannelBlend::kBlendNone));

  // ---- Virtual operations, in their fixed order -------------------------------------------------

  virtual ~IControl() {}

  // Right button: PromptUserInput(). Otherwise nothing.
  virtual void OnMouseDown(int x, int y, IMouseMod* pMod);
  virtual void OnMouseUp(int /*x*/, int /*y*/, IMouseMod* /*pMod*/) {}
  // dX, dY: movement since the last drag event, in pixels.
  virtual void OnMouseDrag(int /*x*/, int /*y*/, int /*dX*/, int /*dY*/, IMouseMod* /*pMod*/) {}
  // Restores the default value, once the plug-in has handed one in.
  virtual void OnMouseDblClick(int x, int y, IMouseMod* pMod);
  // 0.01 per step, 0.001 with control or shift held.
  virtual void OnMouseWheel(int x, int y, IMouseMod* pMod, int d);
  // True when the key was handled.
  virtual bool OnKeyDown(int /*x*/, int /*y*/, int /*key*/) { return false; }
  virtual void OnMouseOver(int /*x*/, int /*y*/, IMouseMod* /*pMod*/) {}
  virtual void OnMouseOut() {}
  // Draws into the surface's bitmap through its drawing operations.
  virtual bool Draw(IGraphics* pGraphics) = 0;
  // [host thread] The plug-in's value. The first one also becomes the default a double click
  // restores. A change (the first value included) marks the control dirty for two passes and is
  // not pushed back.
  virtual void SetValueFromPlug(double value);
  // The value an edit box hands in for a control without a parameter.
  virtual void TextFromTextEntry(const char* /*txt*/) {}
  virtual void Hide(bool hide);
  // Graying drops the blend weight to GRAYED_ALPHA; ungraying sets it to 1.
  virtual void GrayOut(bool gray);
  virtual bool IsHit(int x, int y) { return mTargetRECT.Contains(x, y); }
  // Clamps the value, marks the control dirty and, when asked, pushes the value to the plug-in
  // (only for a parameter of its list) through the plug-in's editor surface, which brackets it in
  // an edit gesture and shows it on the other controls bound to the parameter.
  virtual void SetDirty(bool pushParamToPlug = true);
  // Clean after this drawing pass, unless a redraw was asked for: then dirty for one more pass.
  virtual void SetClean();
  virtual bool IsDirty() { return mDirty; }
  // Run by the surface after a stretch of idle timer ticks.
  virtual void OnGUIIdle() {}
  // [host thread]
  virtual void SetAuxParamValueFromPlug(int auxParamIdx, double value);

  // ---- Other operations ------------------------------------------------------------------------

  // The edit box's or menu's value: a change is pushed to the plug-in and redrawn.
  void SetValueFromUserInput(double value);
  // Asks the surface to prompt for the bound parameter's value, over the control (parameters with
  // display texts) or in a 30 x 16 box at its centre. Inert while mDisablePrompt is set.
  void PromptUserInput();
  void PromptUserInput(IRECT* pTextRect);

  void AddAuxParam(int paramIdx) { mAuxParams.Add(AuxParam(paramIdx)); }
  // The idx-th auxiliary parameter; idx must be in range.
  AuxParam* GetAuxParam(int idx) { return mAuxParams.Get() + idx; }
  // Position of the first auxiliary parameter bound to paramIdx, or -1.
  int AuxParamIdx(int paramIdx);
  int NAuxParams() const { return mAuxParams.GetSize(); }
  void SetAllAuxParamsFromGUI();

  // Text controls that show the bound parameter's display text and name whenever the user changes
  // the value (not owned; null for none).
  void SetValDisplayControl(ITextControl* pControl) { mValDisplayControl = pControl; }
  void SetNameDisplayControl(ITextControl* pControl) { mNameDisplayControl = pControl; }

  void Redraw() { mRedraw = true; }
  void Clamp(double lo, double hi)
  {
    mClampLo = lo;
    mClampHi = hi;
  }

  IRECT* GetRECT() { return &mRECT; }
  IRECT* GetTargetRECT() { return &mTargetRECT; }
  IText* GetText() { return &mText; }
  int ParamIdx() const { return mParamIdx; }
  double GetValue() const { return mValue; }
  double GetDefaultValue() const { return mDefaultValue; }
  const IChannelBlend* GetBlend() const { return &mBlend; }
  bool IsHidden() const { return mHide; }
  bool IsGrayed() const { return mGrayed; }
  bool MouseDblAsSingleClick() const { return mDblAsSingleClick; }
  bool GetMOWhenGrayed() const { return mMOWhenGrayed; }
  int GetTextEntryLength() const { return mTextEntryLength; }

protected:
  int mTextEntryLength;
  IText mText;
  PluginBase* mPlug;
  IRECT mRECT;
  IRECT mTargetRECT;
  int mParamIdx;
  QvTypedBuf<AuxParam> mAuxParams;
  IRelaxed<double> mValue;
  IRelaxed<double> mDefaultValue;  // negative: not known yet
  double mClampLo;
  double mClampHi;
  IRelaxed<bool> mDirty;
  bool mHide;
  bool mGrayed;
  IRelaxed<bool> mRedraw;
  bool mDisablePrompt;
  bool mDblAsSingleClick;
  bool mMOWhenGrayed;
  IChannelBlend mBlend;
  ITextControl* mValDisplayControl;
  ITextControl* mNameDisplayControl;

private:
  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;
};
