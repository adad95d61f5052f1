#include "jobs/image/image_extraction.h"

#include "jobs/image/safe_name.h"
#include "runtime/file.h"
#include "runtime/heap.h"

namespace {

// Message-box flags: one button, or OK and Cancel.
constexpr u32 kOneButton = 1;
constexpr u32 kOkCancel = 2;

// ERROR_DISK_FULL, ERROR_HANDLE_DISK_FULL, ERROR_NOT_ENOUGH_MEMORY and
// ERROR_OPERATION_ABORTED as HRESULTs.
constexpr HResult kHrDiskFull = HResultFromError(112);
constexpr HResult kHrHandleDiskFull = HResultFromError(39);
constexpr HResult kHrOutOfMemory = HResultFromError(8);
constexpr HResult kHrAbort = HResultFromError(995);

struct Question {
  IJobUi* ui;
  u32 textId, titleId, flags;
  u32 answer;
};

void AskOnUiThread(void* context) {
  Question* q = static_cast<Question*>(context);
  q->answer = q->ui->ShowMessageBox(q->textId, q->titleId, q->flags);
}

}  // namespace

CImageExtraction::~CImageExtraction() {
  if (buffer_) rt::free(buffer_);
}

void CImageExtraction::AddEntry(const CFileNode* entry) {
  if (!entry) return;
  const bool directory = entry->IsDirectory();
  if (!entries_.Add(Entry{entry, directory})) return;
  u64 count = 1;
  if (directory) {
    const CDirNode* dir = static_cast<const CDirNode*>(entry);
    count += dir->CountDirs() + dir->CountFiles();
  }
  const u64 sum = total_ + count;
  total_ = sum > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<u32>(sum);
}

HResult CImageExtraction::OpenImage(const wchar16* path) { return image_.Open(path, true); }

HResult CImageExtraction::AttachImage(IImageSource* source, bool owned) { return image_.Attach(source, owned, true); }

void CImageExtraction::SetTargetFolder(const wchar16* folder) {
  target_.Assign(folder ? folder : u"");
  const i32 n = target_.GetLength();
  if (n == 0 || target_.c_str()[n - 1] != u'\\') target_.AppendChar(u'\\');
}

ExtractOutcome CImageExtraction::Run(IJobUi* ui) {
  ui_ = ui;
  outcome_ = kExtractDone;
  error_ = 0;
  if (!buffer_) buffer_ = static_cast<u8*>(rt::malloc(kChunkBytes));
  if (!buffer_) {
    Fail(kTextCannotCreate, kHrOutOfMemory);
    return outcome_;
  }
  // Without a folder the names would land in the root of the current drive.
  if (target_.GetLength() < 2) {
    Fail(kTextCannotCreate, kHrInvalidArg);
    return outcome_;
  }
  for (const Entry& e : entries_)
    if (!ExtractEntry(target_, e.node, e.directory)) break;
  if (outcome_ == kExtractDone && IsCancelled()) outcome_ = kExtractCancelled;
  return outcome_;
}

bool CImageExtraction::ExtractEntry(const CWideString& folder, const CFileNode* node, bool directory) {
  if (IsCancelled()) return Stop(kExtractCancelled);
  // A name that could leave the folder, name a device or change on its
  // way to the disk is refused as a file that cannot be created.
  const i32 length = NameOutsideImageLength(node->name.c_str(), node->name.GetLength());
  if (!IsSafePathComponent(node->name.c_str(), length)) return Fail(kTextCannotCreate, 0);
  CWideString path;
  path.Assign(folder.c_str());
  path.AppendChars(node->name.c_str(), length);
  if (directory) return ExtractDirectory(path, static_cast<const CDirNode*>(node));
  return ExtractFileEntry(path, folder.GetLength(), node);
}

