#pragma once
// IRelaxed<T>: a plain value read and written atomically with relaxed ordering.
//
// Why: a control's value and its redraw flags are written on the host's thread (automation) and
// read on the GUI thread without a lock. A reading that is a timer tick late is fine (the next tick
// repairs it), a torn or racy one is not. Relaxed atomics give exactly that and cost nothing on
// the targets. Unlike std::atomic the wrapper stays trivially copyable, so it can live in the
// framework's plain-value buffers.
//
// Careful: only single loads and stores are atomic. `v += d` is a load and a store, which is right
// for a value one thread at a time changes; copying a whole IRelaxed (or a struct holding one) is
// a plain copy, for set-up only.

template <class T>
class IRelaxed
{
public:
  IRelaxed() = default;
  IRelaxed(T v)
    : mV(v)
  {}

  T Get() const
  {
    T v;
    __atomic_load(&mV, &v, __ATOMIC_RELAXED);
    return v;
  }
  void Set(T v) { __atomic_store(&mV, &v, __ATOMIC_RELAXED); }

  operator T() const { return Get(); }
  IRelaxed& operator=(T v)
  {
    Set(v);
    return *this;
  }
  IRelaxed& operator+=(T d)
  {
    Set(Get() + d);
    return *this;
  }

private:
  T mV{};
};
