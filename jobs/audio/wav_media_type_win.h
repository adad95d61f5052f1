// The CD audio media type of the sink filter and deep copies of media types
// (format blocks in CoTaskMemAlloc memory). Windows only.
#pragma once
#include <dshow.h>

#include "jobs/audio/audio_cd_format.h"
#include "runtime/win.h"

// FORMAT_WaveFormatEx and a wave format block of at least 18 bytes
// describing PCM (tag 1), 44100 Hz, 2 channels, 16 bits, whatever the major
// type and subtype.
bool IsCdAudioMediaType(const AM_MEDIA_TYPE* type);
// What the sink takes: a CD audio type (above) under MEDIATYPE_Audio and
// MEDIASUBTYPE_PCM, that is decoded audio. The file source offers a file's
// bytes under MEDIATYPE_Stream and agrees to the sink's own type, which is a
// stream type; a sink that took CD audio under any major type would be
// connected straight to the file, ahead of every parser and decoder, and
// would be given nothing to measure or decode.
bool IsDecodedCdAudioType(const AM_MEDIA_TYPE* type);
// The wave format inside a media type, when it carries one (any subtype).
bool ReadMediaWaveFormat(const AM_MEDIA_TYPE* type, WaveFormatSummary* out);
// The type the sink offers: MEDIATYPE_Stream, MEDIASUBTYPE_PCM and the CD
// audio format block, the type and its block in CoTaskMemAlloc memory; null
// when memory is short. Freed with DeleteMediaType.
AM_MEDIA_TYPE* CreateCdAudioMediaType();
// Deep copy into *to (which holds nothing): the format block is copied and
// pUnk referenced. E_OUTOFMEMORY leaves *to zeroed.
HRESULT CopyMediaType(AM_MEDIA_TYPE* to, const AM_MEDIA_TYPE* from);
// Frees the format block and releases pUnk; the type is left zeroed.
void FreeMediaType(AM_MEDIA_TYPE* type);
// FreeMediaType and CoTaskMemFree of the type itself; null is ignored.
void DeleteMediaType(AM_MEDIA_TYPE* type);
