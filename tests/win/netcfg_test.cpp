// The Win32 side of netcfg/ against the real system of the test's Wine prefix, and the handle
// owner that it uses throughout.
// - The registry value helpers inside a scratch key that each test starts without and leaves
//   behind removed; the TCP/IP writer under an adapter named by a NetBT binding list written
//   here, every value read back with its type.
// - The console runner with real processes: cmd.exe and the console_probe test program.
// - The connection reader against Wine's IP Helper.
// Registered three times: under the Korean locale (OEM and ANSI code page 949); for the OEM
// tests only, under the C locale, where OEM 437 and ANSI 1252 give bytes different meanings;
// and for the 15-second cap alone, so the other suites stay fast.
// clang-format off
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
// clang-format on
#include <gtest/gtest.h>
#include <shlwapi.h>

#include <chrono>
#include <string>
#include <tuple>
#include <vector>

#include "netcfg/adapter_discovery.h"
#include "netcfg/connection_reader_win32.h"
#include "netcfg/console_command.h"
#include "netcfg/console_runner_win32.h"
#include "netcfg/registry_values_win32.h"
#include "netcfg/tcpip_registry_win32.h"
#include "win/handle.h"
#include "win/text_win32.h"
#include "win_test_support.h"

namespace tavi {
namespace {

using namespace std::string_literals;

// The move-only handle owner that all of these use closes exactly once, whoever ends up
// holding the handle.
bool IsOpen(HANDLE h) {
  DWORD flags = 0;
  return ::GetHandleInformation(h, &flags) != 0;
}

TEST(UniqueHandle, ClosesOnceAcrossMovesResetsAndRelease) {
  auto event = [] { return ::CreateEventW(nullptr, TRUE, FALSE, nullptr); };
  const HANDLE raw = event(), a = event(), b = event();
  ASSERT_TRUE(raw && a && b);
  {
    Handle first(raw);
    Handle second(std::move(first));
    Handle third;
    third = std::move(second);
    EXPECT_FALSE(first || second);
    EXPECT_EQ(third.get(), raw);
    EXPECT_TRUE(IsOpen(raw));
  }
  EXPECT_FALSE(IsOpen(raw));

  Handle owner(a);
  owner.reset(b);  // closes a, holds b
  EXPECT_FALSE(IsOpen(a));
  EXPECT_EQ(owner.release(), b);
  EXPECT_FALSE(owner);
  EXPECT_TRUE(IsOpen(b) && ::CloseHandle(b));

  EXPECT_FALSE(Handle(INVALID_HANDLE_VALUE));  // CreateFile's failure value is no handle
  WIN32_FIND_DATAW data;
  EXPECT_FALSE(FindHandle(::FindFirstFileW(L"Z:\\no\\such\\folder\\*", &data)));
}

// The data of a value of that type as UTF-16 units (a DWORD as two); "-" for none.
std::wstring Stored(const std::string& valuePath, DWORD type) {
  std::vector<BYTE> data;
  if (!ReadRegValue(HKEY_LOCAL_MACHINE, valuePath, type, data)) return L"-";
  return std::wstring(reinterpret_cast<const wchar_t*>(data.data()), data.size() / 2);
}

const std::string kScratch = "SOFTWARE\\TaviRegistryTest";

class RegistryValues : public ::testing::Test {
 protected:
  void SetUp() override { RemoveScratch(); }
  void TearDown() override { RemoveScratch(); }
  static void RemoveScratch() { ::SHDeleteKeyW(HKEY_LOCAL_MACHINE, Utf8ToWide(kScratch).c_str()); }
};

TEST_F(RegistryValues, APathWithoutBackslashNamesNothingAndTouchesNothing) {
  std::string text = "stale";
  std::vector<BYTE> data(3);
  EXPECT_FALSE(WriteRegString(HKEY_LOCAL_MACHINE, "TaviRegistryTest", "x"));
  EXPECT_FALSE(WriteRegMultiString(HKEY_LOCAL_MACHINE, "TaviRegistryTest", "x"));
  EXPECT_FALSE(ReadRegString(HKEY_LOCAL_MACHINE, "TaviRegistryTest", text));
  EXPECT_EQ(text, "");
  EXPECT_FALSE(ReadRegValue(HKEY_LOCAL_MACHINE, "TaviRegistryTest", REG_SZ, data));
  EXPECT_TRUE(data.empty());
  EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, "TaviRegistryTest"));
}

