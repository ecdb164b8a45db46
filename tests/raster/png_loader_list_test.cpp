// Loading PNG files by name, and the image-loader list with its file-name functions.
#include "raster/px_image.h"
#include "raster/px_png.h"

#include "tests/support/png_test_util.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace pngtest;
namespace fs = std::filesystem;

namespace {

// A scratch folder holding copies of the 32 x 16 test image under the given names.
class ScratchFiles
{
public:
  explicit ScratchFiles(std::initializer_list<const char*> utf8Names)
  {
    m_dir = fs::temp_directory_path() / ("qv-png-" + std::to_string((uintptr_t)this));
    fs::create_directories(m_dir / "sub.d");
    const fs::path source = fs::path(QV_TEST_DATA) / "png" / "rgba_32x16.png";
    for (const char* name : utf8Names)
      fs::copy_file(source, m_dir / fs::u8path(name), fs::copy_options::overwrite_existing);
  }
  ~ScratchFiles()
  {
    std::error_code ec;
    fs::remove_all(m_dir, ec);
  }
  std::string path(const char* utf8Name) const { return (m_dir / fs::u8path(utf8Name)).u8string(); }

private:
  fs::path m_dir;
};

// Swaps in another loader list for the life of the guard.
class LoaderListGuard
{
public:
  explicit LoaderListGuard(PX_ImageLoaderEntry* list)
    : m_saved(PX_ImageLoader_list)
  {
    PX_ImageLoader_list = list;
  }
  ~LoaderListGuard() { PX_ImageLoader_list = m_saved; }

private:
  PX_ImageLoaderEntry* m_saved;
};

// The whole list up to and including its closing empty text.
std::string wholeList(const char* list)
{
  size_t i = 0;
  while (list[i] || list[i + 1])
    ++i;
  return std::string(list, i + 2);
}

}  // namespace

TEST(PngFile, LoadsUtf8NamesAndRefusesMissingFiles)
{
  ScratchFiles files({"plain.png", "bild-\xC3\xBC\xE2\x82\xAC.png"});
  struct Case
  {
    const char* name;
    std::string path;
    bool loads;
  };
  const Case cases[] = {
    {"plain name", files.path("plain.png"), true},
    {"non-ASCII name", files.path("bild-\xC3\xBC\xE2\x82\xAC.png"), true},
    {"missing file", files.path("missing.png"), false},
    {"a folder", files.path("sub.d"), false},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    std::unique_ptr<PX_IBitmap> bm(PX_LoadPNG(c.path.c_str()));
    ASSERT_EQ(bm != nullptr, c.loads);
    if (bm)
    {
      EXPECT_EQ(bm->getWidth() * bm->getHeight(), 32 * 16);
    }
  }
  EXPECT_EQ(PX_LoadPNG(nullptr), nullptr);
}

// The PNG loader compares the extension (ignoring case) only when asked; PX_LoadImage asks
// first and, with tryall, tries again without the check.
TEST(ImageLoaderList, LoadersCheckTheExtensionOnlyWhenAsked)
{
  ScratchFiles files({"IMAGE.PNG", "image.PNG.bak", "noextension", "sub.d/pic"});
  enum Via
  {
    kCheckedLoader,
    kUncheckedLoader,
    kLoadImage,
    kLoadImageTryAll
  };
  struct Case
  {
    const char* name;
    Via via;
    bool loads;
  };
  const Case cases[] = {
    {"IMAGE.PNG", kCheckedLoader, true},       {"image.PNG.bak", kCheckedLoader, false},
    {"image.PNG.bak", kUncheckedLoader, true}, {"noextension", kCheckedLoader, false},
    {"noextension", kUncheckedLoader, true},   {"sub.d/pic", kCheckedLoader, false},
    {"IMAGE.PNG", kLoadImage, true},           {"image.PNG.bak", kLoadImage, false},
    {"image.PNG.bak", kLoadImageTryAll, true}, {"missing.png", kLoadImageTryAll, false},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(std::string(c.name) + " via " + std::to_string(c.via));
    const std::string path = files.path(c.name);
    std::unique_ptr<PX_IBitmap> bm(
      c.via <= kUncheckedLoader
        ? PX_PNGLoader::loadfunc(path.c_str(), c.via == kCheckedLoader, nullptr)
        : PX_LoadImage(path.c_str(), nullptr, c.via == kLoadImageTryAll));
    EXPECT_EQ(bm != nullptr, c.loads);
  }
  PX_MemBitmap into(1, 1, 4);
  EXPECT_EQ(PX_LoadImage(files.path("IMAGE.PNG").c_str(), &into), &into);
  // Without any '.', '/' or '\\' the whole name is compared with ".png".
  EXPECT_EQ(PX_PNGLoader::loadfunc("png", true, nullptr), nullptr);
  EXPECT_EQ(PX_PNGLoader::loadfunc(nullptr, false, nullptr), nullptr);
  EXPECT_EQ(PX_LoadImage(nullptr, nullptr, true), nullptr);
}

