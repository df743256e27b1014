// tavi.exe as a user starts it, and applying places from its command line as a scheduled
// task or a shortcut runs it: the INI file beside it, connections that discovery finds (adapter
// keys in this prefix's registry and a scripted ipconfig.exe beside the program), the recording
// netsh.exe first on the search path and a temporary folder with a blank in its name. The
// read-back is Wine's own: the place for `lo` as Wine has it matches; a place for a connection
// that Wine does not have cannot.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <numeric>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/main_layout.h"
#include "dialog_driver.h"
#include "example_scripts.h"
#include "netcfg/registry_values_win32.h"
#include "win/handle.h"
#include "win/text_win32.h"
#include "win_test_support.h"

namespace tavi {
namespace {

constexpr char kWireless[] = "무선 네트워크 연결";
// Old Hangul, outside code page 949: the ANSI script would hold "???글 무선".
constexpr char kOldHangul[] = "ᄒᆞᆫ글 무선";

constexpr char kPlaces[] =
    "[사무실]\r\nNIC=무선 네트워크 연결\r\nIP=10.1.2.3\r\nSubNetMask=255.255.255.0\r\n"
    "GateWay=10.1.2.1\r\n1stDNS=10.1.2.53\r\n2ndDNS=10.1.2.54\r\nOrder=0\r\n"
    "[집]\r\nNIC=lo\r\nIP=127.0.0.1\r\nSubNetMask=255.0.0.0\r\nOrder=1\r\n";

// The loopback as Wine has it: 127.0.0.1/8, no gateway, DNS left automatic.
constexpr char kLoopbackScript[] =
    "pushd interface\r\nreset all\r\npopd\r\npushd interface ip\r\n"
    "set address name = \"lo\" source = static addr = 127.0.0.1 mask = 255.0.0.0\r\n"
    "set address name = \"lo\" gateway =  gwmetric = 1\r\n"
    "set dns name = \"lo\" source = dhcp\r\nset wins name = \"lo\" source = dhcp\r\n"
    "set wins name = \"lo\" source = static addr = none\r\npopd\r\n";

// The static example for the Korean connection, its name in code page 949.
std::string WirelessScript() {
  std::string script = test::kStaticScript;
  for (size_t at; (at = script.find("LAN")) != std::string::npos;)
    script.replace(at, 3, kWireless);
  return Utf8ToCodePage(script, 949);
}

class ApplyFromCommandLine : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const std::string adapters =
        "SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\";
    ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, adapters + "{A1}\\Connection\\Name", kWireless));
    ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, adapters + "{A2}\\Connection\\Name", "lo"));
    ASSERT_TRUE(
        WriteRegString(HKEY_LOCAL_MACHINE, adapters + "{A3}\\Connection\\Name", kOldHangul));
  }

  void SetUp() override {
    for (const std::string& folder : {app_, bin_, record_, temp_})
      ASSERT_TRUE(::CreateDirectoryW(Utf8ToWide(folder).c_str(), nullptr)) << folder;
    test::CopyRequired("TAVI_TAVI_EXE", app_ + "\\tavi.exe");
    test::CopyRequired("TAVI_SCRIPTED_IPCONFIG_EXE", app_ + "\\ipconfig.exe");
    test::CopyRequired("TAVI_RECORDING_NETSH_EXE", bin_ + "\\netsh.exe");
    test::WriteFileBytes(app_ + "\\tavi.ini", Utf8ToCodePage(kPlaces, 949));
    // What ipconfig /all prints, in the OEM code page: the old Hangul as question marks.
    std::string listing = "\r\nWindows IP 구성\r\n\r\n";
    for (const char* name : {kWireless, "lo", kOldHangul})
      listing +=
          std::string("이더넷 어댑터 ") + name + ":\r\n\r\n   미디어 상태 . . . : 연결됨\r\n";
    test::WriteFileBytes(listing_, Utf8ToCodePage(listing, 949));
    test::WriteFileBytes(netshSays_, Utf8ToCodePage("\r\n인터페이스를 찾을 수 없습니다.\r\n", 949));
  }

  std::unique_ptr<test::ChildProcess> Start(const std::string& arguments) {
    return std::make_unique<test::ChildProcess>("\"" + app_ + "\\tavi.exe\" " + arguments);
  }

  // Waits for the program's box whose text begins with that text, checks its caption and
  // presses OK; returns the whole text.
  static std::string AnswerBox(test::ChildProcess& tavi, const char* caption,
                               const std::string& text) {
    std::optional<test::MessageBoxView> box;
    const bool shown = test::WaitUntil([&] {
      box = test::FindMessageBox(tavi.Id());
      return box && box->text.starts_with(text);
    });
    EXPECT_TRUE(shown) << (box ? box->text : "no box");
    if (!shown) return {};
    EXPECT_EQ(box->caption, caption);
    test::PressButton(box->window, IDOK);
    return box->text;
  }

  std::string Commands() const { return test::ReadFileBytes(record_ + "\\commands.txt"); }
  std::string Script(int n) const {
    return test::ReadFileBytes(record_ + "\\script-" + std::to_string(n) + ".dat");
  }

  test::TempDir dir_;
  const std::string app_ = dir_.File("app");
  const std::string bin_ = dir_.File("bin");
  const std::string record_ = dir_.File("record");
  const std::string temp_ = dir_.File("my temp");
  const std::string listing_ = dir_.File("ipconfig.txt");
  const std::string netshSays_ = dir_.File("netsh.txt");
  test::ScopedEnvironment path_{"PATH", bin_ + ";" + test::EnvironmentValue("PATH")};
  test::ScopedEnvironment tmp_{"TMP", temp_};
  test::ScopedEnvironment recordVariable_{"TAVI_RECORD_DIR", record_};
  test::ScopedEnvironment listingVariable_{"TAVI_IPCONFIG_LISTING", listing_};
  test::ScopedEnvironment netshVariable_{"TAVI_NETSH_OUTPUT", netshSays_};
};

