#pragma once

#include <cstdint>
#include <cstring>
#include <memory>

// An ordered, growable array of element pointers. The base list owns nothing;
// a subclass that overrides RemoveAt to destroy the element becomes an owning
// list, and Clear then destroys every element front to back.
//
// Capacity grows from 0 to 1, 2, 4, 8, ...: when the storage is full the new
// capacity is the old size plus the larger of the old size and 1.
template <class T>
class PointerList {
public:
  PointerList() = default;
  PointerList(const PointerList &) = delete;
  PointerList &operator=(const PointerList &) = delete;
  virtual ~PointerList();

  // Appends the pointer at the end.
  virtual void Add(T *element);
  // Removes the element at the index; later elements move down by one.
  // The index must be valid.
  virtual void RemoveAt(int index);
  // Empties the list by calling the virtual RemoveAt with index 0 until empty.
  virtual void Clear();
  // Makes this list a copy of the other's elements (virtual Clear, then Add each).
  virtual void Assign(const PointerList &other);
  // The first index holding the pointer, or -1.
  virtual int32_t IndexOf(const T *element);

  // The element at the index; the index must be valid.
  T *At(int index) const { return begin[index]; }
  int Count() const { return static_cast<int>(end - begin); }
  int Capacity() const { return static_cast<int>(capacityEnd - begin); }

private:
  void RemoveAtBase(int index);

private:
  std::unique_ptr<T *[]> storage;
  T **begin = nullptr;
  T **end = nullptr;
  T **capacityEnd = nullptr;
  // Left on the element that the last search or removal looked at.
  T **cursor = nullptr;
};

template <class T>
PointerList<T>::~PointerList()
{
  // The base class destroys no element, whatever the subclass did.
  while(begin != end)
    RemoveAtBase(0);
}

template <class T>
void PointerList<T>::Add(T *element)
{
  if(end == capacityEnd)
  {
    const int size = Count();
    const int capacity = size + (size > 1 ? size : 1);
    std::unique_ptr<T *[]> grown(new T *[capacity]);
    if(size)
      std::memcpy(grown.get(), begin, sizeof(T *) * size);
    storage = std::move(grown);
    begin = storage.get();
    end = begin + size;
    capacityEnd = begin + capacity;
  }
  *end++ = element;
}

template <class T>
void PointerList<T>::RemoveAt(int index)
{
  RemoveAtBase(index);
}

template <class T>
void PointerList<T>::RemoveAtBase(int index)
{
  cursor = begin + index;
  for(T **p = cursor; p + 1 < end; ++p)
    *p = *(p + 1);
  --end;
}

template <class T>
void PointerList<T>::Clear()
{
  while(begin != end)
    RemoveAt(0);
}

template <class T>
void PointerList<T>::Assign(const PointerList &other)
{
  Clear();
  for(int i = 0; i < other.Count(); ++i)
    Add(other.At(i));
}

template <class T>
int32_t PointerList<T>::IndexOf(const T *element)
{
  for(cursor = begin; cursor != end; ++cursor)
    if(*cursor == element)
      return static_cast<int32_t>(cursor - begin);
  return -1;
}
