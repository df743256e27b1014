#include "loopback_http.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <wincrypt.h>

#include <atomic>
#include <sstream>
#include <vector>

#include "win/files_win32.h"
#include "win/text_win32.h"
#include "win_test_support.h"

namespace tavi::test {

namespace {

// The ports of the state file: HTTP on line 1, then the HTTPS ones on line 4.
std::vector<int> Ports() {
  std::istringstream state(ReadFileBytes(RequiredEnvPath("TAVI_HTTP_STATE")));
  std::string lines[4];
  for (std::string& line : lines)
    std::getline(state, line);
  std::vector<int> ports = {std::atoi(lines[0].c_str())};
  std::istringstream secure(lines[3]);
  for (int port = 0; secure >> port;)
    ports.push_back(port);
  return ports;
}

int Port(size_t index) {
  static const std::vector<int> ports = Ports();
  if (index >= ports.size() || ports[index] <= 0) {
    ADD_FAILURE() << "the loopback HTTP server is not running";
    return 0;
  }
  return ports[index];
}

}  // namespace

int LoopbackHttpPort() {
  return Port(0);
}

std::string LoopbackHttpUrl(const std::string& path) {
  return "http://127.0.0.1:" + std::to_string(LoopbackHttpPort()) + path;
}

std::string LoopbackHttpsUrl(LoopbackCertificate certificate, const std::string& path) {
  return "https://127.0.0.1:" + std::to_string(Port(1 + static_cast<size_t>(certificate))) + path;
}

void TrustLoopbackAuthority() {
  const std::string authority = ReadFileBytes(RequiredEnvPath("TAVI_HTTP_STATE") + ".tls\\ca.der");
  const HCERTSTORE roots =
      ::CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
  ASSERT_NE(roots, nullptr);
  EXPECT_TRUE(::CertAddEncodedCertificateToStore(
      roots, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(authority.data()),
      static_cast<DWORD>(authority.size()), CERT_STORE_ADD_REPLACE_EXISTING, nullptr));
  ::CertCloseStore(roots, 0);
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
