// A program that outlives the capture's cap of about 15 s: the capture returns with what the
// program wrote so far and leaves it running. Its own suite, so the others stay fast.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "netcfg/console_runner_win32.h"
#include "win/handle.h"
#include "win_test_support.h"

namespace tavi {
namespace {

TEST(ConsoleCaptureCap, EndsAfterAboutFifteenSecondsAndLeavesTheProgramRunning) {
  const std::string probe = test::RequiredEnvPath("TAVI_CONSOLE_PROBE_EXE");
  std::string target = "before\r\n";
  const auto start = std::chrono::steady_clock::now();
  RunAndCapture(probe + " linger 120", target);
  const auto elapsed = std::chrono::steady_clock::now() - start;

  // 151 passes of 100 ms; the lower bound is safe, an upper one would only measure the machine.
  EXPECT_GE(elapsed, std::chrono::seconds(14));
  ASSERT_EQ(target.rfind("before\r\npid=", 0), 0u) << target;
  ASSERT_EQ(target.substr(target.size() - 2), "\r\n");
  const DWORD pid = std::stoul(target.substr(12));

  Handle process(::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid));
  ASSERT_TRUE(process) << "the program ended with the capture";
  EXPECT_EQ(::WaitForSingleObject(process.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
  ::TerminateProcess(process.get(), 0);
}

}  // namespace
}  // namespace tavi
