#include "ui/widgets/highlight_fade.h"

#include "runtime/clock.h"
#include "runtime/ui_strings.h"
#include "ui/windows/theme/theme_metrics.h"

namespace {

struct TileSpec {
  u32 command, textId;
};
constexpr TileSpec kTiles[5] = {{21, 138}, {51, 140}, {49, 141}, {22, 139}, {52, 142}};

u32 WithAlpha(u32 colour, u32 alpha) { return (colour & 0x00FFFFFFu) | (alpha << 24); }

}  // namespace

double HighlightItem::Level() const {
  double value;
  __atomic_load(&level, &value, __ATOMIC_RELAXED);
  return value;
}

void HighlightItem::SetLevel(double value) {
  __atomic_store(&level, &value, __ATOMIC_RELAXED);
  lightColour = WithAlpha(ThemeWhite(), static_cast<u32>(value * 255.0));
}

bool StepHighlightLevels(HighlightItem* tiles, u32 count, i32 hot) {
  bool changed = false;
  for (u32 i = 0; i < count; ++i) {
    double level = tiles[i].Level();
    if (static_cast<i32>(i) == hot) {
      if (!(level < kTileHotLevel)) continue;
      level += 0.1;
      if (!(level < kTileHotLevel)) level = kTileHotLevel;
    } else {
      if (!(level > kTileRestLevel)) continue;
      level -= 0.1;
      if (!(level > kTileRestLevel)) level = kTileRestLevel;
    }
    tiles[i].SetLevel(level);
    changed = true;
  }
  return changed;
}

void SplitTileText(HighlightItem* tile) {
  const UiString* s = GetUiString(tile->textId);
  const i32 n = static_cast<i32>(s->length);
  i32 tab = 0;
  while (tab < n && s->text[tab] != u'\t') ++tab;
  tile->title = s->text;
  tile->titleLength = tab < n ? tab : -1;
  tile->description = tab < n ? s->text + tab + 1 : s->text + n;
  tile->descriptionLength = tab < n ? n - tab - 1 : 0;
}

void InitHighlightItems(HighlightItem* tiles) {
  for (u32 i = 0; i < 5; ++i) {
    HighlightItem& t = tiles[i];
    t.side = i % 2;
    t.command = kTiles[i].command;
    t.textId = kTiles[i].textId;
    t.buttonColour = WithAlpha(ThemeButtonFaceColor(), 0x66);
    t.SetLevel(kTileRestLevel);
    SplitTileText(&t);
  }
}

bool CHighlightFade::Start(HighlightItem* tiles, u32 count, const volatile i32* hot, Repaint repaint, void* object) {
  Stop();
  tiles_ = tiles;
  count_ = count;
  hot_ = hot;
  repaint_ = repaint;
  object_ = object;
  stop_ = 0;
  if (!wake_.Create(false, false)) return false;
  if (thread_.Start(&CHighlightFade::Run, this, 16 * 1024)) return true;
  wake_.Close();
  return false;
}

void CHighlightFade::Stop() {
  stop_ = 1;
  if (thread_.IsStarted()) {
    wake_.Set();
    thread_.Join();
  }
  wake_.Close();
}

u32 CHighlightFade::Run(void* self) {
  CHighlightFade* fade = static_cast<CHighlightFade*>(self);
  u32 wait = kFadeIdleMs;
  for (;;) {
    const u32 woke = Clock().Wait(fade->wake_.NativeHandle(), wait);
    if (woke == kWaitFailed || fade->stop_) return 0;  // a failed wait would spin
    if (woke == kWaitTimeout && wait == kFadeIdleMs) continue;
    const bool changed = StepHighlightLevels(fade->tiles_, fade->count_, *fade->hot_);
    wait = changed ? kFadeStepMs : kFadeIdleMs;
    if (changed && fade->repaint_) fade->repaint_(fade->object_);
  }
}
