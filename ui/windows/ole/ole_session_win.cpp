#include "ui/windows/ole/ole_session.h"

#include <ole2.h>

COleSession::COleSession() : initialised_(SUCCEEDED(OleInitialize(nullptr))) {}

COleSession::~COleSession() {
  if (!initialised_) return;
  OleFlushClipboard();
  OleUninitialize();
}