HWND Field(HWND window, ControlId id) {
  return ::GetDlgItem(::GetDlgItem(window, static_cast<int>(ControlId::GroupBox1)),
                      static_cast<int>(id));
}

constexpr char kHomeApplied[] = "[집](으)로 네트워크 연결을 설정하였습니다.";

TEST_F(ApplyFromCommandLine, BoxesComeUntilQuietIsAskedAndTheExitCodeSaysHowItWent) {
  // Quiet from the start, the place by its name (code page 949 in the file): no box at all (a
  // modal one would keep the program from ending).
  EXPECT_EQ(Start("/s \"집\"")->WaitForExit(), std::optional<DWORD>(0));
  // A name that finds nothing keeps quiet too (an index does not), and decides the exit code.
  EXPECT_EQ(Start("/s 없는곳 1")->WaitForExit(), std::optional<DWORD>(3));
  // The place read back as asked, then an index that names no place: exit code 3.
  auto tavi = Start("1 /s 1 7");
  AnswerBox(*tavi, "설정 완료", kHomeApplied);
  AnswerBox(*tavi, "Tavi", "사용 환경을 찾을 수 없습니다.\r\rindex: 7");
  EXPECT_EQ(tavi->WaitForExit(), std::optional<DWORD>(3));
  auto hex = Start("$1");
  AnswerBox(*hex, "설정 완료", kHomeApplied);
  EXPECT_EQ(hex->WaitForExit(), std::optional<DWORD>(0));
  for (int n = 1; n <= 5; ++n)
    EXPECT_EQ(Script(n), kLoopbackScript) << n;
  EXPECT_FALSE(test::FileExists(temp_ + "\\nic.dat"));
  // netsh got the whole path of the script in its folder with a blank.
  EXPECT_EQ(Commands().substr(0, Commands().find('\r')), "netsh -f " + temp_ + "\\nic.dat");
}

