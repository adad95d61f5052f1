// A window that shows one of every control in every state, painted through
// the real theme: its surface must come out the same with one band and
// with four, and with KELVANE_GALLERY=<file> set its pixels are written
// there (raw BGRA, top row first) for a look by eye.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "render/skin_ids.h"
#include "render/skin_resource.h"
#include "ui/support/real_window.h"
#include "ui/widgets/check_box.h"
#include "ui/widgets/label.h"
#include "app/main_window/status_bar.h"
#include "ui/widgets/painted_controls.h"
#include "ui/widgets/picture.h"
#include "ui/widgets/text_edit.h"
#include "ui/windows/theme/theme_metrics.h"

namespace {

// The theme's drawings that belong to controls built elsewhere (menus,
// drop-downs, list rows, scroll bars), each in its states.
template <class TParent>
class CSpecimens : public CWidgetOf<CSpecimens<TParent>, TParent> {
 public:
  const CImageStrip* icons = nullptr;
  void PaintContent(CCanvas& canvas) {
    CThemePainter* t = ThemePainter();
    t->SetIcon(&canvas, icons, nullptr);
    const i32 h = this->height;
    // Popup menu with every row kind.
    Place(canvas, 0, h - 206, [&] {
      t->DrawMenuBackground(&canvas, 190, 206, 26);
      const struct {
        u32 state;
        const char16_t* text;
        i32 icon;
      } rows[] = {{0, u"Open image...\tCtrl+O", 1},     {kLookHot, u"Save\tCtrl+S", 2},
                  {kLookDisabled, u"Undo\tCtrl+Z", 3}, {kMenuSeparator, nullptr, -1},
                  {0, u"Show task view", -2},           {0, u"Show status bar", -3},
                  {kMenuSubmenu, u"Language", -1},      {kLookDisabled | kLookHot, u"Eject", 14}};
      i32 y = 206 - 6 - 22;
      for (const auto& r : rows) {
        const i32 rh = (r.state & kMenuSeparator) ? 5 : 22;
        if (r.state & kMenuSeparator) y += 22 - 5;
        t->DrawMenuItem(&canvas, Rect{6, y, 184, y + rh}, r.state, r.text, -1, r.icon);
        y -= 22;
      }
    });
    // Menu bar: background, normal, hot, open, disabled, icon only.
    Place(canvas, 200, h - 24, [&] {
      t->DrawMenuBarBackground(&canvas, 3, 300, 24);
      t->DrawMenuBarItem(&canvas, Rect{4, 2, 50, 22}, 0, u"File", 4, -1);
      t->DrawMenuBarItem(&canvas, Rect{52, 2, 98, 22}, kBarItemHot, u"Edit", 4, -1);
      t->DrawMenuBarItem(&canvas, Rect{100, 2, 146, 22}, kBarItemHot | kBarItemOpen, u"View", 4, -1);
      t->DrawMenuBarItem(&canvas, Rect{148, 2, 204, 22}, kBarItemDisabled, u"Burner", 6, -1);
      t->DrawMenuBarItem(&canvas, Rect{206, 2, 230, 22}, kBarItemHot, nullptr, 0, 14);
    });
    // Drop-downs: closed, highlighted, popup background with rows.
    Place(canvas, 200, h - 54, [&] { t->DrawDropDown(&canvas, 140, 22, 0, u"Quick erase", 11, -1); });
    Place(canvas, 350, h - 54, [&] { t->DrawDropDown(&canvas, 140, 22, kLookOpen, u"Full erase", 10, -1); });
    Place(canvas, 200, h - 132, [&] {
      t->DrawDropDown(&canvas, 140, 74, kLookPressed, nullptr, 0, -1);
      t->DrawListItem(&canvas, Rect{4, 48, 136, 69}, 0, u"Quick format", 12);
      t->DrawListItem(&canvas, Rect{4, 27, 136, 48}, kLookSelected, u"Full format", 11);
      t->DrawListItem(&canvas, Rect{4, 6, 136, 27}, 0, u"Continue", 8);
    });
    // Tree rows: selected with icon and expander, hot, plain, collapsed.
    Place(canvas, 350, h - 132, [&] {
      canvas.FillRect(0, 0, 150, 74, 0xFFFFFFFFu);
      t->DrawListRow(&canvas, Rect{18, 52, 150, 72}, kRowSelected | kRowExpanded, u"Project", 7, 4);
      t->DrawListRow(&canvas, Rect{34, 30, 150, 50}, kRowHot | kRowCollapsed, u"Pictures", 8, 1);
      t->DrawListRow(&canvas, Rect{34, 8, 150, 28}, 0, u"Music", 5, 1);
    });
    // A focused button (the focus is the text edit's).
    Place(canvas, 510, h - 54, [&] { t->DrawButton(&canvas, 84, 25, kLookFocused | kButtonLabelCentred, u"Focused", 7, -1, 0); });
    // Scroll bars: a panel with both bars, the vertical one hot.
    Place(canvas, 200, h - 206, [&] {
      const ScrollBarState v = {0.7, 0.6, kScrollPartHot}, hz = {0.2, 0.6, 0};
      t->SetScrollState(&canvas, &v, 2);
      t->SetScrollState(&canvas, &hz, 1);
      t->DrawFrame(&canvas, 300, 70, kFlagHScroll | kFlagVScroll | kFlagBorderInset, true, 0, nullptr, nullptr);
    });
  }

