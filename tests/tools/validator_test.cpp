// The validation battery: a sound plug-in passes every check, and each fault the faulty build of
// the same plug-in can play is caught by the check meant for it. Known faults are reported without
// failing the run.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tools/vsthost/alloc_probe.h"
#include "tools/vsthost/validator.h"

using namespace vsthost;

namespace {

void setFault(const char* name)
{
#ifdef _WIN32
  _putenv_s("QV_RAW_FAULT", name);
#else
  setenv("QV_RAW_FAULT", name, 1);
#endif
}

ValidationReport validate(const char* plugin, const char* fault,
                          std::vector<std::pair<std::string, std::string>> known = {},
                          std::vector<std::string> groups = {})
{
  setFault(fault);
  ValidateOptions options;
  options.plugin = plugin;
  options.knownFaults = std::move(known);
  options.groups = std::move(groups);
  ValidationReport report = validatePlugin(options);
  setFault("");
  return report;
}

}  // namespace

TEST(Validator, SoundPluginPassesEveryCheck)
{
  // The faulty build with no fault named is the sound plug-in too.
  for (const char* plugin : {QV_RAW_GAIN, QV_RAW_FAULTY})
  {
    SCOPED_TRACE(plugin);
    const ValidationReport report = validate(plugin, "");
    EXPECT_EQ(report.count(CheckStatus::Fail), 0) << report.summary();
    EXPECT_EQ(report.count(CheckStatus::Warn), 0) << report.summary();
    EXPECT_EQ(report.count(CheckStatus::Skip), AllocProbe::available() ? 0 : 1) << report.summary();
    EXPECT_GE(report.count(CheckStatus::Pass), 40);
  }
}

TEST(Validator, EachFaultFailsTheCheckMeantForIt)
{
  const struct
  {
    const char* fault;
    const char* check;
  } cases[] = {
    {"text-overrun", "text.param-name"},
    {"text-unterminated", "text.effect-name"},
    {"nan-param", "params.nan"},
    {"nan-output", "process.finite"},
    {"denormal-output", "process.denormals"},
    {"write-input", "process.inputs-untouched"},
    {"accumulate-replaces", "process.accumulating"},
    {"in-place-unsafe", "process.in-place"},
    {"chunk-counter", "state.program-chunk"},
    {"program-any", "programs.out-of-range"},
    {"allocate", "realtime.no-allocation"},
    {"shared-state", "lifecycle.instances"},
    {"nan-when-stopped", "time.stopped"},
    {"nan-when-stopped", "time.pre-roll"},
    {"nan-last-offset", "midi.offsets"},
    {"display-doubles", "params.display-roundtrip"},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.fault);
    const std::string check = c.check;
    const ValidationReport report =
      validate(QV_RAW_FAULTY, c.fault, {}, {check.substr(0, check.find('.'))});
    const CheckResult* result = report.find(c.check);
    ASSERT_NE(result, nullptr) << report.summary();
    const bool probed = std::string(c.check) != "realtime.no-allocation" || AllocProbe::available();
    EXPECT_EQ(result->status, probed ? CheckStatus::Fail : CheckStatus::Skip) << report.summary();
  }
}

TEST(Validator, KnownFaultsAreReportedWithoutFailing)
{
  const ValidationReport report =
    validate(QV_RAW_FAULTY, "display-doubles",
             {{"params.display-roundtrip", "doubles"}, {"programs.names", "stale entry"}},
             {"params", "programs"});
  EXPECT_FALSE(report.failed()) << report.summary();
  EXPECT_EQ(report.find("params.display-roundtrip")->status, CheckStatus::Known);
  EXPECT_NE(report.find("params.display-roundtrip")->detail.find("doubles"), std::string::npos);
  // A known fault that no longer shows is a warning: the list wants updating.
  EXPECT_EQ(report.find("programs.names")->status, CheckStatus::Warn);

  const std::string json = report.json();
  EXPECT_NE(json.find("{\"id\": \"params.display-roundtrip\", \"status\": \"known\""),
            std::string::npos)
    << json;
  EXPECT_NE(json.find("\"passed\": true"), std::string::npos) << json;
  const std::string summary = report.summary();
  EXPECT_NE(summary.find("  KNOWN params.display-roundtrip: known fault (doubles)"),
            std::string::npos)
    << summary;
  EXPECT_NE(summary.find("validate: "), std::string::npos);

  // An unloadable library fails the first check, and the run stops there.
  const ValidationReport missing = validate("/no/such/plugin.so", "");
  ASSERT_EQ(missing.results().size(), 1u);
  EXPECT_EQ(missing.results()[0].id, "lifecycle.load");
  EXPECT_TRUE(missing.failed());
}
