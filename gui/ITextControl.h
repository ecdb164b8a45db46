#pragma once
// Text on the editor: a static text in a text style, and a caption showing a parameter's display
// text (and, when asked, its label) that prompts for a new value when clicked.
//
// A text control bound to another control as its value or name display receives that control's
// texts through SetTextFromPlug whenever the user changes the value.

#include "framework/base/QvString.h"
#include "gui/IControl.h"

class ITextControl : public IControl
{
public:
  // The style is copied whole (its cached font included). Bound to no parameter.
  ITextControl(PluginBase* pPlug, IRECT rect, IText* pText, const char* str = "");
  ~ITextControl() override {}

  // Nothing for an empty text; otherwise the text in the style within the rectangle (false when
  // the style's font cannot be made).
  bool Draw(IGraphics* pGraphics) override;

  // A text that differs from the one shown replaces it and marks the control dirty.
  void SetTextFromPlug(const char* str);
  const char* GetTextShown() const { return mStr.Get(); }

protected:
  QvString mStr;
};

class ICaptionControl : public ITextControl
{
public:
  ICaptionControl(PluginBase* pPlug, IRECT rect, int paramIdx, IText* pText,
                  bool showParamLabel = true);
  ~ICaptionControl() override {}

  // The left or right button prompts for a value, as does a double click.
  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  void OnMouseDblClick(int x, int y, IMouseMod* pMod) override;
  // The parameter's current display text, then " " and its label when shown.
  bool Draw(IGraphics* pGraphics) override;

protected:
  bool mShowParamLabel;
};
