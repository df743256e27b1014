// Times the console capture as the program uses it: "ipconfig /all" several times, and, with
// a program path given, one capture of a program that outlives the cap.
//   console_capture_bench [runs] [lingering-program-command]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "netcfg/console_runner_win32.h"

namespace {

double CaptureMilliseconds(const std::string& command, size_t& size) {
  std::string text;
  const auto start = std::chrono::steady_clock::now();
  tavi::RunAndCapture(command, text);
  const std::chrono::duration<double, std::milli> elapsed =
      std::chrono::steady_clock::now() - start;
  size = text.size();
  return elapsed.count();
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  std::vector<double> times;
  size_t size = 0;
  for (int i = 0; i < runs; ++i)
    times.push_back(CaptureMilliseconds("ipconfig /all", size));
  std::sort(times.begin(), times.end());
  std::printf(
      "ipconfig /all: %d runs, %zu bytes of text, min %.0f ms, median %.0f ms, max %.0f ms\n", runs,
      size, times.front(), times[times.size() / 2], times.back());
  if (argc > 2) {
    const double capped = CaptureMilliseconds(argv[2], size);
    std::printf("capped capture of \"%s\": %.0f ms, %zu bytes of text\n", argv[2], capped, size);
  }
  return 0;
}
