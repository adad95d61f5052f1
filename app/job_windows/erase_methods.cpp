#include "app/job_windows/erase_methods.h"

#include <initializer_list>

#include "drive/drive.h"

namespace {

u32 Put(u32* ids, std::initializer_list<u32> list) {
  u32 n = 0;
  for (u32 id : list) ids[n++] = id;
  return n;
}

}  // namespace

u32 ListEraseMethods(const CDrive& drive, u32 ids[kMaxEraseMethods]) {
  switch (drive.currentProfile) {
    case 0x0A:  // CD-RW
      if (drive.featureFlags & kFeatureFormattableBit)
        return Put(ids, {kTextQuickErase, kTextFullErase, kTextFullFormat});
      return Put(ids, {kTextQuickErase, kTextFullErase});
    case 0x13:  // DVD-RW restricted overwrite
    case 0x14:  // DVD-RW sequential
      return Put(ids, {kTextQuickErase, kTextFullErase, kTextQuickFormat, kTextFullFormat});
    case 0x12:  // DVD-RAM
    case 0x53:  // HD DVD-RW
    case 0x5A:  // HD DVD-RW dual layer
      return Put(ids, {kTextQuickFormat, kTextFullFormat});
    case 0x1A:  // DVD+RW
    case 0x2A:  // DVD+RW dual layer
      // A background format that was started and stopped can go on.
      if (drive.BackgroundFormatStatus() == 1)
        return Put(ids, {kTextQuickFormat, kTextFullFormat, kTextContinueFormat});
      return Put(ids, {kTextQuickFormat, kTextFullFormat});
    default:
      // BD-RE and HD DVD-RAM among them: the job sends nothing for them.
      return 0;
  }
}

i32 EraseMethodCode(u32 id) {
  return id >= kTextQuickErase && id <= kTextContinueFormat ? static_cast<i32>(id - kTextQuickErase + 1) : -1;
}

i32 ChooseMethodEntry(const u32* ids, u32 count, u32 keepId, u32 storedId) {
  if (!count) return -1;
  for (u32 i = 0; i < count; ++i)
    if (ids[i] == keepId) return static_cast<i32>(i);
  for (u32 i = 0; i < count; ++i)
    if (ids[i] == storedId) return static_cast<i32>(i);
  return 0;
}
