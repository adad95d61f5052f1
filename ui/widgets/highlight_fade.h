// The hover fade of the start strip's tiles: each tile has a brightness
// level from 0.4 (resting) to 1.0 (hot). A fade thread steps every level by
// 0.1 every 40 ms towards its goal while anything moves, and sleeps in 5 s
// waits (both through the clock seam) while nothing does. The levels are
// written by the fade thread and read by the painter under the window lock;
// each is one aligned double, stored and loaded whole. Portable.
#pragma once
#include "runtime/threads.h"
#include "runtime/types.h"

constexpr double kTileRestLevel = 0.4;
constexpr double kTileHotLevel = 1.0;
constexpr u32 kFadeStepMs = 40;
constexpr u32 kFadeIdleMs = 5000;

struct HighlightItem {
  u32 side;     // 0 for the first, third and fifth tile, 1 for the others
  u32 command;  // run when the tile is chosen
  u32 textId;   // title, a tab, description
  const wchar16* title;
  i32 titleLength;  // -1 when the text has no tab
  const wchar16* description;
  i32 descriptionLength;
  u32 buttonColour;
  u32 lightColour;  // white at the level's alpha
  double level;

  double Level() const;
  void SetLevel(double value);
};

// One step over the tiles: the hot one rises by 0.1 (ending exactly at
// 1.0), the others fall by 0.1 (ending exactly at 0.4). True when a level
// moved.
bool StepHighlightLevels(HighlightItem* tiles, u32 count, i32 hot);

// The five tiles in their order, texts from the current language.
void InitHighlightItems(HighlightItem* tiles);
// Points title and description into the tile's UI string.
void SplitTileText(HighlightItem* tile);

// The fade thread: wakes on the event or every step while moving; calls
// repaint(object) after each step that moved; ends when stop is set.
class CHighlightFade {
 public:
  typedef void (*Repaint)(void* object);
  CHighlightFade() = default;
  ~CHighlightFade() { Stop(); }
  CHighlightFade(const CHighlightFade&) = delete;
  CHighlightFade& operator=(const CHighlightFade&) = delete;

  // Without the event or the thread the tiles stay at rest.
  bool Start(HighlightItem* tiles, u32 count, const volatile i32* hot, Repaint repaint, void* object);
  void Wake() { wake_.Set(); }
  // Sets the stop flag, wakes the thread and waits for it.
  void Stop();
  bool IsRunning() const { return thread_.IsStarted(); }

 private:
  static u32 Run(void* self);

  CThread thread_;
  CEvent wake_;
  HighlightItem* tiles_ = nullptr;
  u32 count_ = 0;
  const volatile i32* hot_ = nullptr;
  Repaint repaint_ = nullptr;
  void* object_ = nullptr;
  volatile u8 stop_ = 0;
};
