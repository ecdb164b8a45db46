#include "tools/vsthost/validation_report.h"

#include <cstdio>
#include <sstream>

namespace vsthost {
namespace {

std::string jsonString(const std::string& text)
{
  std::string out = "\"";
  for (unsigned char c : text)
  {
    if (c == '"' || c == '\\')
    {
      out += '\\';
      out += static_cast<char>(c);
    }
    else if (c < 0x20 || c == 0x7F)
    {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04X", c);
      out += buf;
    }
    else
    {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

constexpr CheckStatus kAllStatuses[] = {CheckStatus::Pass, CheckStatus::Fail, CheckStatus::Warn,
                                        CheckStatus::Known, CheckStatus::Skip};

}  // namespace

const char* checkStatusName(CheckStatus status)
{
  switch (status)
  {
    case CheckStatus::Pass:
      return "pass";
    case CheckStatus::Fail:
      return "fail";
    case CheckStatus::Warn:
      return "warn";
    case CheckStatus::Known:
      return "known";
    case CheckStatus::Skip:
      return "skip";
  }
  return "";
}

void ValidationReport::addKnownFault(const std::string& id, const std::string& reason)
{
  mKnown[id] = reason;
}

void ValidationReport::add(const std::string& id, CheckStatus status, const std::string& detail)
{
  CheckResult r{id, status, detail};
  const auto known = mKnown.find(id);
  if (known != mKnown.end())
  {
    const std::string why = known->second.empty() ? "" : " (" + known->second + ")";
    if (status == CheckStatus::Fail)
    {
      r.status = CheckStatus::Known;
      r.detail = "known fault" + why + ": " + detail;
    }
    else if (status == CheckStatus::Pass)
    {
      r.status = CheckStatus::Warn;
      r.detail = "listed as a known fault" + why + " but passed";
    }
  }
  mResults.push_back(r);
}

const CheckResult* ValidationReport::find(const std::string& id) const
{
  for (const CheckResult& r : mResults)
    if (r.id == id)
      return &r;
  return nullptr;
}

int ValidationReport::count(CheckStatus status) const
{
  int n = 0;
  for (const CheckResult& r : mResults)
    n += r.status == status;
  return n;
}

std::string ValidationReport::json() const
{
  std::ostringstream out;
  out << "{\n  \"plugin\": " << jsonString(mPlugin) << ",\n  \"checks\": [";
  for (size_t i = 0; i < mResults.size(); ++i)
  {
    const CheckResult& r = mResults[i];
    out << (i ? ",\n" : "\n") << "    {\"id\": " << jsonString(r.id)
        << ", \"status\": " << jsonString(checkStatusName(r.status))
        << ", \"detail\": " << jsonString(r.detail) << "}";
  }
  out << "\n  ],\n  \"counts\": {";
  bool first = true;
  for (CheckStatus s : kAllStatuses)
  {
    out << (first ? "" : ", ") << jsonString(checkStatusName(s)) << ": " << count(s);
    first = false;
  }
  out << "},\n  \"passed\": " << (failed() ? "false" : "true") << "\n}\n";
  return out.str();
}

std::string ValidationReport::summary() const
{
  std::ostringstream out;
  out << "plug-in: " << mPlugin << "\n";
  for (const CheckResult& r : mResults)
  {
    if (r.status == CheckStatus::Pass)
      continue;
    std::string tag = checkStatusName(r.status);
    for (char& c : tag)
      c = static_cast<char>(c - 'a' + 'A');
    out << "  " << tag << " " << r.id << (r.detail.empty() ? "" : ": " + r.detail) << "\n";
  }
  out << "validate: " << count(CheckStatus::Pass) << " passed, " << count(CheckStatus::Fail)
      << " failed, " << count(CheckStatus::Warn) << " warned, " << count(CheckStatus::Known)
      << " known, " << count(CheckStatus::Skip) << " skipped\n";
  return out.str();
}

void Findings::note(const std::string& problem)
{
  if (mFirst.size() < 5)
    mFirst.push_back(problem);
  ++mCount;
}

std::string Findings::text() const
{
  if (mCount == 0)
    return "";
  std::string t = std::to_string(mCount) + " problem" + (mCount == 1 ? "" : "s") + ": ";
  for (size_t i = 0; i < mFirst.size(); ++i)
    t += (i ? "; " : "") + mFirst[i];
  if (static_cast<size_t>(mCount) > mFirst.size())
    t += "; ...";
  return t;
}

}  // namespace vsthost
