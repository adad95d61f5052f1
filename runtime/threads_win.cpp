#include "runtime/threads.h"

#include <new>

#include "runtime/clock.h"
#include "runtime/heap.h"
#include "runtime/win.h"

namespace {

struct ThreadStart {
  ThreadEntry entry;
  void* argument;
};

DWORD WINAPI ThreadTrampoline(LPVOID parameter) {
  ThreadStart start = *static_cast<ThreadStart*>(parameter);
  rt::free(parameter);
  return start.entry(start.argument);
}

}  // namespace

CThread::~CThread() { Join(); }

bool CThread::Start(ThreadEntry entry, void* argument, u32 stackBytes) {
  if (state_) return false;
  ThreadStart* start = static_cast<ThreadStart*>(rt::malloc(sizeof(ThreadStart)));
  if (!start) return false;
  start->entry = entry;
  start->argument = argument;
  // The stack size is a commit size (no STACK_SIZE_PARAM_IS_A_RESERVATION).
  HANDLE thread = CreateThread(nullptr, stackBytes, ThreadTrampoline, start, 0, nullptr);
  if (!thread) {
    rt::free(start);
    return false;
  }
  state_ = thread;
  return true;
}

bool CThread::Join(u32 milliseconds) {
  if (!state_) return true;
  if (WaitForSingleObject(state_, milliseconds) != WAIT_OBJECT_0) return false;
  CloseHandle(state_);
  state_ = nullptr;
  return true;
}

void* CThread::NativeHandle() const { return state_; }

bool CEvent::Create(bool manualReset, bool initiallySet) {
  Close();
  state_ = CreateEventW(nullptr, manualReset, initiallySet, nullptr);
  return state_ != nullptr;
}

void CEvent::Close() {
  if (state_) CloseHandle(state_);
  state_ = nullptr;
}

void CEvent::Set() {
  if (state_) SetEvent(state_);
}

void CEvent::Reset() {
  if (state_) ResetEvent(state_);
}

u32 CEvent::Wait(u32 milliseconds) {
  if (!state_) return kWaitFailed;
  DWORD result = WaitForSingleObject(state_, milliseconds);
  if (result == WAIT_OBJECT_0) return kWaitSignalled;
  if (result == WAIT_TIMEOUT) return kWaitTimeout;
  return kWaitFailed;
}

void* CEvent::NativeHandle() const { return state_; }

static_assert(sizeof(CRITICAL_SECTION) <= 64, "lock storage too small");

CLock::CLock() { InitializeCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(storage_)); }
CLock::~CLock() { DeleteCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(storage_)); }
void CLock::Enter() { EnterCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(storage_)); }
void CLock::Leave() { LeaveCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(storage_)); }

u32 GetProcessorCount() {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  return info.dwNumberOfProcessors ? info.dwNumberOfProcessors : 1;
}
