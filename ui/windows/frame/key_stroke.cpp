#include "ui/windows/frame/key_stroke.h"

namespace {

CKeyStroke g_uiKeyStroke;

// The key's scan code and extended-key bit in the key data: the same in
// the key-down, its repeats, its characters and its key-up.
constexpr u32 kKeyIdentity = 0x01FF0000u;
// Set in a key-down's data when the key was down already: a repeat.
constexpr u32 kRepeatBit = 0x40000000u;
constexpr u32 kTabKey = 0x09;

bool SameKey(u32 a, u32 b) { return ((a ^ b) & kKeyIdentity) == 0; }

}  // namespace

bool CKeyStroke::BeginKeyDown(u32 key, u32 keyData, const void* window, const CWidget* focused) {
  const bool repeat = held_ && (keyData & kRepeatBit) && SameKey(keyData, keyData_);
  keyData_ = keyData;
  if (repeat) {
    // The last key-down still runs (a window or menu it opened holds the
    // keyboard), or left the keyboard with another window or widget.
    spent_ = spent_ || inKeyDown_ || window != window_ || (focused != focused_ && !walks_);
    if (spent_) return false;
  } else {
    held_ = true;
    spent_ = false;
    walks_ = key == kTabKey;
  }
  begun_ = true;
  inKeyDown_ = true;
  window_ = window;
  focused_ = focused;
  return true;
}

void CKeyStroke::KeyUp(u32 keyData) {
  if (!SameKey(keyData, keyData_)) return;
  begun_ = false;
  held_ = false;
  spent_ = false;
}

void CKeyStroke::ForgetWindow(const void* window) {
  if (window != window_) return;
  begun_ = false;
  window_ = nullptr;
}

void CKeyStroke::ForgetWidget(const CWidget* widget) {
  // The keystroke's own address names no widget: no focus equals it.
  if (widget && widget == focused_) focused_ = reinterpret_cast<const CWidget*>(this);
}

bool CKeyStroke::IsSpentChar(u32 keyData, const void* window, const CWidget* focused) {
  if (keyData != keyData_) return false;
  if (spent_) return true;
  if (!begun_ || !(inKeyDown_ || window != window_ || focused != focused_)) return false;
  // The key moved the keyboard on before it repeated (the window it opened
  // may have closed again meanwhile).
  if (held_ && !walks_) spent_ = true;
  return true;
}

CKeyStroke& UiKeyStroke() { return g_uiKeyStroke; }
