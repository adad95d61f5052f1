// CStartStrip: the start page's strip of five task tiles as the main window
// shows it: the toolkit's highlight strip (tiles, hover fade, keys,
// commands) drawn by the application's painter (its pane, the tiles at
// their fade levels, the texts split from the current language at every
// paint, the tile icons).
#pragma once
#include "app/main_window/start_strip_paint.h"
#include "render/image_strip.h"
#include "render/text/font.h"
#include "ui/widgets/highlight_strip.h"

template <class TParent>
class CStartStrip : public CHighlightStrip<TParent> {
 public:
  using Base = CHighlightStrip<TParent>;
  static constexpr i32 kWidth = 400;
  static constexpr i32 kHeight = 307;

  // The page's Place: 400 x 307 in the middle of the host.
  void Place(i32, i32, i32 width, i32 height) {
    this->SetBounds(width / 2 - kWidth / 2, (height - kHeight) / 2, kWidth, kHeight);
  }
  // The page's Activate: the focus, and the hot tile back (also when the
  // strip kept the focus meanwhile).
  bool OnActivate(bool active) {
    if (!active) return true;
    this->SetFocus();
    this->RelightPreviousHot();
    return true;
  }
  void OnLanguageChanged() { this->UpdateTexts(); }

  void PaintContent(CCanvas& canvas) {
    StartTileLook looks[Base::kTileCount];
    for (u32 i = 0; i < Base::kTileCount; ++i) {
      const HighlightItem& t = this->tiles[i];
      looks[i] = {t.textId, t.buttonColour, t.lightColour, t.Level()};
    }
    PaintStartStrip(canvas, this->width, this->height, looks, Base::kTileCount, font.Get(),
                    icons.bitmap ? &icons : nullptr);
  }

  CFontRef font;  // the tiles' titles and descriptions
  CImageStrip icons;
};
