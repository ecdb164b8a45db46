// The further controls in real windows: the GUI test plug-in's second page drawn as its checked-in
// picture, driven by window messages on this (the editor's) thread; menus, file dialogs and the
// web link answered from a timer while their modal loops run. Waits are wall-clock with slack.
#include "framework/vst/abi/opcodes.h"
#include "raster/px_png.h"
#include "tests/support/GuiTestPage.h"
#include "tests/support/win_modal_driver.h"
#include "tools/editor_picture/png_writer.h"
#include "tools/vsthost/editor_window.h"
#include "tools/vsthost/plugin_instance.h"
#include "tools/vsthost/renderer.h"
#include "tools/vsthost/vst_host.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using namespace vsthost;
using namespace GuiTestPoints;

namespace {

const int kSettleMs = 3000;  // the longest wait for what the next ticks must bring
const int kTicksMs = 200;    // a few redraw ticks

class FurtherControls : public testing::Test
{
protected:
  void SetUp() override
  {
    std::string error;
    plugin = PluginInstance::load(host, QV_GUITEST_PLUGIN, &error);
    ASSERT_TRUE(plugin) << error;
    prepareInstance(*plugin, 44100.0, BlockPlan());
    plugin->setParameter(kGuiPage, 1.0f);
    editor.reset(new EditorWindow(*plugin));
    ASSERT_EQ(editor->open(), 1);
    ASSERT_EQ(editor->width(), kGuiPageW);
    EXPECT_TRUE(EditorWindow::pumpUntil([&] { return !HostWindow::paintPending(editor->editor()); },
                                        kSettleMs));
  }
  void TearDown() override
  {
    editor.reset();
    plugin.reset();
  }

  double Param(int idx) { return plugin->getParameter(idx); }
  // Waits for a parameter to reach value (false when it does not).
  bool ParamBecomes(int idx, double value)
  {
    return EditorWindow::pumpUntil([&] { return std::abs(Param(idx) - value) < 1e-6; }, kSettleMs);
  }
  void Click(int button, int x, int y)
  {
    editor->press(button, x, y);
    editor->release(button, x, y);
  }
  Picture Shown()
  {
    EditorWindow::pumpFor(kTicksMs);
    Picture picture;
    EXPECT_TRUE(editor->capture(&picture));
    return picture;
  }
  std::string ProgramName()
  {
    char name[64] = "";
    plugin->dispatch(effGetProgramName, 0, 0, name);
    return name;
  }

  VstHost host;
  std::unique_ptr<PluginInstance> plugin;
  std::unique_ptr<EditorWindow> editor;
};

// The colour channels of a pixel.
uint32_t RGBAt(const Picture& p, int x, int y) { return p.at(x, y) & 0xFFFFFF; }

}  // namespace

// Every further control as the page first shows it, pixel for pixel, cell by cell of the page's
// grid. QV_UPDATE_GOLDEN=1 writes the picture anew; a mismatch leaves the window's picture beside
// the test as further-controls-actual.png.
TEST_F(FurtherControls, ThePageIsItsGoldenPicture)
{
  const Picture shown = Shown();
  ASSERT_EQ(shown.width, kGuiPageW);
  ASSERT_EQ(shown.height, kGuiPageH);
  const std::string golden = std::string(QV_TEST_DATA) + "/golden/guitest/further_controls.png";
  if (getenv("QV_UPDATE_GOLDEN"))
  {
    ASSERT_TRUE(
      WritePNGPixels(shown.pixels.data(), shown.width, shown.height, shown.width, golden.c_str()));
  }
  std::unique_ptr<PX_IBitmap> expected(PX_LoadPNG(golden.c_str()));
  ASSERT_NE(expected, nullptr) << golden;
  const char* cells[3][4] = {{"panels", "invisible switch and caption", "radio buttons", "fader"},
                             {"line knob", "rotater knob", "rotating mask knob", "overlay"},
                             {"text", "link", "file selector", "file buttons"}};
  std::string differing;
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 4; ++col)
    {
      bool same = true;
      for (int y = row * 106; y < (row + 1) * 106 && y < kGuiPageH; ++y)
        for (int x = col * 120; x < (col + 1) * 120; ++x)
          same = same && ((PX_GetPixel(expected.get(), x, y) ^ shown.at(x, y)) & 0xFFFFFF) == 0;
      if (!same)
        differing += std::string(differing.empty() ? "" : ", ") + cells[row][col];
    }
  if (!differing.empty())
    WritePNGPixels(shown.pixels.data(), shown.width, shown.height, shown.width,
                   "further-controls-actual.png");
  EXPECT_EQ(differing, "") << "see further-controls-actual.png";
}

