// Whole-file reads and replacing writes: what a failed write leaves behind.

#include "framework/base/FileIO.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

// A fresh folder of its own under the test folder.
fs::path Folder(const char* name)
{
  const fs::path dir = fs::path(testing::TempDir()) / (std::string("qv_fileio_") + name);
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

Bytes Random(size_t n, unsigned seed)
{
  std::mt19937 rng(seed);
  Bytes b(n);
  for (uint8_t& x : b)
    x = (uint8_t)rng();
  return b;
}

bool Write(const fs::path& path, const Bytes& b)
{
  return QvWriteFile(path.string().c_str(), b.data(), (int)b.size());
}

Bytes Read(const fs::path& path)
{
  ByteChunk c;
  EXPECT_TRUE(QvReadFile(path.string().c_str(), &c)) << path;
  return Bytes(c.GetBytes(), c.GetBytes() + c.Size());
}

std::vector<std::string> Entries(const fs::path& dir)
{
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(FileIO, AWriteReplacesTheFileWholeAndReadsBack)
{
  const fs::path dir = Folder("write");
  const fs::path file = dir / "data.bin";
  for (size_t n : {0, 1, 16383, 16384, 16385, 100000})
  {
    SCOPED_TRACE(n);
    const Bytes b = Random(n, (unsigned)n);
    ASSERT_TRUE(Write(file, b));
    EXPECT_EQ(Read(file), b);
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"data.bin"});
  }
}

#ifndef _WIN32
// Holds the file size limit of the process at limit until destroyed: writes beyond it fail.
struct FileSizeLimit
{
  rlimit mOld;
  explicit FileSizeLimit(rlim_t limit)
  {
    signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &mOld);
    rlimit l = mOld;
    l.rlim_cur = limit;
    setrlimit(RLIMIT_FSIZE, &l);
  }
  ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &mOld); }
};
#endif

TEST(FileIO, AFailedWriteLeavesWhatWasThereAndNoTemporary)
{
  struct Case
  {
    const char* what;
    std::function<bool(const fs::path& dir)> write;
  };
  const Bytes data = Random(20000, 7);
  const Case cases[] = {
    {"into a missing folder", [&](const fs::path& dir) { return Write(dir / "no" / "x", data); }},
    {"over a folder", [&](const fs::path& dir) { return Write(dir / "sub", data); }},
    {"to an empty path", [&](const fs::path&) { return QvWriteFile("", data.data(), 1); }},
    {"a negative size",
     [&](const fs::path& dir) {
       return QvWriteFile((dir / "kept.bin").string().c_str(), data.data(), -1);
     }},
#ifndef _WIN32
    {"cut short by the file size limit",
     [&](const fs::path& dir) {
       FileSizeLimit limit(1000);
       return Write(dir / "kept.bin", data);
     }},
#endif
  };
  const Bytes kept = Random(3000, 3);
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    const fs::path dir = Folder("fail");
    fs::create_directories(dir / "sub");
    ASSERT_TRUE(Write(dir / "kept.bin", kept));
    EXPECT_FALSE(c.write(dir));
    EXPECT_EQ(Read(dir / "kept.bin"), kept);
    EXPECT_TRUE(fs::is_directory(dir / "sub"));
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{"kept.bin", "sub"}));
  }
}

TEST(FileIO, AReadOfWhatIsNoFileFails)
{
  const fs::path dir = Folder("read");
  ByteChunk c;
  EXPECT_FALSE(QvReadFile((dir / "missing").string().c_str(), &c));
  EXPECT_FALSE(QvReadFile(dir.string().c_str(), &c));
  EXPECT_FALSE(QvReadFile(nullptr, &c));
}

}  // namespace
