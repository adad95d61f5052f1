#include "runtime/startup.h"
#include "runtime/win.h"

namespace rt {

u32 ReadStartupShowCommand() {
  STARTUPINFOW info;
  ZeroMemory(&info, sizeof(info));
  info.cb = sizeof(info);
  GetStartupInfoW(&info);
  return (info.dwFlags & STARTF_USESHOWWINDOW) ? info.wShowWindow : SW_SHOWDEFAULT;
}

i32 _purecall() {
  DebugBreak();
  return 0;
}

}  // namespace rt
