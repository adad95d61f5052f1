// CSettingsKey over the registry of the current user. Each call loads the
// registry library, opens (or creates) the key, does its one read or write,
// and releases everything again. Stored values are untrusted: a read copies
// into the caller's variable only after the whole value was read and found
// to have the expected type and size.
#include "runtime/settings.h"

#include "runtime/heap.h"
#include "runtime/platform.h"
#include "runtime/win.h"

const wchar16 kSettingsRoot[] = u"SOFTWARE\\VANTO SOFTWARE\\Kelvane 0.6";

namespace {

constexpr REGSAM kKeyAccess = 0x2001F;  // KEY_READ | KEY_WRITE
// Longest string value accepted on read, in UTF-16 units; larger stored
// values are refused rather than allocated.
constexpr DWORD kMaxStringUnits = 32768;
// A value that keeps changing size between the size query and the data
// query is given up after this many attempts.
constexpr int kReadAttempts = 4;

typedef LONG(WINAPI* RegCloseKeyFn)(HKEY);
typedef LONG(WINAPI* RegOpenKeyExFn)(HKEY, LPCWSTR, DWORD, REGSAM, PHKEY);
typedef LONG(WINAPI* RegQueryValueExFn)(HKEY, LPCWSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
typedef LONG(WINAPI* RegCreateKeyExFn)(HKEY, LPCWSTR, DWORD, LPWSTR, DWORD, REGSAM,
                                       LPSECURITY_ATTRIBUTES, PHKEY, LPDWORD);
typedef LONG(WINAPI* RegSetValueExFn)(HKEY, LPCWSTR, DWORD, DWORD, const BYTE*, DWORD);

template <class Fn>
Fn Entry(const CLoadedLibrary& library, const char* name) {
  return reinterpret_cast<Fn>(library.Lookup(name));
}

bool BuildPath(const wchar16* root, const wchar16* subKey, CWideString* path) {
  if (!root) return false;
  path->Assign(root);
  AppendKeyPath(path, subKey);
  return true;
}

// One opened key for the duration of a read, with the library behind it.
class CReadSession {
 public:
  CReadSession(const wchar16* root, const wchar16* subKey) : library_(u"Advapi32.dll") {
    close_ = Entry<RegCloseKeyFn>(library_, "RegCloseKey");
    RegOpenKeyExFn open = Entry<RegOpenKeyExFn>(library_, "RegOpenKeyExW");
    query_ = Entry<RegQueryValueExFn>(library_, "RegQueryValueExW");
    if (!close_ || !open || !query_) return;
    CWideString path;
    if (!BuildPath(root, subKey, &path)) return;
    if (open(HKEY_CURRENT_USER, AsWide(path.c_str()), 0, kKeyAccess, &key_) != ERROR_SUCCESS)
      key_ = nullptr;
  }
  ~CReadSession() {
    if (key_) close_(key_);
  }
  CReadSession(const CReadSession&) = delete;
  CReadSession& operator=(const CReadSession&) = delete;

  bool IsOpen() const { return key_ != nullptr; }
  LONG Query(const wchar16* name, DWORD* type, void* data, DWORD* size) const {
    return query_(key_, AsWide(name), nullptr, type, static_cast<BYTE*>(data), size);
  }

 private:
  CLoadedLibrary library_;
  RegCloseKeyFn close_ = nullptr;
  RegQueryValueExFn query_ = nullptr;
  HKEY key_ = nullptr;
};

// Creates or opens the key and stores one value.
bool WriteValue(const wchar16* root, const wchar16* subKey, const wchar16* name, DWORD type,
                const void* data, DWORD size) {
  CLoadedLibrary library(u"Advapi32.dll");
  RegCloseKeyFn close = Entry<RegCloseKeyFn>(library, "RegCloseKey");
  RegCreateKeyExFn create = Entry<RegCreateKeyExFn>(library, "RegCreateKeyExW");
  RegSetValueExFn set = Entry<RegSetValueExFn>(library, "RegSetValueExW");
  if (!close || !create || !set) return false;
  CWideString path;
  if (!BuildPath(root, subKey, &path)) return false;
  HKEY key = nullptr;
  if (create(HKEY_CURRENT_USER, AsWide(path.c_str()), 0, nullptr, 0, kKeyAccess, nullptr, &key,
             nullptr) != ERROR_SUCCESS)
    return false;
  LONG result = set(key, AsWide(name), 0, type, static_cast<const BYTE*>(data), size);
  close(key);
  return result == ERROR_SUCCESS;
}

}  // namespace

void AppendKeyPath(CWideString* path, const wchar16* subKey) {
  // A null or empty sub key names the root itself.
  if (!subKey || subKey[0] == 0) return;
  if (subKey[0] != u'\\') path->AppendChar(u'\\');
  path->Append(subKey);
}

bool CSettingsKey::ReadDword(const wchar16* subKey, const wchar16* name, u32* out) const {
  if (!out) return false;
  CReadSession session(root_, subKey);
  if (!session.IsOpen()) return false;
  DWORD type = 0;
  DWORD size = sizeof(DWORD);
  DWORD value = 0;
  if (session.Query(name, &type, &value, &size) != ERROR_SUCCESS) return false;
  if (type != REG_DWORD || size != sizeof(DWORD)) return false;
  *out = value;
  return true;
}

bool CSettingsKey::ReadString(const wchar16* subKey, const wchar16* name, CWideString* out) const {
  if (!out) return false;
  CReadSession session(root_, subKey);
  if (!session.IsOpen()) return false;
  for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
    DWORD type = 0;
    DWORD size = 0;
    if (session.Query(name, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    if (type != REG_SZ || size / 2 > kMaxStringUnits) return false;
    // Room for every stored unit plus a terminator of our own.
    DWORD units = size / 2 + 1;
    wchar16* buffer = static_cast<wchar16*>(rt::malloc(units * 2));
    if (!buffer) return false;
    DWORD got = units * 2;
    LONG result = session.Query(name, &type, buffer, &got);
    if (result == ERROR_MORE_DATA) {  // the value grew meanwhile
      rt::free(buffer);
      continue;
    }
    if (result != ERROR_SUCCESS || type != REG_SZ || got > units * 2) {
      rt::free(buffer);
      return false;
    }
    // Whole units only (an odd last byte is dropped); the text ends at the
    // first zero unit, whether or not a terminator was stored.
    i32 length = 0;
    i32 stored = static_cast<i32>(got / 2);
    while (length < stored && buffer[length] != 0) ++length;
    out->AssignChars(buffer, length);
    rt::free(buffer);
    return true;
  }
  return false;
}

bool CSettingsKey::ReadBool(const wchar16* subKey, const wchar16* name, bool* out) const {
  u32 value = 0;
  if (!out || !ReadDword(subKey, name, &value)) return false;
  *out = value != 0;
  return true;
}

bool CSettingsKey::WriteDword(const wchar16* subKey, const wchar16* name, u32 value) const {
  DWORD data = value;
  return WriteValue(root_, subKey, name, REG_DWORD, &data, sizeof(data));
}

bool CSettingsKey::WriteString(const wchar16* subKey, const wchar16* name,
                               const wchar16* text) const {
  if (!text) return false;
  i32 length = GetStringLength(text, kTextCap);
  if (length < 0) return false;  // 4096 units or more: not a valid text
  return WriteValue(root_, subKey, name, REG_SZ, text, static_cast<DWORD>(length + 1) * 2);
}

bool CSettingsKey::WriteBool(const wchar16* subKey, const wchar16* name, bool value) const {
  return WriteDword(subKey, name, value ? 1 : 0);
}

namespace {
const wchar16 kMainKey[] = u"\\Main";
}

bool CSettingsKey::ReadWindowRect(SettingsRect* rect) const {
  if (!rect) return false;
  u32 value = 0;
  if (!ReadDword(kMainKey, u"x", &value)) return false;
  rect->left = static_cast<i32>(value);
  if (!ReadDword(kMainKey, u"y", &value)) return false;
  rect->top = static_cast<i32>(value);
  if (!ReadDword(kMainKey, u"x2", &value)) return false;
  rect->right = static_cast<i32>(value);
  if (!ReadDword(kMainKey, u"y2", &value)) return false;
  rect->bottom = static_cast<i32>(value);
  return true;
}

bool CSettingsKey::WriteWindowRect(const SettingsRect& rect) const {
  return WriteDword(kMainKey, u"x", static_cast<u32>(rect.left)) &&
         WriteDword(kMainKey, u"y", static_cast<u32>(rect.top)) &&
         WriteDword(kMainKey, u"x2", static_cast<u32>(rect.right)) &&
         WriteDword(kMainKey, u"y2", static_cast<u32>(rect.bottom));
}
