// The native build has no media framework, clipboard or drop target: the
// stand-ins refuse, so the page's logic runs (under the sanitizers) on the
// tables tests put in.
#include "app/pages/audio_project_services.h"

#include <cstring>

#include "runtime/wide_string.h"

namespace {

bool Measure(AudioTrackInfo*, const wchar16*) { return false; }
AudioStatus Decode(const AudioTrackInfo&, CRingBuffer*, AudioAbort) {
  AudioStatus status;
  status.error = AudioError::kNotDecodable;
  return status;
}
bool ClipboardHasFiles() { return false; }
bool ReadClipboardFiles(CDroppedFiles*) { return false; }
bool DropHasFiles(CDropData*) { return false; }
CDroppedFiles* DroppedFiles(CDropData*) { return nullptr; }
// Wide lists only: the 8-bit code page's conversion is the system's.
HResult FileName(CDroppedFiles* list, u32 index, CWideString* out) {
  DropName name;
  if (!list->IsWide()) return kHrFail;
  if (list->FindName(index, &name) != kHrOk) return kHrFalse;
  if (name.units > drop_files::kNameLimit) return kHrFail;
  CWideString text;
  wchar16* at = text.SetLength(static_cast<i32>(name.units));
  if (!at) return kHrFail;
  std::memcpy(at, list->Bytes() + name.offset, name.units * 2u);
  out->Assign(text);
  return kHrOk;
}
bool RegisterDrop(void*, CWidget*, IDropHandler*) { return false; }
void RevokeDrop(IDropHandler*) {}
CBitmap* LoadBackground() { return nullptr; }
void TellRefusal(AudioRefusal) {}

}  // namespace

const AudioProjectServices& PlatformAudioServices() {
  static const AudioProjectServices services = {&Measure,      &Decode,       &ClipboardHasFiles, &ReadClipboardFiles,
                                                &DropHasFiles, &DroppedFiles, &FileName,
                                                &RegisterDrop, &RevokeDrop, &LoadBackground, &TellRefusal};
  return services;
}
