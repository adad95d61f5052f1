#include "app/startup/monitor_areas.h"

#include "runtime/platform.h"
#include "runtime/win.h"

namespace {

struct AreaList {
  Rect* out;
  u32 capacity;
  u32 count;
  i32 workBottom;
};

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  AreaList* list = reinterpret_cast<AreaList*>(data);
  if (list->count >= list->capacity) return FALSE;
  MONITORINFO info;
  info.cbSize = sizeof(info);
  if (GetMonitorInfoW(monitor, &info)) {
    const RECT& r = info.rcWork;
    list->out[list->count++] = {r.left, list->workBottom - r.bottom, r.right, list->workBottom - r.top};
  }
  return TRUE;
}

}  // namespace

u32 GetMonitorWorkAreas(Rect* out, u32 capacity) {
  if (!out || capacity == 0) return 0;
  WorkAreaRect primary;
  GetWorkArea(&primary);
  AreaList list = {out, capacity, 0, primary.bottom};
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&list));
  if (list.count == 0) {
    out[0] = {primary.left, 0, primary.right, primary.bottom - primary.top};
    list.count = 1;
  }
  return list.count;
}
