#include "profiles/private_profile_win32.h"

#include <windows.h>

#include <algorithm>
#include <unordered_set>

#include "win/handle.h"
#include "win/text_win32.h"

namespace tavi {
namespace {

// The private-profile functions cut their answer to the buffer and tell so only by the length
// they return (size - 1 for a value, size - 2 for a list of names or lines); grow until it all
// fits.
template <typename Read>
std::wstring ReadWhole(Read read, DWORD truncatedMargin) {
  std::wstring buffer(4096, L'\0');
  for (;;) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD length = read(buffer.data(), size);
    if (length + truncatedMargin < size) {
      buffer.resize(length);
      return buffer;
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::wstring ReadProfileText(const wchar_t* section, const wchar_t* key, const std::wstring& path,
                             DWORD truncatedMargin) {
  return ReadWhole(
      [&](wchar_t* buffer, DWORD size) {
        return ::GetPrivateProfileStringW(section, key, L"", buffer, size, path.c_str());
      },
      truncatedMargin);
}

std::wstring_view TrimBlanks(std::wstring_view text) {
  const size_t first = text.find_first_not_of(L" \t");
  if (first == std::wstring_view::npos) return {};
  return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

// A value as GetPrivateProfileStringW gives it from its line: without the blanks around it,
// and without quotes, single or double, that enclose it.
std::wstring_view LineValue(std::wstring_view value) {
  value = TrimBlanks(value);
  if (value.size() >= 2 && (value[0] == L'"' || value[0] == L'\'') && value.back() == value[0])
    value = value.substr(1, value.size() - 2);
  return value;
}

// A list of names as the functions return it: each name ends in a NUL.
std::vector<std::string> SplitNames(const std::wstring& names) {
  std::vector<std::string> list;
  size_t start = 0;
  while (start < names.size()) {
    size_t end = names.find(L'\0', start);
    if (end == std::wstring::npos) end = names.size();
    if (end > start) list.push_back(WideToUtf8(names.substr(start, end - start)));
    start = end + 1;
  }
  return list;
}

// How many of the names the file takes for this one.
std::ptrdiff_t CountSections(const std::vector<std::string>& names, std::string_view name) {
  return std::count_if(names.begin(), names.end(),
                       [name](const std::string& other) { return SameIgnoringCase(other, name); });
}

}  // namespace

PrivateProfileStore::PrivateProfileStore(std::string path)
    : path_(std::move(path)), widePath_(Utf8ToWide(path_)) {}

bool PrivateProfileStore::WaitUntilReadable(std::chrono::milliseconds patience) const {
  const auto end = std::chrono::steady_clock::now() + patience;
  for (;;) {
    // The sharing that the private-profile functions ask for when they read.
    const Handle file(::CreateFileW(widePath_.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    const DWORD error = ::GetLastError();
    if (file || error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    ::Sleep(50);
  }
}

std::vector<std::string> PrivateProfileStore::ReadSections() const {
  std::vector<std::string> names;
  std::unordered_set<std::wstring> seen;
  for (std::string& name : AllSections()) {
    if (seen.insert(UpperInvariant(name)).second) names.push_back(std::move(name));
  }
  return names;
}

std::vector<std::string> PrivateProfileStore::ReadKeys(std::string_view section) const {
  const std::wstring wideSection = Utf8ToWide(section);
  return SplitNames(ReadProfileText(wideSection.c_str(), nullptr, widePath_, 2));
}

std::vector<std::string> PrivateProfileStore::ReadStrings(
    std::string_view section, std::span<const std::string_view> keys) const {
  // The section's "key=value" lines in one read; the first line of a key holds its value, as
  // for GetPrivateProfileStringW, whose key comparison ignores letter case.
  const std::wstring wideSection = Utf8ToWide(section);
  const std::vector<std::string> lines = SplitNames(ReadWhole(
      [&](wchar_t* buffer, DWORD size) {
        return ::GetPrivateProfileSectionW(wideSection.c_str(), buffer, size, widePath_.c_str());
      },
      2));
  std::vector<std::wstring> wanted;
  for (std::string_view key : keys)
    wanted.push_back(UpperInvariant(key));
  std::vector<std::string> values(keys.size());
  std::vector<bool> found(keys.size());
  for (const std::string& line : lines) {
    const std::wstring wide = Utf8ToWide(line);
    const size_t equals = wide.find(L'=');
    const std::wstring key =
        UpperInvariant(WideToUtf8(TrimBlanks(std::wstring_view(wide).substr(0, equals))));
    for (size_t k = 0; k < keys.size(); ++k) {
      if (found[k] || key != wanted[k]) continue;
      found[k] = true;
      if (equals != std::wstring::npos)
        values[k] = WideToUtf8(LineValue(std::wstring_view(wide).substr(equals + 1)));
    }
  }
  return values;
}

std::string PrivateProfileStore::ReadString(std::string_view section, std::string_view key) const {
  const std::wstring wideSection = Utf8ToWide(section);
  const std::wstring wideKey = Utf8ToWide(key);
  return WideToUtf8(ReadProfileText(wideSection.c_str(), wideKey.c_str(), widePath_, 1));
}

void PrivateProfileStore::WriteString(std::string_view section, std::string_view key,
                                      std::string_view value) {
  if (!::WritePrivateProfileStringW(Utf8ToWide(section).c_str(), Utf8ToWide(key).c_str(),
                                    Utf8ToWide(value).c_str(), widePath_.c_str())) {
    throw IniWriteError(path_);
  }
}

void PrivateProfileStore::EraseSection(std::string_view section) {
  // One erase removes the first section of the name; a file edited by hand may hold more.
  const std::wstring wideSection = Utf8ToWide(section);
  const std::ptrdiff_t sections = CountSections(AllSections(), section);
  for (std::ptrdiff_t erased = 0; erased == 0 || erased < sections; ++erased) {
    if (!::WritePrivateProfileStringW(wideSection.c_str(), nullptr, nullptr, widePath_.c_str())) {
      throw IniWriteError(path_);
    }
  }
  // Any left now would take the erased one's place at the next start.
  if (CountSections(AllSections(), section) > 0) throw IniWriteError(path_);
}

std::vector<std::string> PrivateProfileStore::AllSections() const {
  return SplitNames(ReadProfileText(nullptr, nullptr, widePath_, 2));
}

}  // namespace tavi
