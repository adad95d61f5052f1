// The name of the temporary copy image (portable).
#include "jobs/burn/temp_image.h"

namespace {
constexpr u32 kMaxTempNumbers = 100000;
}

void BuildTempImageName(const wchar16* folder, u32 n, CWideString* out) {
  out->Assign(folder);
  i32 length = out->GetLength();
  if (length > 0 && out->At(length - 1) != u'\\') out->AppendChar(u'\\');
  out->Append(u"KelvaneTemp");
  out->AppendUInt(n);
  out->Append(u".iso");
}

bool FindFreeTempImageName(const wchar16* folder, PathTaken taken, CWideString* out) {
  CWideString name;
  for (u32 n = 0; n < kMaxTempNumbers; ++n) {
    BuildTempImageName(folder, n, &name);
    if (!taken(name.c_str())) {
      out->Assign(name);
      return true;
    }
  }
  return false;
}
