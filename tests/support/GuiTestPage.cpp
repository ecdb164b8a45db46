// The GUI test plug-in's page of further controls and the pictures they show.
#include "tests/support/GuiTestPage.h"

#include "gui/IBitmapOverlayControl.h"
#include "gui/IFaderControl.h"
#include "gui/IFileSelectorControl.h"
#include "gui/IKnobLineControl.h"
#include "gui/IKnobRotaterControls.h"
#include "gui/IPlainControls.h"
#include "gui/IRadioButtonsControl.h"
#include "gui/ITextControl.h"
#include "gui/IURLControl.h"
#include "raster/px_arc.h"
#include "raster/px_line.h"

#include <cstdio>
#include <utility>

namespace {

const PX_pixel kInk = 0xFFE8E8E8u, kDark = 0xFF202428u, kAccent = 0xFFF0A030u;

// A control class with its prompts enabled (menus for named values, the entry box otherwise).
template <class T>
class Prompting : public T
{
public:
  template <class... A>
  explicit Prompting(A&&... args)
    : T(std::forward<A>(args)...)
  {
    this->mDisablePrompt = false;
  }
};

// A labelled button that saves the current program to a file, or loads one, through the file
// dialog.
class FileButton : public IControl
{
public:
  FileButton(PluginBase* pPlug, IRECT r, bool save)
    : IControl(pPlug, r)
    , mSave(save)
  {
    mText = IText(12, &COLOR_BLACK);
  }
  bool Draw(IGraphics* pGraphics) override
  {
    const IColor face(255, 200, 200, 190);
    pGraphics->FillIRect(&face, &mRECT, nullptr);
    char label[8];
    snprintf(label, sizeof(label), "%s", mSave ? "Save" : "Load");
    return pGraphics->DrawIText(&mText, label, &mRECT);
  }
  void OnMouseDown(int, int, IMouseMod*) override
  {
    if (mSave)
      mPlug->SaveProgramAsFXP("guitest.fxp");
    else
      mPlug->LoadProgramFromFXP();
  }

private:
  bool mSave;
};

IBitmap Handle(PX_MemBitmap* pBitmap, int frames = 1)
{
  return IBitmap(pBitmap, pBitmap->getWidth(), pBitmap->getHeight(), frames);
}

}  // namespace

GuiTestArt::GuiTestArt()
  : mRadio(16, 32)
  , mHandle(28, 12)
  , mRotater(56, 56)
  , mMaskBase(56, 56)
  , mMask(56, 56)
  , mMaskTop(56, 56)
  , mOverlay(80, 40)
  , mSelector(108, 68)
{
  for (PX_MemBitmap* pBitmap :
       {&mRadio, &mHandle, &mRotater, &mMaskBase, &mMask, &mMaskTop, &mOverlay, &mSelector})
    PX_Clear(pBitmap, 0);
  // Radio buttons: a ring, then the ring with its dot.
  for (int frame = 0; frame < 2; ++frame)
  {
    PX_Circle(&mRadio, 7.5f, 7.5f + 16 * frame, 6.5f, kInk, 1.0f, PX_MODE_COPY, true);
    if (frame)
      PX_FillCircle(&mRadio, 7.5f, 23.5f, 3.5f, kAccent, 1.0f, PX_MODE_COPY, true);
  }
  // The fader's handle: a light bar with a dark groove.
  PX_FillRect(&mHandle, 0, 0, 28, 12, kInk, 1.0f, PX_MODE_COPY);
  PX_FillRect(&mHandle, 2, 5, 24, 2, kDark, 1.0f, PX_MODE_COPY);
  // The rotater: a disc with a pointer upwards.
  PX_FillCircle(&mRotater, 27.5f, 27.5f, 26.0f, 0xFF607080u, 1.0f, PX_MODE_COPY, true);
  PX_FillRect(&mRotater, 26, 4, 4, 24, kInk, 1.0f, PX_MODE_COPY);
  // The rotating mask: a two-coloured base, a mask letting its upper half through, a ring on top.
  PX_FillRect(&mMaskBase, 0, 0, 28, 56, 0xFF3080F0u, 1.0f, PX_MODE_COPY);
  PX_FillRect(&mMaskBase, 28, 0, 28, 56, kAccent, 1.0f, PX_MODE_COPY);
  PX_FillRect(&mMask, 0, 0, 56, 28, 0xFF000000u, 1.0f, PX_MODE_COPY);
  PX_Circle(&mMaskTop, 27.5f, 27.5f, 26.0f, kInk, 1.0f, PX_MODE_COPY, true);
  // The overlay: a bordered yellow plate. The selector's picture: a blue plate.
  PX_FillRect(&mOverlay, 0, 0, 80, 40, kInk, 1.0f, PX_MODE_COPY);
  PX_FillRect(&mOverlay, 2, 2, 76, 36, 0xFFF0D040u, 1.0f, PX_MODE_COPY);
  PX_FillRect(&mSelector, 0, 0, 108, 68, 0xC03060C0u, 1.0f, PX_MODE_COPY);
}

