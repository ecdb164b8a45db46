// The editor window's menus and modal services under the real window system: menus shown and
// answered (or dismissed) from a timer while their modal loop runs, message boxes answered, file
// and colour dialogs cancelled or given an answer by messages, addresses opened through a recorder
// instead of the shell, and the module folders.
#include "gui/IGraphicsWin.h"
#include "gui/IPopupMenu.h"
#include "tests/support/fx_test_plug.h"
#include "tests/support/gui_prompt_graphics.h"
#include "tests/support/win_modal_driver.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// The program file test plug-in with its editor open in a shown host window; control 0 over
// (0, 0, 50, 20) prompts for the enumerated parameter 1 ("mode", three values).
struct WinEditor
{
  std::unique_ptr<TestPlug> plug = MakeFxTestPlug(false);
  IGraphicsWin* g;
  HWND host;

  WinEditor()
  {
    plug->GetParam(1)->SetDisplayText(0, "low");
    plug->GetParam(1)->SetDisplayText(1, "band");
    plug->GetParam(1)->SetDisplayText(2, "high");
    g = new IGraphicsWin(plug.get(), 200, 100);
    g->SetHInstance(GetModuleHandleA(nullptr));
    g->AttachControl(new PromptingControl(plug.get(), IRECT(0, 0, 50, 20), 1));
    plug->AttachGraphics(g);
    host = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
    ShowWindow(host, SW_SHOWNOACTIVATE);
    g->OpenWindow(host);
  }
  ~WinEditor()
  {
    g->CloseWindow();
    DestroyWindow(host);
  }
  HWND Window() { return (HWND)g->GetWindow(); }
};

std::vector<std::string> sLaunched;
bool sLaunchResult = false;
bool RecordLaunch(HWND, const char* url)
{
  sLaunched.push_back(url);
  return sLaunchResult;
}

}  // namespace

TEST(WinMenus, AMenuChoiceReachesTheParameterAndDismissingChangesNothing)
{
  struct Case
  {
    const char* what;
    int choose;    // -1: dismissed; -2: the editor closes while the menu is up
    double value;  // negative: unchanged
  };
  const Case cases[] = {
    {"third item", 2, 2.0},
    {"dismissed", -1, -1.0},
    {"owner closes", -2, -1.0},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    WinEditor e;
    ASSERT_NE(e.Window(), nullptr);
    bool closed = false;
    ModalDriver driver([&] {
      if (closed)
        return !ModalDriver::MenuShown();  // the menu ends with its owner
      if (!ModalDriver::MenuShown())
        return false;
      if (c.choose == -1)
      {
        EndMenu();
        return true;
      }
      ModalDriver::ChooseMenuItem(e.host, c.choose < 0 ? 0 : c.choose);
      if (c.choose >= 0)
        return true;
      e.g->CloseWindow();
      return !(closed = true);
    });
    const double before = e.plug->GetParam(1)->Value();
    IMouseMod right(false, true);
    e.g->OnMouseDown(10, 10, &right);
    e.g->OnMouseUp(10, 10, &right);
    EXPECT_TRUE(driver.Done() || closed);  // a menu ending with its owner may end at once
    EXPECT_FALSE(driver.GaveUp());
    EXPECT_EQ(e.plug->GetParam(1)->Value(), c.value < 0.0 ? before : c.value);
  }
}

TEST(WinMenus, SubmenuChoicesComeBackInTheirOwnMenu)
{
  WinEditor e;
  IPopupMenu sub, top(1);
  sub.AddItem("X");
  sub.AddItem("Y");
  top.AddItem("A");
  top.AddItem("S", &sub);
  ModalDriver driver([&] {
    if (!ModalDriver::MenuShown())
      return false;
    // Down to S, right into the submenu, down to Y.
    for (UINT vk : {VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN})
      PostMessageA(e.host, WM_KEYDOWN, vk, 0);
    return true;
  });
  IRECT at(0, 0, 50, 20);
  EXPECT_EQ(e.g->CreateIPopupMenu(&top, &at), &sub);
  EXPECT_EQ(sub.GetChosenItemIdx(), 1);
  EXPECT_EQ(top.GetChosenItemIdx(), -1);
}

TEST(WinDialogs, AMessageBoxGivesTheAnswerChosen)
{
  WinEditor e;
  for (int answer : {IDYES, IDNO})
  {
    std::string title;
    ModalDriver driver([&] {
      HWND box = ModalDriver::Dialog();
      if (!box)
        return false;
      title = ModalDriver::Title(box);
      ModalDriver::Press(box, answer);
      return true;
    });
    EXPECT_EQ(e.g->ShowMessageBox("Really?", "Question", MB_YESNO), answer);
    EXPECT_EQ(title, "Question");
  }
}

