// What the burn benchmarks share: a job page boundary that shows nothing
// and answers every question Yes, the process's CPU time and the counter in
// seconds, the benchmark image (FillBlock's blocks) written to a file, and
// a burn of a request on that boundary, timed.
#pragma once
#include "runtime/win.h"

#include <string>
#include <vector>

#include "instant_recorder_win.h"
#include "drive/drive_manager.h"
#include "jobs/burn/burn_job.h"
#include "jobs/job_ui.h"

class CQuietJobUi final : public IJobUi {
 public:
  void SetBarValue(JobBar, double) override {}
  void SetBarColour(JobBar, u32) override {}
  void ShowBar(JobBar, bool) override {}
  void SetCaption(JobBar, const wchar16*) override {}
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
    call(context);
    return true;
  }
  u32 ShowMessageBox(u32, u32, u32) override { return kAnswerYes; }
  u32 RunInsertDiscPrompt(i32, void*) override { return 0; }
};

struct Sample {
  double seconds;
  double cpuSeconds;
};

inline double CpuSeconds() {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
  auto value = [](const FILETIME& t) {
    return (static_cast<u64>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 1e7;
  };
  return value(kernel) + value(user);
}

inline double Now() {
  LARGE_INTEGER c, f;
  QueryPerformanceCounter(&c);
  QueryPerformanceFrequency(&f);
  return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

inline bool MakeImage(const std::wstring& path, u32 blocks) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::vector<u8> buffer(1 << 20);
  u32 perBuffer = static_cast<u32>(buffer.size() / kInstantBlock);
  bool ok = true;
  for (u32 lba = 0; lba < blocks && ok; lba += perBuffer) {
    u32 n = blocks - lba < perBuffer ? blocks - lba : perBuffer;
    for (u32 i = 0; i < n; ++i) FillBlock(buffer.data() + i * kInstantBlock, lba + i);
    DWORD written = 0;
    ok = WriteFile(file, buffer.data(), n * kInstantBlock, &written, nullptr) && written == n * kInstantBlock;
  }
  CloseHandle(file);
  return ok;
}


// The request burnt on a page without a window onto drive 0 of the manager
// (opened and locked here, as the task view does); ok when it wrote every
// one of `blocks` and verified (if asked) without a fault.
inline Sample HeadlessBurn(CDriveManager& manager, const BurnRequest& request, u32 blocks, bool* ok) {
  CQuietJobUi ui;
  double cpu = CpuSeconds(), start = Now();
  CBurnPage page(&ui);
  page.driveManager = &manager;
  CDrive* drive = manager.OpenDrive(0);
  if (!drive) {
    *ok = false;
    return Sample{0, 0};
  }
  drive->LockVolume();
  *ok = page.StartJob(request, drive, u"R:");
  page.mainThread.Join();
  Sample s{Now() - start, CpuSeconds() - cpu};
  *ok = *ok && !page.IsStopped() && page.writeResult.load() == 0 && page.verifyResult.load() == 0 &&
        page.sectorsDone.load() == blocks;
  return s;
}