// The page changes the editor's size: changed while the editor is closed (reopened in a host window
// of the old size, as a host that does not ask again leaves it) or while it is open, the window
// shows the whole of the new size as a new editor of that size does.
TEST_F(FurtherControls, ASizeChangedWhileClosedOrOpenIsPaintedWhole)
{
  Picture first;  // the first page, as another instance's new editor shows it
  {
    std::string error;
    auto other = PluginInstance::load(host, QV_GUITEST_PLUGIN, &error);
    ASSERT_TRUE(other) << error;
    prepareInstance(*other, 44100.0, BlockPlan());
    EditorWindow window(*other);
    ASSERT_EQ(window.open(), 1);
    EditorWindow::pumpFor(kTicksMs);
    ASSERT_TRUE(window.capture(&first));
  }
  const Picture page = Shown();
  struct Step
  {
    bool closed;
    float page;
    const Picture* expected;
  };
  // The host window fits the first page; then the second opens in it.
  const Step steps[] = {{true, 0.0f, &first},
                        {true, 1.0f, &page},
                        {false, 0.0f, &first},
                        {false, 1.0f, &page},
                        {false, 0.0f, &first}};
  for (const Step& s : steps)
  {
    SCOPED_TRACE(testing::Message() << (s.closed ? "closed" : "open") << ", page " << s.page);
    if (s.closed)
      editor->close();
    plugin->setParameter(kGuiPage, s.page);
    if (s.closed && s.page == 0.0f)
    {
      ASSERT_EQ(editor->open(), 1);
    }
    else if (s.closed)
    {
      ASSERT_EQ(plugin->dispatch(effEditOpen, 0, 0, editor->hostWindow()), 1);
    }
    const Picture shown = Shown();
    ASSERT_EQ(shown.width, s.expected->width);
    ASSERT_EQ(shown.height, s.expected->height);
    int differing = 0;
    for (size_t i = 0; i < shown.pixels.size(); ++i)
      differing += ((shown.pixels[i] ^ s.expected->pixels[i]) & 0xFFFFFF) != 0;
    EXPECT_EQ(differing, 0);
  }
}

TEST_F(FurtherControls, NamedValuesArePromptedThroughAMenu)
{
  struct Case
  {
    const char* what;
    int button;  // 0 left, 1 right
    int x, y;
    int choose;  // -1: dismissed
    int paramIdx;
    double value;  // normalised afterwards
  };
  const Case cases[] = {
    {"Mode caption, left click: High", 0, kModeCaptionX, kModeCaptionY, 2, kGuiMode, 1.0},
    {"Mode buttons, right click: Low", 1, kRadioX, kRadioY0, 0, kGuiMode, 0.0},
    {"Mode caption, dismissed", 1, kModeCaptionX, kModeCaptionY, -1, kGuiMode, 0.0},
    {"Gate caption: on", 1, kGateCaptionX, kGateCaptionY, 1, kGuiGate, 1.0},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    ModalDriver driver([&] {
      if (!ModalDriver::MenuShown())
        return false;
      if (c.choose < 0)
        EndMenu();
      else
        ModalDriver::ChooseMenuItem((HWND)editor->editor(), c.choose);
      return true;
    });
    Click(c.button, c.x, c.y);
    EXPECT_TRUE(EditorWindow::pumpUntil([&] { return driver.Done(); }, kSettleMs));
    EXPECT_FALSE(driver.GaveUp());
    EXPECT_TRUE(ParamBecomes(c.paramIdx, c.value));
  }
}