TEST_F(RegistryValues, WritesCreateMissingKeysStoreUtf16AndATrailingBackslashIsTheDefault) {
  const std::string key = kScratch + "\\연결\\Connection";
  ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, key + "\\Name", "로컬 영역 연결"));
  ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, key + "\\", "default"));
  EXPECT_EQ(Stored(key + "\\Name", REG_SZ), std::wstring(L"로컬 영역 연결", 9));
  EXPECT_EQ(Stored(key + "\\", REG_SZ), std::wstring(L"default", 8));
  std::string text;
  EXPECT_TRUE(ReadRegString(HKEY_LOCAL_MACHINE, key + "\\Name", text));
  EXPECT_EQ(text, "로컬 영역 연결");
  EXPECT_TRUE(ReadRegString(HKEY_LOCAL_MACHINE, key + "\\", text));
  EXPECT_EQ(text, "default");
}

TEST_F(RegistryValues, StringReadsKeepEveryStoredCharacterAndRefuseOtherTypes) {
  // Ten characters and no NUL: the system adds one when the next character in memory is NUL.
  ASSERT_TRUE(WriteRegValue(HKEY_LOCAL_MACHINE, kScratch + "\\Bare", REG_SZ, L"C:\\WINDOWS!", 20));
  ASSERT_TRUE(WriteRegValue(HKEY_LOCAL_MACHINE, kScratch + "\\Empty", REG_SZ, L"", 0));
  ASSERT_TRUE(WriteRegValue(HKEY_LOCAL_MACHINE, kScratch + "\\Expand", REG_EXPAND_SZ,
                            L"%SystemRoot%", sizeof L"%SystemRoot%"));
  ASSERT_TRUE(WriteRegDword(HKEY_LOCAL_MACHINE, kScratch + "\\Number", 0x01020304));

  std::string text;
  for (const auto& [name, read, expected] :
       {std::tuple{"\\Bare", true, "C:\\WINDOWS"}, std::tuple{"\\Empty", true, ""},
        std::tuple{"\\Expand", false, ""}, std::tuple{"\\Number", false, ""},
        std::tuple{"\\Missing", false, ""}, std::tuple{"\\NoSuchKey\\Name", false, ""}}) {
    text = "stale";
    EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, kScratch + name, text), read) << name;
    EXPECT_EQ(text, expected) << name;
  }
  EXPECT_FALSE(ReadRegMultiString(HKEY_LOCAL_MACHINE, kScratch + "\\Bare", text));
}

TEST_F(RegistryValues, MultiStringsHoldOneEntryAndReadBackWithOneNulPerEntry) {
  // How the entry is stored (with the list's end, an empty one too) is the TCP/IP cases'.
  ASSERT_TRUE(WriteRegMultiString(HKEY_LOCAL_MACHINE, kScratch + "\\IPAddress", "10.0.0.1"));
  std::string text;
  EXPECT_TRUE(ReadRegMultiString(HKEY_LOCAL_MACHINE, kScratch + "\\IPAddress", text));
  EXPECT_EQ(text, std::string("10.0.0.1\0", 9));

  // Stored without the list's final NUL: no character is lost.
  ASSERT_TRUE(WriteRegValue(HKEY_LOCAL_MACHINE, kScratch + "\\Unfinished", REG_MULTI_SZ,
                            L"\\Device\\Tcpip_{1}", 36));
  EXPECT_TRUE(ReadRegMultiString(HKEY_LOCAL_MACHINE, kScratch + "\\Unfinished", text));
  EXPECT_EQ(text, std::string("\\Device\\Tcpip_{1}\0", 18));
}

TEST_F(RegistryValues, EnumeratesSubkeysJoinedByCrLf) {
  std::string list = "stale";
  EXPECT_FALSE(EnumRegSubkeys(HKEY_LOCAL_MACHINE, kScratch, list));
  EXPECT_EQ(list, "");
  ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, kScratch + "\\Value", "x"));  // no subkey
  EXPECT_TRUE(EnumRegSubkeys(HKEY_LOCAL_MACHINE, kScratch, list));
  EXPECT_EQ(list, "");
  // Created in alphabetical order, which is also the order Windows enumerates in.
  for (const char* name : {"Descriptions", "{4D36E972}", "{가}"})
    ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, kScratch + "\\" + name + "\\Deeper\\", ""));
  EXPECT_TRUE(EnumRegSubkeys(HKEY_LOCAL_MACHINE, kScratch, list));
  EXPECT_EQ(list, "Descriptions\r\n{4D36E972}\r\n{가}");
}

