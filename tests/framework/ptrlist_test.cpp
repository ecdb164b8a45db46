#include "framework/base/PtrList.h"

#include "tests/support/FailingAlloc.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// An element that records, when destroyed, its id and the list's size at that moment.
struct Probe
{
  struct Log
  {
    const QvPtrList<Probe>* list;
    std::vector<std::pair<int, int>> events;
  };
  Probe(int id, Log* log)
    : mId(id)
    , mLog(log)
  {}
  virtual ~Probe() { mLog->events.push_back({mId, mLog->list->GetSize()}); }
  int mId;
  Log* mLog;
};

int gValues[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};

// A list of pointers into gValues, one per digit of `digits`.
void Make(QvPtrList<int>& l, const char* digits)
{
  for (; *digits; ++digits)
    l.Add(&gValues[*digits - '0']);
}

std::string Order(const QvPtrList<int>& l)
{
  std::string s;
  for (int i = 0; i < l.GetSize(); ++i)
    s += (char)('0' + *l.Get(i));
  return s;
}

TEST(PtrList, OutOfRangeIndexesAreNoError)
{
  QvPtrList<int> empty;
  EXPECT_EQ(empty.Get(0), nullptr);
  EXPECT_EQ(empty.Set(0, &gValues[9]), nullptr);
  empty.Delete(0, true);

  QvPtrList<int> l;
  Make(l, "123");
  for (intptr_t i : {(intptr_t)-1, (intptr_t)3, INTPTR_MIN, INTPTR_MAX})
    EXPECT_EQ(l.Get(i), nullptr) << i;
  for (int i : {-1, 3})
  {
    EXPECT_EQ(l.Set(i, &gValues[9]), nullptr) << i;
    l.Delete(i, true);
  }
  EXPECT_EQ(Order(l), "123");
}

TEST(PtrList, InsertAndDeleteKeepTheOrder)
{
  const struct
  {
    int index;
    const char* afterInsert;
    const char* afterDelete;
  } cases[] = {{-5, "9123", "123"}, {1, "1923", "123"}, {3, "1239", "123"}, {100, "1239", "123"}};
  for (const auto& c : cases)
  {
    QvPtrList<int> l;
    Make(l, "123");
    EXPECT_EQ(l.Insert(c.index, &gValues[9]), &gValues[9]);
    EXPECT_EQ(Order(l), c.afterInsert) << c.index;
    const int at = c.index < 0 ? 0 : (c.index > 3 ? 3 : c.index);
    l.Delete(at);
    EXPECT_EQ(Order(l), c.afterDelete) << c.index;
  }
}

TEST(PtrList, ElementsAreOutOfTheListWhileDestroyed)
{
  // Delete(1): the second of four goes, the list already holds three.
  {
    Probe::Log log;
    QvPtrList<Probe> l;
    log.list = &l;
    for (int id = 0; id < 4; ++id)
      l.Add(new Probe(id, &log));
    l.Delete(1, true);
    EXPECT_EQ(log.events, (std::vector<std::pair<int, int>>{{1, 3}}));
    EXPECT_EQ(l.Get(1)->mId, 2);
    log.events.clear();
    l.Empty(true);
    EXPECT_EQ(log.events, (std::vector<std::pair<int, int>>{{3, 2}, {2, 1}, {0, 0}}));
  }
  // Empty(true): last first, null entries skipped, the list cut before each destruction.
  {
    Probe::Log log;
    QvPtrList<Probe> l;
    log.list = &l;
    for (int id = 0; id < 4; ++id)
      l.Add(new Probe(id, &log));
    l.Insert(2, nullptr);
    l.Empty(true);
    EXPECT_EQ(log.events, (std::vector<std::pair<int, int>>{{3, 4}, {2, 3}, {1, 1}, {0, 0}}));
    EXPECT_EQ(l.GetSize(), 0);
  }
}

std::vector<void*> gFreed;

TEST(PtrList, DeletionGoesThroughTheGivenFunction)
{
  QvPtrList<int> l;
  Make(l, "123");
  gFreed.clear();
  auto record = [](void* p) { gFreed.push_back(p); };
  l.Delete(1, true, record);
  l.Delete(0, false, record);  // without wantDelete nothing is freed
  l.Empty(true, record);
  EXPECT_EQ(gFreed, (std::vector<void*>{&gValues[2], &gValues[3]}));
}

TEST(PtrList, FailedGrowthLeavesTheListUnchanged)
{
  QvPtrList<int> l((int)sizeof(int*));  // the first block holds exactly two pointers
  Make(l, "12");
  FailingAlloc hook(FailingAlloc::kFailAll);
  EXPECT_EQ(l.Add(&gValues[9]), nullptr);
  EXPECT_EQ(l.Insert(0, &gValues[9]), nullptr);
  EXPECT_EQ(Order(l), "12");
}

}  // namespace
