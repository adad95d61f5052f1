// A small PNG writer for the decoder tests: any filter type per row, the
// compressed stream split over several (also empty) IDAT chunks, any header
// values and any extra chunk, so both good and damaged files can be made
// in memory. Also the fixture reader shared by the image tests.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "runtime/types.h"

class CBitmap;

namespace pngtest {

typedef std::vector<u8> Bytes;

// Deterministic RGBA test picture (top row first): smooth gradients with
// noise, alpha over the whole range.
Bytes TestPicture(u32 width, u32 height, u32 seed);

// The raw stream of a 4-byte-per-pixel image: per row one filter byte and
// the filtered bytes. Row r uses filters[r % filters.size()]; a filter byte
// above 4 is written as it is over unfiltered data.
Bytes FilterRows(const Bytes& rgba, u32 width, u32 height, const std::vector<u8>& filters);

Bytes Deflate(const Bytes& raw, int level = 6);

class PngWriter {
 public:
  PngWriter();  // writes the signature
  void Chunk(const char* type, const Bytes& data);
  void Header(u32 width, u32 height, u8 depth = 8, u8 colourType = 6, u8 compression = 0,
              u8 filter = 0, u8 interlace = 0);
  // The stream as IDAT chunks of the given sizes (0 = an empty chunk); the
  // rest of the stream, if any, goes into one last chunk.
  void ImageData(const Bytes& compressed, const std::vector<size_t>& pieces = {});
  void End() { Chunk("IEND", {}); }
  const Bytes& Data() const { return bytes_; }

 private:
  Bytes bytes_;
};

// A complete RGBA PNG of the picture with the given row filters.
Bytes MakePng(const Bytes& rgba, u32 width, u32 height, const std::vector<u8>& filters,
              const std::vector<size_t>& pieces = {});

// Offsets of every chunk (its length field) in a PNG file.
std::vector<size_t> ChunkOffsets(const Bytes& png);

// The file fixtures/<name> (relative to the working directory); false when
// it cannot be read.
bool ReadFixture(const std::string& name, Bytes* out);

// The bitmap's pixels as RGBA bytes with the image's top row first (the
// bitmap holds the top row last).
Bytes TopDownRgba(const CBitmap* bitmap);

}  // namespace pngtest
