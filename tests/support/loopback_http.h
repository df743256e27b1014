// The loopback HTTP server that the "http" test fixture starts (tests/support/http-server
// tells what it answers). For suites registered with tavi_add_win_test(... LOOPBACK_HTTP).
#pragma once

#include <string>

namespace tavi::test {

// The server's port on 127.0.0.1; fails the test when the fixture did not start it.
int LoopbackHttpPort();

// "http://127.0.0.1:<port>" followed by the path, which begins with "/".
std::string LoopbackHttpUrl(const std::string& path);

// The server's HTTPS ports, each with its own certificate (tests/support/http-server).
enum class LoopbackCertificate { trusted, selfSigned, wrongName };

// "https://127.0.0.1:<port of that certificate>" followed by the path.
std::string LoopbackHttpsUrl(LoopbackCertificate certificate, const std::string& path);

// Adds the server's own certificate authority to the trusted roots of this process's Wine
// prefix (the suite's throw-away one, never the host's), so that its "trusted" certificate
// is trusted. Call it before the process's first HTTPS request: the system reads its roots
// once.
void TrustLoopbackAuthority();

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
