// Builds the ISO 9660 and Joliet trees of an image holding 100,000 files and
// times it against `isoinfo -l -J` and `xorriso -indev IMAGE -find /` on the
// same image in the same run. Prints the times and the ratios (reference
// time / ours: above 1 means ours is faster). The reader always builds both
// trees (ISO 9660 and Joliet names), so isoinfo is also timed listing both.
//
// The image is made once with xorriso in a work folder (argument 1, else
// $TMPDIR or /tmp) and kept for later runs.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "jobs/iso9660_reader.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFolders = 100;
constexpr int kFilesPerFolder = 1000;
constexpr int kRuns = 5;

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

bool MakeImage(const fs::path& work, const fs::path& image) {
  std::error_code error;
  if (fs::exists(image, error)) return true;
  fs::path source = work / "src";
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
  std::string command = "xorriso -as mkisofs -quiet -J -joliet-long -o '" + image.string() + "' '" +
                        source.string() + "' >/dev/null 2>&1";
  int rc = std::system(command.c_str());
  fs::remove_all(source, error);
  return rc == 0 && fs::exists(image, error);
}

// Best of kRuns wall times of a shell command; negative when it fails.
double TimeCommand(const std::string& command) {
  double best = -1;
  for (int i = 0; i < kRuns; ++i) {
    auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) return -1;
    double t = Seconds(start);
    if (best < 0 || t < best) best = t;
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const char* tmp = std::getenv("TMPDIR");
  fs::path work = argc > 1 ? fs::path(argv[1]) : fs::path(tmp ? tmp : "/tmp") / "kelvane_iso_tree_bench";
  std::error_code error;
  fs::create_directories(work, error);
  fs::path image = work / "files100k.iso";
  if (!MakeImage(work, image)) {
    std::printf("could not make %s with xorriso\n", image.string().c_str());
    return 1;
  }

  double ours = -1;
  u64 files = 0;
  u64 joliet = 0;
  for (int i = 0; i < kRuns; ++i) {
    auto start = std::chrono::steady_clock::now();
    CStdioSource source(image.string());
    if (!source.IsOpen()) return 1;
    CIso9660Reader reader;
    u64 size = 0;
    if (!reader.ReadVolumeFrom(&size, &source, u"files100k.iso")) {
      std::printf("reading the image failed\n");
      return 1;
    }
    double t = Seconds(start);
    if (ours < 0 || t < ours) ours = t;
    files = reader.GetPrimaryRoot().CountFiles();
    joliet = reader.GetJolietRoot().CountFiles();
  }
  std::string quoted = "'" + image.string() + "'";
  double isoinfo = TimeCommand("isoinfo -l -J -i " + quoted + " >/dev/null 2>&1");
  double xorriso = TimeCommand("xorriso -indev " + quoted + " -find / >/dev/null 2>&1");
  // The reader builds both trees; isoinfo lists one per run.
  double isoinfoBoth =
      TimeCommand("isoinfo -l -i " + quoted + " >/dev/null 2>&1 && isoinfo -l -J -i " + quoted + " >/dev/null 2>&1");

  std::printf("image: %s (%llu files in the ISO 9660 tree, %llu in the Joliet tree)\n", image.string().c_str(),
              static_cast<unsigned long long>(files), static_cast<unsigned long long>(joliet));
  std::printf("best of %d runs\n", kRuns);
  std::printf("  CIso9660Reader, both trees:   %8.1f ms\n", ours * 1000);
  if (isoinfo > 0)
    std::printf("  isoinfo -l -J:                %8.1f ms  ratio %.2f\n", isoinfo * 1000, isoinfo / ours);
  else
    std::printf("  isoinfo -l -J:                not available\n");
  if (isoinfoBoth > 0)
    std::printf("  isoinfo -l, then -l -J:       %8.1f ms  ratio %.2f (both trees, as ours)\n", isoinfoBoth * 1000,
                isoinfoBoth / ours);
  if (xorriso > 0)
    std::printf("  xorriso -indev IMAGE -find /: %8.1f ms  ratio %.2f\n", xorriso * 1000, xorriso / ours);
  else
    std::printf("  xorriso -indev IMAGE -find /: not available\n");
  return 0;
}
