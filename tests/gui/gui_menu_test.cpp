// Popup menus: the model, the depth-first numbering a platform builds from and the lookup from a
// chosen id back to its menu, and named parameters prompted through a menu.
#include "gui/IPopupMenu.h"
#include "tests/support/gui_prompt_graphics.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

// A platform that records what it is asked to show: each menu a list of entries.
class RecordingBuilder : public IPopupMenuBuilder
{
public:
  struct Entry
  {
    std::string kind;  // "sep", "sub", "cmd"
    std::string text;
    long id;
    int flags;
    int submenu;  // index of the recorded menu, for "sub"
  };
  std::vector<std::vector<Entry>> mMenus;
  int mFailAt = -1;  // the NewMenu call (from 0) that fails
  int mCalls = 0;

  void* NewMenu() override
  {
    if (mCalls++ == mFailAt)
      return nullptr;
    mMenus.emplace_back();
    return Handle(mMenus.size() - 1);
  }
  void AddSeparator(void* pMenu) override
  {
    mMenus[Index(pMenu)].push_back({"sep", "", -1, 0, -1});
  }
  void AddSubmenu(void* pMenu, const char* text, void* pSub) override
  {
    mMenus[Index(pMenu)].push_back({"sub", text, -1, 0, (int)Index(pSub)});
  }
  void AddCommand(void* pMenu, const char* text, long id, int flags) override
  {
    mMenus[Index(pMenu)].push_back({"cmd", text, id, flags, -1});
  }

  static void* Handle(size_t i) { return (void*)(uintptr_t)(i + 1); }
  static size_t Index(void* p) { return (size_t)(uintptr_t)p - 1; }
};

// A random tree of menus, each kept alive by the owner vector.
IPopupMenu* RandomTree(std::mt19937& rng, int depth, std::vector<std::unique_ptr<IPopupMenu>>* pAll)
{
  pAll->emplace_back(new IPopupMenu((int)(rng() % 4)));
  IPopupMenu* pMenu = pAll->back().get();
  const int n = (int)(rng() % 7);
  for (int i = 0; i < n; ++i)
  {
    const unsigned kind = rng() % 6;
    const std::string text = "item" + std::to_string(i);
    if (kind == 0)
      pMenu->AddSeparator();
    else if (kind == 1 && depth < 4)
      pMenu->AddItem(text.c_str(), RandomTree(rng, depth + 1, pAll));
    else
      pMenu->AddItem(text.c_str(), -1, (int)(rng() % 8));
  }
  return pMenu;
}

// Every item shown as a command, as (menu, index) by its id, walked through the recorded menus.
void CollectCommands(IPopupMenu* pMenu, const RecordingBuilder& b, size_t recorded,
                     std::map<long, std::pair<IPopupMenu*, int>>* pIds)
{
  size_t entry = 0;
  for (int i = 0; i < pMenu->GetNItems(); ++i)
  {
    IPopupMenuItem* pItem = pMenu->GetItem(i);
    const RecordingBuilder::Entry& e = b.mMenus[recorded][entry++];
    if (pItem->GetIsSeparator())
      EXPECT_EQ(e.kind, "sep");
    else if (pItem->GetSubmenu())
      CollectCommands(pItem->GetSubmenu(), b, (size_t)e.submenu, pIds);
    else
      (*pIds)[e.id] = std::make_pair(pMenu, i);
  }
}

}  // namespace

TEST(PopupMenuModel, ItemsAreAddedCheckedAndNumberedAsAsked)
{
  IPopupMenu menu;
  menu.AddItem("a");
  menu.AddItem("b");
  menu.AddItem("c");
  menu.AddItem(new IPopupMenuItem("first"), 0);
  menu.AddItem(new IPopupMenuItem("last"), 99);
  menu.AddItem("second", 1);
  menu.AddItem("clamped", -5);
  const char* expected[] = {"clamped", "first", "second", "a", "b", "c", "last"};
  ASSERT_EQ(menu.GetNItems(), 7);
  for (int i = 0; i < 7; ++i)
    EXPECT_STREQ(menu.GetItemText(i), expected[i]);
  EXPECT_EQ(menu.GetItem(7), nullptr);
  EXPECT_EQ(menu.GetItem(-1), nullptr);

  menu.CheckItem(0, true);
  menu.CheckItem(4, true);
  menu.CheckItemAlone(1);
  for (int i = 0; i < 7; ++i)
    EXPECT_EQ(menu.IsItemChecked(i), i == 1) << i;
  EXPECT_FALSE(menu.CheckItem(7, true));
  EXPECT_FALSE(menu.IsItemChecked(7));

  for (int prefix : {4, -1, 3, 9})
    menu.SetPrefix(prefix);
  EXPECT_EQ(menu.GetPrefix(), 3);

  IPopupMenuItem flags("x", IPopupMenuItem::kDisabled | IPopupMenuItem::kTitle);
  flags.SetChecked(true);
  flags.SetChecked(false);
  EXPECT_EQ(flags.GetFlags(), IPopupMenuItem::kDisabled | IPopupMenuItem::kTitle);
  EXPECT_FALSE(flags.GetEnabled());
  EXPECT_TRUE(flags.GetIsTitle());
}

