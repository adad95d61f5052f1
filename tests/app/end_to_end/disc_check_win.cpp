#include "disc_check_win.h"

#include <vector>

#include "runtime/win.h"

std::string CompareDiscWithImage(const CSimulatedRecorder& recorder, const std::wstring& imagePath, u32 firstLba,
                                 u32 blockSize) {
  HANDLE file = CreateFileW(imagePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "the image cannot be read";
  std::string problem;
  std::vector<u8> block(blockSize), stored;
  u32 lba = firstLba, blocks = 0;
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(file, block.data(), blockSize, &read, nullptr) || read == 0) break;
    if (read != blockSize) {
      problem = "the image ends in a partial block";
      break;
    }
    if (!recorder.ReadStoredSector(lba, &stored)) {
      problem = "block " + std::to_string(lba) + " was never written";
      break;
    }
    if (stored != block) {
      problem = "block " + std::to_string(lba) + " differs from the image";
      break;
    }
    ++lba;
    ++blocks;
  }
  CloseHandle(file);
  if (problem.empty() && blocks == 0) problem = "the image is empty";
  return problem;
}

bool MakeImageFile(const std::wstring& path, u32 blocks) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::vector<u32> block(2048 / 4);
  bool ok = true;
  for (u32 lba = 0; lba < blocks && ok; ++lba) {
    for (u32 i = 0; i < block.size(); ++i) block[i] = (lba * 0x9E3779B1u) ^ (i * 0x85EBCA6Bu) ^ 0x4B454C56u;
    DWORD written = 0;
    ok = WriteFile(file, block.data(), 2048, &written, nullptr) && written == 2048;
  }
  CloseHandle(file);
  return ok;
}
