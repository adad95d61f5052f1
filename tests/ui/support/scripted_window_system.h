// The window-system seam scripted for UI tests (Windows): the asynchronous
// key state and the cursor position come from the test, and every layered
// present is recorded (also from other threads) and, unless turned off,
// passed on to the system. Installs itself for its lifetime.
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

class CScriptedWindowSystem final : public IInputState {
 public:
  CScriptedWindowSystem();
  ~CScriptedWindowSystem();

  void SetKeyDown(i32 key, bool down);
  void SetCursor(i32 x, i32 y) { cursor_ = {x, y}; }
  i16 AsyncKeyState(i32 key) override;
  bool CursorPosition(ScreenPoint* out) override;
  bool Present(const LayeredPresent& present) override;

  std::vector<PresentRecord> Presents();
  void ClearPresents();
  u32 InvalidPresents() const { return invalid_.load(); }
  u32 KeyReads() const { return keyReads_.load(); }
  bool passPresentsOn = true;
  bool capturePixels = false;

 private:
  std::mutex mutex_;
  std::set<i32> down_;
  ScreenPoint cursor_ = {0, 0};
  std::vector<PresentRecord> presents_;
  std::atomic<u32> invalid_{0};
  std::atomic<u32> keyReads_{0};
};