TEST(PopupMenuNumbering, EachMenuReservesItsBlockBeforeItsSubmenus)
{
  // A, B, S (X, Y), C; then separator handling: P, separator, Q.
  IPopupMenu sub, top(2);
  sub.AddItem("X");
  sub.AddItem("Y");
  top.AddItem("A");
  top.AddItem("B");
  top.AddItem("S", &sub);
  top.AddItem("C", -1, IPopupMenuItem::kChecked | IPopupMenuItem::kDisabled);
  top.AddSeparator();
  top.AddItem("D");
  RecordingBuilder b;
  long next = 0;
  void* pShown = BuildPopupMenu(&top, &next, &b);
  ASSERT_EQ(pShown, RecordingBuilder::Handle(0));
  EXPECT_EQ(next, 8);

  const std::vector<std::string> topShown = {"01: A", "02: B", "03: S", "04: C", "", "06: D"};
  const std::vector<long> topIds = {0, 1, -1, 3, -1, 5};
  ASSERT_EQ(b.mMenus[0].size(), topShown.size());
  for (size_t i = 0; i < topShown.size(); ++i)
  {
    EXPECT_EQ(b.mMenus[0][i].text, topShown[i]);
    EXPECT_EQ(b.mMenus[0][i].id, topIds[i]);
  }
  EXPECT_EQ(b.mMenus[0][3].flags, IPopupMenuItem::kChecked | IPopupMenuItem::kDisabled);
  EXPECT_EQ(b.mMenus[1][0].id, 6);
  EXPECT_EQ(b.mMenus[1][1].id, 7);
  EXPECT_EQ(b.mMenus[1][1].text, "Y");

  struct Lookup
  {
    long id;
    IPopupMenu* menu;
    int idx;
  };
  const Lookup lookups[] = {{0, &top, 0},     {5, &top, 5},      {6, &sub, 0},        {7, &sub, 1},
                            {8, nullptr, -7}, {-1, nullptr, -7}, {65535, nullptr, -7}};
  for (const Lookup& l : lookups)
  {
    int idx = -7;
    EXPECT_EQ(GetItemMenu(&top, l.id, &idx), l.menu) << l.id;
    EXPECT_EQ(idx, l.idx) << l.id;
  }
}

TEST(PopupMenuNumbering, TheLookupInvertsTheNumberingOfRandomTrees)
{
  std::mt19937 rng(16);
  for (int round = 0; round < 300; ++round)
  {
    std::vector<std::unique_ptr<IPopupMenu>> all;
    IPopupMenu* pTop = RandomTree(rng, 0, &all);
    RecordingBuilder b;
    long next = 0;
    ASSERT_NE(BuildPopupMenu(pTop, &next, &b), nullptr);
    EXPECT_EQ(next, CountPopupMenuIds(pTop));
    std::map<long, std::pair<IPopupMenu*, int>> ids;
    CollectCommands(pTop, b, 0, &ids);
    for (const auto& entry : ids)
    {
      int idx = -1;
      EXPECT_EQ(GetItemMenu(pTop, entry.first, &idx), entry.second.first);
      EXPECT_EQ(idx, entry.second.second);
    }
    int idx = -1;
    EXPECT_EQ(GetItemMenu(pTop, next, &idx), nullptr);
  }
}

TEST(PopupMenuNumbering, ASubmenuThatCannotBeMadeIsLeftOutAndTheRestKeepTheirIds)
{
  // top: A, S1 (X, S2 (Y)), S3 (Z); the platform fails to make S1.
  IPopupMenu s2, s1, s3, top;
  s2.AddItem("Y");
  s1.AddItem("X");
  s1.AddItem("S2", &s2);
  s3.AddItem("Z");
  top.AddItem("A");
  top.AddItem("S1", &s1);
  top.AddItem("S3", &s3);
  RecordingBuilder b;
  b.mFailAt = 1;
  long next = 0;
  ASSERT_NE(BuildPopupMenu(&top, &next, &b), nullptr);
  EXPECT_EQ(next, 7);
  ASSERT_EQ(b.mMenus[0].size(), 2u);  // A and S3
  const RecordingBuilder::Entry& z = b.mMenus[(size_t)b.mMenus[0][1].submenu][0];
  int idx = -1;
  EXPECT_EQ(GetItemMenu(&top, z.id, &idx), &s3);
  EXPECT_EQ(idx, 0);

  RecordingBuilder failTop;
  failTop.mFailAt = 0;
  next = 0;
  EXPECT_EQ(BuildPopupMenu(&top, &next, &failTop), nullptr);
}

