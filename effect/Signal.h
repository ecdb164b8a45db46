#pragma once
// Two-argument member-function delegates and the signal that calls a set of them.
//
// A delegate binds an object to one of its member functions. Its stored form (the memento) is
// the object address and the raw bytes of the member-function pointer, which gives delegates a
// total order: by object address, then by those bytes. A signal keeps its delegates in a set
// under that order, so connecting the same pair twice keeps one entry and emission calls
// receivers in ascending object address.
//
// Connect and Disconnect allocate and free set nodes: call them outside the audio thread. Emit
// allocates nothing. A receiver may disconnect its own delegate while it is being called, but
// not another receiver's.

#include <cstring>
#include <functional>
#include <set>

namespace Signals {

class DelegateMemento
{
public:
  DelegateMemento()
    : closureThis(nullptr)
    , memFunc{}
  {}

  // Object address first; for the same object, the member-function pointers' bytes.
  bool IsLess(const DelegateMemento& right) const
  {
    if (closureThis != right.closureThis)
      return std::less<const void*>()(closureThis, right.closureThis);
    return std::memcmp(memFunc, right.memFunc, sizeof(memFunc)) < 0;
  }

  bool operator<(const DelegateMemento& right) const { return IsLess(right); }

protected:
  // Room for a member-function pointer of any class under the target ABIs (two words under the
  // Itanium C++ ABI used by both of ours; more is kept for safety and zero-filled).
  static constexpr size_t kMemFuncBytes = 4 * sizeof(void*);

  template <class MemFn>
  void set(void* object, MemFn function)
  {
    static_assert(sizeof(MemFn) <= kMemFuncBytes, "member-function pointer too large");
    closureThis = object;
    std::memset(memFunc, 0, sizeof(memFunc));
    std::memcpy(memFunc, &function, sizeof(function));
  }

  template <class MemFn>
  MemFn get() const
  {
    MemFn function;
    std::memcpy(&function, memFunc, sizeof(function));
    return function;
  }

  void* closureThis;
  unsigned char memFunc[kMemFuncBytes];
};

template <class Param1, class Param2, class RetType = void>
class Delegate2 : public DelegateMemento
{
public:
  // An empty delegate; calling it does nothing and returns RetType().
  Delegate2()
    : mInvoke(nullptr)
  {}

  template <class X, class Y>
  Delegate2(Y* object, RetType (X::*function)(Param1, Param2))
    : mInvoke(&invoke<X, Y>)
  {
    set(static_cast<void*>(object), function);
  }

  // Calls the member function on the stored object; virtual functions resolve on that object.
  RetType operator()(Param1 p1, Param2 p2) const
  {
    if (!mInvoke)
      return RetType();
    return mInvoke(*this, p1, p2);
  }

private:
  using Invoker = RetType (*)(const Delegate2&, Param1, Param2);

  template <class X, class Y>
  static RetType invoke(const Delegate2& d, Param1 p1, Param2 p2)
  {
    Y* object = static_cast<Y*>(d.closureThis);
    const auto function = d.template get<RetType (X::*)(Param1, Param2)>();
    return (object->*function)(p1, p2);
  }

  Invoker mInvoke;
};

template <class X, class Y, class Param1, class Param2, class RetType>
Delegate2<Param1, Param2, RetType> MakeDelegate(Y* object, RetType (X::*function)(Param1, Param2))
{
  return Delegate2<Param1, Param2, RetType>(object, function);
}

template <class Param1, class Param2>
class Signal2
{
public:
  using DelegateType = Delegate2<Param1, Param2, void>;

  template <class X, class Y>
  void Connect(Y* object, void (X::*function)(Param1, Param2))
  {
    mDelegates.insert(MakeDelegate(object, function));
  }

  template <class X, class Y>
  void Disconnect(Y* object, void (X::*function)(Param1, Param2))
  {
    mDelegates.erase(MakeDelegate(object, function));
  }

  // Calls every delegate in order. The position moves on before each call, so a receiver may
  // remove its own delegate during the call.
  void Emit(Param1 p1, Param2 p2) const
  {
    for (auto it = mDelegates.begin(); it != mDelegates.end();)
    {
      auto current = it++;
      (*current)(p1, p2);
    }
  }

  void operator()(Param1 p1, Param2 p2) const { Emit(p1, p2); }

private:
  std::set<DelegateType> mDelegates;
};

}  // namespace Signals
