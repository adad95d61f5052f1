// Faces rendered by FreeType from font files held in memory, and the system
// faces read through GDI. Windows build only (FreeType is linked there);
// included by *_win.cpp files.
#pragma once
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H
#include FT_MODULE_H

#include "render/text/font.h"
#include "runtime/types.h"

// A FreeType library with the TrueType and CFF drivers and the renderers,
// its memory from the program heap; null on failure. Each face has its own.
FT_Library NewFreeTypeLibrary();
void DoneFreeTypeLibrary(FT_Library library);

// Renders code with the given FT_Load_Char flags (FT_LOAD_RENDER and any
// target mode) into an 8-bit grey image. A bitmap that is not 8-bit grey is
// converted into scratch (made with FT_Bitmap_Init) with every set pixel at
// full coverage. The image stays valid until the next call.
bool RenderFreeTypeGlyph(FT_Library library, FT_Face face, u32 code, FT_Int32 loadFlags,
                         FT_Bitmap* scratch, GlyphImage* image);

// The face of a font collection whose family name matches name (ignoring
// ASCII case), preferring the one whose bold and italic style matches too;
// 0 when none matches or the data is a single font.
i32 SelectCollectionFace(const u8* data, u32 size, const wchar16* name, bool bold, bool italic);

// A face over a font file (single or collection) at pointSize and dpi. The
// face takes the data block (from rt::malloc) over, also when it fails and
// returns null. Closed with CloseMemoryFace.
IFontFace* OpenMemoryFace(u8* data, u32 size, const wchar16* name, u32 pointSize, bool bold,
                          bool italic, u32 dpi);
void CloseMemoryFace(IFontFace* face);

// The file of the system font GDI maps the request to (the whole collection
// when it is one), as a block from rt::malloc; null when GDI gives nothing.
u8* GetSystemFontData(const wchar16* face, u32 size, bool bold, bool italic, u32* bytes);
// Screen resolution in dots per inch (96 when it cannot be read).
void GetScreenDpi(u32* x, u32* y);

// The faces of the system fonts (GDI and FreeType).
IFaceProvider* SystemFaceProvider();