 private:
  template <class F>
  void Place(CCanvas& canvas, i32 x, i32 y, F draw) {
    canvas.originX += x;
    canvas.originY += y;
    draw();
    canvas.originX -= x;
    canvas.originY -= y;
  }
};

class CGallery : public CFrameWindow<CGallery> {
 public:
  static constexpr u32 kStyle = 0x6670;
  static constexpr u32 kCaretSlot = kCaretSlotBrowseDialog;
  static constexpr i32 kMinTrackWidth = 200, kMinTrackHeight = 200;

  CButton<CGallery> buttons[7];
  CCheckBox<CGallery> checks[5];
  CLabel<CGallery> labels[3];
  CTextEdit<CGallery> edits[3];
  CPicture<CGallery> pictures[2];
  CProgressBar<CGallery> bars[3];
  CStatusBar<CGallery> status;
  CSpecimens<CGallery> specimens;
  CImageStrip menuIcons;

  auto Children() {
    return std::tie(buttons[0], buttons[1], buttons[2], buttons[3], buttons[4], buttons[5], buttons[6], checks[0],
                    checks[1], checks[2], checks[3], checks[4], labels[0], labels[1], labels[2], edits[0], edits[1],
                    edits[2], pictures[0], pictures[1], bars[0], bars[1], bars[2], status, specimens);
  }