// A place for a connection that Wine does not have cannot be read back: after the settle time
// the box names every value asked for and netsh's own words, and the run ends with 1.
TEST_F(ApplyFromCommandLine, AnApplyThatIsNotReadBackFailsWithItsValuesAndExitCode1) {
  auto tavi = Start("0");
  AnswerBox(*tavi, "설정 완료",
            "변경 실패\r\r연결 \"무선 네트워크 연결\"을(를) 찾을 수 없습니다.\r\r"
            "IP 설정: 요청 수동\rIP 주소: 요청 10.1.2.3 / 255.255.255.0\r"
            "기본 게이트웨이: 요청 10.1.2.1\rDNS 서버: 요청 10.1.2.53, 10.1.2.54\r\r"
            "netsh의 메시지:\r인터페이스를 찾을 수 없습니다.");
  EXPECT_EQ(tavi->WaitForExit(), std::optional<DWORD>(1));
  EXPECT_EQ(Script(1), WirelessScript());
}

// A connection name outside the ANSI code page: discovery offers it (ipconfig lists it with
// question marks), and netsh gets it as typed, one command line per command.
TEST_F(ApplyFromCommandLine, ANameOutsideTheAnsiCodePageReachesNetshAsTyped) {
  auto tavi = Start("");
  const HWND window = test::WaitForProcessWindow(tavi->Id(), L"TfrmMain");
  ASSERT_TRUE(window);
  const HWND nic = Field(window, ControlId::cmbNIC);
  ASSERT_TRUE(test::WaitUntil([&] { return ::SendMessageW(nic, CB_GETCOUNT, 0, 0) == 3; }));
  ::SendMessageW(nic, CB_SETCURSEL, 2, 0);  // the registry's order
  ASSERT_EQ(test::WindowText(nic), kOldHangul);
  ::PostMessageW(Field(window, ControlId::btnApplyNetWork), BM_CLICK, 0, 0);
  const std::string box =
      AnswerBox(*tavi, "설정 완료", std::string("변경 실패\r\r연결 \"") + kOldHangul + "\"을(를)");
  // The recording netsh writes its arguments as the system split them (quotes removed).
  std::string expected = "netsh interface reset all\r\n";
  for (const auto& [command, rest] :
       {std::pair{"set address", " source = static addr = 10.1.2.3 mask = 255.255.255.0"},
        std::pair{"set address", " gateway = 10.1.2.1 gwmetric = 1"},
        std::pair{"set dns", " source=static addr=10.1.2.53 register=PRIMARY"},
        std::pair{"add dns", " addr=10.1.2.54"},
        std::pair{"set wins", " source = static addr = none"}}) {
    expected +=
        std::string("netsh interface ip ") + command + " name = " + kOldHangul + rest + "\r\n";
  }
  EXPECT_EQ(Commands(), expected) << box;
  EXPECT_FALSE(test::FileExists(record_ + "\\script-1.dat"));
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(tavi->WaitForExit(), std::optional<DWORD>(0));  // a click sets no exit code
}

// A start without a place to apply keeps its window open, beside a second copy of the
// program; the title bar's close ends the one, the close button the other. Nothing runs
// netsh, not even an apply whose interpreter cannot start.
TEST_F(ApplyFromCommandLine, NothingAppliedKeepsTheWindowAndAFailedStartIsAFailure) {
  // -1 is ignored; a name and an index of no place each get their box, in order.
  auto tavi = Start("-1 \"없는 곳\" 7");
  AnswerBox(*tavi, "Tavi", "사용 환경을 찾을 수 없습니다.\r\rname: 없는 곳");
  AnswerBox(*tavi, "Tavi", "사용 환경을 찾을 수 없습니다.\r\rindex: 7");
  EXPECT_FALSE(tavi->WaitForExit(std::chrono::milliseconds(500)));  // the window stays open
  auto second = Start("");
  HWND windows[2] = {};
  for (int i : {0, 1}) {
    windows[i] = test::WaitForProcessWindow((i ? *second : *tavi).Id(), L"TfrmMain");
    ASSERT_TRUE(windows[i]);
  }
  // Its places come from the file beside it.
  const HWND list = ::GetDlgItem(windows[1], static_cast<int>(ControlId::listboxPlace));
  ASSERT_TRUE(test::WaitUntil([&] { return ::SendMessageW(list, LB_GETCOUNT, 0, 0) == 2; }));
  ::PostMessageW(windows[0], WM_CLOSE, 0, 0);
  EXPECT_EQ(tavi->WaitForExit(), std::optional<DWORD>(3));
  EXPECT_TRUE(::IsWindow(windows[1]));
  ::PostMessageW(::GetDlgItem(windows[1], static_cast<int>(ControlId::btnClose)), BM_CLICK, 0, 0);
  EXPECT_EQ(second->WaitForExit(), std::optional<DWORD>(0));

  // An interpreter that cannot start fails the apply, though the loopback is as asked. (The
  // program's own folder is searched first: a cmd.exe there that is no program.)
  test::WriteFileBytes(app_ + "\\cmd.exe", "not a program");
  auto failing = Start("1");
  AnswerBox(*failing, "설정 완료",
            "변경 실패\r\rnetsh를 실행하지 못했습니다.\r\rIP 설정: 요청 수동, 현재 수동\r"
            "IP 주소: 요청 127.0.0.1 / 255.0.0.0, 현재 127.0.0.1 / 255.0.0.0\r");
  EXPECT_EQ(failing->WaitForExit(), std::optional<DWORD>(1));
  EXPECT_EQ(Commands(), "");
  EXPECT_FALSE(test::FileExists(temp_ + "\\nic.dat"));
}

