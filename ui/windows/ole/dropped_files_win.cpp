// CDroppedFiles::GetName and the check of the DROPFILES layout against the
// system's header.
#include <shlobj.h>

#include <cstddef>
#include <cstring>

#include "runtime/wide_string.h"
#include "runtime/win.h"
#include "ui/windows/ole/dropped_files.h"

static_assert(sizeof(DROPFILES) == drop_files::kHeaderSize, "DROPFILES size");
static_assert(offsetof(DROPFILES, pFiles) == drop_files::kNamesOffsetField, "DROPFILES name offset");
static_assert(offsetof(DROPFILES, fWide) == drop_files::kWideField, "DROPFILES wide flag");
static_assert(drop_files::kNameLimit == MAX_PATH - 1, "the path limit");

HResult CDroppedFiles::GetName(u32 index, CWideString* out) {
  if (!out) return kHrPointer;
  DropName name;
  const HResult found = FindName(index, &name);
  if (found != kHrOk) return found;
  out->Release();
  if (name.units > drop_files::kNameLimit) return kHrFail;
  const u8* at = block_ + name.offset;
  const i32 units = static_cast<i32>(name.units);
  if (wide_) {
    wchar16* text = out->SetLength(units);
    if (!text) return kHrFail;
    std::memcpy(text, at, name.units * 2);  // the block need not be aligned
    return kHrOk;
  }
  const char* bytes = reinterpret_cast<const char*>(at);
  const int needed = MultiByteToWideChar(CP_ACP, 0, bytes, units, nullptr, 0);
  wchar16* text = needed > 0 ? out->SetLength(needed) : nullptr;
  if (!text || MultiByteToWideChar(CP_ACP, 0, bytes, units, AsWide(text), needed) != needed) {
    out->Release();
    return kHrFail;
  }
  return kHrOk;
}
