// Files dropped from the shell reach the widget under the pointer through a
// drop handler: a page registers the widget whose area accepts drops, two
// functions that test and convert points for it, and an owner that gets
// the enter, over, leave and drop calls. One OLE drop target serves every
// window of the process (drop_target_win.h); while a drag is over a
// handler's widget the owner reads the dropped file list through the data
// holder it is given. Everything runs on the user-interface thread.
#pragma once
#include "runtime/file.h"
#include "runtime/types.h"
#include "ui/widgets/widget_record.h"
#include "ui/windows/ole/dropped_files.h"

struct IDataObject;

// Drop effects as OLE gives them.
constexpr u32 kDropEffectNone = 0;
constexpr u32 kDropEffectCopy = 1;

// The identifier of a dropped file list (CF_HDROP), as holder and
// handlers name it.
constexpr Guid kDroppedFilesId = {0x95BDCE72, 0x4165, 0x476D, {0x8E, 0xD6, 0xE5, 0x49, 0x00, 0x0B, 0xBA, 0x6B}};

// The data of the drag in progress.
class CDropData {
 public:
  CDropData() = default;
  ~CDropData() { Hold(nullptr); }
  CDropData(const CDropData&) = delete;
  CDropData& operator=(const CDropData&) = delete;

  // S_OK when id is the dropped-files identifier and the data offers a
  // file list; S_FALSE otherwise.
  HResult HasData(const Guid& id);
  // The dropped file list, copied out of the data: S_OK with *out set; the
  // out reference is cleared first; S_FALSE for another identifier or data
  // without a readable list; E_INVALIDARG for a null out reference.
  HResult GetData(const Guid& id, CDroppedFiles** out);

  // Holds object (with a reference of its own) instead of the one held.
  void Hold(IDataObject* object);

 private:
  IDataObject* object_ = nullptr;
  CDroppedFiles files_;
};

// The owner's interface. Points are in the widget's content coordinates,
// except OnDrop's, which is a desktop point. The owner sets *effect.
class IDropHandler {
 public:
  virtual HResult OnDragEnter(CDropData* data, u32 keyState, const Point& point, u32* effect) = 0;
  virtual HResult OnDragOver(u32 keyState, const Point& point, u32* effect) = 0;
  virtual HResult OnDragLeave() = 0;
  virtual HResult OnDrop(CDropData* data, u32 keyState, const Point& point, u32* effect) = 0;

 protected:
  ~IDropHandler() = default;
};

// The widget's hit test (CWidget::HitTest) and its desktop-to-content
// conversion (CWidget::WindowToLocal).
typedef bool (CWidget::*DropHitTest)(const Point& point) const;
typedef void (CWidget::*DropPointConversion)(Point* point) const;

// Registers a handler on window (an HWND); the window is registered with
// OLE when it is the first handler on it. False when the registration
// could not be stored (nothing is then registered).
bool RegisterDropHandler(void* window, CWidget* widget, IDropHandler* owner, DropHitTest hitTest,
                         DropPointConversion toLocal);
// Removes the owner's first handler; a window without handlers left is
// revoked. An owner without a handler changes nothing, so a page may
// revoke when its drop area is hidden and again when it closes.
void RevokeDropHandler(IDropHandler* owner);