  void CreateControls() {
    LoadSkinStrip(IDR_SKIN_MENU_ICONS, SKIN_MENU_ICON_COUNT, &menuIcons);
    const Rect c = GetContentRect();
    const i32 top = c.bottom;
    static const char16_t* kButtonTexts[7] = {u"Normal", u"Hot", u"Pressed", u"Default", u"Disabled", u"Burn", u""};
    for (i32 i = 0; i < 7; ++i) {
      CButton<CGallery>& b = buttons[i];
      b.text.Assign(kButtonTexts[i]);
      const i32 w = i == 6 ? 25 : 84;
      const Rect r = {8 + 90 * i, top - 34, 8 + 90 * i + w, top - 9};
      b.Create(kButtonFlags, &r, this);
    }
    buttons[1].state = CButton<CGallery>::kHot;
    buttons[2].state = CButton<CGallery>::kHot | CButton<CGallery>::kHeld;
    buttons[3].style |= kButtonDefault;
    buttons[4].Enable(false);
    buttons[5].iconStrip = buttons[6].iconStrip = &menuIcons;
    buttons[5].imageFrame = 23;
    buttons[6].imageFrame = 14;
    buttons[6].style |= kButtonIconCentred;
    static const char16_t* kChecks[5] = {u"Verify", u"Finalize disc", u"Highlighted", u"Disabled", u"Box at the right"};
    for (i32 i = 0; i < 5; ++i) {
      CCheckBox<CGallery>& k = checks[i];
      k.text.Assign(kChecks[i]);
      k.style = i == 4 ? 0 : kCheckTextRight;
      const Rect r = {8 + 130 * i, top - 64, 8 + 130 * i + 124, top - 42};
      k.Create(kFlagVisible | kFlagTabStop, &r, this);
    }
    checks[1].style |= kCheckTicked;
    checks[2].state = CCheckBox<CGallery>::kHighlighted;
    checks[3].style |= kCheckTicked;
    checks[3].Enable(false);
    checks[4].style |= kCheckTicked;
    labels[0].text.Assign(u"Destination device:");
    labels[1].text.Assign(u"View Log");
    labels[1].decoration = CLabel<CGallery>::kLink;
    labels[1].state = CLabel<CGallery>::kHot;
    labels[2].text.Assign(u"Framed label");
    labels[2].decoration = 0xF;
    labels[2].lineColour = ThemeAccentColor();
    for (i32 i = 0; i < 3; ++i) {
      labels[i].alignment = CLabel<CGallery>::kAlignMiddle;
      const Rect r = {8 + 150 * i, top - 92, 8 + 150 * i + 140, top - 70};
      labels[i].Create(kFlagVisible, &r, this);
    }
    static const char16_t* kEdits[3] = {u"C:\\Images\\backup.iso", u"Selected text with a caret", u"Centred"};
    for (i32 i = 0; i < 3; ++i) {
      CTextEdit<CGallery>& e = edits[i];
      e.edit.font = UiFontNormal();
      e.edit.SetText(kEdits[i]);
      const Rect r = {8 + 200 * i, top - 124, 8 + 200 * i + 190, top - 102};
      e.Create(kFlagVisible | kFlagTabStop, &r, this);
    }
    edits[2].edit.options = kEditCentre;
    for (i32 i = 0; i < 2; ++i) {
      CPicture<CGallery>& p = pictures[i];
      LoadSkinStrip(IDR_SKIN_MESSAGE_ICONS, SKIN_MESSAGE_ICON_COUNT, &p.image);
      p.frame = i;
      p.zoom = i == 0 ? 1.0 : 0.6;
      p.opacity = i == 0 ? 1.0 : 0.5;
      const Rect r = {8 + 56 * i, top - 184, 8 + 56 * i + 48, top - 136};
      p.Create(kFlagVisible, &r, this);
    }
    const double values[3] = {0, 35, 100};
    for (i32 i = 0; i < 3; ++i) {
      CProgressBar<CGallery>& b = bars[i];
      b.value = values[i];
      b.style = i == 2 ? ThemeGreenColor() : 0xFF3070D0u;
      const Rect r = {130 + 175 * i, top - 160, 130 + 175 * i + 165, top - 144};
      b.Create(kFlagVisible, &r, this);
    }
    status.items[0].text.Assign(u"Ready");
    status.items[1].width = 160;
    status.items[1].text.Assign(u"CD 74 min");
    status.items[1].imageFrame = 11;
    status.imageStrip = &menuIcons;
    const Rect s = {0, 0, c.right, 24};
    status.Create(kFlagVisible, &s, this);
    specimens.icons = &menuIcons;
    const Rect sp = {8, 30, c.right - 8, top - 192};
    specimens.Create(kFlagVisible, &sp, this);
  }
  void PaintDecoration(CCanvas& canvas) {
    const Rect c = GetContentRect();
    canvas.FillRect(0, 0, c.right, c.bottom, ThemeWindowColor());
  }
};

struct Gallery : testing::Test {
  void SetUp() override {
    frame.title.Assign(u"Controls");
    ASSERT_TRUE(frame.CreateAt(Rect{60, 60, 60 + 700, 60 + 500}, false));
    frame.edits[1].SetFocus();
    frame.edits[1].edit.selectionStart = 9;
    frame.edits[1].edit.selectionEnd = frame.edits[1].edit.caret = 13;
    frame.edits[1].edit.state |= kEditCaretShown;
    frame.edits[1].StopCaret();  // a steady caret for the picture
    PumpPending();
  }
  void TearDown() override { DestroyWindow(static_cast<HWND>(frame.Handle())); }
  std::vector<u32> Paint(i32 bands) {
    frame.bandCount = bands;
    frame.hotButton = kCaptionClose;  // the hot look of the close button
    frame.Repaint();
    const CCanvas& c = frame.surface.canvas;
    return std::vector<u32>(c.pixels, c.pixels + static_cast<size_t>(c.width) * c.height);
  }
  CGallery frame;
};

TEST_F(Gallery, EveryControlPaintsTheSameWithOneBandAndFourBands) {
  const std::vector<u32> one = Paint(1), four = Paint(4);
  ASSERT_EQ(one.size(), four.size());
  size_t differ = 0;
  for (size_t i = 0; i < one.size(); ++i) differ += one[i] != four[i];
  EXPECT_EQ(0u, differ);
  if (const char* path = std::getenv("KELVANE_GALLERY")) {
    const CCanvas& c = frame.surface.canvas;
    if (FILE* f = std::fopen(path, "wb")) {
      for (i32 y = c.height - 1; y >= 0; --y) std::fwrite(&one[static_cast<size_t>(y) * c.width], 4, c.width, f);
      std::fclose(f);
      std::printf("gallery %d x %d\n", c.width, c.height);
    }
  }
}

}  // namespace
