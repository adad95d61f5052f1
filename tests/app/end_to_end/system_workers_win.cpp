#include "system_workers_win.h"

#include "runtime/win.h"
#include "ui/widgets/widget_record.h"
#include "ui/windows/ole/drop_target_win.h"
#include "ui/windows/ole/ole_session.h"

namespace {

struct CIdleDropHandler final : IDropHandler {
  HResult OnDragEnter(CDropData*, u32, const Point&, u32*) override { return kHrOk; }
  HResult OnDragOver(u32, const Point&, u32*) override { return kHrOk; }
  HResult OnDragLeave() override { return kHrOk; }
  HResult OnDrop(CDropData*, u32, const Point&, u32*) override { return kHrOk; }
};

}  // namespace

void WarmUpDropWorkers() {
  COleSession ole;
  HWND window = CreateWindowW(L"STATIC", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  CWidget widget;
  CIdleDropHandler handler;
  RegisterDropHandler(window, &widget, &handler, &CWidget::HitTest, &CWidget::WindowToLocal);
  RevokeDropHandler(&handler);
  DestroyWindow(window);
}
