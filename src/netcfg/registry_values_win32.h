// One-call access to single registry values. Every operation opens its key, does its one
// job, closes the key and reports success as a Boolean; none throws, none keeps a key open.
// Paths and texts are UTF-8; value paths split at their last backslash (value_path.h).
// Reads, tests and enumerations open keys with KEY_READ, writes with KEY_WRITE.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tavi {

// Creates the missing keys of the value path's key and sets the value to size bytes of data.
bool WriteRegValue(HKEY root, const std::string& valuePath, DWORD type, const void* data,
                   DWORD size);

// The value's data, when the value exists and has the expected type; data is empty otherwise.
bool ReadRegValue(HKEY root, const std::string& valuePath, DWORD expectedType,
                  std::vector<BYTE>& data);

// REG_SZ: the text and one terminating NUL.
bool WriteRegString(HKEY root, const std::string& valuePath, const std::string& text);

// REG_MULTI_SZ: a list whose single entry is the text.
bool WriteRegMultiString(HKEY root, const std::string& valuePath, const std::string& text);

bool WriteRegDword(HKEY root, const std::string& valuePath, DWORD value);

// A REG_SZ value's text without its terminating NUL; any other type fails. Empty on failure.
bool ReadRegString(HKEY root, const std::string& valuePath, std::string& text);

// A REG_MULTI_SZ value as its entries, each followed by one NUL ("a\0b\0"). Empty on failure.
bool ReadRegMultiString(HKEY root, const std::string& valuePath, std::string& text);

// Whether the key (the whole path, not split) can be opened for reading.
bool RegKeyPresent(HKEY root, const std::string& keyPath);

// The names of the key's subkeys in enumeration order, joined by CR LF. False, with an empty
// list, when the key cannot be opened; true with an empty list when it has no subkeys.
bool EnumRegSubkeys(HKEY root, const std::string& keyPath, std::string& list);

}  // namespace tavi