// ---- Hostile profile files ----------------------------------------------------------------

// Order values that make every pivot of the list's quicksort the largest Order of its part,
// the deepest the sort can nest: the middle place of each part holds its largest Order, which
// the partition exchanges with the last place and leaves the rest to the next part.
std::vector<int> AdverseOrders(int n) {
  std::vector<int> place(static_cast<size_t>(n)), order(place.size());
  std::iota(place.begin(), place.end(), 0);
  for (size_t right = place.size() - 1; right > 0; --right) {
    order[static_cast<size_t>(place[right / 2])] = static_cast<int>(right);
    std::swap(place[right / 2], place[right]);
  }
  order[static_cast<size_t>(place[0])] = 0;
  return order;
}

std::vector<std::string> ListEntries(HWND window) {
  return test::Items(::GetDlgItem(window, static_cast<int>(ControlId::listboxPlace)));
}

// The window of a start, once it answers within the bound of a start (null otherwise).
HWND StartedWindow(test::ChildProcess& tavi) {
  const HWND window = test::WaitForProcessWindow(tavi.Id(), L"TfrmMain");
  DWORD_PTR result = 0;
  return window && ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &result)
             ? window
             : nullptr;
}

// Files that a hand, a tool or a failing disk may leave: Tavi starts within the bound, lists
// what the file holds (the first entries in order), shows at most a field's worth of a value,
// and a run that saved nothing leaves every byte of the file as it was.
TEST_F(ApplyFromCommandLine, HostileProfileFilesStartAndStayAsTheyWere) {
  std::string noise;
  for (std::uint32_t x = 15; noise.size() < 65536;)
    noise += static_cast<char>((x = x * 1103515245u + 12345u) >> 23);
  const std::wstring utf16 = L"\uFEFF[카페ก]\r\nNIC=lo\r\nOrder=1\r\n[집]\r\nOrder=0\r\n";
  const std::vector<int> orders = AdverseOrders(10000);
  std::string many;
  std::vector<std::string> sorted(orders.size());
  for (size_t i = 0; i < orders.size(); ++i) {
    sorted[static_cast<size_t>(orders[i])] = "곳 " + std::to_string(i);
    many += "[곳 " + std::to_string(i) + "]\r\nNIC=lo\r\nIP=10.0.0.1\r\nSubNetMask=255.0.0.0\r\n" +
            "Order=" + std::to_string(orders[i]) + "\r\n";
  }
  const struct {
    const char* what;
    std::string bytes;
    std::vector<std::string> first;
  } files[] = {
      {"random bytes", noise + Utf8ToCodePage("\r\n[집]\r\nOrder=-2147483648\r\n", 949), {"집"}},
      {"UTF-16 with a byte-order mark",
       std::string(reinterpret_cast<const char*>(utf16.data()), utf16.size() * 2),
       {"집", "카페ก"}},
      {"10000 places in the sort's worst order", Utf8ToCodePage(many, 949), sorted},
      {"a value of 1 MiB",
       Utf8ToCodePage("[큰 값]\r\nIP=" + std::string(1 << 20, '1') + "\r\n[집]\r\nOrder=1\r\n",
                      949),
       {"큰 값", "집"}},
      {"Order values that collide and overflow",
       "[a]\r\nOrder=2147483647\r\n[b]\r\nOrder=-2147483648\r\n[c]\r\nOrder=99999999999\r\n"
       "[d]\r\nOrder=$7FFFFFFF\r\n[e]\r\nOrder=0\r\n[f]\r\nOrder=-0\r\n",
       {"b", "e", "f", "c", "a", "d"}},
  };
  for (const auto& file : files) {
    SCOPED_TRACE(file.what);
    test::WriteFileBytes(app_ + "\\tavi.ini", file.bytes);
    auto tavi = Start("");
    const HWND window = StartedWindow(*tavi);
    ASSERT_TRUE(window);
    std::vector<std::string> entries = ListEntries(window);
    entries.resize(std::min(entries.size(), file.first.size()));
    EXPECT_EQ(entries, file.first);
    EXPECT_LE(test::WindowText(Field(window, ControlId::edtIP)).size(), 255u);
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(tavi->WaitForExit(), std::optional<DWORD>(0));
    EXPECT_TRUE(test::ReadFileBytes(app_ + "\\tavi.ini") == file.bytes);
  }
}