TEST_F(FurtherControls, TheFaderHandleFollowsADragAndSnapsToThePointer)
{
  const int travel = kFaderLen - kHandleH;
  struct Case
  {
    const char* what;
    std::vector<int> ys;  // press, then drags
    double value;
  };
  const Case cases[] = {
    {"snaps to the top", {kFaderTop + kHandleH / 2}, 1.0},
    {"snaps to the middle", {kFaderTop + kHandleH / 2 + travel / 2}, 0.5},
    {"dragged down past the end", {kFaderTop + 30, kFaderTop + 50, kFaderTop + 150}, 0.0},
    {"dragged back up a quarter", {kFaderTop + 80, kFaderTop + kHandleH / 2 + 57}, 0.25},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    editor->press(0, kFaderX, c.ys[0]);
    for (size_t i = 1; i < c.ys.size(); ++i)
      editor->move(kFaderX, c.ys[i], kMouseLeft);
    editor->release(0, kFaderX, c.ys.back());
    EXPECT_TRUE(ParamBecomes(kGuiAmount, c.value));
    // The handle's groove (dark) lies 5 rows below its top, its face (light) above.
    const int top = kFaderTop + (int)((1.0 - c.value) * travel);
    const Picture shown = Shown();
    EXPECT_EQ(RGBAt(shown, kFaderX, top + 1), 0xE8E8E8u);
    EXPECT_EQ(RGBAt(shown, kFaderX, top + 5), 0x202428u);
  }
}

// The fader, its caption and the three knobs share a parameter: a drag on the fader reaches the
// host as one whole gesture and shows on the others as the same change from the host does; a
// wheel step on a knob then goes on from the dragged value.
TEST_F(FurtherControls, ControlsSharingAParameterFollowAChangeOnOne)
{
  auto others = [](const Picture& p) {
    std::vector<uint32_t> pixels;
    for (int y = 40; y < 60; ++y)
      for (int x = 400; x < 476; ++x)
        pixels.push_back(RGBAt(p, x, y));
    for (int y = 116; y < 196; ++y)
      for (int x = 20; x < 340; ++x)
        pixels.push_back(RGBAt(p, x, y));
    return pixels;
  };
  host.log().clear();
  editor->press(0, kFaderX, kFaderTop + 40);
  editor->move(kFaderX, kFaderTop, kMouseLeft);
  editor->release(0, kFaderX, kFaderTop);
  EXPECT_TRUE(ParamBecomes(kGuiAmount, 1.0));
  const std::vector<uint32_t> dragged = others(Shown());
  std::vector<std::string> edits;
  for (const std::string& line : host.log().lines())
    if (line.rfind("beginEdit", 0) == 0 || line.rfind("endEdit", 0) == 0)
      edits.push_back(line);
    else if (line.rfind("automate", 0) == 0)
      edits.push_back(line.substr(0, line.find(' ', 9)));
  const std::string p = std::to_string(kGuiAmount);
  EXPECT_EQ(edits, (std::vector<std::string>{"beginEdit " + p, "automate " + p, "automate " + p,
                                             "endEdit " + p}));
  editor->wheel(60, 156, -120);  // the line knob
  EXPECT_TRUE(ParamBecomes(kGuiAmount, 0.99));
  plugin->setParameter(kGuiAmount, 1.0f);
  EXPECT_TRUE(others(Shown()) == dragged);
}

TEST_F(FurtherControls, RadioButtonsLieTopToBottomAndShowTheActiveOne)
{
  for (int i : {2, 0, 1})
  {
    Click(0, kRadioX, kRadioY0 + i * kRadioStep);
    EXPECT_TRUE(ParamBecomes(kGuiMode, i / 2.0));
    const Picture shown = Shown();
    for (int k = 0; k < 3; ++k)
      EXPECT_EQ(RGBAt(shown, kRadioX, kRadioY0 + k * kRadioStep) == 0xF0A030u, k == i) << i << k;
  }
}

TEST_F(FurtherControls, SwitchesToggleAndTheOverlayTakesTheMouseWhereItShows)
{
  struct Step
  {
    int x, y;
    int paramIdx;
    double value;
  };
  const Step steps[] = {
    {kGateSwitchX, kGateSwitchY, kGuiGate, 1.0},
    {kGateSwitchX, kGateSwitchY, kGuiGate, 0.0},
    {kOverlayTargetX, kOverlayTargetY, kGuiOverlay, 1.0},  // shown: its target area is idle
    {kOverlayX, kOverlayY, kGuiOverlay, 0.0},              // a click on it hides it
    {kOverlayX, kOverlayY, kGuiOverlay, 0.0},              // hidden: nothing there
    {kOverlayTargetX, kOverlayTargetY, kGuiOverlay, 1.0},  // its target area shows it again
  };
  for (const Step& s : steps)
  {
    Click(0, s.x, s.y);
    Shown();  // the overlay takes its new area when drawn
    EXPECT_NEAR(Param(s.paramIdx), s.value, 1e-6) << s.x << "," << s.y;
  }
}

