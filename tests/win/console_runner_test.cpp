// The console runner with real processes: cmd.exe and the console_probe test program.
// Registered three times: under the Korean locale (OEM and ANSI code page 949); for the OEM
// tests only, under the C locale, where OEM 437 and ANSI 1252 give bytes different meanings;
// and for the 15-second cap alone, so the other suites stay fast.
#include "netcfg/console_runner_win32.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "netcfg/console_command.h"
#include "win/handle.h"
#include "win/text_win32.h"
#include "win_test_support.h"

namespace tavi {
namespace {

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
