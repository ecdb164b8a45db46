// The host's text front ends: numbers, script tokens, MIDI, block-plan and signal specifications.
// What a script or command line says must be read exactly, and anything malformed refused.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "tools/vsthost/event_list.h"
#include "tools/vsthost/renderer.h"
#include "tools/vsthost/signal_generator.h"
#include "tools/vsthost/text_util.h"

using namespace vsthost;

TEST(HostTextParsing, IntegersAreReadWholeAndInRange)
{
  const struct
  {
    const char* text;
    bool ok;
    int64_t value;
  } cases[] = {
    {"12", true, 12},
    {"-7", true, -7},
    {"+3", true, 3},
    {"0x1F", true, 31},
    {"-0x10", true, -16},
    {"0x56737450", true, 0x56737450},
    {"9223372036854775807", true, INT64_MAX},
    {"-9223372036854775808", true, INT64_MIN},
    {"9223372036854775808", false, 0},
    {"0x", false, 0},
    {"", false, 0},
    {" 1", false, 0},
    {"1 ", false, 0},
    {"1.5", false, 0},
    {"+-1", false, 0},
    {"--1", false, 0},
    {"12abc", false, 0},
  };
  for (const auto& c : cases)
  {
    int64_t v = 0;
    EXPECT_EQ(parseInt(c.text, &v), c.ok) << c.text;
    if (c.ok)
    {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
}

TEST(HostTextParsing, LinesSplitIntoTokensWithQuotesAndComments)
{
  const struct
  {
    const char* line;
    bool ok;
    std::vector<std::string> tokens;
  } cases[] = {
    {"param 3 0.5", true, {"param", "3", "0.5"}},
    {"  spaced\tout  ", true, {"spaced", "out"}},
    {"setProgramName \"two words\"", true, {"setProgramName", "two words"}},
    {"hostProduct \"\"", true, {"hostProduct", ""}},
    {"opcode 51 0 0 str=\"can do\"", true, {"opcode", "51", "0", "0", "str=can do"}},
    {"echo \"a \\\"quoted\\\" \\\\ word\"", true, {"echo", "a \"quoted\" \\ word"}},
    {"echo \"tab\\there\\x41\"", true, {"echo", "tab\there\x41"}},
    {"load # a comment", true, {"load"}},
    {"echo \"# kept\"", true, {"echo", "# kept"}},
    {"# only a comment", true, {}},
    {"", true, {}},
    {"echo \"open", false, {}},
  };
  for (const auto& c : cases)
  {
    std::vector<std::string> tokens;
    EXPECT_EQ(tokenize(c.line, &tokens), c.ok) << c.line;
    if (c.ok)
    {
      EXPECT_EQ(tokens, c.tokens) << c.line;
    }
  }
}

TEST(HostTextParsing, QuotedTextTokenizesBackToItself)
{
  const std::string texts[] = {"",
                               "plain",
                               "two words",
                               "quote \" and \\ backslash",
                               "tab\tnewline\n",
                               std::string("ctl\x01\x7F", 5),
                               "# not a comment"};
  for (const auto& text : texts)
  {
    std::vector<std::string> tokens;
    ASSERT_TRUE(tokenize("echo " + quote(text), &tokens)) << quote(text);
    ASSERT_EQ(tokens.size(), 2u) << quote(text);
    EXPECT_EQ(tokens[1], text) << quote(text);
  }
}

TEST(HostTextParsing, MidiSpecificationsBecomeShortMessages)
{
  const struct
  {
    const char* text;
    bool ok;
    int64_t frame;
    std::vector<uint8_t> bytes;
  } cases[] = {
    {"0:0x90:60:100", true, 0, {0x90, 60, 100}},
    {"12:176:7", true, 12, {176, 7}},
    {"5:0xF8", true, 5, {0xF8}},
    {"on:10:60:100", true, 10, {0x90, 60, 100}},
    {"on:10:60:100:16", true, 10, {0x9F, 60, 100}},
    {"off:300:60", true, 300, {0x80, 60, 0}},
    {"off:300:60:64:2", true, 300, {0x81, 60, 64}},
    {"on:10:60", false, 0, {}},       // a note-on needs its velocity
    {"on:10:128:1", false, 0, {}},    // key out of range
    {"on:10:60:1:17", false, 0, {}},  // channel out of range
    {"on:10:60:1:0", false, 0, {}},
    {"-1:0x90:60:1", false, 0, {}},
    {"0:256:1:1", false, 0, {}},
    {"0", false, 0, {}},
    {"0:1:2:3:4", false, 0, {}},
    {"x:0x90:60:1", false, 0, {}},
  };
  for (const auto& c : cases)
  {
    TimedEvent e;
    EXPECT_EQ(parseMidiSpec(c.text, &e), c.ok) << c.text;
    if (!c.ok)
      continue;
    EXPECT_EQ(e.frame, c.frame) << c.text;
    EXPECT_EQ(e.bytes, c.bytes) << c.text;
    EXPECT_FALSE(e.sysex);
  }
}

TEST(HostTextParsing, BlockPlansAreValidatedAndRandomSizesStayInRange)
{
  const struct
  {
    const char* text;
    bool ok;
    int largest;
  } cases[] = {
    {"512", true, 512},
    {"1", true, 1},
    {"random:1:300", true, 300},
    {"random:64:64:9", true, 64},
    {"0", false, 0},
    {"-5", false, 0},
    {"2000000", false, 0},
    {"random:10:5", false, 0},
    {"random:0:5", false, 0},
    {"random:1", false, 0},
    {"random:1:2:3:4", false, 0},
    {"512:1", false, 0},
  };
  for (const auto& c : cases)
  {
    BlockPlan plan;
    EXPECT_EQ(parseBlockPlan(c.text, &plan), c.ok) << c.text;
    if (c.ok)
    {
      EXPECT_EQ(plan.largest(), c.largest) << c.text;
    }
  }

  BlockPlan plan;
  ASSERT_TRUE(parseBlockPlan("random:3:9:42", &plan));
  BlockSizer a(plan), b(plan);
  std::set<int> seen;
  for (int i = 0; i < 2000; ++i)
  {
    const int n = a.next();
    ASSERT_GE(n, 3);
    ASSERT_LE(n, 9);
    ASSERT_EQ(n, b.next());  // the same seed gives the same sequence
    seen.insert(n);
  }
  EXPECT_EQ(seen.size(), 7u);  // every size is drawn
}

TEST(HostTextParsing, SignalSpecificationsAreReadAndDescribedBack)
{
  const struct
  {
    const char* text;
    bool ok;
    const char* described;
  } cases[] = {
    {"silence", true, "silence"},
    {"impulse", true, "impulse:1"},
    {"impulse:0.5", true, "impulse:0.5"},
    {"sine", true, "sine:440:0.5"},
    {"sine:1000", true, "sine:1000:0.5"},
    {"sine:50:0.25", true, "sine:50:0.25"},
    {"noise:0.1:7", true, "noise:0.1:7"},
    {"noise", true, "noise:0.5:1"},
    {"silence:1", false, ""},
    {"sine:1:2:3", false, ""},
    {"sine:abc", false, ""},
    {"sine:nan", false, ""},
    {"square", false, ""},
    {"", false, ""},
  };
  for (const auto& c : cases)
  {
    SignalSpec spec;
    EXPECT_EQ(parseSignalSpec(c.text, &spec), c.ok) << c.text;
    if (c.ok)
    {
      EXPECT_EQ(describeSignal(spec), c.described) << c.text;
    }
  }
}
