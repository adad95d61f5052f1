// The window-system seam scripted for UI tests (Windows): the asynchronous
// key state and the cursor position come from the test, and every layered
// present and every take or release of the mouse capture is recorded with
// its thread (also from other threads) and passed on to the system (the
// presents unless turned off). Installs itself for its lifetime.
//
// A present made on a thread other than its window's does what the system
// may do there, every time: it sends a message to the window's thread and
// waits for the answer, and that thread answers only once it has taken the
// window's lock, as its own paint would. A present made under that lock
// therefore waits in vain; after kCrossThreadAnswerMs it goes on and is
// counted as unanswered. Make the object on the windows' thread.
#pragma once
#include <atomic>
#include <mutex>
#include <set>
#include <vector>

#include "runtime/platform.h"

struct PresentRecord {
  LayeredPresent present;
  bool bitmapValid;  // the source DC held a live DIB section
  i32 bitmapWidth, bitmapHeight;
  u32 thread;        // the presenting thread
  std::vector<u32> pixels;  // with capturePixels: the presented pixels, rows from the top
};

struct CaptureCall {
  void* window;  // null: released
  u32 thread;    // the calling thread
};

class CScriptedWindowSystem final : public IInputState {
 public:
  static constexpr u32 kCrossThreadAnswerMs = 2000;

  CScriptedWindowSystem();
  ~CScriptedWindowSystem();

  void SetKeyDown(i32 key, bool down);
  void SetCursor(i32 x, i32 y) { cursor_ = {x, y}; }
  i16 AsyncKeyState(i32 key) override;
  bool CursorPosition(ScreenPoint* out) override;
  bool Present(const LayeredPresent& present) override;
  void CaptureMouse(void* window) override;

  std::vector<PresentRecord> Presents();
  void ClearPresents();
  std::vector<CaptureCall> Captures();
  void ClearCaptures();
  u32 InvalidPresents() const { return invalid_.load(); }
  // Presents from another thread that got no answer from their window's.
  u32 UnansweredPresents() const { return unanswered_.load(); }
  u32 KeyReads() const { return keyReads_.load(); }
  bool passPresentsOn = true;
  bool capturePixels = false;

 private:
  std::mutex mutex_;
  std::set<i32> down_;
  ScreenPoint cursor_ = {0, 0};
  std::vector<PresentRecord> presents_;
  std::vector<CaptureCall> captures_;
  bool AnsweredByWindowThread(void* window);

  void* answerWindow_ = nullptr;  // message-only, on the windows' thread
  u32 answerThread_ = 0;
  std::atomic<u32> invalid_{0};
  std::atomic<u32> unanswered_{0};
  std::atomic<u32> keyReads_{0};
};
