#include "ui/widgets/capture_table.h"

#include "ui/widgets/pointer_system.h"

namespace {

CaptureBinding g_slots[kCaptureSlotCount];
CaptureLostFn g_lost = nullptr;
void* g_lostObject = nullptr;
CWidget* g_captureOwner = nullptr;
CWidget* g_pressed = nullptr;
bool g_takenElsewhere = false;

void Dispatch(u32 slot, i32 keyFlags, i32 delta, Point* point) {
  if (!g_captureOwner || !point) return;
  const CaptureBinding& translate = g_slots[kCaptureTranslate];
  const CaptureBinding& binding = g_slots[slot];
  if (!translate.object || !translate.translate || !binding.object) return;
  if (slot == kCaptureWheel ? !binding.wheel : !binding.event) return;
  translate.translate(translate.object, point);
  Point local = *point;
  if (slot == kCaptureWheel)
    binding.wheel(binding.object, keyFlags, static_cast<i16>(delta & 0xFFFF), &local);
  else
    binding.event(binding.object, keyFlags, &local);
}

}  // namespace

void CaptureIgnoreEvent(void*, i32, Point*) {}
void CaptureIgnoreWheel(void*, i32, i32, Point*) {}

CCaptureSet::CCaptureSet(void* object) {
  for (u32 i = 0; i < kCaptureSlotCount; ++i) slots[i] = {object, &CaptureIgnoreEvent, nullptr, nullptr};
  slots[kCaptureWheel].event = nullptr;
  slots[kCaptureWheel].wheel = &CaptureIgnoreWheel;
  slots[kCaptureTranslate].event = nullptr;
  slots[kCaptureTranslate].object = nullptr;
}

namespace CaptureTable {

void Install(const CCaptureSet& set, CWidget* owner) {
  for (u32 i = 0; i < kCaptureSlotCount; ++i) g_slots[i] = set.slots[i];
  g_lost = set.lost;
  g_lostObject = set.lostObject;
  SetCaptureOwner(owner);
}

bool Uninstall(const CWidget* owner) {
  if (!owner || owner != g_captureOwner) return false;
  for (CaptureBinding& slot : g_slots) slot.object = nullptr;
  g_lost = nullptr;
  g_lostObject = nullptr;
  SetCaptureOwner(nullptr);
  return true;
}

const CaptureBinding& Slot(u32 slot) { return g_slots[slot < kCaptureSlotCount ? slot : 0]; }

void DispatchWheel(i32 keyFlags, i32 delta, Point* point) { Dispatch(kCaptureWheel, keyFlags, delta, point); }
void DispatchMiddleDown(i32 keyFlags, Point* point) { Dispatch(kCaptureMiddleDown, keyFlags, 0, point); }
void DispatchMouseMove(i32 keyFlags, Point* point) { Dispatch(kCaptureMove, keyFlags, 0, point); }
void DispatchLeftDoubleClick(i32 keyFlags, Point* point) { Dispatch(kCaptureLeftDoubleClick, keyFlags, 0, point); }
void DispatchMiddleUp(i32 keyFlags, Point* point) { Dispatch(kCaptureMiddleUp, keyFlags, 0, point); }
void DispatchRightDown(i32 keyFlags, Point* point) { Dispatch(kCaptureRightDown, keyFlags, 0, point); }
void DispatchLeftDown(i32 keyFlags, Point* point) { Dispatch(kCaptureLeftDown, keyFlags, 0, point); }
void DispatchLeftUp(i32 keyFlags, Point* point) { Dispatch(kCaptureLeftUp, keyFlags, 0, point); }
void DispatchRightUp(i32 keyFlags, Point* point) { Dispatch(kCaptureRightUp, keyFlags, 0, point); }
void DispatchCaptureLost() {
  if (g_captureOwner && g_lost && g_lostObject) g_lost(g_lostObject);
}

}  // namespace CaptureTable

CWidget* SetCaptureOwner(CWidget* owner) {
  if (!owner && !g_pressed && !g_takenElsewhere) ReleaseSystemCapture();
  CWidget* previous = g_captureOwner;
  g_captureOwner = owner;
  return previous;
}

CWidget* CaptureOwner() { return g_captureOwner; }

CWidget* SetPressedWidget(CWidget* widget) {
  if (!widget && !g_captureOwner && !g_takenElsewhere) ReleaseSystemCapture();
  CWidget* previous = g_pressed;
  g_pressed = widget;
  return previous;
}

CWidget* PressedWidget() { return g_pressed; }

void ForgetCapture(const CWidget* widget) {
  if (widget && widget == g_captureOwner) CaptureTable::Uninstall(widget);
  if (widget && widget == g_pressed) SetPressedWidget(nullptr);
}

bool PointerHeldWithin(const CWidget* subtree) {
  return (g_captureOwner && g_captureOwner->IsWithin(subtree)) || (g_pressed && g_pressed->IsWithin(subtree));
}

CCaptureTakenElsewhere::CCaptureTakenElsewhere() : outer_(g_takenElsewhere) { g_takenElsewhere = true; }
CCaptureTakenElsewhere::~CCaptureTakenElsewhere() { g_takenElsewhere = outer_; }
