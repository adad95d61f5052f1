// A step the burn-image window's tests share: the window opened in image
// mode over a scratch settings root, with an image typed and the intro
// panel gone.
#pragma once
#include "app/job_windows/burn_image_window.h"
#include "tests/app/job_windows/scratch_settings_root_win.h"
#include "ui/support/real_window.h"
#include "ui/windows/frame/window_placement.h"

// Creates `w` (built in image mode) over `root`'s settings, types `image`
// into its path and waits until the intro panel has gone; false when the
// window could not be created or the panel stayed.
inline bool OpenOverImage(CBurnImageWindow& w, const CScratchSettingsRoot& root,
                          const char16_t* image = u"fixtures/iso/joliet.iso") {
  w.settingsKey.SetRoot(root.c_str());
  const Rect size = BurnImageWindowSize(true);
  if (!w.PlaceAndCreate(&size, nullptr)) return false;
  w.imagePath.SetText(image);
  return PumpUntil([&] { return !w.introPanel.IsVisible(); });
}
