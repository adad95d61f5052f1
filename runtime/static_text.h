// Function-local static texts: each is built on first use and its buffer is
// freed by an exit callback registered at that moment, so the static texts
// are freed from the exit list in the order of their first use, never by
// the C++ runtime.
#pragma once
#include "runtime/startup.h"
#include "runtime/wide_string.h"

namespace rt {

template <class Tag>
class CStaticText {
 public:
  // The text, built from `text` on the first call; later calls return it as
  // it is. Tag is a type of the caller's own, one per static text.
  static const CWideString& Get(const wchar16* text) {
    static CWideString* const built = Build(text);
    return *built;
  }

 private:
  static CWideString* Build(const wchar16* text) {
    CWideString* built = &UndestroyedStatic<CWideString, Tag>();
    built->Assign(text);
    atexit(&Free);
    return built;
  }
  static void Free() { UndestroyedStatic<CWideString, Tag>().Release(); }
};

}  // namespace rt
