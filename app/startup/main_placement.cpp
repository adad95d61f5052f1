#include "app/startup/main_placement.h"

Rect DefaultMainRect(i32 workRight, i32 workBottom) {
  const i32 x = (workRight - kMainDefaultWidth) / 2;
  const i32 y = (workBottom - kMainDefaultHeight) / 2;
  return {x, y, x + kMainDefaultWidth, y + kMainDefaultHeight};
}

bool IsUsableMainRect(const Rect& saved, const Rect* workAreas, u32 areaCount) {
  // 64-bit: the values come from the registry and may be anything.
  const i64 width = static_cast<i64>(saved.right) - saved.left;
  const i64 height = static_cast<i64>(saved.bottom) - saved.top;
  if (width <= 0 || height <= 0 || width > kMainMaxSide || height > kMainMaxSide) return false;
  const i64 bandLow = saved.bottom - (height < kMainMinVisibleHeight ? height : kMainMinVisibleHeight);
  for (u32 i = 0; i < areaCount; ++i) {
    const Rect& a = workAreas[i];
    const i64 left = saved.left > a.left ? saved.left : a.left;
    const i64 right = saved.right < a.right ? saved.right : a.right;
    const i64 low = bandLow > a.top ? bandLow : a.top;
    const i64 high = saved.bottom < a.bottom ? saved.bottom : a.bottom;
    const i64 needWidth = width < kMainMinVisibleWidth ? width : kMainMinVisibleWidth;
    const i64 needHeight = height < kMainMinVisibleHeight ? height : kMainMinVisibleHeight;
    if (right - left >= needWidth && high - low >= needHeight) return true;
  }
  return false;
}

Rect ChooseMainRect(const Rect* saved, const Rect* workAreas, u32 areaCount, i32 workRight,
                    i32 workBottom) {
  if (saved && IsUsableMainRect(*saved, workAreas, areaCount)) return *saved;
  return DefaultMainRect(workRight, workBottom);
}
