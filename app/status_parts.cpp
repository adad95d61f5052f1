#include "app/status_parts.h"

void DistributeAutoSizes(const i32* widths, u32 count, i32 barWidth, bool maximised, i32* out) {
  i32 available = barWidth - (maximised ? 0 : kStatusGripWidth);
  i32 automatic = 0;
  for (u32 i = 0; i < count; ++i) {
    if (widths[i] == kStatusPartAuto)
      ++automatic;
    else
      available -= widths[i];
  }
  const i32 share = automatic > 0 && available > 0 ? available / automatic : 0;
  for (u32 i = 0; i < count; ++i) out[i] = widths[i] == kStatusPartAuto ? share : widths[i];
}