const char* const kControlSets[] = {"ControlSet001", "ControlSet002", "CurrentControlSet"};

std::wstring Dword(DWORD n) {
  return {static_cast<wchar_t>(n), static_cast<wchar_t>(n >> 16)};
}

std::string AdapterKey(const std::string& controlSet, const std::string& adapter) {
  return "SYSTEM\\" + controlSet + "\\Services\\" + adapter + "\\Parameters\\Tcpip\\";
}
std::string InterfaceKey(const std::string& controlSet, const std::string& adapter) {
  return "SYSTEM\\" + controlSet + "\\Services\\Tcpip\\Parameters\\Interfaces\\" + adapter + "\\";
}

void WriteBindList(const std::wstring& entries) {
  const std::wstring data = entries + L'\0';
  ASSERT_TRUE(WriteRegValue(HKEY_LOCAL_MACHINE,
                            "SYSTEM\\ControlSet001\\Services\\NetBT\\Linkage\\Bind", REG_MULTI_SZ,
                            data.data(), static_cast<DWORD>(data.size() * sizeof(wchar_t))));
}

TEST(TcpipRegistry, StaticValuesGoIntoEveryControlSetForTheFirstBoundAdapter) {
  WriteBindList(L"\\Device\\Tcpip_{A}\0\\Device\\Tcpip_{B}\0"s);
  ASSERT_TRUE(
      WriteTcpipSettings("192.168.10.25", "255.255.255.0", "", "192.168.10.53", "8.8.8.8", false));
  for (const std::string controlSet : kControlSets) {
    for (const std::string& key :
         {AdapterKey(controlSet, "{A}"), InterfaceKey(controlSet, "{A}")}) {
      SCOPED_TRACE(key);
      EXPECT_EQ(Stored(key + "EnableDHCP", REG_DWORD), Dword(0));
      EXPECT_EQ(Stored(key + "IPAddress", REG_MULTI_SZ), L"192.168.10.25\0\0"s);
      EXPECT_EQ(Stored(key + "SubnetMask", REG_MULTI_SZ), L"255.255.255.0\0\0"s);
      EXPECT_EQ(Stored(key + "DefaultGateway", REG_MULTI_SZ), L"\0\0"s);
    }
    EXPECT_EQ(Stored(InterfaceKey(controlSet, "{A}") + "NameServer", REG_SZ),
              L"192.168.10.53,8.8.8.8\0"s);
    EXPECT_EQ(Stored(AdapterKey(controlSet, "{A}") + "NameServer", REG_SZ), L"-");
    EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, AdapterKey(controlSet, "{B}")));
  }
}

TEST(TcpipRegistry, NothingIsWrittenWithoutAnAdapterAndFailedWritesAreReported) {
  WriteBindList(L"\\Device\\Tcpip_\0\\Device\\Tcpip_{C}\0"s);
  EXPECT_FALSE(WriteTcpipSettings("10.0.0.5", "255.0.0.0", "", "", "", false));
  EXPECT_FALSE(WriteTcpipSettings("", "", "", "", "", true));
  for (const std::string controlSet : kControlSets) {
    SCOPED_TRACE(controlSet);
    EXPECT_FALSE(
        RegKeyPresent(HKEY_LOCAL_MACHINE, "SYSTEM\\" + controlSet + "\\Services\\Parameters"));
    EXPECT_EQ(
        Stored("SYSTEM\\" + controlSet + "\\Services\\Tcpip\\Parameters\\Interfaces\\IPAddress",
               REG_MULTI_SZ),
        L"-");
    EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, AdapterKey(controlSet, "{C}")));
  }

  // A volatile key takes no lasting subkeys, so every write under it fails (ControlSet001 and,
  // under Wine, CurrentControlSet, which links to it); ControlSet002 is written all the same.
  RegKey refusing;
  ASSERT_EQ(
      ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\ControlSet001\\Services\\{D}", 0, nullptr,
                        REG_OPTION_VOLATILE, KEY_WRITE, nullptr, refusing.put(), nullptr),
      ERROR_SUCCESS);
  WriteBindList(L"\\Device\\Tcpip_{D}\0"s);
  EXPECT_FALSE(WriteTcpipSettings("", "", "", "", "", true));
  EXPECT_EQ(Stored(AdapterKey("ControlSet002", "{D}") + "EnableDHCP", REG_DWORD), Dword(1));
}

