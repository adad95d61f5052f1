// The CD audio media type of the sink filter and deep copies of media types
// (format blocks in CoTaskMemAlloc memory). Windows only.
#pragma once
#include <dshow.h>

#include "jobs/audio/audio_cd_format.h"
#include "runtime/win.h"

// MEDIATYPE_Audio, MEDIASUBTYPE_PCM, FORMAT_WaveFormatEx and a wave format
// block of at least 18 bytes describing 44100 Hz, 2 channels, 16-bit PCM.
bool IsCdAudioMediaType(const AM_MEDIA_TYPE* type);
// The wave format inside a media type, when it carries one (any subtype).
bool ReadMediaWaveFormat(const AM_MEDIA_TYPE* type, WaveFormatSummary* out);
// The CD audio type, the type and its format block in CoTaskMemAlloc
// memory; null when memory is short. Freed with DeleteMediaType.
AM_MEDIA_TYPE* CreateCdAudioMediaType();
// Deep copy into *to (which holds nothing): the format block is copied and
// pUnk referenced. E_OUTOFMEMORY leaves *to zeroed.
HRESULT CopyMediaType(AM_MEDIA_TYPE* to, const AM_MEDIA_TYPE* from);
// Frees the format block and releases pUnk; the type is left zeroed.
void FreeMediaType(AM_MEDIA_TYPE* type);
// FreeMediaType and CoTaskMemFree of the type itself; null is ignored.
void DeleteMediaType(AM_MEDIA_TYPE* type);
