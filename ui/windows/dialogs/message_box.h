// The program's message box: a small captioned window with a message, an
// optional icon, one to three push buttons and an optional "Don't ask
// again" check box, run modally on the user-interface thread and answering
// with a code (message_box_layout.h). The box lives on the caller's stack
// for the call. Closing it from its caption answers as Escape does.
// Header-only so that it is built with the window classes that use it.
// Windows only.
#pragma once
#include <cmath>
#include <tuple>

#include "render/skin_ids.h"
#include "render/skin_resource.h"
#include "render/text/text_layout.h"
#include "runtime/ui_strings.h"
#include "ui/widgets/button.h"
#include "ui/widgets/check_box.h"
#include "ui/windows/frame/frame_window.h"
#include "ui/windows/dialogs/message_box_layout.h"
#include "ui/windows/dialogs/modal_runner.h"

// A text of the box: a UI string id, or a text of the caller's that stays
// valid for the call.
struct MessageText {
  u32 id;
  const wchar16* text;
  bool isId;
  static MessageText Id(u32 id) { return {id, nullptr, true}; }
  static MessageText Of(const wchar16* text) { return {0, text, false}; }
  const wchar16* Resolve() const { return isId ? GetUiString(id)->text : (text ? text : u""); }
};

class CMessageBox : public CFrameWindow<CMessageBox> {
 public:
  static constexpr u32 kStyle = 0x6414;  // visible, close button, caption, inset, panel frame
  static constexpr i32 kMinTrackWidth = 259, kMinTrackHeight = 199;
  static constexpr i32 kBandHeight = 65;
  static constexpr u32 kBandColour = 0xFFE0E0E0u;

  CButton<CMessageBox> buttons[3];
  CCheckBox<CMessageBox> check;
  CImageStrip icons;
  MessageBoxSpec spec = {};
  const wchar16* text = u"";
  u32 answer = 0;
  bool answered = false;

  auto Children() { return std::tie(buttons[0], buttons[1], buttons[2], check); }

  // Opens the box centred on the work area and runs it until it closes;
  // the answer.
  u32 Run(const MessageText& message, const MessageText& caption, u32 flags) {
    const Rect size = Prepare(message, caption, flags);
    RunModalDialog(*this, &size, nullptr);
    // A box that went away without an answer (a quit, a destroyed window)
    // answers as Escape: never an OK nobody gave.
    if (!answered) CloseWithAnswerOnly(spec.escapeAnswer);
    return answer;
  }
  // Creates the window without running it (the loop is the caller's).
  bool Open(const MessageText& message, const MessageText& caption, u32 flags) {
    const Rect size = Prepare(message, caption, flags);
    return PlaceAndCreate(&size, nullptr);
  }
  // The texts, the buttons' set and the icon; the window's size.
  Rect Prepare(const MessageText& message, const MessageText& caption, u32 flags) {
    spec = DescribeMessageBox(flags);
    text = message.Resolve();
    title.Assign(caption.Resolve());
    if (spec.icon >= 0) LoadSkinStrip(IDR_SKIN_MESSAGE_ICONS, SKIN_MESSAGE_ICON_COUNT, &icons);
    spec.height += TextOverflow();
    return {0, 0, spec.width, spec.height};
  }
  // How much taller the box must be to show its whole text (none of it is
  // ever cut off); at most kMaxGrowth.
  static constexpr i32 kMaxGrowth = 600;
  i32 TextOverflow() const {
    const Rect c = ContentRectOf(spec.width, spec.height, kStyle);
    CFontRef font(GetDefaultFont());
    const double need = LaidOutTextHeight(font.Get(), (c.right - c.left) - 8 - TextLeft(), text, -1);
    const double have = ((c.bottom - c.top) - 8) - TextBottom();
    if (!(need > have)) return 0;
    const i32 more = static_cast<i32>(std::ceil(need - have));
    return more < kMaxGrowth ? more : kMaxGrowth;
  }
  // The text stands right of the icon, above the buttons' band and the
  // check box.
  double TextLeft() const { return spec.icon >= 0 ? 64 : 8; }
  double TextBottom() const { return spec.hasCheckBox ? 102 : kBandHeight; }

