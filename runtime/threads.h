// The one thread starter and event shim of the program, with a Win32 side
// and a POSIX side (for the native build of the renderer core). Stack sizes
// are commit sizes.
#pragma once
#include "runtime/types.h"

typedef u32 (*ThreadEntry)(void* argument);

class CThread {
 public:
  CThread() = default;
  ~CThread();  // joins a thread that is still running
  CThread(const CThread&) = delete;
  CThread& operator=(const CThread&) = delete;

  // Starts entry(argument) with the given stack size (0: the default).
  // False when the thread could not be created.
  bool Start(ThreadEntry entry, void* argument, u32 stackBytes);
  // Waits for the thread to end and releases it; true when it ended.
  bool Join(u32 milliseconds = 0xFFFFFFFFu);
  bool IsStarted() const { return state_ != nullptr; }
  // The system handle (HANDLE on Windows), null elsewhere.
  void* NativeHandle() const;

 private:
  void* state_ = nullptr;
};

class CEvent {
 public:
  CEvent() = default;
  ~CEvent() { Close(); }
  CEvent(const CEvent&) = delete;
  CEvent& operator=(const CEvent&) = delete;

  bool Create(bool manualReset, bool initiallySet);
  void Close();
  bool IsCreated() const { return state_ != nullptr; }
  void Set();
  void Reset();
  // kWaitSignalled (0), kWaitTimeout (0x102) or kWaitFailed.
  u32 Wait(u32 milliseconds);
  // The system handle (HANDLE on Windows), null elsewhere.
  void* NativeHandle() const;

 private:
  void* state_ = nullptr;
};

class CLock {
 public:
  CLock();
  ~CLock();
  CLock(const CLock&) = delete;
  CLock& operator=(const CLock&) = delete;
  void Enter();
  void Leave();

 private:
  alignas(8) u8 storage_[64];
};

class CLockGuard {
 public:
  explicit CLockGuard(CLock& lock) : lock_(lock) { lock_.Enter(); }
  ~CLockGuard() { lock_.Leave(); }
  CLockGuard(const CLockGuard&) = delete;
  CLockGuard& operator=(const CLockGuard&) = delete;

 private:
  CLock& lock_;
};

u32 GetProcessorCount();
