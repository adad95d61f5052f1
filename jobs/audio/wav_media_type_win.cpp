#include "jobs/audio/wav_media_type_win.h"

#include <cstring>

bool ReadMediaWaveFormat(const AM_MEDIA_TYPE* type, WaveFormatSummary* out) {
  if (!type || !IsEqualGUID(type->formattype, FORMAT_WaveFormatEx)) return false;
  return ReadWaveFormat(type->pbFormat, type->pbFormat ? type->cbFormat : 0, out);
}

bool IsCdAudioMediaType(const AM_MEDIA_TYPE* type) {
  WaveFormatSummary format;
  return ReadMediaWaveFormat(type, &format) && IsCdAudioFormat(format);
}

bool IsDecodedCdAudioType(const AM_MEDIA_TYPE* type) {
  return type && IsEqualGUID(type->majortype, MEDIATYPE_Audio) && IsEqualGUID(type->subtype, MEDIASUBTYPE_PCM) &&
         IsCdAudioMediaType(type);
}

AM_MEDIA_TYPE* CreateCdAudioMediaType() {
  AM_MEDIA_TYPE* type = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
  WAVEFORMATEX* format = static_cast<WAVEFORMATEX*>(CoTaskMemAlloc(sizeof(WAVEFORMATEX)));
  if (!type || !format) {
    CoTaskMemFree(type);
    CoTaskMemFree(format);
    return nullptr;
  }
  std::memset(type, 0, sizeof(*type));
  type->majortype = MEDIATYPE_Stream;
  type->subtype = MEDIASUBTYPE_PCM;
  type->bFixedSizeSamples = TRUE;
  type->bTemporalCompression = FALSE;
  type->lSampleSize = 4;
  type->formattype = FORMAT_WaveFormatEx;
  format->wFormatTag = WAVE_FORMAT_PCM;
  format->nChannels = 2;
  format->nSamplesPerSec = kCdSampleRate;
  format->nAvgBytesPerSec = kCdBytesPerSecond;
  format->nBlockAlign = 4;
  format->wBitsPerSample = 16;
  format->cbSize = 0;
  type->cbFormat = sizeof(WAVEFORMATEX);
  type->pbFormat = reinterpret_cast<BYTE*>(format);
  return type;
}

HRESULT CopyMediaType(AM_MEDIA_TYPE* to, const AM_MEDIA_TYPE* from) {
  *to = *from;
  to->pbFormat = nullptr;
  to->pUnk = nullptr;
  if (from->cbFormat != 0 && from->pbFormat) {
    to->pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(from->cbFormat));
    if (!to->pbFormat) {
      std::memset(to, 0, sizeof(*to));
      return E_OUTOFMEMORY;
    }
    std::memcpy(to->pbFormat, from->pbFormat, from->cbFormat);
  } else {
    to->cbFormat = 0;
  }
  if (from->pUnk) {
    to->pUnk = from->pUnk;
    to->pUnk->AddRef();
  }
  return S_OK;
}

void FreeMediaType(AM_MEDIA_TYPE* type) {
  if (!type) return;
  CoTaskMemFree(type->pbFormat);
  if (type->pUnk) type->pUnk->Release();
  std::memset(type, 0, sizeof(*type));
}

void DeleteMediaType(AM_MEDIA_TYPE* type) {
  if (!type) return;
  FreeMediaType(type);
  CoTaskMemFree(type);
}
