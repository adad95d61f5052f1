// CAudioTrackPage: one track of the audio project, a 52-pixel row in the
// track list. It shows the file's name and length and a "Previous pause:"
// field (whole seconds, digits only, at most 999), and has three small icon
// buttons: remove the track (upper right), move it up or down (lower
// right). The row keeps the track's measured length and its pause in
// frames, and adds both to a burn's layout. Portable.
//
// The list (TList) offers: listFont (CFontRef), RemoveTrack(row),
// MoveTrackUp(row), MoveTrackDown(row), OnPauseChanged(row),
// OpenContextMenu(), IconStrip() and its wheel step OnWheel(keys, delta,
// point in its content coordinates).
#pragma once
#include <cmath>
#include <tuple>

#include "jobs/audio/audio_project_layout.h"
#include "jobs/audio/audio_track_info.h"
#include "runtime/date_time.h"
#include "render/text/font.h"
#include "render/text/text_layout.h"
#include "runtime/ui_strings.h"
#include "ui/widgets/button.h"
#include "ui/widgets/composite.h"
#include "ui/widgets/text_edit.h"
#include "ui/windows/theme/theme_metrics.h"

constexpr i32 kTrackRowHeight = 52;
constexpr i32 kTrackRemoveIcon = 17;
constexpr i32 kTrackUpIcon = 25;
constexpr i32 kTrackDownIcon = 26;
constexpr u32 kTrackRemoveColour = 0xC0C04040u;
constexpr u32 kTrackMoveColour = 0xC0208020u;
constexpr u32 kTextPreviousPause = 201;
constexpr u32 kTextLength = 202;
constexpr u32 kTextFile = 203;
constexpr u32 kTrackValueColour = 0xFF696969u;

template <class TList>
class CAudioTrackPage : public CCompositeOf<CAudioTrackPage<TList>, TList> {
 public:
  using Self = CAudioTrackPage<TList>;
  static constexpr u32 kCaretSlot = kCaretSlotAudioTrack;

  auto Children() { return std::tie(removeButton, pauseField, upButton, downButton); }

  // ---- Controls (their places are Layout's) ----
  void CreateChildren() {
    const Rect small = {0, 0, 16, 16};
    const CImageStrip* strip = this->Parent().IconStrip();
    InitButton(&removeButton, kTrackRemoveIcon, kTrackRemoveColour, strip);
    removeButton.click = BindCallback<Self, &Self::OnRemoveClicked>(this, this);
    removeButton.Create(0x2000E, &small, this);

    CFont* font = this->Parent().listFont.Get();
    const i32 w = 2 * ThemeTextPadding() + PauseTextRoom(font);
    const Rect field = {0, 0, w, ThemeRowHeight()};
    pauseField.Create(0x2000E, &field, this);
    pauseField.SetText(u"0");
    pauseField.edit.options = 2;
    pauseField.edit.font = font;  // the list's, which outlives its rows
    pauseField.filter = BindCharFilter<Self, &Self::IsDigitChar>(this, this);
    pauseField.change = BindCallback<Self, &Self::OnPauseChanged>(this, this);

    InitButton(&upButton, kTrackUpIcon, kTrackMoveColour, strip);
    upButton.click = BindCallback<Self, &Self::OnUpClicked>(this, this);
    upButton.Create(0x2000E, &small, this);
    InitButton(&downButton, kTrackDownIcon, kTrackMoveColour, strip);
    downButton.click = BindCallback<Self, &Self::OnDownClicked>(this, this);
    downButton.Create(0x2000E, &small, this);
  }

  void LayoutContent(i32 width, i32 height) {
    MoveTo(&removeButton, width - 20, height - 20);
    MoveTo(&upButton, width - 38, 4);
    MoveTo(&downButton, width - 20, 4);
    MoveTo(&pauseField, PauseFieldX(), 4);
  }

  // The pause field's room for its text: three digits. Three average
  // advances are that room while the font's digits are no wider than its
  // average; where they are wider (the default face's are), the room takes
  // three of the widest digit and a pixel more, since the edit scrolls a
  // text that is not narrower than its view.
  static i32 PauseTextRoom(CFont* font) {
    const i32 room = static_cast<i32>(3.0 * (font ? font->averageAdvance : 8.0));
    if (!font) return room;
    double digit = 0;
    for (wchar16 c = u'0'; c <= u'9'; ++c) {
      const double advance = font->MeasureText(&c, 1);
      if (advance > digit) digit = advance;
    }
    const i32 digits = static_cast<i32>(std::floor(3.0 * digit)) + 1;
    return room > digits ? room : digits;
  }

  // The pause field stands right of its label: the label's width in the
  // list's font, half the font's size and 8 pixels.
  i32 PauseFieldX() {
    CFont* font = this->Parent().listFont.Get();
    if (!font) return 8;
    const UiString* label = GetUiString(kTextPreviousPause);
    return static_cast<i32>(font->MeasureText(label->text, static_cast<i32>(label->length))) +
           static_cast<i32>(font->size) / 2 + 8;
  }

