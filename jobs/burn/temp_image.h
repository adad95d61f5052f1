// The temporary copy image of a disc copy through the hard disk:
// "KelvaneTemp" + n + ".iso" in the temporary folder, n the first number
// from 0 for which neither a file nor a folder of that name exists. The job
// deletes it on every end path.
#pragma once
#include "runtime/file.h"
#include "runtime/types.h"
#include "runtime/wide_string.h"

// folder (a "\" added when it does not end with one) + "KelvaneTemp" + n + ".iso".
void BuildTempImageName(const wchar16* folder, u32 n, CWideString* out);

// Asks whether a file or a folder of that name exists.
typedef bool (*PathTaken)(const wchar16* path);
// The first free name in the folder; false when none of the first 100000
// numbers is free.
bool FindFreeTempImageName(const wchar16* folder, PathTaken taken, CWideString* out);

// Windows: the system's temporary folder (empty folder) or the given one,
// checked against the files and folders on disk.
bool FindTempImagePath(const wchar16* folder, CWideString* out);

// The temporary image being written (Windows).
class CTempImage {
 public:
  CTempImage() = default;
  ~CTempImage() { Close(); }
  CTempImage(const CTempImage&) = delete;
  CTempImage& operator=(const CTempImage&) = delete;

  // Creates (or truncates) the file for writing.
  HResult Create(const wchar16* path);
  HResult Append(const void* data, u32 bytes);
  void Close() { file_.Close(); }
  bool IsOpen() const { return file_.IsOpen(); }

 private:
  CFileHandle file_;
};

// Deletes the file; true when it is gone (or never existed).
bool DeleteTempImage(const wchar16* path);
