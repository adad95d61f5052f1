// CArray<T>: growable array {data, count, capacity, growth step}. Elements
// are stored by value and moved with raw memory copies; capacity never
// shrinks; storage is released only by Destroy (and the destructor).
// Per-type behaviour (initial value of AppendNew, destruction by Clear) comes
// from ArrayTraits<T>, specialised next to the element type.
#pragma once
#include <cstring>
#include <functional>
#include <new>
#include <type_traits>

#include "runtime/heap.h"
#include "runtime/types.h"

template <class T>
struct ArrayTraits {
  // Zero-filled element: the default for plain records and pointers.
  static void InitNew(T* slot) { std::memset(static_cast<void*>(slot), 0, sizeof(T)); }
  static void CopyInto(T* slot, const T& from) { new (slot) T(from); }
  static void Destroy(T* element) { element->~T(); }
};

template <class T>
class CArray {
 public:
  explicit CArray(u32 growth = 16) : growth_(growth) {}
  ~CArray() { Destroy(); }
  CArray(const CArray&) = delete;
  CArray& operator=(const CArray&) = delete;

  T* GetData() { return data_; }
  const T* GetData() const { return data_; }
  u32 GetCount() const { return count_; }
  u32 GetCapacity() const { return capacity_; }
  u32 GetGrowth() const { return growth_; }
  void SetGrowth(u32 growth) { growth_ = growth; }
  T& operator[](u32 index) { return data_[index]; }
  const T& operator[](u32 index) const { return data_[index]; }
  T* begin() { return data_; }
  T* end() { return data_ + count_; }
  const T* begin() const { return data_; }
  const T* end() const { return data_ + count_; }

  // Grows by max(step, request), where step is the growth (1 when 0).
  // False (nothing changed) when the allocation fails or the size overflows.
  bool Grow(u32 request) {
    u32 step = growth_ ? growth_ : 1;
    if (request > step) step = request;
    u64 slots = static_cast<u64>(capacity_) + step;
    u64 bytes = slots * sizeof(T);
    if (bytes > 0xFFFFFFFFull) return false;
    T* fresh = static_cast<T*>(rt::malloc(static_cast<u32>(bytes)));
    if (!fresh) return false;
    if (data_) {
      std::memcpy(static_cast<void*>(fresh), data_, static_cast<size_t>(capacity_) * sizeof(T));
      rt::free(data_);
    }
    data_ = fresh;
    capacity_ = static_cast<u32>(slots);
    return true;
  }

  // Appends a copy; false when the array could not grow. The element may be
  // one of this array's own (growing moves them).
  bool Add(const T& element) {
    if (count_ == capacity_) {
      const T* from = &element;
      std::less_equal<const T*> le;
      std::less<const T*> lt;
      if (data_ && le(data_, from) && lt(from, data_ + count_)) {
        size_t index = static_cast<size_t>(from - data_);
        if (!Grow(0)) return false;
        from = data_ + index;
      } else if (!Grow(0)) {
        return false;
      }
      ArrayTraits<T>::CopyInto(data_ + count_, *from);
    } else {
      ArrayTraits<T>::CopyInto(data_ + count_, element);
    }
    ++count_;
    return true;
  }

  // Appends an element holding the type's initial value; null when full and
  // unable to grow.
  T* AppendNew() { return InsertNew(count_); }

  // As AppendNew at index (clamped to the count), moving the tail up.
  T* InsertNew(u32 index) {
    if (count_ == capacity_ && !Grow(0)) return nullptr;
    if (index > count_) index = count_;
    T* slot = data_ + index;
    std::memmove(static_cast<void*>(slot + 1), slot, static_cast<size_t>(count_ - index) * sizeof(T));
    ArrayTraits<T>::InitNew(slot);
    ++count_;
    return slot;
  }
  T* InsertNewAtFront() { return InsertNew(0); }

  // Index of the first element equal to value, -1 when absent.
  i32 Find(const T& value) const {
    for (u32 i = 0; i < count_; ++i)
      if (data_[i] == value) return static_cast<i32>(i);
    return -1;
  }

  // Moves the tail down over index; the removed element is not destroyed.
  void RemoveAt(u32 index) {
    if (index >= count_) return;
    std::memmove(static_cast<void*>(data_ + index), data_ + index + 1,
                 static_cast<size_t>(count_ - index - 1) * sizeof(T));
    --count_;
  }

  // As RemoveAt, destroying the removed element first.
  void DeleteAt(u32 index) {
    if (index >= count_) return;
    ArrayTraits<T>::Destroy(data_ + index);
    RemoveAt(index);
  }

  // Destroys every element; storage kept.
  void Clear() {
    for (u32 i = 0; i < count_; ++i) ArrayTraits<T>::Destroy(data_ + i);
    count_ = 0;
  }

  // Clear, then frees the storage.
  void Destroy() {
    Clear();
    if (data_) rt::free(data_);
    data_ = nullptr;
    capacity_ = 0;
  }

 private:
  T* data_ = nullptr;
  u32 count_ = 0;
  u32 capacity_ = 0;
  u32 growth_ = 16;
};

// A nested array starts empty with growth 16 and is destroyed with its owner.
// Nested arrays are not copied (Add does not compile for them): a copy that
// came out empty would lose the elements silently. Use AppendNew or InsertNew.
template <class U>
struct ArrayTraits<CArray<U>> {
  static void InitNew(CArray<U>* slot) { new (slot) CArray<U>(16); }
  static void Destroy(CArray<U>* element) { element->Destroy(); }
};