// Another program holds the file open: without sharing at the start, nothing can be read, and
// Tavi says so rather than show a file without places (a quiet run only fails); sharing
// reading only, the places show and every write is refused with the message of a refused
// write. Neither changes a byte. A file that disappears gets back only what a move writes.
TEST_F(ApplyFromCommandLine, ALockedOrVanishedFileIsNeitherHiddenNorWrittenHalf) {
  const std::string ini = app_ + "\\tavi.ini";
  const std::string before = test::ReadFileBytes(ini);
  auto hold = [&](DWORD share) {
    return Handle(::CreateFileW(Utf8ToWide(ini).c_str(), GENERIC_READ | GENERIC_WRITE, share,
                                nullptr, OPEN_EXISTING, 0, nullptr));
  };
  {
    const Handle held = hold(0);
    auto tavi = Start("");
    AnswerBox(*tavi, "Tavi", "사용 환경 파일을 읽을 수 없어 사용 환경을 보여 줄 수 없습니다.");
    const HWND window = StartedWindow(*tavi);
    ASSERT_TRUE(window);
    EXPECT_EQ(ListEntries(window), std::vector<std::string>{});
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(tavi->WaitForExit(), std::optional<DWORD>(0));
    // "/s" keeps that box away; the index then names no place.
    auto quiet = Start("/s 0");
    AnswerBox(*quiet, "Tavi", "사용 환경을 찾을 수 없습니다.\r\rindex: 0");
    ::PostMessageW(StartedWindow(*quiet), WM_CLOSE, 0, 0);
    EXPECT_EQ(quiet->WaitForExit(), std::optional<DWORD>(3));
  }
  auto tavi = Start("");
  const HWND window = StartedWindow(*tavi);
  ASSERT_TRUE(window);
  EXPECT_EQ(ListEntries(window), (std::vector<std::string>{"사무실", "집"}));
  {
    const Handle held = hold(FILE_SHARE_READ);
    ::PostMessageW(::GetDlgItem(window, static_cast<int>(ControlId::btnMoveDown)), BM_CLICK, 0, 0);
    AnswerBox(*tavi, "Tavi", "Unable to write to " + ini);
  }
  EXPECT_EQ(test::ReadFileBytes(ini), before);
  ASSERT_TRUE(::DeleteFileW(Utf8ToWide(ini).c_str()));
  ::PostMessageW(::GetDlgItem(window, static_cast<int>(ControlId::btnMoveUp)), BM_CLICK, 0, 0);
  EXPECT_TRUE(test::WaitUntil([&] {
    return CodePageToUtf8(test::ReadFileBytes(ini), 949) ==
           "[사무실]\r\nOrder=0\r\n[집]\r\nOrder=1\r\n";
  }));
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(tavi->WaitForExit(), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace tavi
