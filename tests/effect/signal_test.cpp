#include "effect/Signal.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> gCalls;  // "<receiver id><function> <a> <b>"

struct Receiver
{
  int id = 0;
  Signals::Signal2<int, int>* signal = nullptr;
  virtual ~Receiver() = default;
  void log(const char* fn, int a, int b)
  {
    gCalls.push_back(std::to_string(id) + fn + " " + std::to_string(a) + " " + std::to_string(b));
  }
  void onA(int a, int b) { log("A", a, b); }
  void onB(int a, int b) { log("B", a, b); }
  virtual void onVirtual(int a, int b) { log("base", a, b); }
  void onceOnly(int a, int b)
  {
    log("once", a, b);
    signal->Disconnect(this, &Receiver::onceOnly);
  }
};

struct Derived : Receiver
{
  void onVirtual(int a, int b) override { log("derived", a, b); }
};

// Steps: 'a'/'b'/'o' connect onA/onB/onceOnly, 'x' disconnects onA, each on receiver r[digit].
TEST(Signal, ConnectEmitDisconnect)
{
  struct Case
  {
    const char* steps;
    std::vector<std::string> expect;
  };  // Emit(7, 9) then (1, 2)
  const Case cases[] = {
    {"", {}},
    {"a0 a0", {"0A 7 9", "0A 1 2"}},  // the same pair twice is one entry
    {"a2 a0 a1", {"0A 7 9", "1A 7 9", "2A 7 9", "0A 1 2", "1A 1 2", "2A 1 2"}},  // by address
    {"a0 b0 b1 x0 x2", {"0B 7 9", "1B 7 9", "0B 1 2", "1B 1 2"}},         // one function of many
    {"o1 a0 a2", {"0A 7 9", "1once 7 9", "2A 7 9", "0A 1 2", "2A 1 2"}},  // removes itself
  };
  for (const Case& c : cases)
  {
    Signals::Signal2<int, int> signal;
    Receiver r[3];  // ascending addresses
    for (int i = 0; i < 3; ++i)
      r[i].id = i, r[i].signal = &signal;
    for (const char* s = c.steps; *s; s += (s[2] ? 3 : 2))
    {
      Receiver* x = &r[s[1] - '0'];
      switch (s[0])
      {
        case 'a':
          signal.Connect(x, &Receiver::onA);
          break;
        case 'b':
          signal.Connect(x, &Receiver::onB);
          break;
        case 'o':
          signal.Connect(x, &Receiver::onceOnly);
          break;
        default:
          signal.Disconnect(x, &Receiver::onA);
          break;
      }
    }
    gCalls.clear();
    signal.Emit(7, 9);
    signal(1, 2);
    EXPECT_EQ(gCalls, c.expect) << "steps \"" << c.steps << "\"";
  }
}

TEST(Signal, DelegateCallsOnItsObject)
{
  Derived d;
  d.id = 5;
  Receiver& asBase = d;
  gCalls.clear();
  Signals::MakeDelegate(&asBase, &Receiver::onVirtual)(3, 4);  // resolved on the object
  Signals::Delegate2<int, int>()(0, 0);                        // empty: nothing
  EXPECT_EQ(gCalls, std::vector<std::string>{"5derived 3 4"});
}

}  // namespace
