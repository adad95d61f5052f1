#include "ui/windows/ole_session.h"

#include <ole2.h>

#include "runtime/startup.h"

namespace {

bool g_initialised = false;

}  // namespace

void InitOleSession() {
  if (g_initialised) return;
  g_initialised = SUCCEEDED(OleInitialize(nullptr));
  if (g_initialised) rt::atexit(EndOleSession);
}

void EndOleSession() {
  if (!g_initialised) return;
  g_initialised = false;
  OleFlushClipboard();
  OleUninitialize();
}
