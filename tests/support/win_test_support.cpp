#include "win_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "win/files_win32.h"
#include "win/handle.h"
#include "win/message_loop_win32.h"
#include "win/text_win32.h"

namespace tavi::test {

TempDir::TempDir() {
  // A name the system makes unique; the file that reserves it makes way for the folder.
  wchar_t temp[MAX_PATH + 1] = {};
  wchar_t name[MAX_PATH + 1] = {};
  if (::GetTempPathW(MAX_PATH + 1, temp) && ::GetTempFileNameW(temp, L"tvt", 0, name) &&
      ::DeleteFileW(name) && ::CreateDirectoryW(name, nullptr)) {
    path_ = WideToUtf8(name);
  } else {
    ADD_FAILURE() << "cannot create a scratch folder under " << WideToUtf8(temp);
  }
}

TempDir::~TempDir() {
  if (!path_.empty()) RemoveFolderTree(path_);
}

std::string ReadFileBytes(const std::string& path) {
  return ReadWholeFile(path).value_or("");
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  ASSERT_TRUE(WriteWholeFile(path, bytes)) << "cannot write " << path;
}

bool FileExists(const std::string& path) {
  return ::GetFileAttributesW(Utf8ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string EnvironmentValue(const std::string& name) {
  const std::wstring wideName = Utf8ToWide(name);
  std::wstring value(::GetEnvironmentVariableW(wideName.c_str(), nullptr, 0), L'\0');
  value.resize(
      ::GetEnvironmentVariableW(wideName.c_str(), value.data(), static_cast<DWORD>(value.size())));
  return WideToUtf8(value);
}

std::string RequiredEnvPath(const char* name) {
  std::string value = EnvironmentValue(name);
  if (value.empty()) ADD_FAILURE() << "environment variable " << name << " is not set";
  std::ranges::replace(value, '/', '\\');
  return value;
}

void CopyRequired(const char* variable, const std::string& target) {
  EXPECT_TRUE(
      ::CopyFileW(Utf8ToWide(RequiredEnvPath(variable)).c_str(), Utf8ToWide(target).c_str(), FALSE))
      << target;
}

ScopedEnvironment::ScopedEnvironment(const std::string& name, const std::string& value)
    : name_(Utf8ToWide(name)), had_(::GetEnvironmentVariableW(name_.c_str(), nullptr, 0) > 0) {
  old_ = Utf8ToWide(EnvironmentValue(name));
  ::SetEnvironmentVariableW(name_.c_str(), Utf8ToWide(value).c_str());
}

ScopedEnvironment::~ScopedEnvironment() {
  ::SetEnvironmentVariableW(name_.c_str(), had_ ? old_.c_str() : nullptr);
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline) {
  const auto end = std::chrono::steady_clock::now() + deadline;
  for (;;) {
    ProcessMessages();
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

}  // namespace tavi::test
