// A 700 MB image burnt to the instant DVD+RW recorder through the whole
// interface (the program's main window, "Burn image...", the path typed,
// Enter, the burn page in the task view repainting as the job runs, until
// the page shows its end), against the same request burnt on a page without
// a window, in the same run. Each is run twice, alternating, and the faster
// run of each counts. The time through the interface runs from the job's
// start (the page's own counter) to the end state seen on the page, with
// the page in the task view repainting from its refresh thread all along;
// the headless one from the job's start to its end. The time from Enter to
// the job's start (the window closing, the task view's launcher) is shown
// apart: under Wine on a display without a window manager, hiding the
// window waits about 2 s for a manager that never answers. CPU time is
// counted from Enter. Needs an X display under Wine.
//
// Argument 1: the work folder for the image (default: the temporary folder).
// Argument 2: the image size in MB (default 700).
#include "runtime/win.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/startup/startup_table.h"
#include "jobs/job_page.h"
#include "app/end_to_end/app_session_win.h"
#include "burn_bench_support_win.h"
#include "app/end_to_end/burn_steps_win.h"
#include "instant_recorder_win.h"
#include "runtime/platform.h"
#include "runtime/startup.h"

namespace {

struct InterfaceRun {
  Sample sample = {0, 0};   // from the job's start to its end state seen on the page
  double startSeconds = 0;  // from Enter to the job's start (the window closing, the launcher)
  double endSeenSeconds = 0;  // from the job's end (its own counter) to the end state seen
  bool ok = false;
};

// One burn through the program; the request the window made is copied
// into `request` (the headless runs burn the same).
InterfaceRun BurnThroughTheInterface(CInstantRecorder& recorder, const std::wstring& path, u32 blocks,
                                     BurnRequest* request) {
  CAppSession::Options options;
  options.virtualClock = false;
  options.deviceIo = &recorder;
  options.watchdogSeconds = 1800;
  CAppSession app(options);
  InterfaceRun run;
  app.Run([&](CPerson& p) {
    void* window = OpenBurnImageWindow(p);
    if (!TypeImagePath(p, window, AsTyped(path))) return;
    const double cpu = CpuSeconds();
    const i64 enter = ReadCounterNow();
    p.Press(VK_RETURN);
    if (!WaitForBurnEnd(p, 1800000)) return;
    const i64 seen = ReadCounterNow();
    const double cpuSeconds = CpuSeconds() - cpu;
    p.OnUi([&](CMainFrame& f) {
      CBurnPage& job = BurnPageAt(f)->engine;
      run.sample = Sample{static_cast<double>(seen - job.jobStart) / g_counterFrequency, cpuSeconds};
      run.startSeconds = static_cast<double>(job.jobStart - enter) / g_counterFrequency;
      run.endSeenSeconds = static_cast<double>(seen - job.jobEnd) / g_counterFrequency;
      run.ok = !job.IsStopped() && job.writeResult.load() == 0 && job.sectorsDone.load() == blocks &&
               request->Assign(job.request);
    });
  });
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  rt::RunInitializers(GetStartupTable(), GetStartupTableSize());
  u32 megabytes = argc > 2 ? static_cast<u32>(std::atoi(argv[2])) : 700;
  if (megabytes == 0) megabytes = 700;
  const u32 blocks = megabytes * 512;
  std::wstring folder;
  if (argc > 1) {
    for (const char* p = argv[1]; *p; ++p) folder.push_back(static_cast<wchar_t>(*p));
  } else {
    CWideString temp;
    if (GetSpecialFolderPath(4, &temp)) folder.assign(reinterpret_cast<const wchar_t*>(temp.c_str()));
  }
  if (!folder.empty() && folder.back() != L'\\') folder.push_back(L'\\');
  const std::wstring path = folder + L"burn_interface_bench.iso";
  std::printf("image: %u MB (%u blocks of 2048 bytes) to an instant DVD+RW recorder\n", megabytes, blocks);
  if (!MakeImage(path, blocks)) {
    std::printf("cannot write the image\n");
    return 1;
  }
  CInstantRecorder recorder;
  BurnRequest request;
  InterfaceRun ui[2];
  Sample headless[2] = {};
  bool headlessOk[2] = {false, false};
  for (int round = 0; round < 2; ++round) {
    ui[round] = BurnThroughTheInterface(recorder, path, blocks, &request);
    if (!ui[round].ok) {
      std::printf("the burn through the interface failed\n");
      DeleteFileW(path.c_str());
      return 1;
    }
    SetDeviceIo(&recorder);
    CDriveManager* manager = new CDriveManager();
    headless[round] = HeadlessBurn(*manager, request, blocks, &headlessOk[round]);
    delete manager;
    SetDeviceIo(nullptr);
  }
  DeleteFileW(path.c_str());
  const double mb = static_cast<double>(blocks) * kInstantBlock / 1e6;
  auto best = [](const Sample& a, const Sample& b) { return a.seconds < b.seconds ? a : b; };
  const Sample through = best(ui[0].sample, ui[1].sample), bare = best(headless[0], headless[1]);
  auto rate = [mb](const Sample& s) { return s.seconds > 0 ? mb / s.seconds : 0; };
  auto cpu = [mb](const Sample& s) { return s.cpuSeconds * 1000.0 / mb; };
  const bool ok = headlessOk[0] && headlessOk[1];
  std::printf("method %s, write speed %u, options 0x%02X\n", request.method ? "disc at once" : "track at once",
              request.writeSpeed, request.options);
  std::printf("through the interface : %8.1f MB/s  %6.2f ms CPU/MB  (runs %.2f s, %.2f s)\n", rate(through),
              cpu(through), ui[0].sample.seconds, ui[1].sample.seconds);
 std::printf("  Enter to the job's start: %.3f s, %.3f s; job's end to its end state seen: %.3f s, %.3f s\n",
              ui[0].startSeconds, ui[1].startSeconds, ui[0].endSeenSeconds, ui[1].endSeenSeconds);
  std::printf("headless burn         : %8.1f MB/s  %6.2f ms CPU/MB  (runs %.2f s, %.2f s)  %s\n", rate(bare),
              cpu(bare), headless[0].seconds, headless[1].seconds, ok ? "ok" : "FAILED");
  const double ratio = rate(bare) > 0 ? rate(through) / rate(bare) : 0;
  std::printf("ratio interface / headless: %.3f (the interface may cost at most 5%%: %s)\n", ratio,
              ratio >= 0.95 ? "within" : "OVER");
  return ok ? 0 : 1;
}
