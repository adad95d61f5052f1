// Burns a 700 MB image through the whole burn pipeline (image source, memory
// cache, write thread, WRITE(10) through the drive object and the device I/O
// seam) to a recorder that accepts every command at once, and reads the same
// file sequentially with plain ReadFile calls of the same 32 KB chunk size,
// in the same run. The verify pass (cache refilled from the image, the disc
// read back and compared) is timed as the difference between a burn with
// verify and one without. Prints throughputs, ratios and CPU time per MB.
// A second reference shows what the cache itself costs: the same reads into
// successive places of a 64 MiB locked buffer (memory the size of the
// cache, not a chunk that stays in the processor's cache), and the fixed
// cost of allocating, locking and freeing it once a job.
//
// Argument 1: the work folder for the image (default: the temporary folder).
// Argument 2: the image size in MB (default 700).
#include "runtime/win.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "drive/device_io.h"
#include "drive/drive_manager.h"
#include "drive/scsi_pass_through.h"
#include "burn_bench_support_win.h"
#include "instant_recorder_win.h"
#include "jobs/burn/burn_job.h"
#include "jobs/burn/burn_source_image.h"
#include "jobs/job_ui.h"
#include "runtime/byte_order.h"
#include "runtime/clock.h"
#include "runtime/platform.h"
#include "runtime/ring_buffer.h"

namespace {

constexpr u32 kBlock = kInstantBlock;
constexpr u32 kChunk = kCacheChunkBytes;

// The reference: the file read front to back in 32 KB ReadFile calls.
Sample PlainRead(const std::wstring& path) {
  std::vector<u8> chunk(kChunk);
  double cpu = CpuSeconds(), start = Now();
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  u64 sum = 0;
  DWORD got = 0;
  while (file != INVALID_HANDLE_VALUE && ReadFile(file, chunk.data(), kChunk, &got, nullptr) && got) sum += chunk[got - 1];
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  Sample s{Now() - start, CpuSeconds() - cpu};
  if (sum == 1) std::printf(" ");
  return s;
}

// The file read in the same chunks into successive places of a buffer the
// size of the burn's cache, wrapping at its end: the memory traffic of the
// cache alone.
Sample RingRead(const std::wstring& path) {
  double cpu = CpuSeconds(), start = Now();
  CRingBuffer ring;
  ring.Allocate(kCacheMaxBytes, true);
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  DWORD got = 0;
  for (;;) {
    u32 span = 0;
    u8* at = ring.GetWriteSpan(&span);
    if (file == INVALID_HANDLE_VALUE || !at || span < kChunk) break;
    if (!ReadFile(file, at, kChunk, &got, nullptr) || !got) break;
    ring.CommitWrite(got);
    u32 n = 0;
    ring.GetReadSpan(&n);
    ring.CommitRead(n);
  }
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  ring.Free();
  return Sample{Now() - start, CpuSeconds() - cpu};
}

// The fixed cost of one job's cache: allocated, locked in memory, freed.
double CacheSetupMs() {
  double start = Now();
  CRingBuffer ring;
  ring.Allocate(kCacheMaxBytes, true);
  ring.Free();
  return (Now() - start) * 1e3;
}

// The burn's image source alone, read in the same chunks.
Sample SourceRead(const std::wstring& path) {
  std::vector<u8> chunk(kChunk);
  double cpu = CpuSeconds(), start = Now();
  CImageFileSource source;
  if (Succeeded(source.Open(reinterpret_cast<const wchar16*>(path.c_str()), true))) {
    u64 got = 0;
    while (Succeeded(source.Read(chunk.data(), kChunk, &got)) && got) {
    }
  }
  return Sample{Now() - start, CpuSeconds() - cpu};
}

Sample Burn(CDriveManager& manager, const std::wstring& path, u32 blocks, bool verify, bool* ok) {
  BurnRequest request;
  request.source = -1;
  request.destination = 0;
  request.imagePath.Assign(reinterpret_cast<const wchar16*>(path.c_str()));
  request.method = kMethodDiscAtOnce;
  request.options = kOptionBufe | kOptionCloseDisc | (verify ? kOptionVerify : 0);
  TrackList* session = request.sessions.AppendNew();
  TrackExtent* track = session->AppendNew();
  *track = TrackExtent{0, kBlock, blocks, 1, 0, 0, 0};

  return HeadlessBurn(manager, request, blocks, ok);
}

}  // namespace

