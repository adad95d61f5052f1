// Widgets for routing, focus and Tab tests: a leaf that records every event
// it is given (with the point in its content coordinates), and two
// composite levels built of them. The log is shared by a test's widgets.
#pragma once
#include <tuple>
#include <vector>

#include "ui/widgets/composite.h"
#include "ui/widgets/event_routing.h"
#include "ui/widgets/press_tracking.h"

struct ProbeEvent {
  const CWidget* widget;
  char kind;  // m move, d/u left down/up, w wheel, k key down, K key up, c char, l press leave, r release,
             // f focus lost
  i32 a;      // key code, wheel delta, or a move's key flags
  Point local;
};
typedef std::vector<ProbeEvent> ProbeLog;

template <class TParent>
class CProbe : public CWidgetOf<CProbe<TParent>, TParent> {
 public:
  static constexpr bool kFocusLook = true;
  ProbeLog* log = nullptr;
  int layouts = 0;

  void Note(char kind, i32 a, const Point* p) {
    if (log) log->push_back({this, kind, a, p ? *p : Point{0, 0}});
  }
  void OnMouseMove(i32 keys, Point* p) { Note('m', keys, p); }
  void OnLButtonDown(i32, Point* p) { Note('d', 0, p); }
  void OnLButtonUp(i32, Point* p) { Note('u', 0, p); }
  void OnWheel(i32, i32 delta, Point* p) { Note('w', delta, p); }
  u32 OnKeyDown(u32 key, u32, u32) {
    Note('k', static_cast<i32>(key), nullptr);
    return 1;
  }
  void OnKeyUp(u32 key, u32, u32) { Note('K', static_cast<i32>(key), nullptr); }
  void OnChar(u32 c, u32, u32) { Note('c', static_cast<i32>(c), nullptr); }
  void LayoutContent(i32, i32) { ++layouts; }
  void OnPressLeave() { Note('l', 0, nullptr); }
  void OnReleasePress() { Note('r', 0, nullptr); }
  void OnFocusLeave() {
    Note('f', 0, nullptr);
    this->Redraw();
  }
};

// A leaf that takes events without handlers of its own (a label).
template <class TParent>
class CMute : public CWidgetOf<CMute<TParent>, TParent> {};

template <class TParent>
class CProbePanel : public CCompositeOf<CProbePanel<TParent>, TParent> {
 public:
  CProbe<CProbePanel> first, second;
  ProbeLog* log = nullptr;
  auto Children() { return std::tie(first, second); }
  void OnLButtonDown(i32, Point* p) {
    if (log) log->push_back({this, 'd', 0, *p});
  }
};

template <class TParent>
class CProbeGroup : public CCompositeOf<CProbeGroup<TParent>, TParent> {
 public:
  CProbePanel<CProbeGroup> left, right;
  auto Children() { return std::tie(left, right); }
};
