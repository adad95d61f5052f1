// Skin images from the program's own resources (render/skin_ids.h), decoded
// with the program's PNG decoder. A missing or damaged resource is a failed
// load: the caller draws without the picture. Windows only.
#pragma once
#include "runtime/types.h"

class CBitmap;
class CImageStrip;

// The bytes of RCDATA resource id in the program's module; false (and null,
// 0) when there is no such resource or it is empty.
bool FindSkinData(u16 id, const void** data, u32* size);

// Loads the strip from resource id. False, with the strip left empty, when
// the resource is missing, is not a decodable PNG, or does not hold exactly
// `frames` frames.
bool LoadSkinStrip(u16 id, i32 frames, CImageStrip* strip);

// The picture of resource id as a new bitmap (CBitmap::Destroy frees it);
// null when the resource is missing or is not a decodable PNG.
CBitmap* LoadSkinBitmap(u16 id);
