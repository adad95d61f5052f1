// The native build has no media framework, clipboard or drop target: the
// stand-ins refuse, so the page's logic runs (under the sanitizers) on the
// tables tests put in.
#include "app/pages/audio_project_services.h"

namespace {

bool Measure(AudioTrackInfo*, const wchar16*) { return false; }
AudioStatus Decode(const AudioTrackInfo&, CRingBuffer*, AudioAbort) {
  AudioStatus status;
  status.error = AudioError::kNotDecodable;
  return status;
}
bool ClipboardHasFiles() { return false; }
bool ReadClipboardFiles(CDroppedFiles*) { return false; }
bool RegisterDrop(void*, CWidget*, IDropHandler*) { return false; }
void RevokeDrop(IDropHandler*) {}
CBitmap* LoadBackground() { return nullptr; }
void TellRefusal(AudioRefusal) {}

}  // namespace

const AudioProjectServices& PlatformAudioServices() {
  static const AudioProjectServices services = {&Measure,      &Decode,    &ClipboardHasFiles, &ReadClipboardFiles,
                                                &RegisterDrop, &RevokeDrop, &LoadBackground, &TellRefusal};
  return services;
}
