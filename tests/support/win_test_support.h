// Helpers for the Windows suites: scratch folders, file bytes, test programs' paths.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

namespace tavi::test {

// A fresh folder under the temporary folder, removed with everything in it at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);

// An environment variable set by the test registration (for example TAVI_TAVI_EXE),
// with forward slashes turned into backslashes; fails the test when it is missing.
std::string RequiredEnvPath(const char* name);
// Copies the file whose path that environment variable holds to target.
void CopyRequired(const char* variable, const std::string& target);

// An environment variable of this process (and so of the programs it starts) set for a
// test's duration; the old value, or its absence, comes back afterwards.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const std::string& name, const std::string& value);
  ~ScopedEnvironment();
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::wstring name_;
  std::wstring old_;
  bool had_ = false;
};

// An environment variable's value; empty when it is not set.
std::string EnvironmentValue(const std::string& name);

// Polls until the condition holds or the deadline passes, dispatching this thread's
// window messages meanwhile (as ProcessMessages does). Returns whether the condition held.
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds deadline = std::chrono::seconds(10));

}  // namespace tavi::test
