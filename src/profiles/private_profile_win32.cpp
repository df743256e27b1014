#include "profiles/private_profile_win32.h"

#include <windows.h>

#include <algorithm>

#include "win/text_win32.h"

namespace tavi {
namespace {

// GetPrivateProfileStringW cuts its answer to the buffer and tells so only by the length it
// returns (size - 1 for a value, size - 2 for the list of names); grow until it all fits.
std::wstring ReadProfileText(const wchar_t* section, const wchar_t* key, const std::wstring& path,
                             DWORD truncatedMargin) {
  std::wstring buffer(4096, L'\0');
  for (;;) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD length =
        ::GetPrivateProfileStringW(section, key, L"", buffer.data(), size, path.c_str());
    if (length + truncatedMargin < size) {
      buffer.resize(length);
      return buffer;
    }
    buffer.resize(buffer.size() * 2);
  }
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

std::vector<std::string> PrivateProfileStore::ReadSections() const {
  std::vector<std::string> names;
  for (std::string& name : AllSections()) {
    if (CountSections(names, name) == 0) names.push_back(std::move(name));
  }
  return names;
}

std::vector<std::string> PrivateProfileStore::ReadKeys(std::string_view section) const {
  const std::wstring wideSection = Utf8ToWide(section);
  return SplitNames(ReadProfileText(wideSection.c_str(), nullptr, widePath_, 2));
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
