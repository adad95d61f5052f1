#include "ui/windows/frame/key_stroke.h"

namespace {

CKeyStroke g_uiKeyStroke;

}  // namespace

void CKeyStroke::BeginKeyDown(u32 keyData, const void* window, const CWidget* focused) {
  keyData_ = keyData;
  begun_ = true;
  inKeyDown_ = true;
  window_ = window;
  focused_ = focused;
}

// The key's scan code and extended-key bit in the key data: the same in
// the key-down, its characters and its key-up.
constexpr u32 kKeyIdentity = 0x01FF0000u;

void CKeyStroke::KeyUp(u32 keyData) {
  if (((keyData ^ keyData_) & kKeyIdentity) == 0) begun_ = false;
}

void CKeyStroke::ForgetWindow(const void* window) {
  if (window == window_) begun_ = false;
}

bool CKeyStroke::IsSpentChar(u32 keyData, const void* window, const CWidget* focused) const {
  if (!begun_ || keyData != keyData_) return false;
  return inKeyDown_ || window != window_ || focused != focused_;
}

CKeyStroke& UiKeyStroke() { return g_uiKeyStroke; }
