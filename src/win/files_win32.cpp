#include "win/files_win32.h"

#include <windows.h>

#include "win/handle.h"
#include "win/text_win32.h"

namespace tavi {
namespace {

std::string FolderFrom(UINT(WINAPI* get)(LPWSTR, UINT)) {
  const UINT size = get(nullptr, 0);
  if (size == 0) return {};
  std::wstring folder(size, L'\0');
  const UINT length = get(folder.data(), size);
  if (length == 0 || length >= size) return {};
  folder.resize(length);
  return WideToUtf8(folder);
}

DWORD Attributes(const std::string& path) {
  return ::GetFileAttributesW(Utf8ToWide(path).c_str());
}

}  // namespace

bool PathExists(const std::string& path) {
  return Attributes(path) != INVALID_FILE_ATTRIBUTES;
}

bool IsFile(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFolder(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string SystemFolder() {
  return FolderFrom(::GetSystemDirectoryW);
}

std::string WindowsFolder() {
  return FolderFrom(::GetSystemWindowsDirectoryW);
}

bool WriteWholeFile(const std::string& path, std::string_view bytes) {
  const std::wstring widePath = Utf8ToWide(path);
  Handle file(::CreateFileW(widePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  if (::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
      written == bytes.size() && ::CloseHandle(file.release())) {
    return true;
  }
  file.reset();
  ::DeleteFileW(widePath.c_str());
  return false;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  const Handle file(::CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
  if (!file) return std::nullopt;
  std::string bytes;
  char block[64 * 1024];
  for (;;) {
    DWORD read = 0;
    if (!::ReadFile(file.get(), block, sizeof block, &read, nullptr)) return std::nullopt;
    if (read == 0) return bytes;
    bytes.append(block, read);
  }
}

bool RemoveFolderTree(const std::string& folder) {
  const std::wstring root = Utf8ToWide(folder) + L"\\";
  {
    WIN32_FIND_DATAW entry;
    const FindHandle search(::FindFirstFileW((root + L"*.*").c_str(), &entry));
    if (search) {
      do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = root + name;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT &&
            entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          ::RemoveDirectoryW(path.c_str());  // the link only, not what it points to
        } else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveFolderTree(WideToUtf8(path));
        } else {
          if (entry.dwFileAttributes & FILE_ATTRIBUTE_READONLY) {
            ::SetFileAttributesW(path.c_str(), entry.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY);
          }
          ::DeleteFileW(path.c_str());
        }
      } while (::FindNextFileW(search.get(), &entry));
    }
  }
  return ::RemoveDirectoryW(Utf8ToWide(folder).c_str()) != 0;
}

}  // namespace tavi
