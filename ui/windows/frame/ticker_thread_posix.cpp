#include "ui/windows/frame/ticker_thread.h"

// No other thread sends messages to a thread of the native build: the
// caller's join does the waiting.
bool WaitDeliveringSentMessages(void*, u32) { return true; }
