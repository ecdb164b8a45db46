// Replays fuzz seeds through a libFuzzer entry point without libFuzzer, so that a plain sanitizer
// build runs every target over its corpus. Arguments are files or directories of files.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

static int replayFile(const std::filesystem::path& path)
{
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
  LLVMFuzzerTestOneInput(bytes.empty() ? nullptr : bytes.data(), bytes.size());
  return 1;
}

int main(int argc, char** argv)
{
  int count = 0;
  for (int i = 1; i < argc; ++i)
  {
    std::filesystem::path p(argv[i]);
    if (std::filesystem::is_directory(p))
    {
      for (const auto& e : std::filesystem::recursive_directory_iterator(p))
        if (e.is_regular_file())
          count += replayFile(e.path());
    }
    else if (std::filesystem::exists(p))
    {
      count += replayFile(p);
    }
  }
  // An empty input is always worth one run.
  LLVMFuzzerTestOneInput(nullptr, 0);
  std::printf("replayed %d inputs\n", count);
  return 0;
}
