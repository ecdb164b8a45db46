// Text on the editor: static texts, captions showing a parameter's display text and label, and the
// value and name displays a control keeps up to date.
#include "gui/IPlainControls.h"
#include "gui/ITextControl.h"
#include "tests/support/gui_prompt_graphics.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Whether any pixel of r on the surface has the colour.
bool Shows(TestGraphics* g, IRECT r, const IColor& colour)
{
  for (int y = r.T; y < r.B; ++y)
    for (int x = r.L; x < r.R; ++x)
      if (g->GetPoint(x, y) == colour)
        return true;
  return false;
}

// A bare knob whose prompts are enabled.
class Knob : public IControl
{
public:
  using IControl::IControl;
  bool Draw(IGraphics*) override { return true; }
};

}  // namespace

TEST(TextControls, ATextIsDrawnInItsStyleAndReplacedOnlyWhenItChanges)
{
  const IColor ink(255, 250, 240, 10);
  IText style(8, &ink, nullptr, IText::kStyleNormal, IText::kAlignNear);
  struct Case
  {
    const char* str;
    bool inked;
  };
  const Case cases[] = {{"Gate", true}, {"", false}};
  for (const Case& c : cases)
  {
    TestGraphics g(nullptr, 60, 20);
    g.AttachControl(new IPanelControl(nullptr, IRECT(0, 0, 60, 20), &COLOR_BLACK));
    g.AttachControl(new ITextControl(nullptr, IRECT(2, 2, 58, 18), &style, c.str));
    g.FullRepaint();
    EXPECT_EQ(Shows(&g, IRECT(0, 0, 60, 20), ink), c.inked) << c.str;
  }

  ITextControl text(nullptr, IRECT(0, 0, 10, 10), &style, "a");
  const struct
  {
    const char* str;
    bool dirty;
  } steps[] = {{"a", false}, {"b", true}, {"b", false}, {"", true}, {nullptr, true}};
  for (const auto& s : steps)
  {
    text.SetClean();
    text.SetTextFromPlug(s.str);
    EXPECT_EQ(text.IsDirty(), s.dirty) << (s.str ? s.str : "(null)");
    EXPECT_STREQ(text.GetTextShown(), s.str ? s.str : "");
  }
}

TEST(CaptionControls, ShowTheDisplayTextAndLabelAndPromptWhenClicked)
{
  struct Case
  {
    const char* what;
    bool isEnum;
    bool showLabel;
    std::string shown;
  };
  const Case cases[] = {
    {"value and label", false, true, "0.25 dB"},
    {"value only", false, false, "0.25"},
    {"named value", true, true, "band "},  // a display text has no label
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    TestPlug plug(1, "1-1");
    IParam* pParam = plug.GetParam(0);
    if (c.isEnum)
    {
      pParam->InitEnum("mode", 1, 3, "dB");
      pParam->SetDisplayText(0, "low");
      pParam->SetDisplayText(1, "band");
      pParam->SetDisplayText(2, "high");
    }
    else
    {
      pParam->InitDouble("gain", 0.25, 0.0, 1.0, 0.01, "dB");
    }
    PromptGraphics* g = new PromptGraphics(&plug, 60, 20);
    plug.AttachGraphics(g);
    IText style(8);
    auto* pCaption =
      new Prompting<ICaptionControl>(&plug, IRECT(0, 0, 60, 20), 0, &style, c.showLabel);
    g->AttachControl(pCaption);
    g->FullRepaint();
    EXPECT_EQ(pCaption->GetTextShown(), c.shown);

    IMouseMod left(true), middle;
    g->OnMouseDown(5, 5, &left);
    g->OnMouseDown(5, 5, &middle);  // neither left nor right: no prompt
    g->OnMouseDblClick(5, 5, &left);
    EXPECT_EQ(g->mMenuShown.size() + g->mTextEntries.size(), c.isEnum ? 6u : 2u);
  }
}

TEST(TextControls, DisplaysFollowTheValueTheUserSets)
{
  TestPlug plug(2, "1-1");
  plug.GetParam(0)->InitDouble("gain", 0.0, 0.0, 1.0, 0.01, "dB");
  plug.GetParam(1)->InitEnum("mode", 0, 2);
  plug.GetParam(1)->SetDisplayText(1, "wide");
  IText style(8);
  ITextControl value(&plug, IRECT(0, 0, 10, 10), &style), name(&plug, IRECT(0, 0, 10, 10), &style);
  struct Case
  {
    int paramIdx;
    double userValue;
    std::string value, name;
  };
  const Case cases[] = {{0, 0.5, "0.50", "gain"}, {1, 1.0, "wide", "mode"}, {-1, 0.3, "", ""}};
  for (const Case& c : cases)
  {
    value.SetTextFromPlug("");
    name.SetTextFromPlug("");
    Knob knob(&plug, IRECT(0, 0, 10, 10), c.paramIdx);
    knob.SetValDisplayControl(&value);
    knob.SetNameDisplayControl(&name);
    knob.SetValueFromPlug(0.0);
    EXPECT_STREQ(value.GetTextShown(), "") << "values from the plug-in are not shown";
    knob.SetValueFromUserInput(c.userValue);
    EXPECT_EQ(value.GetTextShown(), c.value);
    EXPECT_EQ(name.GetTextShown(), c.name);
  }
}
