// The GUI test plug-in: a small editor on the platform's window host whose controls prompt for
// typed values or named ones (the product's never do), so that tests can drive the value entry
// box, menus and dialogs through real windows. Audio passes through unchanged.
//
// Its first page, 300 x 200: a background, a "Level" knob (double -10..10, centred text) and a
// "Count" knob (int 0..16, right-aligned text) that follow a drag and open the entry box on a right
// click, a name field without a parameter whose box renames the current program, and a block that
// throws from its drawing and its mouse handlers while the "Throw" parameter is on. The "Size"
// parameter resizes the editor: 0 and 1 rebuild the controls at 300 x 200 and 400 x 300; 2 leaves
// a 200 x 100 editor without any control. The "Page" parameter shows instead one of each further
// control (GuiTestPage.h), whose web link records the address it opens as the current program's
// name instead of starting a browser.

#include "framework/vst/PluginVST.h"
#include "gui/IControl.h"
#include "gui/IGraphics.h"
#include "tests/support/GuiTestPage.h"

#include <stdexcept>

#ifdef _WIN32
#include "gui/IGraphicsWin.h"
#endif

namespace {

const int kLevel = kGuiLevel, kCount = kGuiCount, kSize = kGuiSize;

const int kSizes[3][2] = {{300, 200}, {400, 300}, {200, 100}};

// A rectangle shaded by its value; prompts for a typed value on a right click when asked to.
class Block : public IControl
{
public:
  Block(PluginBase* pPlug, IRECT r, int paramIdx, bool prompt, IText::EAlign align)
    : IControl(pPlug, r, paramIdx)
  {
    mDisablePrompt = !prompt;
    mText.mAlign = align;
  }
  bool Draw(IGraphics* pGraphics) override
  {
    const int shade = 40 + (int)(180.0 * mValue);
    const IColor colour(255, shade, shade, 255 - shade);
    return pGraphics->FillIRect(&colour, &mRECT, nullptr);
  }
  // Up raises the value of a bound block by a hundredth a pixel.
  void OnMouseDrag(int, int, int, int dY, IMouseMod*) override
  {
    if (mParamIdx < 0)
      return;
    mValue = mValue - 0.01 * dY;
    SetDirty(true);
  }
};

// Its entry box (no parameter) renames the current program.
class NameField : public Block
{
public:
  NameField(PluginBase* pPlug, IRECT r)
    : Block(pPlug, r, -1, false, IText::kAlignNear)
  {}
  void OnMouseDown(int, int, IMouseMod* pMod) override
  {
    if (pMod && pMod->R)
      mPlug->GetGUI()->CreateTextEntry(this, &mText, &mRECT, "name", nullptr);
  }
  void TextFromTextEntry(const char* txt) override { mPlug->ModifyCurrentPreset(txt); }
};

// Shown like the background while its parameter is off; throws while it is on.
class Thrower : public Block
{
public:
  Thrower(PluginBase* pPlug, IRECT r)
    : Block(pPlug, r, kGuiThrow, false, IText::kAlignCenter)
  {}
  bool Draw(IGraphics* pGraphics) override
  {
    ThrowWhenOn();
    return Block::Draw(pGraphics);
  }
  void OnMouseDown(int, int, IMouseMod*) override { ThrowWhenOn(); }
  void OnMouseUp(int, int, IMouseMod*) override { ThrowWhenOn(); }

private:
  void ThrowWhenOn()
  {
    if (mValue >= 0.5)
      throw std::runtime_error("the thrower threw");
  }
};

PluginBase* sLinkRecorder = nullptr;  // the instance whose program name takes opened addresses

#ifdef _WIN32
bool RecordLink(HWND, const char* url)
{
  if (sLinkRecorder)
    sLinkRecorder->ModifyCurrentPreset(url);
  return true;
}
#endif

class GuiTestPlug : public PluginVST
{
public:
  explicit GuiTestPlug(PluginInstanceInfo info)
    : PluginVST(info, kGuiNumParams, "1-1 2-2", 1, "GUI Test", "", "Orvyn Test", 0x10000,
                0x51764754, 0x4F72766E)
  {
    GetParam(kLevel)->InitDouble("Level", 0.0, -10.0, 10.0, 0.01);
    GetParam(kCount)->InitInt("Count", 4, 0, 16);
    GetParam(kSize)->InitEnum("Size", 0, 3);
    GetParam(kGuiPage)->InitEnum("Page", 0, 2);
    GetParam(kGuiMode)->InitEnum("Mode", 1, 3);
    GetParam(kGuiMode)->SetDisplayText(0, "Low");
    GetParam(kGuiMode)->SetDisplayText(1, "Band");
    GetParam(kGuiMode)->SetDisplayText(2, "High");
    GetParam(kGuiGate)->InitBool("Gate", false);
    GetParam(kGuiAmount)->InitDouble("Amount", 50.0, 0.0, 100.0, 0.1, "%");
    GetParam(kGuiOverlay)->InitBool("Overlay", true);
    GetParam(kGuiThrow)->InitBool("Throw", false);
    MakeDefaultPreset("Default", 1);
    IGraphics* pGraphics = MakeGraphics(this, kSizes[0][0], kSizes[0][1], 0);
    AttachControls(pGraphics);
    AttachGraphics(pGraphics);
#ifdef _WIN32
    sLinkRecorder = this;
    IGraphicsWin::SetURLLauncher(RecordLink);
#endif
  }
  ~GuiTestPlug() override
  {
    if (sLinkRecorder == this)
      sLinkRecorder = nullptr;
  }

  void OnParamChange(int paramIdx) override
  {
    IGraphics* pGraphics = GetGUI();
    if ((paramIdx != kSize && paramIdx != kGuiPage) || !pGraphics)
      return;
    const bool further = GetParam(kGuiPage)->Int() == 1;
    const int size = GetParam(kSize)->Int();
    pGraphics->Resize(further ? kGuiPageW : kSizes[size][0], further ? kGuiPageH : kSizes[size][1]);
    if (pGraphics->NControls() || (!further && size == 2))
      return;  // the same size again; or an editor left without controls
    if (further)
      AttachFurtherControls(this, pGraphics, &mArt);
    else
      AttachControls(pGraphics);
    RedrawParamControls();
  }

private:
  void AttachControls(IGraphics* pGraphics)
  {
    pGraphics->AttachControl(new Block(this, IRECT(0, 0, pGraphics->Width(), pGraphics->Height()),
                                       -1, false, IText::kAlignCenter));
    pGraphics->AttachControl(
      new Block(this, IRECT(20, 20, 84, 84), kLevel, true, IText::kAlignCenter));
    pGraphics->AttachControl(
      new Block(this, IRECT(120, 20, 184, 84), kCount, true, IText::kAlignFar));
    pGraphics->AttachControl(new NameField(this, IRECT(20, 120, 220, 144)));
    pGraphics->AttachControl(new Thrower(this, IRECT(220, 20, 280, 80)));
  }

  GuiTestArt mArt;
};

}  // namespace

PluginVST* MakePlugInstance(PluginInstanceInfo instanceInfo)
{
  return new GuiTestPlug(instanceInfo);
}
