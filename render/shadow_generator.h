// Soft drop shadows: a small square alpha image of a blurred rounded
// rectangle, rendered once, drawn around any rectangle as a nine-part image
// (corners as they are, edges stretched, inside one colour). Drawn through
// the command stream as a drawable (DrawAt): each record keeps its own copy
// of the rectangle it is drawn around, so the generator is never changed to
// place it. Portable.
#pragma once
#include <atomic>

#include "render/drawable.h"
#include "render/rect.h"
#include "runtime/threads.h"
#include "runtime/types.h"

struct RoundRectShape {
  Rect rect;
  i32 radius;
  Rect corners[4];
};

// The shape {left, top, right, bottom} with its four corner boxes.
RoundRectShape SetupRoundRectShape(i32 left, i32 top, i32 right, i32 bottom, i32 radius);
bool PointInCorner(i32 radius, i32 dx, i32 dy);
bool PointInRoundRect(const RoundRectShape& shape, i32 x, i32 y);

class CShadowGenerator;

// The generator as the command stream sees it.
class CShadowDrawable final : public IDrawable {
 public:
  explicit CShadowDrawable(CShadowGenerator* owner) : owner_(owner) {}
  void Draw(CCanvas* canvas, const void* data, i32 rowStart, i32 rowEnd, i32 clipLeft,
            i32 clipRight) override;

 private:
  CShadowGenerator* owner_;
};

class CShadowGenerator {
 public:
  // Kind 1: margin r + 3, opacity 0.25, 7 x 7 blur; kind 2: margin r + 5,
  // opacity 0.55, 11 x 11 blur.
  CShadowGenerator(i32 kind, i32 radius);
  ~CShadowGenerator();
  CShadowGenerator(const CShadowGenerator&) = delete;
  CShadowGenerator& operator=(const CShadowGenerator&) = delete;

  // Re-renders the image with another opacity (clamped to [0, 1]); waits
  // for any band drawing this generator.
  void SetOpacity(double opacity);

  i32 Side() const { return side_; }
  i32 Margin() const { return margin_; }
  i32 CornerSize() const { return margin_ + (kind_ == 1 ? 3 : 5); }
  double Opacity() const { return opacity_; }
  // Image pixel (column x, row y); 0 outside.
  u32 ImagePixel(i32 x, i32 y) const;
  bool IsReady() const { return image_ != nullptr; }

  // Records the shadow around rect (moved by the canvas origin) without
  // changing the generator: safe for windows painted on different threads.
  void DrawAt(CCanvas* canvas, const Rect& rect);

  // Draws one band of a record; data is the record's rectangle {l, t, r, b}.
  void Draw(CCanvas* canvas, const void* data, i32 rowStart, i32 rowEnd, i32 clipLeft,
            i32 clipRight);

 private:
  void Render(const RoundRectShape& shape);
  void DrawParts(CCanvas* canvas, const Rect& placed, i32 rowStart, i32 rowEnd, i32 clipLeft,
                 i32 clipRight);

  CShadowDrawable drawable_{this};
  u32* image_ = nullptr;
  // Bands draw side by side (readers_ counts them); SetOpacity waits until
  // none draws and holds the lock while it renders, so no band starts then.
  CLock lock_;
  std::atomic<i32> readers_{0};
  i32 side_ = 0;
  i32 rows_ = 0;
  i32 pixelCount_ = 0;
  i32 margin_ = 0;
  double opacity_ = 0.0;
  i32 kind_ = 1;
  i32 radius_ = 0;
};

// The three process-wide generators: two of kind 1 with radius 5 (popups
// and popup menus; the second one is the panes' shadow whose opacity the
// painters change) and one of kind 2 with radius 7 (top-level windows).
// Each initialiser builds its generator and registers its release as an
// exit callback.
void InitPopupShadow();
void InitPaneShadow();
void InitWindowShadow();
CShadowGenerator* GetPopupShadow();
CShadowGenerator* GetPaneShadow();
CShadowGenerator* GetWindowShadow();
void DestroyPopupShadow();
void DestroyPaneShadow();
void DestroyWindowShadow();
