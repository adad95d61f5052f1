// CHighlightStrip: the main window's start strip of five task tiles. The
// tile under the pointer (or chosen with Up and Down) becomes hot and its
// fade thread brightens it while the others dim back; a tile runs its
// command for a press and a release both on it (as a push button, the
// strip holds the mouse from the press to the release), or for Enter or
// Space while it is hot. How the tiles look is the application's painting.
// Portable.
#pragma once
#include "ui/widgets/capture_table.h"
#include "ui/widgets/highlight_fade.h"
#include "ui/widgets/widget.h"
#include "ui/windows/theme/theme_metrics.h"

template <class TParent>
class CHighlightStrip : public CWidgetOf<CHighlightStrip<TParent>, TParent> {
 public:
  static constexpr u32 kTileCount = 5;
  static constexpr bool kFocusLook = true;

  HighlightItem tiles[kTileCount] = {};
  WidgetCallback<u32> command;  // the chosen tile's command id
  volatile i32 hot = -1;
  i32 previousHot = -1;
  i32 pressedTile = -1;  // the tile the left button went down on, until its release

  ~CHighlightStrip() {
    EndPress();
    fade_.Stop();
  }

  // Builds the tiles and starts the fade thread (run by Create).
  void CreateChildren() {
    InitHighlightItems(tiles);
    fade_.Start(tiles, kTileCount, &hot, &CHighlightStrip::RepaintFromFade, this);
  }
  // The main window closes: the fade thread ends before the strip goes.
  void Stop() { fade_.Stop(); }
  bool IsFading() const { return fade_.IsRunning(); }
  // The texts again after a language switch.
  void UpdateTexts() {
    for (HighlightItem& t : tiles) SplitTileText(&t);
    this->Redraw();
  }

  // The tile under a content point, -1 for none: 48 pixels high, 56 apart,
  // from the top down.
  i32 TileAt(const Point& p) const {
    const i32 m = ThemeMenuSpacing(), w = this->width, h = this->height;
    if (p.x < m + 12 || p.x >= w - m - 14) return -1;
    for (i32 i = 0; i < static_cast<i32>(kTileCount); ++i)
      if (p.y >= h - m - 60 - 56 * i && p.y < h - m - 12 - 56 * i) return i;
    return -1;
  }
  void SetHot(i32 tile) {
    if (tile == hot) return;
    hot = tile;
    fade_.Wake();
  }

  void OnMouseMove(i32, Point* p) {
    if (PressedWidget() != this) this->Window().CapturePress(this);
    SetHot(TileAt(*p));
  }
  void OnPressLeave() {
    if (hot < 0) return;
    previousHot = hot;
    SetHot(-1);
  }
  void OnReleasePress() { OnPressLeave(); }
  // Losing the focus cools the hot tile, as the pointer leaving does.
  void OnFocusLeave() {
    OnPressLeave();
    this->Redraw();
  }
  // Hidden (another page took its place): the strip lets go of the pointer
  // and its hot tile cools as when the pointer leaves, remembered as the
  // previous one, so the focus or the page's activation lights it again.
  void OnVisibilityChanged(bool visible) {
    if (visible) return;
    EndPress();
    if (PressedWidget() == this) {
      this->Window().ReleasePress();
      SetPressedWidget(nullptr);
    }
    OnPressLeave();
  }
  // With no tile hot, the previous hot tile becomes hot again: the tile
  // Enter and Space run.
  void RelightPreviousHot() {
    if (hot < 0 && previousHot >= 0) SetHot(previousHot);
  }
  void OnFocusGain() {
    RelightPreviousHot();
    this->Redraw();
  }
  // A press on a tile holds the mouse until its release, wherever the
  // pointer goes meanwhile; a release with no press on a tile runs nothing.
  void OnLButtonDown(i32, Point* p) {
    const i32 tile = TileAt(*p);
    if (tile < 0 || CaptureOwner()) return;
    pressedTile = tile;
    CCaptureSet set(this);
    set.On<CHighlightStrip, &CHighlightStrip::OnHeldMove>(kCaptureMove)
        .template On<CHighlightStrip, &CHighlightStrip::OnLButtonUp>(kCaptureLeftUp)
        .template OnLost<CHighlightStrip, &CHighlightStrip::EndPress>()
        .template Translate<CWidget, &CWidget::WindowToLocal>(this);
    CaptureTable::Install(set, this);
  }
  // Held, the strip hears every move: off the strip its tile cools as when
  // the pointer leaves, back on a tile that tile lights.
  void OnHeldMove(i32, Point* p) {
    if (p->x < 0 || p->x >= this->width || p->y < 0 || p->y >= this->height)
      OnPressLeave();
    else
      SetHot(TileAt(*p));
  }
  void OnLButtonUp(i32, Point* p) {
    const i32 pressed = pressedTile;
    EndPress();
    const i32 tile = TileAt(*p);
    if (tile >= 0 && tile == pressed && tile == hot) command.Call(this->parent, tiles[tile].command);
  }
  // The press ends: released, hidden, or another window took the mouse.
  void EndPress() {
    pressedTile = -1;
    CaptureTable::Uninstall(this);
  }
  u32 OnKeyDown(u32 key, u32, u32) {
    const i32 n = static_cast<i32>(kTileCount);
    if (key == 38) {  // Up
      SetHot(hot <= 0 ? n - 1 : hot - 1);
    } else if (key == 40) {  // Down
      SetHot(hot < 0 || hot >= n - 1 ? 0 : hot + 1);
    } else if ((key == 13 || key == 32) && hot >= 0) {
      command.Call(this->parent, tiles[hot].command);
    }
    return 1;
  }

 private:
  static void RepaintFromFade(void* object) { static_cast<CHighlightStrip*>(object)->Redraw(); }
  CHighlightFade fade_;
};
