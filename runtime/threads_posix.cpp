#include <pthread.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <new>

#include "runtime/clock.h"
#include "runtime/heap.h"
#include "runtime/threads.h"

namespace {

struct ThreadState {
  pthread_t thread;
  ThreadEntry entry;
  void* argument;
  pthread_mutex_t mutex;
  pthread_cond_t ended;
  bool done;
};

void* ThreadTrampoline(void* parameter) {
  ThreadState* state = static_cast<ThreadState*>(parameter);
  state->entry(state->argument);
  pthread_mutex_lock(&state->mutex);
  state->done = true;
  pthread_cond_broadcast(&state->ended);
  pthread_mutex_unlock(&state->mutex);
  return nullptr;
}

struct EventState {
  pthread_mutex_t mutex;
  pthread_cond_t cond;
  bool manualReset;
  bool set;
};

// Absolute CLOCK_REALTIME deadline milliseconds from now.
timespec DeadlineAfter(u32 milliseconds) {
  timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  u64 ns = static_cast<u64>(now.tv_nsec) + static_cast<u64>(milliseconds % 1000) * 1000000ull;
  now.tv_sec += milliseconds / 1000 + static_cast<time_t>(ns / 1000000000ull);
  now.tv_nsec = static_cast<long>(ns % 1000000000ull);
  return now;
}

}  // namespace

CThread::~CThread() { Join(); }

bool CThread::Start(ThreadEntry entry, void* argument, u32 stackBytes) {
  if (state_) return false;
  ThreadState* state = new (std::nothrow) ThreadState();
  if (!state) return false;
  state->entry = entry;
  state->argument = argument;
  state->done = false;
  pthread_mutex_init(&state->mutex, nullptr);
  pthread_cond_init(&state->ended, nullptr);
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  // Sanitizers need far more stack than the program's threads; never below
  // the platform minimum.
  size_t stack = stackBytes < (1u << 20) ? (1u << 20) : stackBytes;
  pthread_attr_setstacksize(&attributes, stack);
  int rc = pthread_create(&state->thread, &attributes, ThreadTrampoline, state);
  pthread_attr_destroy(&attributes);
  if (rc != 0) {
    delete state;
    return false;
  }
  state_ = state;
  return true;
}

bool CThread::Join(u32 milliseconds) {
  if (!state_) return true;
  ThreadState* state = static_cast<ThreadState*>(state_);
  pthread_mutex_lock(&state->mutex);
  if (milliseconds == 0xFFFFFFFFu) {
    while (!state->done) pthread_cond_wait(&state->ended, &state->mutex);
  } else {
    timespec deadline = DeadlineAfter(milliseconds);
    while (!state->done)
      if (pthread_cond_timedwait(&state->ended, &state->mutex, &deadline) == ETIMEDOUT) break;
  }
  bool done = state->done;
  pthread_mutex_unlock(&state->mutex);
  if (!done) return false;
  pthread_join(state->thread, nullptr);
  pthread_mutex_destroy(&state->mutex);
  pthread_cond_destroy(&state->ended);
  delete state;
  state_ = nullptr;
  return true;
}

void* CThread::NativeHandle() const { return nullptr; }

bool CEvent::Create(bool manualReset, bool initiallySet) {
  Close();
  EventState* state = new (std::nothrow) EventState();
  if (!state) return false;
  pthread_mutex_init(&state->mutex, nullptr);
  pthread_cond_init(&state->cond, nullptr);
  state->manualReset = manualReset;
  state->set = initiallySet;
  state_ = state;
  return true;
}

void CEvent::Close() {
  if (!state_) return;
  EventState* state = static_cast<EventState*>(state_);
  pthread_mutex_destroy(&state->mutex);
  pthread_cond_destroy(&state->cond);
  delete state;
  state_ = nullptr;
}

void CEvent::Set() {
  if (!state_) return;
  EventState* state = static_cast<EventState*>(state_);
  pthread_mutex_lock(&state->mutex);
  state->set = true;
  if (state->manualReset)
    pthread_cond_broadcast(&state->cond);
  else
    pthread_cond_signal(&state->cond);
  pthread_mutex_unlock(&state->mutex);
}

void CEvent::Reset() {
  if (!state_) return;
  EventState* state = static_cast<EventState*>(state_);
  pthread_mutex_lock(&state->mutex);
  state->set = false;
  pthread_mutex_unlock(&state->mutex);
}

u32 CEvent::Wait(u32 milliseconds) {
  if (!state_) return kWaitFailed;
  EventState* state = static_cast<EventState*>(state_);
  pthread_mutex_lock(&state->mutex);
  if (milliseconds == 0xFFFFFFFFu) {
    while (!state->set) pthread_cond_wait(&state->cond, &state->mutex);
  } else {
    timespec deadline = DeadlineAfter(milliseconds);
    while (!state->set)
      if (pthread_cond_timedwait(&state->cond, &state->mutex, &deadline) == ETIMEDOUT) break;
  }
  bool signalled = state->set;
  if (signalled && !state->manualReset) state->set = false;
  pthread_mutex_unlock(&state->mutex);
  return signalled ? kWaitSignalled : kWaitTimeout;
}

void* CEvent::NativeHandle() const { return nullptr; }

static_assert(sizeof(pthread_mutex_t) <= 64, "lock storage too small");

CLock::CLock() {
  pthread_mutexattr_t attributes;
  pthread_mutexattr_init(&attributes);
  // Recursive, as a critical section is.
  pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
  pthread_mutex_init(reinterpret_cast<pthread_mutex_t*>(storage_), &attributes);
  pthread_mutexattr_destroy(&attributes);
}
CLock::~CLock() { pthread_mutex_destroy(reinterpret_cast<pthread_mutex_t*>(storage_)); }
void CLock::Enter() { pthread_mutex_lock(reinterpret_cast<pthread_mutex_t*>(storage_)); }
void CLock::Leave() { pthread_mutex_unlock(reinterpret_cast<pthread_mutex_t*>(storage_)); }

u32 GetProcessorCount() {
  long n = sysconf(_SC_NPROCESSORS_ONLN);
  return n > 0 ? static_cast<u32>(n) : 1;
}
