#include "jobs/burn/burn_source_image.h"

HResult CImageFileSource::Open(const wchar16* path, bool detect) {
  position_ = 0;
  return image_.Open(path, detect);
}
