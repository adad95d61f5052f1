#include "app/job_windows/burn_image_info.h"
#include "jobs/image/image_file.h"

bool ReadBurnImageInfo(const wchar16* path, BurnImageInfo* info) {
  info->opened = false;
  CImageFile image;
  if (!path || Failed(image.Open(path, true))) return false;
  u64 size = 0;
  if (Failed(image.GetSize(&size))) return false;
  info->opened = true;
  info->bytes = size;
  info->sectors = UserDataSectors(size);
  u32 sectors = 0;
  info->tooLarge = !ImageSectorsFit(size, &sectors);
  info->label.Assign(image.GetLabel());
  DescribeFileSystems(image, &info->fileSystems);
  return true;
}
