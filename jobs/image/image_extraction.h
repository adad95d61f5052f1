// CImageExtraction: copies entries of an image's directory tree (files, and
// folders with everything below them) out of the image into a folder on
// disk. The extraction window runs it on its worker thread; questions and
// error boxes go to the user-interface thread through the job UI boundary,
// progress is published there as a percentage of the entries, and the name
// of each file as its writing starts (the overall bar's caption).
//
// Names come from the image and are untrusted: every name, without its
// ISO 9660 version, passes the images layer's safe-name check before it
// becomes part of a path, so an extraction writes inside its target folder
// only. A cancel request is
// tested before every entry and every chunk. A file that cannot be written
// completely (a full disk, a failed read of the image, a cancel) is
// removed, so no truncated copy is left behind. Windows only (file I/O).
#pragma once
#include <atomic>

#include "jobs/image/image_file.h"
#include "jobs/job_ui.h"
#include "jobs/project/project_tree.h"
#include "runtime/array.h"
#include "runtime/file.h"
#include "runtime/wide_string.h"

// How a run ended.
enum ExtractOutcome : u32 {
  kExtractDone = 0,       // every entry was extracted
  kExtractStopped = 1,    // the user answered a question with "stop"
  kExtractFailed = 2,     // an error was reported and ended the run
  kExtractCancelled = 3,  // the cancel flag was set
};

class CImageExtraction {
 public:
  // Bytes copied per read and write: large enough that the calls' own cost
  // disappears next to the copying (16 KB chunks run at half the speed of
  // 256 KB ones), small enough that a cancel is seen within milliseconds.
  static constexpr u32 kChunkBytes = 262144;
  // UI string ids of the extraction's texts.
  static constexpr u32 kTextErrorTitle = 7;
  static constexpr u32 kTextWarningTitle = 8;
  static constexpr u32 kTextNoSpace = 95;
  static constexpr u32 kTextDirExistsContinue = 123;
  static constexpr u32 kTextFileOverDir = 124;
  static constexpr u32 kTextDirOverFile = 125;
  static constexpr u32 kTextOverwriteFile = 126;
  static constexpr u32 kTextCannotCreate = 127;

  CImageExtraction() = default;
  ~CImageExtraction();
  CImageExtraction(const CImageExtraction&) = delete;
  CImageExtraction& operator=(const CImageExtraction&) = delete;

  // Appends an entry (a CDirNode when it has the directory flag, as the
  // tree stores them) and counts it, a folder with every entry below it.
  void AddEntry(const CFileNode* entry);
  u32 GetEntryCount() const { return entries_.GetCount(); }
  u32 GetTotal() const { return total_; }
  u32 GetDone() const { return done_.load(std::memory_order_relaxed); }

  // The image the entries come from: a file, or any source (not owned
  // unless `owned`).
  HResult OpenImage(const wchar16* path);
  HResult AttachImage(IImageSource* source, bool owned);
  // The folder written into; a trailing "\" is added when missing.
  void SetTargetFolder(const wchar16* folder);
  const CWideString& GetTargetFolder() const { return target_; }

  // Any thread: the run stops before its next entry or chunk.
  void Cancel() { cancelled_.store(true, std::memory_order_relaxed); }
  bool IsCancelled() const { return cancelled_.load(std::memory_order_relaxed); }

  // The worker's body: every entry in order until one stops the run.
  ExtractOutcome Run(IJobUi* ui);
  // The system error of the failure that ended the run, 0 when none.
  HResult GetError() const { return error_; }

  // How a chunk reaches the file (the runtime's checked write).
  HResult (*writeChunk)(void* file, const void* buffer, u64 count, u64* written) = WriteFileChunked;

 private:
  struct Entry {
    const CFileNode* node;
    bool directory;
  };

  // Each answers true to go on, false when the run must end (outcome_ set).
  bool ExtractEntry(const CWideString& folder, const CFileNode* node, bool directory);
  bool ExtractDirectory(const CWideString& path, const CDirNode* dir);
  // path: the folder's path (nameAt characters) and the file's name.
  bool ExtractFileEntry(const CWideString& path, i32 nameAt, const CFileNode* file);
  // Copies the file's bytes; on failure the partial file is removed and
  // the failure's HRESULT returned.
  HResult CopyFile(const CFileNode* file, const wchar16* path);
  void StepProgress();
  // A message box on the user-interface thread; a box that cannot be shown
  // answers Cancel.
  u32 Ask(u32 textId, u32 titleId, u32 flags);
  bool Stop(ExtractOutcome outcome);
  bool Fail(u32 textId, HResult error);

  CImageFile image_;
  CWideString target_;
  CArray<Entry> entries_{16};
  u32 total_ = 0;
  std::atomic<u32> done_{0};
  std::atomic<bool> cancelled_{false};
  IJobUi* ui_ = nullptr;
  ExtractOutcome outcome_ = kExtractDone;
  HResult error_ = 0;
  u8* buffer_ = nullptr;
};