  // ---- The track ----
  // Measures the file through `measure`; false when it cannot be read.
  bool ReadLength(const wchar16* path, bool (*measure)(AudioTrackInfo*, const wchar16*)) {
    if (!measure || !measure(&track, path)) return false;
    track.path.Assign(path);
    lengthText.Release();
    AppendMinutesSeconds(&lengthText, track.seconds);
    fileName.Assign(FileNamePart(path));
    return true;
  }
  // The pause is typed in seconds and kept in frames.
  bool IsDigitChar(u32 c) { return c >= u'0' && c <= u'9'; }
  void OnPauseChanged() {
    u32 seconds = 0;
    bool saturated = false;
    const CWideString& text = pauseField.Text();
    if (!ParsePauseSeconds(text.c_str(), text.GetLength(), &seconds, &saturated)) return;
    if (saturated) {
      // Shown as cut; the field calls back with "999", which changes nothing more.
      pauseFrames = seconds * kCdFramesPerSecond;
      pauseField.SetText(u"999");
      return;
    }
    pauseFrames = seconds * kCdFramesPerSecond;
    this->Parent().OnPauseChanged(this);
  }
  // This row's extents of a burn's layout at *position.
  bool AppendExtents(TrackList* list, i32* position) const {
    return AppendAudioTrackExtents(pauseFrames, track.sectors, list, position);
  }

  // ---- Mouse: a right release none of the controls took ----
  void OnRButtonUp(i32, Point*) { this->Parent().OpenContextMenu(); }
  // The wheel over the row's own area scrolls the list that holds it, the
  // point moved into the list's content coordinates.
  void OnWheel(i32 keys, i32 delta, Point* p) {
    Point inList = *p;
    this->LocalToParent(&inList);
    this->Parent().OnWheel(keys, delta, &inList);
  }

  // ---- Painting ----
  void PaintContent(CCanvas& canvas) {
    const double w = this->width, h = this->height;
    canvas.FillRoundRectGradientY(0, 0, w, h, 2, LinearGradient{0xFFE0E0E0u, 0xFFFAFAFAu, 0.0, h});
    canvas.FrameRoundRect(0.5, 0.5, w - 0.5, h - 0.5, 2, 1, 0xFFC0C0C0u);
    CFont* font = this->Parent().listFont.Get();
    if (!font) return;
    CCanvasFontScope scope(canvas, font);
    const u32 saved = canvas.textColour;
    const i32 line = ThemeRowHeight();
    const i32 first = 4, second = 4 + line;
    const i32 size = static_cast<i32>(font->size);
    i32 x = DrawLabel(canvas, 8, first, line, kTextPreviousPause);
    x = pauseField.x + pauseField.width + size;
    x = DrawLabel(canvas, x, first, line, kTextLength);
    DrawValue(canvas, x + size / 2, first, line, lengthText);
    x = DrawLabel(canvas, 8, second, line, kTextFile);
    DrawValue(canvas, x + size / 2, second, line, fileName);
    canvas.textColour = saved;
  }

  CButton<Self> removeButton;
  CTextEdit<Self> pauseField;
  CButton<Self> upButton;
  CButton<Self> downButton;
  AudioTrackInfo track;
  u32 pauseFrames = 0;
  CWideString fileName;
  CWideString lengthText;

 private:
  static constexpr u32 kCdFramesPerSecond = 75;

  static void InitButton(CButton<Self>* b, i32 frame, u32 colour, const CImageStrip* strip) {
    b->imageFrame = frame;
    b->colour = colour;
    b->iconStrip = strip;
  }
  template <class W>
  static void MoveTo(W* child, i32 x, i32 y) {
    if (child->x == x && child->y == y) return;
    child->RepaintArea();
    child->x = x;
    child->y = y;
    child->RepaintArea();
  }
  static const wchar16* FileNamePart(const wchar16* path) {
    const wchar16* name = path;
    for (const wchar16* p = path; *p; ++p)
      if (*p == u'\\' || *p == u'/' || *p == u':') name = p + 1;
    return name;
  }
  // A label in the text colour; the x after it.
  i32 DrawLabel(CCanvas& canvas, i32 x, i32 y, i32 line, u32 id) {
    const UiString* s = GetUiString(id);
    canvas.textColour = ThemeMenuTextColor();
    const double width = canvas.font ? canvas.font->MeasureText(s->text, static_cast<i32>(s->length)) : 0.0;
    canvas.DrawTextInRect(x, y, x + width + 2, y + line, s->text, static_cast<i32>(s->length), kTextOneLineCentred);
    return x + static_cast<i32>(width);
  }
  void DrawValue(CCanvas& canvas, i32 x, i32 y, i32 line, const CWideString& text) {
    canvas.textColour = kTrackValueColour;
    const i32 right = this->width - 44;
    if (right > x) canvas.DrawTextInRect(x, y, right, y + line, text.c_str(), text.GetLength(), kTextOneLineCentred);
  }

  void OnRemoveClicked() { this->Parent().RemoveTrack(this); }
  void OnUpClicked() { this->Parent().MoveTrackUp(this); }
  void OnDownClicked() { this->Parent().MoveTrackDown(this); }
};