TEST(WinDialogs, OpeningAnAddressAsksFirstAndReportsAFailure)
{
  struct Case
  {
    const char* what;
    const char* confirm;
    int answer;  // to the confirmation
    bool launches;
    bool result;
    std::vector<std::string> boxes;  // texts of the boxes shown
  };
  const Case cases[] = {
    {"no confirmation, opens", nullptr, 0, true, true, {}},
    {"confirmed, opens", "Open it?", IDYES, true, true, {"Open it?"}},
    {"declined", "Open it?", IDNO, false, false, {"Open it?"}},
    {"fails: reported", nullptr, 0, true, false, {"Could not open"}},
  };
  WinEditor e;
  IGraphicsWin::URLLauncher previous = IGraphicsWin::SetURLLauncher(RecordLaunch);
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    sLaunched.clear();
    sLaunchResult = c.result;
    std::vector<std::string> boxes;
    HWND answered = nullptr;
    ModalDriver driver([&] {
      HWND box = ModalDriver::Dialog();
      if (box && box != answered)
      {
        answered = box;
        boxes.push_back(ModalDriver::Text(box));
        EXPECT_EQ(ModalDriver::Title(box), "Site");
        ModalDriver::Press(box, boxes.size() == 1 && c.confirm ? c.answer : IDOK);
      }
      return false;  // answers every box there is
    });
    EXPECT_EQ(e.g->OpenURL("http://example.invalid/", "Site", c.confirm, "Could not open"),
              c.result);
    EXPECT_EQ(sLaunched.size(), c.launches ? 1u : 0u);
    EXPECT_EQ(boxes, c.boxes);
  }
  IGraphicsWin::SetURLLauncher(previous);
}

TEST(WinDialogs, FileDialogsAreCancelledOrGivenANameByMessages)
{
  const std::string dir = testing::TempDir();
  struct Case
  {
    const char* what;
    EFileAction action;
    const char* typed;   // null: cancelled
    const char* result;  // the name afterwards
    bool chosen;
  };
  const std::string saved = dir + "qv_win_dialog.fxp";
  FILE* f = fopen(saved.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  fclose(f);
  const Case cases[] = {
    {"save cancelled", kFileSave, nullptr, "before.fxp", false},
    {"open cancelled", kFileOpen, nullptr, "before.fxp", false},
    {"open: an existing file", kFileOpen, "qv_win_dialog.fxp", saved.c_str(), true},
    {"save: the default extension added", kFileSave, "qv_win_dialog_new", nullptr, true},
  };
  WinEditor e;
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    ModalDriver driver(ModalDriver::AnswerFileDialog(c.typed));
    QvString name("before.fxp"), folder(dir.c_str());
    char extensions[] = "fxp fxb";
    EXPECT_EQ(e.g->PromptForFile(&name, c.action, &folder, extensions), c.chosen);
    EXPECT_FALSE(driver.GaveUp());
    const std::string expected = c.result ? c.result : dir + c.typed + ".fxp";
    EXPECT_STRCASEEQ(name.Get(), expected.c_str());
  }
  remove(saved.c_str());

  e.g->CloseWindow();
  QvString name("kept.fxp"), folder;
  char extensions[] = "fxp";
  EXPECT_FALSE(e.g->PromptForFile(&name, kFileOpen, &folder, extensions));
  EXPECT_STREQ(name.Get(), "");
}

TEST(WinDialogs, TheColourDialogKeepsTheAlphaAndShowsThePrompt)
{
  WinEditor e;
  for (int button : {IDCANCEL, IDOK})
  {
    std::string title;
    ModalDriver driver([&] {
      HWND dialog = ModalDriver::Dialog();
      if (!dialog)
        return false;
      title = ModalDriver::Title(dialog);
      ModalDriver::Press(dialog, button);
      return true;
    });
    IColor colour(128, 10, 20, 30);
    char prompt[] = "Lamp colour";
    EXPECT_EQ(e.g->PromptForColor(&colour, prompt), button == IDOK);
    EXPECT_TRUE(colour == IColor(128, 10, 20, 30));
    EXPECT_EQ(title, "Lamp colour");
  }
}

TEST(WinDialogs, ModuleFoldersEndInABackslash)
{
  WinEditor e;
  char exe[MAX_PATH];
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string folder = exe;
  folder.erase(folder.rfind('\\') + 1);
  QvString host, plugin;
  e.g->HostPath(&host);
  e.g->PluginPath(&plugin);  // the test program is the surface's module here
  EXPECT_EQ(std::string(host.Get()), folder);
  EXPECT_EQ(std::string(plugin.Get()), folder);
}
