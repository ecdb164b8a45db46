#pragma once

// The outcome of a validation run: one result per check, in the order the checks ran, with a
// JSON form for machines and a summary for people.
//
// A check fails, passes, warns (a departure from the interface that hosts tolerate in practice) or
// is skipped (not applicable, or not available on this target). Checks named as known faults of
// the plug-in under test are reported as such and do not fail the run; a known fault that no
// longer shows is reported as a warning, so that the list of known faults stays current.

#include <map>
#include <string>
#include <vector>

namespace vsthost {

enum class CheckStatus
{
  Pass,
  Fail,
  Warn,
  Known,
  Skip
};

const char* checkStatusName(CheckStatus status);  // "pass", "fail", "warn", "known", "skip"

struct CheckResult
{
  std::string id;  // "group.name"
  CheckStatus status = CheckStatus::Pass;
  std::string detail;
};

class ValidationReport
{
public:
  explicit ValidationReport(std::string plugin = "")
    : mPlugin(std::move(plugin))
  {}

  // Marks a check id as a known fault of the plug-in, with the reason it is tolerated.
  void addKnownFault(const std::string& id, const std::string& reason);

  // Records a result; a failure of a known fault becomes Known, a pass of one a warning.
  void add(const std::string& id, CheckStatus status, const std::string& detail = "");

  const std::vector<CheckResult>& results() const { return mResults; }
  const CheckResult* find(const std::string& id) const;
  int count(CheckStatus status) const;
  bool failed() const { return count(CheckStatus::Fail) > 0; }

  std::string json() const;
  // One line per check that did not plainly pass, then "validate: N passed, N failed, ...".
  std::string summary() const;

private:
  std::string mPlugin;
  std::vector<CheckResult> mResults;
  std::map<std::string, std::string> mKnown;
};

// Gathers the problems one check finds; keeps the first few as its detail.
class Findings
{
public:
  void note(const std::string& problem);
  bool any() const { return mCount > 0; }
  int count() const { return mCount; }
  // "N problem(s): first; second; ..." (the first five), or "" when none.
  std::string text() const;

private:
  std::vector<std::string> mFirst;
  int mCount = 0;
};

}  // namespace vsthost
