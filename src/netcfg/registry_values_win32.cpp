#include "netcfg/registry_values_win32.h"

#include <cstring>
#include <string_view>

#include "netcfg/value_path.h"
#include "win/handle.h"
#include "win/text_win32.h"

namespace tavi {
namespace {

// RegQueryValueExW and RegSetValueExW take no name for the default value.
const wchar_t* ValueNameOrDefault(const std::wstring& name) {
  return name.empty() ? nullptr : name.c_str();
}

bool WriteWide(HKEY root, const std::string& valuePath, DWORD type, std::wstring_view data) {
  return WriteRegValue(root, valuePath, type, data.data(),
                       static_cast<DWORD>(data.size() * sizeof(wchar_t)));
}

// Registry string data as UTF-16 text; a stray odd byte is half a character and is left out.
std::wstring WideFromData(const std::vector<BYTE>& data) {
  std::wstring wide(data.size() / sizeof(wchar_t), L'\0');
  if (!wide.empty()) std::memcpy(wide.data(), data.data(), wide.size() * sizeof(wchar_t));
  return wide;
}

}  // namespace

bool WriteRegValue(HKEY root, const std::string& valuePath, DWORD type, const void* data,
                   DWORD size) {
  const auto path = SplitValuePath(valuePath);
  if (!path) return false;
  RegKey key;
  if (::RegCreateKeyExW(root, Utf8ToWide(path->keyPath).c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, key.put(),
                        nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const std::wstring name = Utf8ToWide(path->valueName);
  return ::RegSetValueExW(key.get(), ValueNameOrDefault(name), 0, type,
                          static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

bool ReadRegValue(HKEY root, const std::string& valuePath, DWORD expectedType,
                  std::vector<BYTE>& data) {
  data.clear();
  const auto path = SplitValuePath(valuePath);
  if (!path) return false;
  RegKey key;
  if (::RegOpenKeyExW(root, Utf8ToWide(path->keyPath).c_str(), 0, KEY_READ, key.put()) !=
      ERROR_SUCCESS) {
    return false;
  }
  const std::wstring name = Utf8ToWide(path->valueName);
  DWORD type = REG_NONE;
  DWORD size = 0;
  LONG status =
      ::RegQueryValueExW(key.get(), ValueNameOrDefault(name), nullptr, &type, nullptr, &size);
  if (status != ERROR_SUCCESS) return false;
  // Another program may enlarge the value between the two queries; then ask again.
  std::vector<BYTE> buffer;
  for (int attempt = 0; attempt < 4; ++attempt) {
    buffer.resize(size);
    BYTE none = 0;
    status = ::RegQueryValueExW(key.get(), ValueNameOrDefault(name), nullptr, &type,
                                buffer.empty() ? &none : buffer.data(), &size);
    if (status != ERROR_MORE_DATA) break;
  }
  if (status != ERROR_SUCCESS || type != expectedType) return false;
  buffer.resize(size);
  data = std::move(buffer);
  return true;
}

bool WriteRegString(HKEY root, const std::string& valuePath, const std::string& text) {
  const std::wstring wide = Utf8ToWide(text);
  return WriteWide(root, valuePath, REG_SZ, std::wstring_view(wide.c_str(), wide.size() + 1));
}

bool WriteRegMultiString(HKEY root, const std::string& valuePath, const std::string& text) {
  const std::wstring wide = Utf8ToWide(text);
  return WriteWide(root, valuePath, REG_MULTI_SZ, SingleEntryMultiString(std::wstring_view(wide)));
}

bool WriteRegDword(HKEY root, const std::string& valuePath, DWORD value) {
  return WriteRegValue(root, valuePath, REG_DWORD, &value, sizeof value);
}

namespace {

// Reads a string value of the given type and keeps the text that ReadText finds in it.
bool ReadRegText(HKEY root, const std::string& valuePath, DWORD type, std::string& text,
                 std::wstring_view (*readText)(std::wstring_view)) {
  text.clear();
  std::vector<BYTE> data;
  if (!ReadRegValue(root, valuePath, type, data)) return false;
  const std::wstring wide = WideFromData(data);
  text = WideToUtf8(readText(wide));
  return true;
}

}  // namespace

bool ReadRegString(HKEY root, const std::string& valuePath, std::string& text) {
  return ReadRegText(root, valuePath, REG_SZ, text, &RegStringText<wchar_t>);
}

bool ReadRegMultiString(HKEY root, const std::string& valuePath, std::string& text) {
  return ReadRegText(root, valuePath, REG_MULTI_SZ, text, &RegMultiStringText<wchar_t>);
}

bool RegKeyPresent(HKEY root, const std::string& keyPath) {
  RegKey key;
  return ::RegOpenKeyExW(root, Utf8ToWide(keyPath).c_str(), 0, KEY_READ, key.put()) ==
         ERROR_SUCCESS;
}

bool EnumRegSubkeys(HKEY root, const std::string& keyPath, std::string& list) {
  list.clear();
  RegKey key;
  if (::RegOpenKeyExW(root, Utf8ToWide(keyPath).c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) {
    return false;
  }
  std::wstring name(1024, L'\0');  // key names have at most 255 characters
  for (DWORD index = 0;; ++index) {
    DWORD length = static_cast<DWORD>(name.size());
    if (::RegEnumKeyExW(key.get(), index, name.data(), &length, nullptr, nullptr, nullptr,
                        nullptr) != ERROR_SUCCESS) {
      break;
    }
    if (!list.empty()) list += "\r\n";
    list += WideToUtf8(std::wstring_view(name.data(), length));
  }
  return true;
}

}  // namespace tavi
