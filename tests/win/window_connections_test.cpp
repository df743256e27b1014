// The main window's start-up as the netcfg folder fills it: the machine's addresses in the
// status bar, and in cmbNIC the connections of adapter keys made in the test prefix that
// Wine's own "ipconfig /all" mentions (it lists the loopback "lo" and its 127.0.0.1).
#include <gtest/gtest.h>
#include <iphlpapi.h>
#include <winsock2.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/main_layout.h"
#include "netcfg/registry_values_win32.h"
#include "window_test.h"

namespace tavi {
namespace {

using Names = std::vector<std::string>;

void AddAdapter(const std::string& subkey, const std::string& connectionName) {
  ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE,
                             "SYSTEM\\CurrentControlSet\\Control\\Network\\"
                             "{4D36E972-E325-11CE-BFC1-08002BE10318}\\" +
                                 subkey + "\\Connection\\Name",
                             connectionName));
}

Names Items(HWND combo) {
  Names items;
  for (LRESULT i = 0; i < ::SendMessageW(combo, CB_GETCOUNT, 0, 0); ++i) {
    std::wstring text(static_cast<size_t>(::SendMessageW(combo, CB_GETLBTEXTLEN, i, 0)), L'\0');
    ::SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    items.push_back(WideToUtf8(text));
  }
  return items;
}

// The IPv4 addresses of the adapters, loopback aside: what the host's own name resolves to
// on Windows and under Wine.
Names AdapterAddresses() {
  ULONG size = 0;
  ::GetIpAddrTable(nullptr, &size, FALSE);
  std::vector<BYTE> buffer(size);
  auto* table = reinterpret_cast<MIB_IPADDRTABLE*>(buffer.data());
  Names addresses;
  if (::GetIpAddrTable(table, &size, TRUE) != NO_ERROR) return addresses;
  for (DWORD i = 0; i < table->dwNumEntries; ++i) {
    in_addr address;
    address.s_addr = table->table[i].dwAddr;
    if (address.s_addr != 0 && address.S_un.S_un_b.s_b1 != 127)
      addresses.push_back(::inet_ntoa(address));
  }
  return addresses;
}

using WindowConnections = test::WindowTest;

TEST_F(WindowConnections, StartUpShowsTheAddressesAndListsTheConnectionsOnce) {
  // Made out of order; the registry enumerates them sorted.
  AddAdapter("{F0000000-0000-0000-0000-000000000001}", "lo");
  AddAdapter("{C0000000-0000-0000-0000-000000000002}", "LO");
  AddAdapter("{80000000-0000-0000-0000-000000000003}", "Tavi 테스트 연결");
  AddAdapter("{60000000-0000-0000-0000-000000000004}", "");
  // The start of a longer listed text, listed after "lo" by ipconfig.
  AddAdapter("{00000000-0000-0000-0000-000000000005}", "127.0.0");
  AddAdapter("Descriptions", "lo");  // not an adapter: never read

  WriteIni("[집]\r\nNIC=lo\r\nOrder=0\r\n");
  TfrmMain& frm = Open(Options(), /*show=*/false);
  const HWND nic = frm.Control(ControlId::cmbNIC);
  EXPECT_EQ(Items(nic), (Names{"127.0.0", "lo"}));
  frm.Show(SW_SHOW);
  ::SendMessageW(frm.Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
  ProcessMessages();
  EXPECT_EQ(Items(nic), (Names{"127.0.0", "lo"}));

  // Every address followed by CR LF, which Wine's status bar keeps as two blanks.
  Names expected = AdapterAddresses();
  if (expected.empty()) GTEST_SKIP() << "no adapter address here to compare with";
  std::string text = frm.StatusText(kAddressPanel);
  Names shown;
  for (std::size_t end; (end = text.find("  ")) != std::string::npos; text.erase(0, end + 2))
    shown.push_back(text.substr(0, end));
  EXPECT_EQ(text, "");
  std::ranges::sort(shown);
  std::ranges::sort(expected);
  EXPECT_EQ(shown, expected);
}

}  // namespace
}  // namespace tavi
