#include "render/skin_resource.h"

#include "render/bitmap.h"
#include "render/image_strip.h"
#include "runtime/win.h"

bool FindSkinData(u16 id, const void** data, u32* size) {
  *data = nullptr;
  *size = 0;
  // Resources of the executable; a resource's memory lives as long as the
  // module, so nothing is freed.
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (!info) return false;
  DWORD bytes = SizeofResource(module, info);
  HGLOBAL handle = LoadResource(module, info);
  const void* locked = handle ? LockResource(handle) : nullptr;
  if (!locked || bytes == 0) return false;
  *data = locked;
  *size = bytes;
  return true;
}

bool LoadSkinStrip(u16 id, i32 frames, CImageStrip* strip) {
  strip->Release();
  const void* data;
  u32 size;
  if (!FindSkinData(id, &data, &size) || !strip->Load(data, size)) return false;
  if (strip->FrameCount() != frames) {
    strip->Release();
    return false;
  }
  return true;
}

CBitmap* LoadSkinBitmap(u16 id) {
  const void* data;
  u32 size;
  if (!FindSkinData(id, &data, &size)) return nullptr;
  return CBitmap::LoadPng(data, size);
}
