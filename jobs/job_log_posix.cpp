#include <cstdio>
#include <ctime>
#include <mutex>
#include <string>

#include "jobs/job_log.h"

bool AppendToJobLogFile(const wchar16* path, const wchar16* text, i32 units) {
  static std::mutex lock;
  std::lock_guard<std::mutex> guard(lock);
  std::string name;
  for (const wchar16* p = path; *p; ++p) name.push_back(*p < 0x80 ? static_cast<char>(*p) : '_');
  FILE* file = std::fopen(name.c_str(), "ab");
  if (!file) return false;
  bool ok = true;
  for (i32 i = 0; i < units && ok; ++i) {
    unsigned char pair[2] = {static_cast<unsigned char>(text[i] & 0xFF), static_cast<unsigned char>(text[i] >> 8)};
    ok = std::fwrite(pair, 1, 2, file) == 2;
  }
  return std::fclose(file) == 0 && ok;
}

bool ReadLocalTime(DateTime* out) {
  std::time_t now = std::time(nullptr);
  std::tm local;
  if (!localtime_r(&now, &local)) return false;
  out->Set(static_cast<u16>(local.tm_year + 1900), static_cast<u16>(local.tm_mon + 1),
           static_cast<u16>(local.tm_mday), static_cast<u16>(local.tm_wday), static_cast<u16>(local.tm_hour),
           static_cast<u16>(local.tm_min), static_cast<u16>(local.tm_sec), 0);
  return true;
}

void WriteDebugText(const wchar16*) {}
