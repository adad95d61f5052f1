// Decoder for the kind of PNG the skin images are: 8-bit RGBA, not
// interlaced, read from memory. Everything else is refused. Portable.
//
// Every chunk header and length is checked against the data size, so the
// decoder is safe on any input: a bad file gives false, never a wrong image.
#pragma once
#include "runtime/types.h"

class CPngDecoder {
 public:
  // Zeroes the fields; for non-null data calls Open.
  CPngDecoder(const void* data, u32 size);

  // Checks the signature and the IHDR chunk, which must come first with
  // length 13 and sides of 1 to 16384 pixels. On success stores the data and
  // the header; on failure every field is zero and the result is false.
  bool Open(const void* data, u32 size);
  bool IsOpen() const { return data_ != nullptr; }

  u32 Width() const { return width_; }
  u32 Height() const { return height_; }

  // True for bit depth 8, colour type 6 and methods 0 with a whole chunk
  // sequence (IHDR only first, one run of IDAT chunks, IEND at the end)
  // whose data could fill the rows; checked before pixels are allocated.
  bool IsDecodable();

  // Decodes into width x height pixels 0xAARRGGBB, the image's top row last
  // in memory. size is the room at out in bytes. False for anything but
  // bit depth 8, colour type 6 and methods 0, for a damaged file, or when
  // the room is too small.
  bool Decode(u32* out, u64 size);

  // Inflates the image data through zlib a batch of rows at a time (so the
  // raw rows of the whole image are never held at once) and unfilters every
  // row into out (bytes B, G, R, A per pixel, rows bottom-up).
  bool DecodeRows(u8* out, u64 size);

  // Unfilters one raw row (filter byte, then width x 4 bytes R, G, B, A)
  // into dst as B, G, R, A. The row above is the next row in memory
  // (dst + width x 4); for image row 0 it counts as zero. False for a filter
  // type above 4.
  static bool Unfilter(u8* dst, const u8* src, u32 width, u32 bytesPerPixel, u32 rowIndex);

 private:
  const u8* data_ = nullptr;
  u32 size_ = 0;
  u32 firstChunk_ = 0;  // offset of the chunk after IHDR
  u32 runStart_ = 0;    // the IDAT run, once checked
  u32 runEnd_ = 0;
  u32 width_ = 0;
  u32 height_ = 0;
  u8 bitDepth_ = 0;
  u8 colourType_ = 0;
  u8 compression_ = 0;
  u8 filter_ = 0;
  u8 interlace_ = 0;
};