TEST(PopupMenuNumbering, PrefixesNumberFromOneAndLongTextsStayWhole)
{
  struct Case
  {
    int prefix;
    int index;
    std::string text;
    std::string shown;
  };
  const std::string longText(5000, 'w');
  const Case cases[] = {
    {0, 2, "T", "T"},
    {2, 2, "T", "03: T"},
    {1, 11, "T", "12: T"},
    {3, 0, "", "001: "},
    {3, 1234, "T", "1235: T"},
    {3, 2, longText, "003: " + longText},
    {1, 2, longText, "3: " + longText},
  };
  for (const Case& c : cases)
  {
    IPopupMenu menu(c.prefix);
    for (int i = 0; i < c.index; ++i)
      menu.AddItem("-");
    menu.AddItem(c.text.c_str());
    QvString shown;
    PopupMenuItemText(&menu, c.index, &shown);
    EXPECT_EQ(shown.Get(), c.shown) << c.prefix << " " << c.index;
  }
}

TEST(PopupMenuNumbering, ItemsBeyondTheLastReportableIdAreNotShown)
{
  IPopupMenu menu;
  for (long i = 0; i <= kMaxPopupMenuId + 1; ++i)
    menu.AddItem("x");
  RecordingBuilder b;
  long next = 0;
  BuildPopupMenu(&menu, &next, &b);
  ASSERT_EQ(b.mMenus[0].size(), (size_t)kMaxPopupMenuId + 1);
  EXPECT_EQ(b.mMenus[0].back().id, kMaxPopupMenuId);
}

TEST(PromptUserInput, NamedValuesAreChosenFromAMenuOfTheirTexts)
{
  struct Case
  {
    const char* what;
    bool isEnum;
    int choose;  // -1: dismissed
    double expected;
  };
  const Case cases[] = {
    {"enum: the third text", true, 2, 2.0},
    {"enum: dismissed", true, -1, 1.0},
    {"named boolean", false, 0, 0.0},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    TestPlug plug(1, "1-1");
    IParam* pParam = plug.GetParam(0);
    if (c.isEnum)
    {
      pParam->InitEnum("mode", 1, 3);
      pParam->SetDisplayText(0, "low");
      pParam->SetDisplayText(1, "band");
      pParam->SetDisplayText(2, "high");
    }
    else
    {
      pParam->InitBool("on", true);  // named "off" and "on"
    }
    PromptGraphics* pGraphics = new PromptGraphics(&plug, 50, 50);
    plug.AttachGraphics(pGraphics);
    PromptingControl* pControl = new PromptingControl(&plug, IRECT(10, 10, 30, 20), 0);
    pGraphics->AttachControl(pControl);
    pControl->SetValueFromPlug(pParam->GetNormalized());
    pGraphics->mChoose = c.choose;
    IMouseMod right(false, true);
    pGraphics->OnMouseDown(15, 15, &right);
    pGraphics->OnMouseUp(15, 15, &right);

    const std::vector<std::string> shown = c.isEnum
                                             ? std::vector<std::string>{"low", "band*", "high"}
                                             : std::vector<std::string>{"off", "on*"};
    EXPECT_EQ(pGraphics->mMenuShown, shown);
    EXPECT_EQ(pGraphics->mMenuRECT, IRECT(10, 10, 30, 20));
    EXPECT_TRUE(pGraphics->mTextEntries.empty());
    EXPECT_EQ(pParam->Value(), c.expected);
  }
}

// A window's menu takes the mouse from the editor: a value chosen in it while the press is open
// reaches the host in a gesture, which the capture lost meanwhile (no control holds it any more)
// ends, before any release.
TEST(PromptUserInput, ALostCaptureEndsTheGestureOfAValueChosenFromAMenu)
{
  struct TakingMenuGraphics : PromptGraphics
  {
    using PromptGraphics::PromptGraphics;
    IPopupMenu* CreateIPopupMenu(IPopupMenu* pMenu, IRECT* pTextRect) override
    {
      ReleaseMouseCapture();
      return PromptGraphics::CreateIPopupMenu(pMenu, pTextRect);
    }
  };
  TestPlug plug(1, "1-1");
  plug.GetParam(0)->InitEnum("mode", 0, 3);
  for (int i = 0; i < 3; ++i)
    plug.GetParam(0)->SetDisplayText(i, std::to_string(i).c_str());
  TakingMenuGraphics* pGraphics = new TakingMenuGraphics(&plug, 50, 50);
  plug.AttachGraphics(pGraphics);
  pGraphics->AttachControl(new PromptingControl(&plug, IRECT(10, 10, 30, 20), 0));
  pGraphics->mChoose = 2;
  IMouseMod right(false, true);
  pGraphics->OnMouseDown(15, 15, &right);
  EXPECT_EQ(plug.mLog, (std::vector<std::string>{"begin 0", "paramchange 0", "automate 0 1"}));
  pGraphics->OnMouseCaptureLost();
  EXPECT_EQ(plug.mLog.back(), "end 0");
  EXPECT_FALSE(pGraphics->HasMouseCapture());
}
