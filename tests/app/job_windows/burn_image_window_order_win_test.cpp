// The burn-image window's controls in the order it creates them: Tab walks
// them in that order, the intro panel lies under the options that come
// before it (hidden while it is whole, drawn over it while it fades), and
// clicks in the image row reach the edit and "..." while the panel is up.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/job_windows/burn_image_window.h"
#include "runtime/clock.h"
#include "support/held_sleeps_win.h"
#include "support/recorder_fixture.h"
#include "tests/app/job_windows/control_clicks_win.h"
#include "tests/app/job_windows/scratch_settings_root_win.h"
#include "ui/support/real_window.h"
#include "ui/support/scripted_window_system.h"
#include "ui/windows/frame/window_placement.h"

namespace {

constexpr u32 kOpaqueWhite = 0xFFFFFFFFu;

class BurnImageWindowOrder : public RecorderTest {
 protected:
  void SetUp() override {
    Attach();
    Insert(MediumPreset::kCdR);
    manager_.reset(new CDriveManager());
    window_.reset(new CBurnImageWindow(*manager_, &request_, true));
    window_->settingsKey.SetRoot(root_.c_str());
    const Rect size = BurnImageWindowSize(true);
    ASSERT_TRUE(window_->PlaceAndCreate(&size, nullptr));
    PumpPending();
  }
  void TearDown() override {
    held_.gate.Open();
    SetClock(&clock_);
    if (window_ && IsWindow(static_cast<HWND>(window_->Handle()))) {
      window_->CancelAndClose();
      PumpUntil([&] { return !IsWindow(static_cast<HWND>(window_->Handle())); });
    }
    window_.reset();
    manager_.reset();
  }

  // Tab (Shift+Tab when backward) pressed `steps` times; the focus after each.
  std::vector<CWidget*> Walk(bool backward, size_t steps) {
    system_.SetKeyDown(VK_SHIFT, backward);
    std::vector<CWidget*> seen;
    for (size_t i = 0; i < steps; ++i) {
      SendMessageW(static_cast<HWND>(window_->Handle()), WM_KEYDOWN, VK_TAB, 1);
      seen.push_back(FocusedWidget());
    }
    system_.SetKeyDown(VK_SHIFT, false);
    return seen;
  }

  // The window's pixels over a control's box, as its surface holds them.
  template <class TWidget>
  std::vector<u32> PixelsOver(const TWidget& control) {
    return SurfacePixelsOver(*window_, control.ToWindowRect());
  }
  // How many of those are not the white of the panel and the background.
  template <class TWidget>
  size_t Marks(const TWidget& control) {
    size_t n = 0;
    for (u32 p : PixelsOver(control)) n += p != kOpaqueWhite;
    return n;
  }

