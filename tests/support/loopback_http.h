// The loopback HTTP server that the "http" test fixture starts (tests/support/http-server
// tells what it answers). For suites registered with tavi_add_win_test(... LOOPBACK_HTTP).
#pragma once

#include <string>

namespace tavi::test {

// The server's port on 127.0.0.1; fails the test when the fixture did not start it.
int LoopbackHttpPort();

// "http://127.0.0.1:<port>" followed by the path, which begins with "/".
std::string LoopbackHttpUrl(const std::string& path);

// A fresh folder under the server's root, removed with everything in it at the end: files
// written into it are served at LoopbackHttpUrl(Prefix() + "/<name>").
class ServedFolder {
 public:
  ServedFolder();
  ~ServedFolder();
  ServedFolder(const ServedFolder&) = delete;
  ServedFolder& operator=(const ServedFolder&) = delete;

  const std::string& Path() const { return path_; }  // Windows path
  std::string File(const std::string& name) const { return path_ + "\\" + name; }
  const std::string& Prefix() const { return prefix_; }  // "/<folder>"
  std::string Url(const std::string& name) const { return LoopbackHttpUrl(prefix_ + "/" + name); }

 private:
  std::string path_;
  std::string prefix_;
};

}  // namespace tavi::test
