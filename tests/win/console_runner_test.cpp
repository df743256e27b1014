// The console runner with real processes: cmd.exe and the console_probe test program.
// Registered twice: under the Korean locale (OEM and ANSI code page 949) and, for the OEM
// tests only, under the C locale, where OEM 437 and ANSI 1252 give bytes different meanings.
#include "netcfg/console_runner_win32.h"

#include <gtest/gtest.h>

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
  std::string status;
  EXPECT_TRUE(RunAndWait(Probe("exit 0"), status, true));
  EXPECT_EQ(status, kRunStatusOk);
  EXPECT_TRUE(RunAndWait(Probe("exit 3"), status, true));
  EXPECT_EQ(status, kRunStatusOk);
  // 259 is STILL_ACTIVE: a process that exits with it cannot be told from one still running.
  // (The interpreter's own exit: Wine's cmd.exe turns a program's 259 into 0.)
  EXPECT_FALSE(RunAndWait("exit 259", status, true));
  EXPECT_EQ(status, kRunStatusStillActive);
  EXPECT_TRUE(RunAndWait("exit 258", status, true));
  EXPECT_EQ(status, kRunStatusOk);
  // The interpreter starts, finds nothing and exits with its own code (49 under Wine,
  // 9009 on Windows), which is not looked at.
  EXPECT_TRUE(RunAndWait("tavi-no-such-program", status, true));
  EXPECT_EQ(status, kRunStatusOk);
}

TEST(ConsoleWait, ALaunchFailureIsReportedAsSuch) {
  // Without cmd the interpreter is command.exe, which neither Windows nor Wine has.
  std::string status;
  EXPECT_FALSE(RunAndWait("echo", status, false));
  EXPECT_EQ(status, kRunStatusLaunchFailed);
}

TEST(ConsoleWait, WaitsForTheCommandStartedInTheSystemDrivesRoot) {
  test::TempDir dir;
  const std::string file = dir.File("cwd.txt");
  std::string status;
  ASSERT_TRUE(RunAndWait(Probe("cwd " + file), status, true));
  wchar_t windows[MAX_PATH] = {};
  ASSERT_GT(::GetSystemWindowsDirectoryW(windows, MAX_PATH), 2u);
  EXPECT_EQ(test::ReadFileBytes(file), WideToUtf8(std::wstring_view(windows, 2)) + "\\");
}

TEST(ConsoleWait, TempDirectoryHasNoFinalBackslashAndExists) {
  const std::string temp = GetTempDirectory();
  ASSERT_FALSE(temp.empty());
  EXPECT_NE(temp.back(), '\\');
  EXPECT_TRUE(test::FileExists(temp));
  test::WriteFileBytes(temp + "\\nic.dat", "popd\r\n");
  EXPECT_EQ(test::ReadFileBytes(temp + "\\nic.dat"), "popd\r\n");
  ::DeleteFileW(Utf8ToWide(temp + "\\nic.dat").c_str());
}

TEST(ConsoleCapture, AppendsStandardOutputOnly) {
  EXPECT_EQ(Capture(Probe("streams out err"), "before\r\n"), "before\r\nout");
  EXPECT_EQ(Capture(Probe("exit 0"), "unchanged"), "unchanged");
  EXPECT_EQ(Capture("tavi-no-such-program.exe", "unchanged"), "unchanged");
  EXPECT_EQ(Capture("", "unchanged"), "unchanged");
}

TEST(ConsoleCapture, ProcessesWindowMessagesWhileItWaits) {
  static bool received = false;
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = [](HWND window, UINT message, WPARAM w, LPARAM l) -> LRESULT {
    if (message == WM_APP) received = true;
    return ::DefWindowProcW(window, message, w, l);
  };
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"TaviCaptureMessageTest";
  ASSERT_TRUE(::RegisterClassW(&windowClass));
  Window window(::CreateWindowW(L"TaviCaptureMessageTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                nullptr, windowClass.hInstance, nullptr));
  ASSERT_TRUE(window);
  ASSERT_TRUE(::PostMessageW(window.get(), WM_APP, 0, 0));
  Capture(Probe("exit 0"));
  EXPECT_TRUE(received);
}

TEST(ConsoleCapture, OutputBeyondTheLimitIsReadAndDropped) {
  test::TempDir dir;
  const std::string done = dir.File("done.txt");
  const size_t written = kCaptureLimit + kCaptureLimit / 2;
  const std::string text = Capture(Probe("flood " + std::to_string(written) + " " + done));
  // The probe wrote everything and finished: it never stalled on a full pipe.
  EXPECT_TRUE(test::FileExists(done));
  ASSERT_EQ(text.size(), kCaptureLimit);
  size_t mismatches = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != static_cast<char>('A' + i % 26)) ++mismatches;
  }
  EXPECT_EQ(mismatches, 0u);
}

TEST(ConsoleCapture, AProgramStartedEarlyIsCollectedLater) {
  test::TempDir dir;
  const std::string done = dir.File("done.txt");
  ConsoleCapture capture;
  ASSERT_TRUE(capture.Start(Probe("flood 30 " + done)));
  ASSERT_TRUE(test::WaitUntil([&] { return test::FileExists(done); }));
  std::string text = "before:";
  capture.Finish(text);
  EXPECT_EQ(text, "before:ABCDEFGHIJKLMNOPQRSTUVWXYZABCD");
  capture.Finish(text);  // finished captures, and ones never started, add nothing
  EXPECT_EQ(text, "before:ABCDEFGHIJKLMNOPQRSTUVWXYZABCD");
  EXPECT_FALSE(capture.Start("tavi-no-such-program.exe"));
  capture.Finish(text);
  EXPECT_EQ(text, "before:ABCDEFGHIJKLMNOPQRSTUVWXYZABCD");
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

}  // namespace
}  // namespace tavi
