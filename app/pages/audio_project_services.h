// What the audio project page asks of the platform: measuring and decoding
// audio files, the clipboard's file list, registering its drop area and
// telling the user why something was refused. One table, so that tests
// put their own in (and restore the platform's afterwards). Portable; the
// Windows table is in the _win file, the native build's stand-ins in the
// _posix one.
#pragma once
#include "jobs/audio/audio_project_source.h"
#include "render/bitmap.h"
#include "ui/windows/ole/drop_handler.h"

// Why the page refused something the user asked for.
enum class AudioRefusal : u8 {
  kTooManyTracks,    // a CD holds 99 tracks
  kTooLong,          // the project does not fit the cue sheet's 99 minutes
  kNoMemory,
};

struct AudioProjectServices {
  // The file's length (GetAudioTrackLength); false when it cannot be read.
  bool (*measure)(AudioTrackInfo* track, const wchar16* path);
  AudioDecodeFunction decode;
  // The clipboard offers a file list; its names.
  bool (*clipboardHasFiles)();
  bool (*readClipboardFiles)(CDroppedFiles* list);
  // The drag's data offers a file list; the list; the list's name index
  // (CDropData and CDroppedFiles::GetName).
  bool (*dropHasFiles)(CDropData* data);
  CDroppedFiles* (*droppedFiles)(CDropData* data);
  HResult (*fileName)(CDroppedFiles* list, u32 index, CWideString* out);
  // The drop area on a window (an HWND); false when it was not registered.
  bool (*registerDrop)(void* window, CWidget* widget, IDropHandler* owner);
  void (*revokeDrop)(IDropHandler* owner);
  // The page's background tile (owned by the caller), null without one.
  CBitmap* (*loadBackground)();
  // A message box (its texts in the current language) over the window.
  void (*tellRefusal)(AudioRefusal why);
};

// The table in use.
AudioProjectServices& AudioServices();
// The platform's own table.
const AudioProjectServices& PlatformAudioServices();

// The refusal's message and caption in the current language.
const wchar16* AudioRefusalText(AudioRefusal why);