  void CreateControls() {
    for (i32 i = 0; i < 3; ++i) {
      CButton<CMessageBox>& b = buttons[i];
      b.textId = spec.textIds[i];
      if (i == spec.defaultButton) b.style |= kButtonDefault;
    }
    buttons[0].click = BindCallback<CMessageBox, &CMessageBox::OnFirst>(this, this);
    buttons[1].click = BindCallback<CMessageBox, &CMessageBox::OnSecond>(this, this);
    buttons[2].click = BindCallback<CMessageBox, &CMessageBox::OnThird>(this, this);
    check.textId = 10;
    check.style = kCheckTextRight | (spec.tickedAtFirst ? kCheckTicked : 0);
    const Rect c = GetContentRect();
    for (i32 i = 0; i < 3; ++i) {
      const Rect r = ButtonRect(i, c.right);
      buttons[i].Create(i < spec.buttonCount ? 0x2000Eu : 0x2000Au, &r, this);
    }
    const Rect box = CheckRect(c.right);
    check.Create(spec.hasCheckBox ? kCheckBoxFlags : kCheckBoxFlags & ~kFlagVisible, &box, this);
    buttons[spec.defaultButton].SetFocus();
  }
  void LayoutContent(i32 w, i32) {
    for (i32 i = 0; i < 3; ++i) {
      const Rect r = ButtonRect(i, w);
      buttons[i].SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
    }
    const Rect box = CheckRect(w);
    check.SetBounds(box.left, box.top, box.right - box.left, box.bottom - box.top);
  }
  // The buttons stand 8 pixels apart, 8 from the right edge, 20 above the
  // bottom; hidden ones stay at the rightmost place.
  Rect ButtonRect(i32 i, i32 w) const {
    i32 slot = 0;  // places from the right
    if (spec.buttonCount == 2) slot = i == 0 ? 1 : 0;
    if (spec.buttonCount == 3) slot = 2 - i;
    if (i >= spec.buttonCount) slot = 0;
    const i32 x = w - 108 - 108 * slot;
    return {x, 20, x + 100, 45};
  }
  Rect CheckRect(i32 w) const {
    const i32 x = spec.icon >= 0 ? 56 : 8;
    return {x, 73, x + w - 8 - x, 98};
  }

  void PaintDecoration(CCanvas& canvas) {
    const Rect c = GetContentRect();
    canvas.FillRect(0, 0, c.right, kBandHeight, kBandColour);
    canvas.FillRect(0, kBandHeight, c.right, c.bottom, 0xFFFFFFFFu);
    canvas.LayoutText(TextLeft(), TextBottom(), c.right - 8, c.bottom - 8, text, -1, kTextCentre);
    if (spec.icon >= 0 && icons.FrameCount() > spec.icon)
      icons.DrawFrame(&canvas, spec.icon, 8, c.bottom - 8 - static_cast<i32>(icons.frameHeight), 1.0);
  }

  bool OnDialogKey(u32 key) {
    if (key == 13) {
      for (CButton<CMessageBox>& b : buttons)
        if (b.ActivateDefault()) return true;
      return false;
    }
    if (key == 27) {
      CloseWithAnswer(spec.escapeAnswer);
      return true;
    }
    return false;
  }
  // A close without an answer (the caption's close button, the system's
  // close) answers as Escape.
  bool OnCloseQuery() {
    if (!answered) CloseWithAnswerOnly(spec.escapeAnswer);
    return false;
  }

  // Stores the answer with the check-box bits and closes the box.
  void CloseWithAnswer(u32 code) {
    CloseWithAnswerOnly(code);
    PostMessageW(static_cast<HWND>(handle), WM_CLOSE, 0, 0);
  }
  void CloseWithAnswerOnly(u32 code) {
    answer = WithCheckBits(spec, code, check.IsChecked());
    answered = true;
  }

 private:
  void OnButton(i32 i) {
    if (spec.answers[i] >= 0) CloseWithAnswer(static_cast<u32>(spec.answers[i]));
  }
  void OnFirst() { OnButton(0); }
  void OnSecond() { OnButton(1); }
  void OnThird() { OnButton(2); }
};

// Shows a message box and returns its answer.
inline u32 ShowMessageBox(const MessageText& message, const MessageText& caption, u32 flags) {
  CMessageBox box;
  return box.Run(message, caption, flags);
}