std::string Probe(const std::string& arguments) {
  return test::RequiredEnvPath("TAVI_CONSOLE_PROBE_EXE") + " " + arguments;
}

std::string Capture(const std::string& command, std::string target = {}) {
  RunAndCapture(command, target);
  return target;
}

TEST(ConsoleWait, StatusFollowsTheExitCodeAsTheInterpreterPassesItOn) {
  // 259 is STILL_ACTIVE: an exit with it cannot be told from a process still running (the
  // interpreter's own exit: Wine's cmd.exe turns a program's 259 into 0). A missing program
  // is the interpreter's own exit code, not looked at; without cmd the interpreter is
  // command.exe, which neither Windows nor Wine has.
  for (const auto& [command, useCmd, status] :
       {std::tuple{Probe("exit 3"), true, kRunStatusOk},
        std::tuple{std::string("exit 259"), true, kRunStatusStillActive},
        std::tuple{std::string("tavi-no-such-program"), true, kRunStatusOk},
        std::tuple{std::string("echo"), false, kRunStatusLaunchFailed}}) {
    std::string result;
    EXPECT_EQ(RunAndWait(command, result, useCmd), status == kRunStatusOk) << command;
    EXPECT_EQ(result, status) << command;
  }
}

TEST(ConsoleWait, StartsInTheSystemDrivesRoot) {
  test::TempDir dir;
  const std::string file = dir.File("cwd.txt");
  std::string status;
  ASSERT_TRUE(RunAndWait("cd > \"" + file + "\"", status, true));
  wchar_t windows[MAX_PATH] = {};
  ASSERT_GT(::GetSystemWindowsDirectoryW(windows, MAX_PATH), 2u);
  EXPECT_EQ(test::ReadFileBytes(file), WideToUtf8(std::wstring_view(windows, 2)) + "\\\r\n");
}

TEST(ConsoleCapture, AppendsStandardOutputOnlyAndProcessesMessagesWhileItWaits) {
  ASSERT_TRUE(::PostThreadMessageW(::GetCurrentThreadId(), WM_APP, 0, 0));
  EXPECT_EQ(Capture(Probe("streams out err"), "before\r\n"), "before\r\nout");
  MSG message;
  EXPECT_FALSE(::PeekMessageW(&message, nullptr, WM_APP, WM_APP, PM_REMOVE));
  EXPECT_EQ(Capture(Probe("exit 0"), "unchanged"), "unchanged");
  EXPECT_EQ(Capture("tavi-no-such-program.exe", "unchanged"), "unchanged");

  // netsh's capture: its errors too, and whether it ended within the passes given.
  ConsoleCapture capture;
  std::string text;
  ASSERT_TRUE(capture.Start(Probe("streams out err"), {.withErrors = true}));
  EXPECT_TRUE(capture.Finish(text, 1000));
  EXPECT_EQ(text, "errout");  // the order the probe writes them in
  ASSERT_TRUE(capture.Start(Probe("linger 120")));
  EXPECT_FALSE(capture.Finish(text, 2));
  ASSERT_EQ(text.rfind("erroutpid=", 0), 0u) << text;
  Handle process(::OpenProcess(PROCESS_TERMINATE, FALSE, std::stoul(text.substr(10))));
  ::TerminateProcess(process.get(), 0);
}

TEST(ConsoleCapture, OutputBeyondTheLimitIsReadAndDropped) {
  test::TempDir dir;
  const std::string done = dir.File("done.txt");
  const std::string text =
      Capture(Probe("flood " + std::to_string(kCaptureLimit + kCaptureLimit / 2) + " " + done));
  EXPECT_TRUE(test::FileExists(done));  // the probe never stalled on a full pipe
  ASSERT_EQ(text.size(), kCaptureLimit);
  std::string pattern(kCaptureLimit, '\0');
  for (size_t i = 0; i < pattern.size(); ++i)
    pattern[i] = static_cast<char>('A' + i % 26);
  EXPECT_TRUE(text == pattern);
}

TEST(ConsoleCapture, OemKoreanTextArrivesAsUtf8) {
  if (::GetOEMCP() != 949) GTEST_SKIP() << "needs the Korean OEM code page";
  // "한글 출력" in code page 949.
  EXPECT_EQ(Capture(Probe("hex C7D1B1DB20C3E2B7C2")), "한글 출력");
}

