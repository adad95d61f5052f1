// Extracts the one big file of a 700 MB image (made by xorriso) into a
// folder, through the image reader's tree and the extraction the program's
// extraction window runs, and compares its throughput with `cp` copying the
// image file to the same folder in the same run (timed by scripts/bench:
// a Unix program cannot be timed from inside Wine). A second reference is
// the floor of this platform: a bare ReadFile/WriteFile loop over the same
// bytes with the same chunk size. Best of three runs each; the page cache
// is warm for all. Target: at least 0.8 of cp.
//
// Arguments: the image (a Windows path), the output folder, cp's seconds,
// the bytes cp copied.
#include "runtime/win.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "jobs/image/image_extraction.h"
#include "jobs/image/iso9660_reader.h"
#include "jobs/job_ui.h"
#include "runtime/clock.h"
#include "runtime/file.h"

namespace {

// Progress and questions go nowhere; a question would be a failure here.
class CSilentUi final : public IJobUi {
 public:
  void SetBarValue(JobBar, double) override {}
  void SetBarColour(JobBar, u32) override {}
  void SetCaption(JobBar, const wchar16*) override {}
  void ShowBar(JobBar, bool) override {}
  void SuspendRedraw(bool) override {}
  void Redraw() override {}
  void ShowFinishedState() override {}
  void ShowEndState() override {}
  void ShowStopRequested() override {}
  void UpdateDeviceCommands() override {}
  void SetFollowUpPageAside(void*) override {}
  void ShowFollowUpPage(void*) override {}
  void ClosePage() override {}
  bool CallOnUiThread(UiCall call, void* context) override {
    ++questions;
    call(context);
    return true;
  }
  u32 ShowMessageBox(u32, u32, u32) override { return kAnswerCancel; }
  u32 RunInsertDiscPrompt(i32, void*) override { return 1; }
  int questions = 0;
};

std::u16string Wide(const char* text) {
  std::u16string out;
  for (const char* p = text; *p; ++p) out.push_back(static_cast<unsigned char>(*p));
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::printf("usage: extract_image_win_bench image folder cp-seconds cp-bytes\n");
    return 1;
  }
  const std::u16string image = Wide(argv[1]);
  const std::u16string folder = Wide(argv[2]);
  const double cpSeconds = std::atof(argv[3]);
  const double cpBytes = std::atof(argv[4]);

  InitCounterFrequency();
  CIso9660Reader reader;
  u64 imageSize = 0;
  if (!reader.ReadVolume(&imageSize, image.c_str())) {
    std::printf("cannot read %s\n", argv[1]);
    return 1;
  }
  CDirNode& root = reader.GetFlags() & kTreeJoliet ? reader.GetJolietRoot() : reader.GetPrimaryRoot();
  CFileNode* big = nullptr;
  for (u32 i = 0; i < root.GetChildCount(); ++i)
    if (!root.ChildAt(i)->IsDirectory() && (!big || root.ChildAt(i)->size > big->size)) big = root.ChildAt(i);
  if (!big) {
    std::printf("no file in the image\n");
    return 1;
  }
  std::u16string out = folder + u"\\" + std::u16string(big->name.c_str(), big->name.GetLength());

  double best = 0;
  for (int run = 0; run < 3; ++run) {
    RemoveFile(out.c_str());
    CImageExtraction x;
    x.AddEntry(big);
    if (x.OpenImage(image.c_str()) != 0) return 1;
    x.SetTargetFolder(folder.c_str());
    CSilentUi ui;
    u64 t0 = 0, t1 = 0;
    ReadPerformanceCounter(&t0);
    const ExtractOutcome outcome = x.Run(&ui);
    ReadPerformanceCounter(&t1);
    const double t = ElapsedSeconds(t0, t1);
    if (outcome != kExtractDone || ui.questions) {
      std::printf("extraction failed: outcome %u, error 0x%08X\n", static_cast<unsigned>(outcome),
                  static_cast<unsigned>(x.GetError()));
      return 1;
    }
    if (best == 0 || t < best) best = t;
  }
  // The bare loop: the file's bytes read and written chunk by chunk.
  double bare = 0;
  {
    std::string buffer(CImageExtraction::kChunkBytes, '\0');
    for (int run = 0; run < 3; ++run) {
      RemoveFile(out.c_str());
      HANDLE in = CreateFileW(reinterpret_cast<const wchar_t*>(image.c_str()), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
      HANDLE to = CreateFileW(reinterpret_cast<const wchar_t*>(out.c_str()), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              CREATE_ALWAYS, 0, nullptr);
      if (in == INVALID_HANDLE_VALUE || to == INVALID_HANDLE_VALUE) return 1;
      u64 t0 = 0, t1 = 0;
      ReadPerformanceCounter(&t0);
      LARGE_INTEGER at;
      at.QuadPart = static_cast<LONGLONG>(big->location * 2048);
      SetFilePointerEx(in, at, nullptr, FILE_BEGIN);
      u64 left = big->size;
      while (left > 0) {
        DWORD want = left < buffer.size() ? static_cast<DWORD>(left) : static_cast<DWORD>(buffer.size()), got = 0,
              put = 0;
        if (!ReadFile(in, &buffer[0], want, &got, nullptr) || got == 0) break;
        WriteFile(to, buffer.data(), got, &put, nullptr);
        left -= got;
      }
      CloseHandle(to);
      ReadPerformanceCounter(&t1);
      CloseHandle(in);
      const double t = ElapsedSeconds(t0, t1);
      if (bare == 0 || t < bare) bare = t;
    }
  }
  RemoveFile(out.c_str());
  const double mb = big->size / 1048576.0;
  const double extractRate = mb / best;
  std::printf("extract %.0f MB: %.2f s = %.0f MB/s; bare ReadFile/WriteFile loop %.2f s = %.0f MB/s, extract / bare = %.2f",
              mb, best, extractRate, bare, mb / bare, bare / best);
  if (cpSeconds > 0 && cpBytes > 0) {
    const double cpRate = cpBytes / 1048576.0 / cpSeconds;
    std::printf("; cp %.0f MB: %.2f s = %.0f MB/s; extract / cp = %.2f (target >= 0.80)", cpBytes / 1048576.0,
                cpSeconds, cpRate, extractRate / cpRate);
  }
  std::printf("\n");
  return 0;
}
