// Builds the ISO 9660 and Joliet trees of an image holding 100,000 files and
// times it against `isoinfo -l -J` and `xorriso -indev IMAGE -find /` on the
// same image in the same run. Prints the times and the ratios (reference
// time / ours: above 1 means ours is faster). The reader always builds both
// trees (ISO 9660 and Joliet names), so isoinfo is also timed listing both.
//
// The image is made once with xorriso in a work folder (argument 1, else a
// folder beside the executable, in the build tree) and kept for later runs
// while it still holds every file (the Windows build, which cannot run
// xorriso, reads the one the native build made there). Argument 2 sets the number of
// rounds; each round times every contender once, and the best and the
// median of the rounds are printed with their ratios, for the reader run in
// this process and for the reader started as a process of its own.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include <unistd.h>

#include "jobs/image/iso9660_reader.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFolders = 100;
constexpr int kFilesPerFolder = 1000;
constexpr int kRuns = 11;
constexpr char kReadOnceOption[] = "--read-once";

// The image file through C stdio, so only the sectors the reader asks for
// are read.
class CStdioSource : public IImageSource {
 public:
  explicit CStdioSource(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {}
  ~CStdioSource() override {
    if (file_) std::fclose(file_);
  }
  bool IsOpen() const { return file_ != nullptr; }
  HResult ReadAt(u64 offset, void* buffer, u32 count, u32* got) override {
    *got = 0;
    if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0) return kHrFail;
    *got = static_cast<u32>(std::fread(buffer, 1, count, file_));
    return std::ferror(file_) ? kHrFail : kHrOk;
  }
  HResult GetSize(u64* size) override {
    if (std::fseek(file_, 0, SEEK_END) != 0) return kHrFail;
    *size = static_cast<u64>(std::ftell(file_));
    return kHrOk;
  }

 private:
  std::FILE* file_;
};

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Best and median of one contender's run times.
struct Timings {
  std::vector<double> runs;
  bool failed = false;

  void Add(double t) { runs.push_back(t); }
  double Best() const { return runs.empty() ? -1 : *std::min_element(runs.begin(), runs.end()); }
  double Median() const {
    if (runs.empty()) return -1;
    std::vector<double> sorted = runs;
    std::sort(sorted.begin(), sorted.end());
    size_t n = sorted.size();
    return n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
  }
};

bool TimeReader(const fs::path& image, Timings* build, Timings* teardown, u64* files, u64* joliet);

// True when the image reads with every file in both trees.
bool HoldsEveryFile(const fs::path& image) {
  Timings unused;
  u64 files = 0, joliet = 0;
  const u64 all = static_cast<u64>(kFolders) * kFilesPerFolder;
  return TimeReader(image, &unused, &unused, &files, &joliet) && files == all && joliet == all;
}

// The image, made again unless a whole one is there. It is written under a
// name of this process's own and renamed, so a run never reads one that
// another run is still writing.
bool MakeImage(const fs::path& work, const fs::path& image) {
  std::error_code error;
  if (fs::exists(image, error) && HoldsEveryFile(image)) return true;
  const std::string own = "." + std::to_string(getpid());
  const fs::path source = work / ("src" + own);
  const fs::path part = work / (image.filename().string() + own);
  fs::remove_all(source, error);
  for (int d = 0; d < kFolders; ++d) {
    char folder[64];
    std::snprintf(folder, sizeof(folder), "Folder_%03d", d);
    fs::create_directories(source / folder, error);
    for (int f = 0; f < kFilesPerFolder; ++f) {
      char name[64];
      std::snprintf(name, sizeof(name), "document_%03d_%04d_Report.txt", d, f);
      std::FILE* file = std::fopen((source / folder / name).string().c_str(), "wb");
      if (!file) return false;
      std::fclose(file);
    }
  }
  std::string command = "xorriso -as mkisofs -quiet -J -joliet-long -o '" + part.string() + "' '" +
                        source.string() + "' >/dev/null 2>&1";
  const int rc = std::system(command.c_str());
  fs::remove_all(source, error);
  if (rc == 0) fs::rename(part, image, error);
  fs::remove(part, error);
  return rc == 0 && !error && HoldsEveryFile(image);
}

// One timed run of a shell command; a failing command marks the contender.
void TimeCommand(const std::string& command, Timings* timings) {
  if (timings->failed) return;
  auto start = std::chrono::steady_clock::now();
  if (std::system(command.c_str()) != 0) {
    timings->failed = true;
    return;
  }
  timings->Add(Seconds(start));
}

// One run of the reader: opening the image and building both trees (the
// tear-down is timed apart). False when the image could not be read.
bool TimeReader(const fs::path& image, Timings* build, Timings* teardown, u64* files, u64* joliet) {
  auto start = std::chrono::steady_clock::now();
  CStdioSource source(image.string());
  if (!source.IsOpen()) return false;
  CIso9660Reader* reader = new CIso9660Reader;
  u64 size = 0;
  bool ok = reader->ReadVolumeFrom(&size, &source, u"files100k.iso");
  build->Add(Seconds(start));
  *files = reader->GetPrimaryRoot().CountFiles();
  *joliet = reader->GetJolietRoot().CountFiles();
  auto end = std::chrono::steady_clock::now();
  delete reader;
  teardown->Add(Seconds(end));
  return ok;
}

