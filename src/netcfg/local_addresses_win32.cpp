#include "netcfg/local_addresses_win32.h"

#include <windows.h>
#include <winsock.h>

#include <cstring>

namespace tavi {
namespace {

// One Windows Sockets session, ended on every way out.
class SocketsSession {
 public:
  SocketsSession() {
    WSADATA data;
    started_ = ::WSAStartup(MAKEWORD(1, 1), &data) == 0;
  }
  ~SocketsSession() {
    if (started_) ::WSACleanup();
  }
  SocketsSession(const SocketsSession&) = delete;
  SocketsSession& operator=(const SocketsSession&) = delete;

  bool Started() const { return started_; }

 private:
  bool started_ = false;
};

}  // namespace

std::vector<std::string> GetLocalAddresses() {
  std::vector<std::string> addresses;
  const SocketsSession session;
  if (!session.Started()) return addresses;
  // Host names are the system code page's bytes, handed from one call to the next unchanged.
  char hostName[64] = {};
  if (::gethostname(hostName, sizeof hostName) != 0) return addresses;
  const hostent* host = ::gethostbyname(hostName);
  if (host == nullptr || host->h_addrtype != AF_INET || host->h_length != sizeof(in_addr)) {
    return addresses;
  }
  for (char** entry = host->h_addr_list; *entry != nullptr; ++entry) {
    in_addr address;
    std::memcpy(&address, *entry, sizeof address);
    addresses.emplace_back(::inet_ntoa(address));
  }
  return addresses;
}

}  // namespace tavi
