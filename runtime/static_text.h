// Function-local static records: each is built on its first use, and that
// moment registers the exit callback that releases what it holds (its
// Release()). So the static records, and the static texts among them, are
// released from the exit list in the order of their first use, never by
// the C++ runtime.
#pragma once
#include "runtime/startup.h"
#include "runtime/wide_string.h"

namespace rt {

// A static record of type T (default-constructed); Tag is a type of the
// caller's own, one per record. T::Release() frees what it holds and
// leaves it empty but usable.
template <class T, class Tag>
class CStaticRecord {
 public:
  // The record, built on the first call (once, also when threads race for
  // it); later calls return it as it is.
  static T& Get() {
    static T* const built = Register(&UndestroyedStatic<T, Tag>());
    return *built;
  }

 private:
  static T* Register(T* record) {
    atexit(&Release);
    return record;
  }
  static void Release() { UndestroyedStatic<T, Tag>().Release(); }
};

// A static text: a static record that holds a string.
template <class Tag>
class CStaticText {
 public:
  // The text, built from `text` on the first call; later calls return it as
  // it is.
  static const CWideString& Get(const wchar16* text) {
    static CWideString* const built = Build(text);
    return *built;
  }

 private:
  static CWideString* Build(const wchar16* text) {
    CWideString* built = &CStaticRecord<CWideString, Tag>::Get();
    built->Assign(text);
    return built;
  }
};

}  // namespace rt
