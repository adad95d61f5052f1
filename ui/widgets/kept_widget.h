// CKeptWidget: a widget pointer kept beyond the call that stored it (the
// focus a dialog or a menu bar gives back when it ends). It reads null once
// its widget has gone, so nothing is ever reached through a freed widget.
// Every kept pointer that names a widget is linked into one list, which a
// widget's destructor walks. User-interface thread only. Portable.
#pragma once
#include "ui/widgets/widget_record.h"

class CKeptWidget {
 public:
  CKeptWidget() = default;
  ~CKeptWidget() { Set(nullptr); }
  CKeptWidget(const CKeptWidget&) = delete;
  CKeptWidget& operator=(const CKeptWidget&) = delete;

  CWidget* Get() const { return widget_; }
  void Set(CWidget* widget);

  // Every kept pointer that names the widget (it goes away) reads null.
  static void Forget(const CWidget* widget);

 private:
  CWidget* widget_ = nullptr;
  CKeptWidget* next_ = nullptr;
  CKeptWidget* previous_ = nullptr;
};
