// Fuzz target of the readers of data other programs drop or put on the
// clipboard: the DROPFILES file list and the file-group descriptor block.
// Any bytes give names and descriptors that lie inside the block, never a
// crash or a read outside it.
#include <cstddef>
#include <cstdint>

#include "ui/windows/ole/dropped_files.h"
#include "ui/windows/ole/file_group_descriptor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > drop_files::kBlockLimit) return 0;
  const u32 n = static_cast<u32>(size);

  CDroppedFiles files;
  if (!files.Load(size ? data : nullptr, n) && size) __builtin_trap();
  u32 count = 0;
  files.GetCount(&count);
  DropName name;
  const u32 unit = files.IsWide() ? 2 : 1;
  // Forward, then once more from the last name down (the cursor restarts).
  for (u32 pass = 0; pass < 2; ++pass) {
    for (u32 k = 0; k < count; ++k) {
      const u32 i = pass ? count - 1 - k : k;
      if (files.FindName(i, &name) != kHrOk) __builtin_trap();
      if (name.units == 0 || name.offset + u64(name.units + 1) * unit > files.Size()) __builtin_trap();
    }
  }
  if (files.FindName(count, &name) != kHrFalse) __builtin_trap();

  const u32 descriptors = ReadFileGroupCount(data, n);
  if (u64(descriptors) * file_group::kDescriptorSize + file_group::kCountSize > n && descriptors) __builtin_trap();
  FileDescriptorFields fields;
  for (u32 i = 0; i < descriptors; ++i)
    if (ReadFileDescriptor(data, n, i, &fields) && fields.name.GetLength() >= static_cast<i32>(file_group::kNameUnits))
      __builtin_trap();
  if (ReadFileDescriptor(data, n, descriptors, &fields)) __builtin_trap();
  return 0;
}