void PrintLine(const char* label, const Timings& timings, const Timings& ours, const char* note) {
  if (timings.failed || timings.runs.empty()) {
    std::printf("  %-31s not available\n", label);
    return;
  }
  std::printf("  %-31s best %7.1f ms  median %7.1f ms  ratio best %.2f  median %.2f%s\n", label,
              timings.Best() * 1000, timings.Median() * 1000, timings.Best() / ours.Best(),
              timings.Median() / ours.Median(), note);
}

// The fresh-process contender: reads the image once and exits, so that it is
// timed exactly as the tools are (process start and exit included).
int ReadOnce(const char* path) {
  Timings build, teardown;
  u64 files = 0;
  u64 joliet = 0;
  return TimeReader(path, &build, &teardown, &files, &joliet) && files > 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2 && std::strcmp(argv[1], kReadOnceOption) == 0) return ReadOnce(argv[2]);
  std::error_code error;
  const fs::path work = argc > 1 ? fs::path(argv[1]) : fs::absolute(argv[0], error).parent_path() / "iso_tree_files";
  fs::create_directories(work, error);
  fs::path image = work / "files100k.iso";
  if (!MakeImage(work, image)) {
    std::printf("could not make %s with xorriso\n", image.string().c_str());
    return 1;
  }

  int runs = kRuns;
  if (argc > 2) runs = std::atoi(argv[2]);
  if (runs < 1) runs = kRuns;

  std::string quoted = "'" + image.string() + "'";
  const std::string isoinfoJoliet = "isoinfo -l -J -i " + quoted + " >/dev/null 2>&1";
  const std::string isoinfoBoth =
      "isoinfo -l -i " + quoted + " >/dev/null 2>&1 && isoinfo -l -J -i " + quoted + " >/dev/null 2>&1";
  const std::string xorrisoFind = "xorriso -indev " + quoted + " -find / >/dev/null 2>&1";
  std::error_code selfError;
  const fs::path self = fs::canonical("/proc/self/exe", selfError);
  const std::string oursFresh = "'" + self.string() + "' " + kReadOnceOption + " " + quoted + " >/dev/null 2>&1";

  // A warm-up round brings the image into the page cache for everyone.
  Timings ours, teardown, fresh, isoinfo, both, xorriso, unused;
  u64 files = 0;
  u64 joliet = 0;
  if (!TimeReader(image, &unused, &unused, &files, &joliet)) {
    std::printf("reading the image failed\n");
    return 1;
  }
  TimeCommand(isoinfoJoliet, &unused);
  TimeCommand(xorrisoFind, &unused);

  // The contenders take turns in every round, so a busy moment of the
  // machine falls on all of them alike.
  for (int i = 0; i < runs; ++i) {
    if (!TimeReader(image, &ours, &teardown, &files, &joliet)) {
      std::printf("reading the image failed\n");
      return 1;
    }
    TimeCommand(oursFresh, &fresh);
    TimeCommand(isoinfoJoliet, &isoinfo);
    TimeCommand(xorrisoFind, &xorriso);
    TimeCommand(isoinfoBoth, &both);
  }

  std::printf("image: %s (%llu files in the ISO 9660 tree, %llu in the Joliet tree)\n", image.string().c_str(),
              static_cast<unsigned long long>(files), static_cast<unsigned long long>(joliet));
  std::printf("%d rounds; ratio = reference time / ours (above 1: ours is faster)\n", runs);
  std::printf("in this process (the reader run after run; tear-down apart, median %.1f ms):\n", teardown.Median() * 1000);
  std::printf("  %-31s best %7.1f ms  median %7.1f ms\n", "CIso9660Reader, both trees:", ours.Best() * 1000,
              ours.Median() * 1000);
  PrintLine("isoinfo -l -J:", isoinfo, ours, "");
  PrintLine("xorriso -indev IMAGE -find /:", xorriso, ours, "");
  PrintLine("isoinfo -l, then -l -J:", both, ours, " (both trees, as ours)");
  if (fresh.failed || fresh.runs.empty()) {
    std::printf("a fresh process for every read: not available\n");
    return 0;
  }
  std::printf("a fresh process for every read, as the tools run:\n");
  std::printf("  %-31s best %7.1f ms  median %7.1f ms\n", "CIso9660Reader, both trees:", fresh.Best() * 1000,
              fresh.Median() * 1000);
  PrintLine("isoinfo -l -J:", isoinfo, fresh, "");
  PrintLine("xorriso -indev IMAGE -find /:", xorriso, fresh, "");
  PrintLine("isoinfo -l, then -l -J:", both, fresh, " (both trees, as ours)");
  return 0;
}
