// The main window's start-up as the netcfg folder fills it: the machine's addresses in the
// status bar and the connections in cmbNIC, from adapter keys made in the test prefix and
// Wine's own "ipconfig /all" (which lists the loopback "lo").
#include <gtest/gtest.h>
#include <shlwapi.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/main_layout.h"
#include "app/main_window_win32.h"
#include "netcfg/local_addresses_win32.h"
#include "netcfg/registry_values_win32.h"
#include "scripted_prompts.h"
#include "win/text_win32.h"
#include "win_test_support.h"

namespace tavi {
namespace {

const std::string kClassKey =
    "SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}";

void AddAdapter(const std::string& subkey, const std::string& connectionName) {
  ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, kClassKey + "\\" + subkey + "\\Connection\\Name",
                             connectionName));
}

std::vector<std::string> Items(HWND combo) {
  std::vector<std::string> items;
  const auto count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::wstring text(static_cast<size_t>(::SendMessageW(combo, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
    text.resize(static_cast<size_t>(
        ::SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
    items.push_back(WideToUtf8(text));
  }
  return items;
}

TEST(WindowConnections, StartUpShowsTheAddressesAndListsTheConnectionsOnce) {
  // Made out of order; the registry enumerates them sorted.
  AddAdapter("{F0000000-0000-0000-0000-000000000001}", "lo");
  AddAdapter("{80000000-0000-0000-0000-000000000002}", "Tavi 테스트 연결");  // not listed
  AddAdapter("{00000000-0000-0000-0000-000000000003}", "127.0.0");           // part of lo's address
  AddAdapter("Descriptions", "lo");

  test::TempDir dir;
  test::WriteFileBytes(dir.File("tavi.ini"), Utf8ToCodePage("[집]\r\nNIC=lo\r\nOrder=0\r\n", 949));
  test::ScriptedPrompts prompts;
  TfrmMainOptions options;
  options.iniPath = dir.File("tavi.ini");
  options.prompts = &prompts;
  TfrmMain frm(std::move(options));

  // Every address followed by CR LF, which Wine's status bar keeps as two blanks (it turns
  // every unprintable character into one).
  std::string addresses;
  for (const std::string& address : GetLocalAddresses())
    addresses += address + "  ";
  EXPECT_EQ(frm.StatusText(kAddressPanel), addresses);
  const HWND nic = frm.Control(ControlId::cmbNIC);
  const std::vector<std::string> expected = {"127.0.0", "lo"};
  EXPECT_EQ(Items(nic), expected);
  EXPECT_EQ(::SendMessageW(nic, CB_GETCURSEL, 0, 0), CB_ERR);

  // The first activation and later ones leave the list as it is.
  frm.Show(SW_SHOW);
  ::SendMessageW(frm.Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
  test::PumpMessages();
  EXPECT_EQ(Items(nic), expected);
  ::SHDeleteKeyW(HKEY_LOCAL_MACHINE, Utf8ToWide(kClassKey).c_str());
}

}  // namespace
}  // namespace tavi
