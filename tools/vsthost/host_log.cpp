#include "tools/vsthost/host_log.h"

namespace vsthost {

void HostLog::add(HostLogEntry entry)
{
  std::lock_guard<std::mutex> guard(mLock);
  if (mEntries.size() >= kMaxEntries)
  {
    ++mDropped;
    return;
  }
  mEntries.push_back(std::move(entry));
}

void HostLog::countCall(VstInt32 opcode)
{
  if (opcode < 0 || opcode >= kCountedOpcodes)
    return;
  std::lock_guard<std::mutex> guard(mLock);
  ++mCalls[static_cast<size_t>(opcode)];
}

void HostLog::clear()
{
  std::lock_guard<std::mutex> guard(mLock);
  mEntries.clear();
  mCalls.fill(0);
  mDropped = 0;
}

std::vector<HostLogEntry> HostLog::entries() const
{
  std::lock_guard<std::mutex> guard(mLock);
  return mEntries;
}

std::vector<std::string> HostLog::lines() const
{
  std::lock_guard<std::mutex> guard(mLock);
  std::vector<std::string> out;
  for (size_t i = 0; i < mEntries.size();)
  {
    size_t run = 1;
    while (i + run < mEntries.size() && mEntries[i + run].text == mEntries[i].text)
      ++run;
    out.push_back(run > 1 ? mEntries[i].text + " x" + std::to_string(run) : mEntries[i].text);
    i += run;
  }
  return out;
}

uint64_t HostLog::calls(VstInt32 opcode) const
{
  if (opcode < 0 || opcode >= kCountedOpcodes)
    return 0;
  std::lock_guard<std::mutex> guard(mLock);
  return mCalls[static_cast<size_t>(opcode)];
}

size_t HostLog::dropped() const
{
  std::lock_guard<std::mutex> guard(mLock);
  return mDropped;
}

}  // namespace vsthost