void AttachFurtherControls(PluginBase* pPlug, IGraphics* pGraphics, GuiTestArt* pArt)
{
  const IColor ground(255, 36, 40, 48), orange(255, 200, 120, 40), cyan(128, 40, 200, 220);
  IText label(12, &COLOR_WHITE), title(14, &COLOR_WHITE, nullptr, IText::kStyleBold);
  IBitmap radio = Handle(&pArt->mRadio, 2), handle = Handle(&pArt->mHandle),
          rotater = Handle(&pArt->mRotater), base = Handle(&pArt->mMaskBase),
          mask = Handle(&pArt->mMask), top = Handle(&pArt->mMaskTop),
          overlay = Handle(&pArt->mOverlay), selector = Handle(&pArt->mSelector);
  IRECT overlayTarget(380, 120, 460, 146);
  IControl* controls[] = {
    // Row 1: panels, the Gate switch, the Mode buttons, the Amount fader.
    new IPanelControl(pPlug, IRECT(10, 10, 110, 96), &orange),
    new IPanelControl(pPlug, IRECT(40, 30, 100, 80), &cyan),
    new Prompting<ICaptionControl>(pPlug, IRECT(130, 40, 230, 60), kGuiGate, &label, true),
    new IInvisibleSwitchControl(pPlug, IRECT(130, 10, 230, 36), kGuiGate),
    new Prompting<IRadioButtonsControl>(pPlug, IRECT(246, 10, 262, 90), kGuiMode, 3, &radio),
    new Prompting<ICaptionControl>(pPlug, IRECT(266, 40, 354, 60), kGuiMode, &label, true),
    new IFaderControl(pPlug, 370, 10, 88, kGuiAmount, &handle),
    new ICaptionControl(pPlug, IRECT(400, 40, 476, 60), kGuiAmount, &label, true),
    // Row 2: the three knobs on Amount, the overlay.
    new IKnobLineControl(pPlug, IRECT(20, 116, 100, 196), kGuiAmount, &COLOR_WHITE, 8.0),
    new IKnobRotaterControl(pPlug, 152, 128, kGuiAmount, &rotater),
    new IKnobRotatingMaskControl(pPlug, 272, 128, kGuiAmount, &base, &mask, &top),
    new IBitmapOverlayControl(pPlug, 380, 150, kGuiOverlay, &overlay, &overlayTarget),
    // Row 3: text, the link, the file selector, saving and loading programs.
    new ITextControl(pPlug, IRECT(6, 240, 114, 290), &title, "Further controls"),
    new ITextControl(pPlug, IRECT(126, 252, 234, 272), &label, "orvyn.example"),
    new IURLControl(pPlug, IRECT(126, 252, 234, 272), "http://orvyn.example/",
                    "http://backup.orvyn.example/", "Orvyn"),
    new ITextControl(pPlug, IRECT(246, 252, 354, 272), &label, "Choose a file"),
    new IFileSelectorControl(pPlug, IRECT(246, 228, 354, 296), -1, &selector, kFileOpen, "",
                             "fxp fxb"),
    new FileButton(pPlug, IRECT(366, 222, 414, 248), true),
    new FileButton(pPlug, IRECT(420, 222, 468, 248), false),
  };
  for (IControl* pControl : controls)
    pGraphics->AttachControl(pControl);
  pGraphics->AttachPanelBackground(&ground);  // control 0, under all of them
}
