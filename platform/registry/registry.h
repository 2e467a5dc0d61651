// The registry: hives of keys and typed values, stored as REGEDIT4 text files.
// HKEY_LOCAL_MACHINE lives in "<exe dir>/registry/machine.reg" (or
// "$MARIVEL_REGISTRY_DIR/machine.reg"), HKEY_CURRENT_USER in
// "$XDG_CONFIG_HOME/marivel/user.reg" (or "$MARIVEL_REGISTRY_DIR/user.reg"),
// and HKEY_CLASSES_ROOT is "Software\Classes" inside HKEY_LOCAL_MACHINE.
// Key and value names compare without regard to case. Results are the
// platform's error codes.
#pragma once

#include "platform/core/types.h"

namespace plat {

inline const HKEY HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(std::uintptr_t{0x80000000});
inline const HKEY HKEY_CURRENT_USER = reinterpret_cast<HKEY>(std::uintptr_t{0x80000001});
inline const HKEY HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(std::uintptr_t{0x80000002});

inline constexpr LONG ERROR_SUCCESS = 0;
inline constexpr LONG ERROR_FILE_NOT_FOUND = 2;
inline constexpr LONG ERROR_ACCESS_DENIED = 5;
inline constexpr LONG ERROR_INVALID_HANDLE = 6;
inline constexpr LONG ERROR_INVALID_PARAMETER = 87;
inline constexpr LONG ERROR_MORE_DATA = 234;
inline constexpr LONG ERROR_NO_MORE_ITEMS = 259;
// The key behind an open handle was deleted (by this or another process).
inline constexpr LONG ERROR_KEY_DELETED = 1018;

inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;

using REGSAM = DWORD;
inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr REGSAM KEY_NOTIFY = 0x0010;
inline constexpr REGSAM KEY_READ = 0x20019;
inline constexpr REGSAM KEY_WRITE = 0x20006;
inline constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

inline constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Sub-key paths use backslashes ("SoftWare\\Kestrovia\\Marivel"). Strings are
// UTF-8; REG_SZ data written and read includes its terminating zero.
//
// Handles are checked: a bogus or closed one gives ERROR_INVALID_HANDLE, and
// one whose key has since been deleted gives ERROR_KEY_DELETED. Rights follow
// the access a key was opened with: queries need KEY_QUERY_VALUE, enumerating
// sub-keys KEY_ENUMERATE_SUB_KEYS, setting and deleting values KEY_SET_VALUE,
// creating sub-keys KEY_CREATE_SUB_KEY, deleting a sub-key either write right;
// otherwise ERROR_ACCESS_DENIED, which is also the result when the hive file
// cannot be written. A buffer too small gives ERROR_MORE_DATA and the size
// needed (bytes for data; characters with the terminating zero for names). RegDeleteKeyA refuses a key that has sub-keys. Sub-keys
// enumerate in case-insensitive name order, values in creation order. Every
// change is saved to the hive file before the call returns; changes saved by
// another process are seen by the next call. Safe to call from any thread.
LONG RegOpenKeyExA(HKEY key, const char* subKey, DWORD options, REGSAM access, HKEY* result);
LONG RegCreateKeyExA(HKEY key, const char* subKey, DWORD reserved, const char* keyClass, DWORD options,
                     REGSAM access, const void* security, HKEY* result, DWORD* disposition);
LONG RegCloseKey(HKEY key);
LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD* reserved, DWORD* type, BYTE* data, DWORD* dataSize);
LONG RegSetValueExA(HKEY key, const char* valueName, DWORD reserved, DWORD type, const BYTE* data, DWORD dataSize);
LONG RegDeleteValueA(HKEY key, const char* valueName);
LONG RegDeleteKeyA(HKEY key, const char* subKey);
LONG RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* reserved, char* keyClass,
                   DWORD* classSize, void* lastWriteTime);
LONG RegEnumValueA(HKEY key, DWORD index, char* valueName, DWORD* valueNameSize, DWORD* reserved, DWORD* type,
                   BYTE* data, DWORD* dataSize);

}  // namespace plat
