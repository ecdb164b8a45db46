// The texts handed to the system's dialogs: the file filter and default extension built from an
// extension list, and a module's folder from its file name. Every buffer is a fixed size; the
// bounds are checked exactly, with guard bytes behind each buffer.
#include "gui/FileDialogText.h"
#include "gui/ModulePath.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The filter's strings up to the empty one that ends it, joined by '|': "description|pattern".
std::string Entries(const std::vector<char>& buf)
{
  std::string out;
  for (size_t i = 0; i < buf.size() && buf[i];)
  {
    const std::string s(&buf[i]);
    out += (out.empty() ? "" : "|") + s;
    i += s.size() + 1;
  }
  return out;
}

}  // namespace

TEST(FileDialogText, TheFilterJoinsThePatternsAndIsCutAtAPatternBoundary)
{
  struct Case
  {
    const char* extensions;
    int size;
    std::string entries;  // description|pattern
    bool built;
  };
  const std::string e200(200, 'x'), shortThenLong = "a " + e200;
  const Case cases[] = {
    {"fxp fxb", 272, "*.fxp;*.fxb|*.fxp;*.fxb", true},
    {"fxp", 272, "*.fxp|*.fxp", true},
    {"fxp  fxb", 272, "*.fxp;*.;*.fxb|*.fxp;*.;*.fxb", true},
    {"fxp ", 272, "*.fxp;*.|*.fxp;*.", true},
    {"", 272, "", false},
    {nullptr, 272, "", false},
    // 2 x 11 + 3 = 25 bytes hold "*.fxp;*.fxb"; one byte less drops the second pattern whole.
    {"fxp fxb", 25, "*.fxp;*.fxb|*.fxp;*.fxb", true},
    {"fxp fxb", 24, "*.fxp|*.fxp", true},
    {"fxp fxb", 13, "*.fxp|*.fxp", true},
    {"fxp fxb", 12, "", false},
    {"fxp fxb", 1, "", false},
    {e200.c_str(), 272, "", false},
    {shortThenLong.c_str(), 272, "*.a|*.a", true},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(testing::Message()
                 << (c.extensions ? c.extensions : "(null)") << " in " << c.size);
    std::vector<char> buf((size_t)c.size + 8, '#');
    EXPECT_EQ(BuildFileFilter(c.extensions, buf.data(), c.size), c.built);
    EXPECT_EQ(std::string(buf.end() - 8, buf.end()), "########");
    std::vector<char> inside(buf.begin(), buf.begin() + c.size);
    EXPECT_EQ(Entries(inside), c.entries);
  }
}

TEST(FileDialogText, TheDefaultExtensionIsTheFirstOneWhenItFits)
{
  struct Case
  {
    const char* extensions;
    int size;
    std::string expected;
  };
  const Case cases[] = {
    {"fxp fxb", 16, "fxp"},
    {"fxb", 16, "fxb"},
    {" fxp", 16, ""},
    {"", 16, ""},
    {nullptr, 16, ""},
    {"abcdefghijklmno fxp", 16, "abcdefghijklmno"},
    {"abcdefghijklmnop fxp", 16, ""},
    {"fxp", 3, ""},
    {"fxp", 4, "fxp"},
  };
  for (const Case& c : cases)
  {
    std::vector<char> buf((size_t)c.size + 4, '#');
    BuildDefaultExtension(c.extensions, buf.data(), c.size);
    EXPECT_EQ(std::string(buf.data()), c.expected) << (c.extensions ? c.extensions : "(null)");
    EXPECT_EQ(std::string(buf.end() - 4, buf.end()), "####");
  }
}

TEST(ModulePath, TheFolderKeepsItsSeparatorAndACutNameGivesNone)
{
  struct Case
  {
    std::string name;
    int bufferSize;
    std::string folder;
  };
  const Case cases[] = {
    {"C:\\Plugins\\X.dll", 260, "C:\\Plugins\\"},
    {"C:\\host.exe", 260, "C:\\"},
    {"X.dll", 260, ""},
    {"C:\\Plugins\\", 260, ""},
    {"", 260, ""},
    // The system fills the whole buffer with a name that does not fit: not a folder.
    {"C:\\Plugins\\X.d", 14, ""},
    {"C:\\Plugins\\X.", 14, "C:\\Plugins\\"},
  };
  for (const Case& c : cases)
  {
    QvString folder("stale");
    ModuleFolder(c.name.c_str(), (int)c.name.size(), c.bufferSize, &folder);
    EXPECT_EQ(std::string(folder.Get()), c.folder) << c.name;
  }
}
