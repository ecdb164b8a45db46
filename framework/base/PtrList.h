#pragma once
// QvPtrList<T>: a growable array of object pointers over a QvHeapBuf.
//
// The list owns its elements only when asked to delete them (Empty, Delete with wantDelete); its
// destructor frees the array and never deletes elements. An element is always taken out of the list
// before it is destroyed, so a destructor that looks at the list no longer finds itself there.
// Out-of-range indexes are no error: Get and Set answer null, Delete does nothing, Insert clamps.
// No lock: the owner guards the list.

#include "framework/base/HeapBuf.h"

#include <cstdint>

template <class T>
class QvPtrList
{
public:
  explicit QvPtrList(int granul = 4096)
    : mHeap(granul)
  {}
  ~QvPtrList() {}

  QvPtrList(const QvPtrList&) = delete;
  QvPtrList& operator=(const QvPtrList&) = delete;

  T** GetList() const { return static_cast<T**>(mHeap.Get()); }
  int GetSize() const { return mHeap.GetSize() / (int)sizeof(T*); }

  T* Get(intptr_t index) const
  {
    T** list = GetList();
    if (!list || index < 0 || index >= (intptr_t)GetSize())
      return nullptr;
    return list[index];
  }

  T* Set(int index, T* item)
  {
    T** list = GetList();
    if (!list || index < 0 || index >= GetSize())
      return nullptr;
    list[index] = item;
    return item;
  }

  // Appends item; answers it, or null (list unchanged) when the array cannot grow.
  T* Add(T* item)
  {
    const int n = GetSize();
    if (!Grow(n))
      return nullptr;
    return Set(n, item);
  }

  // Inserts item at index clamped into 0..GetSize(); answers it, or null (list unchanged) when the
  // array cannot grow.
  T* Insert(int index, T* item)
  {
    const int n = GetSize();
    if (!Grow(n))
      return nullptr;
    if (index < 0)
      index = 0;
    if (index > n)
      index = n;
    T** list = GetList();
    memmove(&list[index + 1], &list[index], (size_t)(n - index) * sizeof(T*));
    list[index] = item;
    return item;
  }

  // Removes the element at index, deleting it (through delfunc when given) when wantDelete.
  void Delete(int index, bool wantDelete = false, void (*delfunc)(void*) = nullptr)
  {
    T** list = GetList();
    const int n = GetSize();
    if (!list || index < 0 || index >= n)
      return;
    T* item = list[index];
    memmove(&list[index], &list[index + 1], (size_t)(n - 1 - index) * sizeof(T*));
    mHeap.Resize((n - 1) * (int)sizeof(T*), false);
    if (wantDelete)
      Destroy(item, delfunc);
  }

  // Removes every element, last first, deleting each (through delfunc when given) when wantDelete.
  // While an element is destroyed the list already ends just before it. The array is kept.
  void Empty(bool wantDelete = false, void (*delfunc)(void*) = nullptr)
  {
    if (wantDelete)
    {
      for (int n = GetSize(); n > 0; n = GetSize())
      {
        T* item = GetList()[n - 1];
        mHeap.Resize((n - 1) * (int)sizeof(T*), false);
        if (item)
          Destroy(item, delfunc);
      }
    }
    mHeap.Resize(0, false);
  }

private:
  bool Grow(int n)
  {
    if (n >= INT_MAX / (int)sizeof(T*))
      return false;
    mHeap.Resize((n + 1) * (int)sizeof(T*), false);
    return GetSize() == n + 1;
  }

  static void Destroy(T* item, void (*delfunc)(void*))
  {
    if (delfunc)
      delfunc((void*)item);
    else
      delete item;
  }

  QvHeapBuf mHeap;
};
