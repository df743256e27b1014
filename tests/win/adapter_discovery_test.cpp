// Adapter discovery against adapter keys made in the test prefix's registry and Wine's own
// "ipconfig /all", which lists the Linux interfaces by name (the loopback "lo" always), and
// the local address lookup against Wine's resolver.
#include "netcfg/adapter_discovery_win32.h"

#include <gtest/gtest.h>
#include <iphlpapi.h>
#include <shlwapi.h>
#include <winsock2.h>

#include <algorithm>
#include <string>
#include <vector>

#include "netcfg/console_runner_win32.h"
#include "netcfg/local_addresses_win32.h"
#include "netcfg/registry_values_win32.h"
#include "win/text_win32.h"

namespace tavi {
namespace {

using Names = std::vector<std::string>;

const std::string kClassKey =
    "SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}";

void AddAdapter(const std::string& subkey, const std::string& connectionName) {
  ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, kClassKey + "\\" + subkey + "\\Connection\\Name",
                             connectionName));
}

class AdapterDiscovery : public ::testing::Test {
 protected:
  void SetUp() override { RemoveClassKey(); }
  void TearDown() override { RemoveClassKey(); }
  static void RemoveClassKey() {
    ::SHDeleteKeyW(HKEY_LOCAL_MACHINE, Utf8ToWide(kClassKey).c_str());
  }
};

TEST_F(AdapterDiscovery, ListsTheAdaptersIpconfigMentionsInRegistryOrder) {
  // What the expectations below rely on in Wine's listing.
  std::string listing;
  RunAndCapture("ipconfig /all", listing);
  ASSERT_NE(listing.find("lo"), std::string::npos) << listing;
  ASSERT_NE(listing.find("127.0.0.1"), std::string::npos) << listing;  // after "lo"
  ASSERT_EQ(listing.find("LO"), std::string::npos) << listing;

  // Made out of order; the registry enumerates them sorted.
  AddAdapter("{F0000000-0000-0000-0000-000000000001}", "lo");
  AddAdapter("{C0000000-0000-0000-0000-000000000002}", "LO");
  AddAdapter("{80000000-0000-0000-0000-000000000003}", "Tavi 테스트 연결");
  AddAdapter("{60000000-0000-0000-0000-000000000004}", "");
  ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE,
                             kClassKey + "\\{40000000-0000-0000-0000-000000000005}\\Connection\\",
                             "no name value"));
  // Any text of the listing passes, also the start of a longer one; the loopback address
  // stands for a second adapter that ipconfig lists after the first.
  AddAdapter("{00000000-0000-0000-0000-000000000006}", "127.0.0");
  // Not adapters: never read, whatever they hold.
  AddAdapter("Descriptions", "lo");
  AddAdapter("x{00000000-0000-0000-0000-000000000007}", "lo");

  EXPECT_EQ(DiscoverConnectionNames(), (Names{"127.0.0", "lo"}));
}

TEST_F(AdapterDiscovery, FindsNothingWithoutAdapterKeys) {
  EXPECT_EQ(DiscoverConnectionNames(), Names{});
  AddAdapter("Descriptions", "lo");
  AddAdapter("{00000000-0000-0000-0000-000000000001}", "");
  EXPECT_EQ(DiscoverConnectionNames(), Names{});
}

TEST(LocalAddresses, AreTheAddressesOfTheMachinesAdapters) {
  const std::vector<std::string> addresses = GetLocalAddresses();
  // Twice in a row: the first call's sockets session has ended properly.
  EXPECT_EQ(GetLocalAddresses(), addresses);

  // The host's own name resolves to the adapters' addresses, the loopback's aside (Windows
  // and Wine alike); compared here with the interface table, order aside.
  ULONG size = 0;
  ASSERT_EQ(::GetIpAddrTable(nullptr, &size, FALSE), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  std::vector<BYTE> buffer(size);
  auto* table = reinterpret_cast<MIB_IPADDRTABLE*>(buffer.data());
  ASSERT_EQ(::GetIpAddrTable(table, &size, FALSE), static_cast<DWORD>(NO_ERROR));
  std::vector<std::string> expected;
  for (DWORD i = 0; i < table->dwNumEntries; ++i) {
    in_addr address;
    address.s_addr = table->table[i].dwAddr;
    if (address.s_addr != 0 && address.S_un.S_un_b.s_b1 != 127)
      expected.push_back(::inet_ntoa(address));
  }
  if (expected.empty()) {
    // Without such an adapter Wine hands the name to the host's own resolver (its hosts file).
    GTEST_SKIP() << "no adapter with an address here; the lookup gave " << addresses.size();
  }
  std::vector<std::string> sorted = addresses;
  std::sort(sorted.begin(), sorted.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(sorted, expected);
}

}  // namespace
}  // namespace tavi