bool CImageExtraction::ExtractDirectory(const CWideString& path, const CDirNode* dir) {
  if (DirectoryExists(path.c_str())) {
    // Only an explicit OK goes on into the folder.
    if (Ask(kTextDirExistsContinue, kTextWarningTitle, kOkCancel) != kAnswerOk) return Stop(kExtractStopped);
  } else if (FileExists(path.c_str())) {
    Ask(kTextFileOverDir, kTextErrorTitle, kOkCancel);
    return Stop(kExtractFailed);
  } else if (!MakeDirectory(path.c_str())) {
    return Fail(kTextCannotCreate, HResultFromLastError());
  }
  if (IsCancelled()) return Stop(kExtractCancelled);
  StepProgress();
  CWideString inner;
  inner.Assign(path.c_str());
  inner.AppendChar(u'\\');
  for (const CDirNode& sub : dir->dirs)
    if (!ExtractEntry(inner, &sub, true)) return false;
  for (const CFileNode& file : dir->files)
    if (!ExtractEntry(inner, &file, false)) return false;
  return true;
}

bool CImageExtraction::ExtractFileEntry(const CWideString& path, i32 nameAt, const CFileNode* file) {
  if (DirectoryExists(path.c_str())) {
    Ask(kTextDirOverFile, kTextErrorTitle, kOneButton);
    return Stop(kExtractFailed);
  }
  if (FileExists(path.c_str()) && Ask(kTextOverwriteFile, kTextErrorTitle, kOkCancel) != kAnswerOk)
    return Stop(kExtractStopped);
  if (ui_) ui_->SetCaption(kBarOverall, path.c_str() + nameAt);  // the file being written
  const HResult hr = CopyFile(file, path.c_str());
  if (IsCancelled()) return Stop(kExtractCancelled);
  if (hr != 0) return Fail(hr == kHrDiskFull || hr == kHrHandleDiskFull ? kTextNoSpace : kTextCannotCreate, hr);
  StepProgress();
  return true;
}

HResult CImageExtraction::CopyFile(const CFileNode* file, const wchar16* path) {
  CFileHandle out;
  HResult hr = out.Create(path);
  if (hr != 0) return hr;
  u64 left = file->size;
  // The location counts 2048-byte blocks; a location past any image size
  // fails at the seek or the first read.
  if (file->location > (~0ull >> 11)) {
    hr = kHrInvalidArg;
  } else {
    hr = image_.Seek(file->location * 2048);
  }
  while (hr == 0 && left > 0) {
    if (IsCancelled()) {
      hr = kHrAbort;
      break;
    }
    const u32 want = left < kChunkBytes ? static_cast<u32>(left) : kChunkBytes;
    u64 got = 0;
    hr = image_.Read(buffer_, want, &got);
    if (hr == 0 && got == 0) hr = kHrUnexpectedEnd;  // the image ends inside the file
    if (hr != 0) break;
    u64 written = 0;
    hr = writeChunk(out.Get(), buffer_, got, &written);
    if (hr == 0 && written != got) hr = kHrFail;
    left -= got;
  }
  const HResult closed = out.Close();
  if (hr == 0) hr = closed;
  if (hr != 0) RemoveFile(path);
  return hr;
}

void CImageExtraction::StepProgress() {
  const u32 done = done_.fetch_add(1, std::memory_order_relaxed) + 1;
  if (!ui_) return;
  ui_->SetBarValue(kBarOverall, total_ ? 100.0 * done / total_ : 100.0);
  ui_->Redraw();
}

u32 CImageExtraction::Ask(u32 textId, u32 titleId, u32 flags) {
  Question q = {ui_, textId, titleId, flags, kAnswerCancel};
  if (!ui_ || !ui_->CallOnUiThread(&AskOnUiThread, &q)) return kAnswerCancel;
  return q.answer;
}

bool CImageExtraction::Stop(ExtractOutcome outcome) {
  outcome_ = outcome;
  return false;
}

bool CImageExtraction::Fail(u32 textId, HResult error) {
  error_ = error;
  if (!IsCancelled()) Ask(textId, kTextErrorTitle, kOneButton);
  return Stop(kExtractFailed);
}