TEST(ImageLoaderList, ImageIsSupportedLooksAtTheFirstPatternOnly)
{
  struct Case
  {
    const char* name;
    bool supported;
  };
  const Case cases[] = {
    {"a/b.png", true}, {"X.PnG", true},    {".png", true},   {"c:\\x\\y.PNG", true},
    {"png", false},    {"a.png/b", false}, {"a.pn", false},  {"a.pngx", false},
    {"a.PNG.", false}, {"", false},        {nullptr, false},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name ? c.name : "(null)");
    EXPECT_EQ(PX_ImageIsSupported(c.name), c.supported);
  }
}

TEST(ImageLoaderList, ExtensionListHasTheFileDialogForm)
{
  using namespace std::string_literals;
  struct Case
  {
    bool allsup, allfiles;
    std::string expected;
  };
  const Case cases[] = {
    {true, true,
     "All supported images\0*.PNG\0PNG files (*.PNG)\0*.PNG\0All files (*.*)\0*.*\0\0"s},
    {true, false, "All supported images\0*.PNG\0PNG files (*.PNG)\0*.PNG\0\0"s},
    {false, true, "PNG files (*.PNG)\0*.PNG\0All files (*.*)\0*.*\0\0"s},
    {false, false, "PNG files (*.PNG)\0*.PNG\0\0"s},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(std::to_string(c.allsup) + std::to_string(c.allfiles));
    char* list = PX_GetImageExtensionList(c.allsup, c.allfiles);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(wholeList(list), c.expected);
    free(list);
  }
}

namespace {
const char* twoPatterns() { return "Pictures (*.JPG;*.JPEG)\0*.JPG\0Old pictures\0*.JPEG\0"; }
const char* emptyList() { return ""; }
const char* noList() { return nullptr; }
// 93 bytes of list: 40 of these overflow the 4096-byte start buffer.
const char* longList()
{
  return "A format with a long description to make the list grow past its first buffer\0"
         "*.LONGEXTENSION\0";
}
}  // namespace

TEST(ImageLoaderList, ExtensionListJoinsEveryLoader)
{
  PX_ImageLoaderEntry png = *PX_ImageLoader_list;
  PX_ImageLoaderEntry jpg = {nullptr, twoPatterns, nullptr};
  PX_ImageLoaderEntry empty = {nullptr, emptyList, nullptr};
  PX_ImageLoaderEntry none = {nullptr, noList, nullptr};
  png._next = nullptr;
  jpg._next = &empty;
  empty._next = &none;
  none._next = &png;

  {
    LoaderListGuard guard(nullptr);
    char* list = PX_GetImageExtensionList(true, false);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(std::string(list, 3), std::string(3, '\0'));
    free(list);
    EXPECT_FALSE(PX_ImageIsSupported("a.png"));
  }
  {
    LoaderListGuard guard(&jpg);
    char* list = PX_GetImageExtensionList(true, false);
    ASSERT_NE(list, nullptr);
    using namespace std::string_literals;
    EXPECT_EQ(wholeList(list), "All supported images\0*.JPG;*.JPEG;*.PNG\0"
                               "Pictures (*.JPG;*.JPEG)\0*.JPG\0Old pictures\0*.JPEG\0"
                               "PNG files (*.PNG)\0*.PNG\0\0"s);
    free(list);
    EXPECT_TRUE(PX_ImageIsSupported("x.jpg"));
    EXPECT_FALSE(PX_ImageIsSupported("x.jpeg"));  // not in the first pattern
    EXPECT_TRUE(PX_ImageIsSupported("x.png"));
  }
  {
    std::vector<PX_ImageLoaderEntry> many(40, PX_ImageLoaderEntry{nullptr, longList, nullptr});
    for (size_t i = 0; i + 1 < many.size(); ++i)
      many[i]._next = &many[i + 1];
    LoaderListGuard guard(many.data());
    char* list = PX_GetImageExtensionList(true, true);
    ASSERT_NE(list, nullptr);
    const std::string whole = wholeList(list);
    free(list);
    const size_t entry = wholeList(longList()).size() - 1;  // joined lists share no NUL
    EXPECT_EQ(whole.size(), 21 + 40 * 16 + 40 * entry + 21);
    EXPECT_EQ(whole.compare(whole.size() - 21, 21, std::string("All files (*.*)\0*.*\0\0", 21)), 0);
  }
}
