// Program and bank files through the editor's file dialog: the chosen file is written or read,
// and nothing happens without an editor or when the dialog is cancelled.
#include "tests/support/fx_test_plug.h"
#include "tests/support/gui_prompt_graphics.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

bool Exists(const std::string& path)
{
  FILE* f = fopen(path.c_str(), "rb");
  if (f)
    fclose(f);
  return f != nullptr;
}

}  // namespace

TEST(ProgramFileDialogs, TheChosenFileIsWrittenAndReadBack)
{
  for (bool bank : {false, true})
  {
    SCOPED_TRACE(bank ? "bank" : "program");
    const std::string path =
      testing::TempDir() + (bank ? "qv_dialog_test.fxb" : "qv_dialog_test.fxp");
    auto source = MakeFxTestPlug(false);
    ASSERT_TRUE(source->RestorePreset(1));
    PromptGraphics* pSourceGUI = new PromptGraphics(source.get(), 10, 10);
    source->AttachGraphics(pSourceGUI);
    pSourceGUI->mChosenFile = path.c_str();
    EXPECT_TRUE(bank ? source->SaveBankAsFXB("bank.fxb") : source->SaveProgramAsFXP("prog.fxp"));

    auto target = MakeFxTestPlug(false);
    ASSERT_TRUE(target->RestorePreset(3));
    PromptGraphics* pTargetGUI = new PromptGraphics(target.get(), 10, 10);
    target->AttachGraphics(pTargetGUI);
    pTargetGUI->mChosenFile = path.c_str();
    EXPECT_TRUE(bank ? target->LoadBankFromFXB() : target->LoadProgramFromFXP());
    EXPECT_STREQ(target->GetPresetName(bank ? 1 : 3), "second program");
    EXPECT_EQ(pSourceGUI->mFilePrompts[0], bank ? "save  fxb" : "save  fxp");
    EXPECT_EQ(pTargetGUI->mFilePrompts[0], bank ? "open  fxb" : "open  fxp");
    remove(path.c_str());
  }
}

TEST(ProgramFileDialogs, NothingIsWrittenOrReadWithoutAChosenFile)
{
  const std::string missing = testing::TempDir() + "qv_dialog_no_such_file.fxp";
  struct Case
  {
    const char* what;
    bool gui;
    const char* chosen;  // null: cancelled
  };
  const Case cases[] = {
    {"no editor", false, nullptr},
    {"cancelled", true, nullptr},
    {"chosen file missing", true, missing.c_str()},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    auto plug = MakeFxTestPlug(false);
    if (c.gui)
    {
      PromptGraphics* pGUI = new PromptGraphics(plug.get(), 10, 10);
      plug->AttachGraphics(pGUI);
      pGUI->mChosenFile = c.chosen;
    }
    const FxPlugState before(*plug);
    EXPECT_FALSE(plug->LoadProgramFromFXP());
    EXPECT_FALSE(plug->LoadBankFromFXB());
    EXPECT_TRUE(FxPlugState(*plug) == before);
    if (!c.chosen)
    {
      // A cancelled save does not fall back on the offered name.
      EXPECT_FALSE(plug->SaveProgramAsFXP("qv_dialog_offered.fxp"));
      EXPECT_FALSE(plug->SaveBankAsFXB("qv_dialog_offered.fxb"));
      EXPECT_FALSE(Exists("qv_dialog_offered.fxp") || Exists("qv_dialog_offered.fxb"));
    }
  }
}