TEST(ConsoleCapture, OemWesternTextIsReadInTheOemCodePageNotTheAnsiOne) {
  if (::GetOEMCP() != 437 || ::GetACP() != 1252) GTEST_SKIP() << "needs OEM 437 and ANSI 1252";
  // 0x82 and 0x81 are é and ü in 437, but a low quotation mark and nothing in 1252.
  EXPECT_EQ(Capture(Probe("hex 636166822081626572")), "café über");
}

// The IP Helper's view of this prefix: Wine lists the host's interfaces by their Linux names,
// the loopback `lo` always, and GetAdaptersInfo leaves the loopback out.
TEST(ConnectionReader, FindsTheLoopbackByItsNameInAnyCaseAndNoConnectionThatIsNotThere) {
  for (const char* name : {"lo", "LO"}) {
    const LiveConnection lo = ReadConnection(name);
    ASSERT_EQ(lo.status, LiveConnection::Status::Found) << name;
    EXPECT_FALSE(lo.dhcp);
    EXPECT_EQ(lo.addresses, (std::vector<LiveAddress>{{0x7F000001, 0xFF000000, false}}));
    EXPECT_TRUE(lo.gateways.empty());
  }
  for (const char* name : {"lo ", "로컬 영역 연결 9", ""})
    EXPECT_EQ(ReadConnection(name).status, LiveConnection::Status::NotFound) << name;
  EXPECT_EQ(ReadConnectionFromAdapterInfo("lo").status, LiveConnection::Status::NotFound);
}

// Windows 2000 and XP name a connection only in the registry: the older way finds an adapter
// by the name its key in the network class gives it, and reads what the newer way reads.
TEST(ConnectionReader, TheOlderWayReadsWhatTheNewerOneDoesUnderTheRegistrysName) {
  ULONG size = 16 * 1024;
  std::vector<ULONGLONG> buffer(size / sizeof(ULONGLONG));
  ASSERT_EQ(::GetAdaptersAddresses(AF_INET, GAA_FLAG_INCLUDE_PREFIX, nullptr,
                                   reinterpret_cast<PIP_ADAPTER_ADDRESSES>(buffer.data()), &size),
            static_cast<ULONG>(NO_ERROR));
  const IP_ADAPTER_ADDRESSES* adapter = reinterpret_cast<PIP_ADAPTER_ADDRESSES>(buffer.data());
  while (adapter && (adapter->IfType == IF_TYPE_SOFTWARE_LOOPBACK || !adapter->FirstUnicastAddress))
    adapter = adapter->Next;
  if (!adapter) GTEST_SKIP() << "no adapter with an address besides the loopback";
  const std::string key = ConnectionNamePath(adapter->AdapterName);
  ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, key, "테스트 연결"));
  const LiveConnection newer = ReadConnection(WideToUtf8(adapter->FriendlyName));
  const LiveConnection older = ReadConnectionFromAdapterInfo("테스트 연결");
  ASSERT_EQ(older.status, LiveConnection::Status::Found);
  EXPECT_FALSE(older.addresses.empty());
  EXPECT_EQ(older.addresses, newer.addresses);
  EXPECT_EQ(older.gateways, newer.gateways);
  EXPECT_EQ(older.dnsServers, newer.dnsServers);
  EXPECT_EQ(ReadConnectionFromAdapterInfo("테스트").status, LiveConnection::Status::NotFound);
  ::SHDeleteKeyW(HKEY_LOCAL_MACHINE, Utf8ToWide(key.substr(0, key.find("\\Connection"))).c_str());
}

TEST(ConsoleCaptureCap, EndsAfterAboutFifteenSecondsAndLeavesTheProgramRunning) {
  const auto start = std::chrono::steady_clock::now();
  const std::string text = Capture(Probe("linger 120"), "before\r\n");
  // 151 passes of 100 ms; the lower bound is safe, an upper one would only measure the machine.
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::seconds(14));
  ASSERT_EQ(text.rfind("before\r\npid=", 0), 0u) << text;
  ASSERT_EQ(text.substr(text.size() - 2), "\r\n");
  Handle process(
      ::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, std::stoul(text.substr(12))));
  ASSERT_TRUE(process) << "the program ended with the capture";
  EXPECT_EQ(::WaitForSingleObject(process.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
  ::TerminateProcess(process.get(), 0);
}

}  // namespace
}  // namespace tavi
