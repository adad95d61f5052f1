// Reading the trees of an image file on disk.
#include "jobs/image/iso9660_reader.h"

bool CIso9660Reader::ReadVolume(u64* imageSize, const wchar16* path) {
  *imageSize = 0;
  Reset();
  if (Failed(image_.Open(path, true))) return false;
  return ReadVolumeOpened(imageSize, path);
}
