// Program and bank files in chunk form, from the pass-through plug-in that keeps state chunks: the
// layout against golden files, and both files loaded back exactly.

#include "framework/base/FileIO.h"
#include "tests/support/InProcessHost.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes File(PluginBase* p, bool bank)
{
  ByteChunk c;
  EXPECT_TRUE(bank ? p->GetBankFXB(&c) : p->GetProgramFXP(&c));
  return Bytes(c.GetBytes(), c.GetBytes() + c.Size());
}

// The state chunk the host sees (bank or program).
Bytes HostChunk(InProcessHost& host, bool bank)
{
  void* data = nullptr;
  const VstIntPtr size = host.Dispatch(effGetChunk, bank ? 0 : 1, 0, &data);
  return size > 0 ? Bytes((uint8_t*)data, (uint8_t*)data + size) : Bytes();
}

// Every parameter moved away from its default, as a host automates it.
void Automate(InProcessHost& host, float shift)
{
  for (int i = 0; i < PassThroughPlug::kNumParams; ++i)
    host.Effect()->setParameter(host.Effect(), i, 0.1f * (float)(i + 1) + shift);
}

TEST(PlugFxFiles, ChunkFormFilesMatchTheirGoldenFiles)
{
  InProcessHost host;
  host.Create("chunks");
  host.Dispatch(effOpen);
  host.Dispatch(effSetProgram, 0, 1);
  Automate(host, 0.0f);
  const bool update = getenv("QV_UPDATE_GOLDEN") != nullptr;
  for (bool bank : {false, true})
  {
    const Bytes file = File(host.Plug(), bank);
    const std::string path =
      std::string(QV_TEST_DATA) + "/golden/passthru/chunks" + (bank ? ".fxb" : ".fxp");
    if (update)
    {
      ASSERT_TRUE(QvWriteFile(path.c_str(), file.data(), (int)file.size()));
    }
    ByteChunk golden;
    ASSERT_TRUE(QvReadFile(path.c_str(), &golden)) << path;
    EXPECT_EQ(file, Bytes(golden.GetBytes(), golden.GetBytes() + golden.Size())) << path;
  }
}

TEST(PlugFxFiles, ChunkFormFilesLoadBackExactly)
{
  for (bool bank : {false, true})
  {
    SCOPED_TRACE(bank ? "bank" : "program");
    InProcessHost host;
    host.Create("chunks");
    host.Dispatch(effOpen);
    host.Dispatch(effSetProgram, 0, 2);
    Automate(host, 0.013f);
    host.Plug()->ModifyCurrentPreset("saved");
    const Bytes file = File(host.Plug(), bank);
    const Bytes programState = HostChunk(host, false), bankState = HostChunk(host, true);

    host.Dispatch(effSetProgram, 0, bank ? 4 : 3);
    Automate(host, -0.05f);
    host.ClearCalls();
    host.Plug()->mHooks.clear();
    ASSERT_TRUE(bank ? host.Plug()->SetBankFromFXB(file.data(), (int)file.size())
                     : host.Plug()->SetProgramFromFXP(file.data(), (int)file.size()));
    EXPECT_EQ(host.Count(audioMasterUpdateDisplay), 1);
    EXPECT_GE(host.Plug()->CountHooks("param "), PassThroughPlug::kNumParams);
    if (bank)
    {
      host.Dispatch(effSetProgram, 0, 2);
      EXPECT_EQ(HostChunk(host, true), bankState);
    }
    EXPECT_EQ(HostChunk(host, false), programState);
    EXPECT_EQ(File(host.Plug(), bank), file);
  }
}

}  // namespace