int main(int argc, char** argv) {
  InitCounterFrequency();
  u32 megabytes = argc > 2 ? static_cast<u32>(std::atoi(argv[2])) : 700;
  if (megabytes == 0) megabytes = 700;
  u32 blocks = megabytes * 512;
  std::wstring folder;
  if (argc > 1) {
    for (const char* p = argv[1]; *p; ++p) folder.push_back(static_cast<wchar_t>(*p));
  } else {
    CWideString temp;
    if (GetSpecialFolderPath(4, &temp)) folder.assign(reinterpret_cast<const wchar_t*>(temp.c_str()));
  }
  if (!folder.empty() && folder.back() != L'\\') folder.push_back(L'\\');
  std::wstring path = folder + L"burn_pipeline_bench.iso";
  std::printf("image: %u MB (%u blocks of 2048 bytes), chunk %u bytes, cache %u MiB\n", megabytes, blocks, kChunk,
              static_cast<u32>(kCacheMaxBytes >> 20));
  if (!MakeImage(path, blocks)) {
    std::printf("cannot write the image\n");
    return 1;
  }

  CInstantRecorder recorder;
  SetDeviceIo(&recorder);
  CDriveManager* manager = new CDriveManager();
  if (manager->GetDriveCount() != 1) {
    std::printf("the instant recorder was not listed\n");
    return 1;
  }
  double mb = static_cast<double>(blocks) * kBlock / 1e6;

  PlainRead(path);  // warm the file cache for both contenders
  Sample read1 = PlainRead(path);
  Sample sourceOnly = SourceRead(path);
  Sample ringOnly = RingRead(path);
  double setupMs = CacheSetupMs();
  bool burnOk = false, verifyOk = false;
  Sample burn = Burn(*manager, path, blocks, false, &burnOk);
  Sample both = Burn(*manager, path, blocks, true, &verifyOk);
  delete manager;  // its drives close through the instant recorder
  Sample read2 = PlainRead(path);
  Sample read = read1.seconds < read2.seconds ? read1 : read2;
  Sample verify{both.seconds - burn.seconds, both.cpuSeconds - burn.cpuSeconds};

  auto rate = [mb](const Sample& s) { return s.seconds > 0 ? mb / s.seconds : 0; };
  auto cpu = [mb](const Sample& s) { return s.cpuSeconds * 1000.0 / mb; };
  std::printf("plain read (32 KB ReadFile)   : %8.1f MB/s  %6.2f ms CPU/MB\n", rate(read), cpu(read));
  std::printf("image source alone (32 KB)    : %8.1f MB/s  %6.2f ms CPU/MB\n", rate(sourceOnly), cpu(sourceOnly));
  std::printf("reads into a 64 MiB ring      : %8.1f MB/s  %6.2f ms CPU/MB\n", rate(ringOnly), cpu(ringOnly));
  std::printf("cache allocate, lock and free: %8.1f ms a job\n", setupMs);
  std::printf("burn pipeline (no verify)     : %8.1f MB/s  %6.2f ms CPU/MB  %s\n", rate(burn), cpu(burn),
              burnOk ? "ok" : "FAILED");
  std::printf("verify pass (burn+verify-burn): %8.1f MB/s  %6.2f ms CPU/MB  %s\n", rate(verify), cpu(verify),
              verifyOk ? "ok" : "FAILED");
  std::printf("ratio burn / plain read       : %8.3f\n", rate(read) > 0 ? rate(burn) / rate(read) : 0);
  std::printf("ratio verify / plain read     : %8.3f\n", rate(read) > 0 ? rate(verify) / rate(read) : 0);
  std::printf("ratio burn / ring reads       : %8.3f\n", rate(ringOnly) > 0 ? rate(burn) / rate(ringOnly) : 0);
  SetDeviceIo(nullptr);
  DeleteFileW(path.c_str());
  return burnOk && verifyOk ? 0 : 1;
}
