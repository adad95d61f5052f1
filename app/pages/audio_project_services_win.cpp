// The audio project's platform table on Windows.
#include "app/pages/audio_project_services.h"

#include "jobs/audio/audio_decode_win.h"
#include "render/skin_ids.h"
#include "render/skin_resource.h"
#include "runtime/platform.h"
#include "ui/windows/dialogs/message_box.h"
#include "ui/windows/ole/clipboard_read.h"

namespace {

constexpr u32 kClipboardFileList = 1;
constexpr u32 kTextWarning = 8;
constexpr u32 kWarningFlags = 0x10000;  // OK, warning icon

bool Measure(AudioTrackInfo* track, const wchar16* path) { return GetAudioTrackLength(track, path); }
bool ClipboardHasFiles() { return HasClipboardData(kClipboardFileList); }
bool DropHasFiles(CDropData* data) { return data && data->HasData(kDroppedFilesId) == kHrOk; }
CDroppedFiles* DroppedFiles(CDropData* data) {
  CDroppedFiles* files = nullptr;
  return data && data->GetData(kDroppedFilesId, &files) == kHrOk ? files : nullptr;
}
HResult FileName(CDroppedFiles* list, u32 index, CWideString* out) { return list->GetName(index, out); }
bool RegisterDrop(void* window, CWidget* widget, IDropHandler* owner) {
  return window && RegisterDropHandler(window, widget, owner, &CWidget::HitTest, &CWidget::WindowToLocal);
}
CBitmap* LoadBackground() { return LoadSkinBitmap(IDR_SKIN_AUDIO_TILE); }
void TellRefusal(AudioRefusal why) {
  ShowMessageBox(MessageText::Of(AudioRefusalText(why)), MessageText::Id(kTextWarning), kWarningFlags);
}

}  // namespace

const AudioProjectServices& PlatformAudioServices() {
  static const AudioProjectServices services = {&Measure,      &DecodeAudioFile, &ClipboardHasFiles,
                                                &GetClipboardFiles, &DropHasFiles, &DroppedFiles,
                                                &FileName,          &RegisterDrop, &RevokeDropHandler,
                                                &LoadBackground,    &TellRefusal};
  return services;
}
