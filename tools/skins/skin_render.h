// Renders a skin picture into straight-alpha ARGB pixels (rows bottom-up,
// as the renderer keeps them). The renderer blends onto its target, so a
// transparent target would darken every soft edge; instead the picture is
// drawn once over opaque black and once over opaque white, and each pixel's
// alpha and colour are taken from the difference. Used by the skin
// generator.
#pragma once
#include <vector>

#include "runtime/types.h"

class CPen;

// One picture: square frames of side `side` laid side by side.
struct SkinPicture {
  const char* file;  // name of the PNG written
  i32 side;
  i32 frames;
  void (*draw)(CPen& pen, i32 frame);  // draws one frame in a side x side box
};

// side x frames wide, side high.
std::vector<u32> RenderPicture(const SkinPicture& picture);