  CScratchSettingsRoot root_{L"order"};
  CScriptedWindowSystem system_;
  CHeldSleeps held_{clock_};
  BurnRequest request_;
  std::unique_ptr<CDriveManager> manager_;
  std::unique_ptr<CBurnImageWindow> window_;
};

TEST_F(BurnImageWindowOrder, TabWalksTheControlsInTheOrderTheyAreCreated) {
  CBurnImageWindow& w = *window_;
  CWidget* self = &w;
  // The panel up: OK off and the options hidden, so only the image row and
  // Cancel take part.
  w.SetFocus();
  EXPECT_EQ((std::vector<CWidget*>{&w.cancel, &w.imagePath, &w.browse, self}), Walk(false, 4));
  EXPECT_EQ((std::vector<CWidget*>{&w.browse, &w.imagePath, &w.cancel, self}), Walk(true, 4));

  // An image that fits the blank CD-R: the options show and OK is on
  // ("Activate extra size" stays off, out of the walk).
  w.imagePath.SetText(u"fixtures/iso/joliet.iso");
  ASSERT_TRUE(PumpUntil([&] { return !w.introPanel.IsVisible(); }));
  ASSERT_TRUE(w.ok.IsVisibleAndEnabled());
  const std::vector<CWidget*> order = {&w.cancel,   &w.ok,        &w.finalizeBox, &w.bufeBox,     &w.mode2Box,
                                       &w.verifyBox, &w.speedList, &w.methodList,  &w.deviceList,  &w.ejectButton,
                                       &w.imagePath, &w.browse,    self};
  w.SetFocus();
  EXPECT_EQ(order, Walk(false, order.size()));
  std::vector<CWidget*> reversed(order.rbegin() + 1, order.rend());
  reversed.push_back(self);
  EXPECT_EQ(reversed, Walk(true, reversed.size()));
}

TEST_F(BurnImageWindowOrder, TheIntroPanelLiesUnderTheOptionsAndLetsTheImageRowBeClicked) {
  CBurnImageWindow& w = *window_;
  SetClock(&held_);

  // Whole, the panel hides every option, "Activate extra size" with them.
  w.Repaint();
  EXPECT_FALSE(w.extraSizeBox.IsVisible());
  const CWidget* const covered[] = {&w.extraSizeBox, &w.finalizeBox, &w.deviceList, &w.speedLabel};
  for (const CWidget* option : covered) EXPECT_EQ(0u, Marks(*option)) << "something shows through the panel";
  EXPECT_LT(0u, Marks(w.imagePath));

  // A click on an option's place goes to the panel; the image row takes
  // its own clicks.
  w.cancel.SetFocus();
  const bool finalize = w.finalizeBox.IsChecked();
  ClickControl(system_, w.Handle(), w.finalizeBox);
  EXPECT_EQ(finalize, w.finalizeBox.IsChecked());
  EXPECT_EQ(&w.cancel, FocusedWidget());
  ClickControl(system_, w.Handle(), w.imagePath);
  EXPECT_EQ(&w.imagePath, FocusedWidget());
  // "..." pressed (it takes the focus and holds the press), then let go
  // away from it, so that no browse dialog opens.
  const POINT browse = PointAtControl(system_, w.Handle(), w.browse);
  SendMessageW(static_cast<HWND>(w.Handle()), WM_MOUSEMOVE, 0, MAKELPARAM(browse.x, browse.y));
  SendMessageW(static_cast<HWND>(w.Handle()), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(browse.x, browse.y));
  EXPECT_EQ(&w.browse, FocusedWidget());
  EXPECT_TRUE(w.browse.state & CButton<CBurnImageWindow>::kHeld);
  const POINT away = PointAtControl(system_, w.Handle(), w.imageLabel);
  for (const UINT message : {WM_MOUSEMOVE, WM_LBUTTONUP, WM_MOUSEMOVE})
    SendMessageW(static_cast<HWND>(w.Handle()), message, 0, MAKELPARAM(away.x, away.y));
  EXPECT_FALSE(w.browse.state & CButton<CBurnImageWindow>::kHeld);

  // An image named: the panel starts to fade (held before its first step)
  // and the options lie over it, in a whole repaint and in each redraw the
  // fade makes of the panel alike.
  w.imagePath.SetText(u"fixtures/iso/joliet.iso");
  PumpPending();
  ASSERT_TRUE(w.introPanel.IsVisible());
  w.Repaint();
  for (const CWidget* option : {covered[1], covered[2], covered[3]})
    EXPECT_LT(0u, Marks(*option)) << "an option hidden under the fading panel";
  const std::vector<u32> whole = PixelsOver(w.introPanel);
  w.introPanel.Redraw();
  EXPECT_TRUE(whole == PixelsOver(w.introPanel)) << "a step of the fade covers the options";

  held_.gate.Open();
  EXPECT_TRUE(PumpUntil([&] { return !w.introPanel.IsVisible(); }));
  EXPECT_TRUE(w.extraSizeBox.IsVisible());
  EXPECT_LT(0u, Marks(w.deviceList));
}

}  // namespace