// The caption shows "50.0 %"; another value changes its pixels, the value again restores them.
TEST_F(FurtherControls, TheCaptionFollowsTheDisplayTextAndLabel)
{
  auto caption = [](const Picture& p) {
    std::vector<uint32_t> pixels;
    for (int y = 40; y < 60; ++y)
      for (int x = 400; x < 476; ++x)
        pixels.push_back(RGBAt(p, x, y));
    return pixels;
  };
  const std::vector<uint32_t> half = caption(Shown());
  plugin->setParameter(kGuiAmount, 0.25f);
  EXPECT_NE(caption(Shown()), half);
  plugin->setParameter(kGuiAmount, 0.5f);
  EXPECT_EQ(caption(Shown()), half);
}

TEST_F(FurtherControls, ProgramsAreSavedAndLoadedThroughTheFileDialogs)
{
  const std::string path = testing::TempDir() + "qv_guitest_program.fxp";
  remove(path.c_str());
  plugin->setParameter(kGuiLevel, 0.75f);
  {
    ModalDriver driver(ModalDriver::AnswerFileDialog(path.c_str()));
    Click(0, kSaveX, kSaveY);
    EXPECT_TRUE(EditorWindow::pumpUntil([&] { return driver.Done(); }, kSettleMs));
  }
  FILE* f = fopen(path.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  fseek(f, 0, SEEK_END);
  EXPECT_EQ(ftell(f), 56 + 4 * kGuiNumParams);
  fclose(f);

  plugin->setParameter(kGuiLevel, 0.25f);
  {
    ModalDriver driver(ModalDriver::AnswerFileDialog(path.c_str()));
    Click(0, kLoadX, kLoadY);
    EXPECT_TRUE(EditorWindow::pumpUntil([&] { return driver.Done(); }, kSettleMs));
  }
  EXPECT_TRUE(ParamBecomes(kGuiLevel, 0.75));

  // A cancelled dialog loads nothing.
  plugin->setParameter(kGuiLevel, 0.25f);
  ModalDriver driver(ModalDriver::AnswerFileDialog(nullptr));
  Click(0, kLoadX, kLoadY);
  EXPECT_TRUE(EditorWindow::pumpUntil([&] { return driver.Done(); }, kSettleMs));
  EditorWindow::pumpFor(kTicksMs);
  EXPECT_NEAR(Param(kGuiLevel), 0.25, 1e-6);
  remove(path.c_str());
}

TEST_F(FurtherControls, TheFileSelectorShowsItsPictureWhileItsDialogIsUp)
{
  auto selector = [](const Picture& p) { return RGBAt(p, kSelectorX, kSelectorY - 18); };
  const uint32_t idle = selector(Shown());
  uint32_t whileUp = idle;
  ModalDriver driver([&] {
    HWND dialog = ModalDriver::Dialog();
    Picture shown;
    if (!dialog || !editor->capture(&shown) || selector(shown) == idle)
      return false;  // not yet repainted
    whileUp = selector(shown);
    ModalDriver::Press(dialog, IDCANCEL);
    return true;
  });
  Click(0, kSelectorX, kSelectorY);
  EXPECT_TRUE(EditorWindow::pumpUntil([&] { return driver.Done(); }, kSettleMs));
  EXPECT_FALSE(driver.GaveUp());
  EXPECT_NE(whileUp, idle);
  EXPECT_TRUE(EditorWindow::pumpUntil([&] { return selector(Shown()) == idle; }, kSettleMs));
}

// The plug-in records opened addresses as its program's name instead of starting a browser.
TEST_F(FurtherControls, TheLinkOpensItsAddress)
{
  Click(0, kURLX, kURLY);
  EXPECT_TRUE(
    EditorWindow::pumpUntil([&] { return ProgramName() == "http://orvyn.example/"; }, kSettleMs));
}
