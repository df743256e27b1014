#include "loopback_http.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>

#include "win/files_win32.h"
#include "win/text_win32.h"
#include "win_test_support.h"

namespace tavi::test {

int LoopbackHttpPort() {
  static const int port = std::atoi(ReadFileBytes(RequiredEnvPath("TAVI_HTTP_STATE")).c_str());
  if (port <= 0) ADD_FAILURE() << "the loopback HTTP server is not running";
  return port;
}

std::string LoopbackHttpUrl(const std::string& path) {
  return "http://127.0.0.1:" + std::to_string(LoopbackHttpPort()) + path;
}

ServedFolder::ServedFolder() {
  static std::atomic<int> counter{0};
  const std::string root = RequiredEnvPath("TAVI_HTTP_ROOT");
  for (;;) {
    std::string name = std::to_string(::GetCurrentProcessId());
    name.insert(0, 1, 't').append(1, '-').append(std::to_string(counter++));
    const std::string path = root + "\\" + name;
    if (::CreateDirectoryW(Utf8ToWide(path).c_str(), nullptr)) {
      path_ = path;
      prefix_ = "/" + name;
      return;
    }
    if (::GetLastError() != ERROR_ALREADY_EXISTS) {
      ADD_FAILURE() << "cannot create a served folder under " << root;
      return;
    }
  }
}

ServedFolder::~ServedFolder() {
  if (!path_.empty()) RemoveFolderTree(path_);
}

}  // namespace tavi::test
