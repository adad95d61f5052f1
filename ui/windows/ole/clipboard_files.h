// CClipboardFiles: files of a disc image offered on the clipboard without
// extracting them first. A copy is Begin (the image file whose byte ranges
// hold the files, or a stream provider for images that need decoding),
// AddFile for every file and directory, then Publish, which puts a data
// object on the clipboard: the shell reads the descriptor block and asks
// for each file's bytes as a stream when it pastes. The data object takes
// its own copy of the set, so it stays valid for as long as the shell holds
// it, whatever happens to the set or its page. User-interface thread only.
#pragma once
#include "runtime/date_time.h"
#include "runtime/types.h"
#include "runtime/wide_string.h"

struct IStream;
class CFileDataObject;

// Gives the bytes of one file of the set as a new stream, positioned at
// the file's start; null when it cannot. May be called from the shell's
// threads while the set is published.
class IFileStreamProvider {
 public:
  virtual IStream* OpenStream(u64 position, u64 size) = 0;

 protected:
  ~IFileStreamProvider() = default;
};

// One file or directory as the caller describes it (read, never kept).
struct ClipboardFileEntry {
  CWideString name;  // relative to the copied selection
  DateTime created;  // weekday is not read
  DateTime accessed;
  DateTime written;
  u64 size = 0;
  u32 flags = 0;  // bit 0: directory
};

class CClipboardFiles {
 public:
  CClipboardFiles();
  ~CClipboardFiles() { Release(); }
  CClipboardFiles(const CClipboardFiles&) = delete;
  CClipboardFiles& operator=(const CClipboardFiles&) = delete;

  // Lets the published set go (its formats stay on the clipboard when it
  // is still there), then prepares room for count files read from byte
  // ranges of the file at path, or through provider. False when the room
  // cannot be had (the set is then empty).
  bool BeginFromFile(u32 count, const wchar16* path);
  bool BeginFromProvider(u32 count, IFileStreamProvider* provider);
  // Describes the next file; position is where its bytes start in the
  // source (or what the provider expects). False when the set is full.
  bool AddFile(const ClipboardFileEntry& entry, u64 position);
  // Puts the files added so far on the clipboard; false when nothing
  // could be published.
  bool Publish();
  // As the first step of a Begin, and frees the set.
  void Release();

  u32 FileCount() const { return filled_; }

 private:
  bool Begin(u32 count);
  void FreeSet();

  u64* positions_ = nullptr;
  u8* descriptor_ = nullptr;
  u32 capacity_ = 0;  // files the set has room for
  u32 filled_ = 0;
  CFileDataObject* published_ = nullptr;
  CWideString sourcePath_;
  IFileStreamProvider* provider_ = nullptr;
};
