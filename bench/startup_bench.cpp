// Times the start of tavi.exe as a user waits for it, and the two start-up steps of the
// netcfg folder in this process: the local address lookup and the connection discovery.
//   startup_bench <runs> <tavi.exe> <places in its INI file>
// A start counts from just before CreateProcess until the main window is visible and its
// place list holds all places (the first activation is then done).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/main_layout.h"
#include "dialog_driver.h"
#include "netcfg/adapter_discovery_win32.h"
#include "netcfg/local_addresses_win32.h"
#include "win/handle.h"
#include "win/text_win32.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void Report(const char* what, std::vector<double> times, const std::string& note) {
  std::sort(times.begin(), times.end());
  std::printf("%-26s %2zu runs: min %5.0f ms, median %5.0f ms, max %5.0f ms%s\n", what,
              times.size(), times.front(), times[times.size() / 2], times.back(), note.c_str());
}

std::vector<double> TimeInProcess(int runs, const std::function<std::size_t()>& step,
                                  std::size_t& found) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const Clock::time_point start = Clock::now();
    found = step();
    times.push_back(MillisecondsSince(start));
  }
  return times;
}

// The program's main window once it is visible and its place list holds every place.
HWND ReadyWindowOf(DWORD processId, LRESULT places) {
  const HWND window = tavi::test::FindProcessWindow(processId, L"TfrmMain");
  if (!window) return nullptr;
  const HWND list = ::GetDlgItem(window, static_cast<int>(tavi::ControlId::listboxPlace));
  return list && ::SendMessageW(list, LB_GETCOUNT, 0, 0) == places ? window : nullptr;
}

// One start of the program until its window is ready; negative when it never got there.
double TimeStart(const std::string& exe, LRESULT places) {
  std::wstring commandLine = L"\"" + tavi::Utf8ToWide(exe) + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};
  const Clock::time_point start = Clock::now();
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started)) {
    return -1;
  }
  const tavi::Handle process(started.hProcess);
  const tavi::Handle thread(started.hThread);
  double elapsed = -1;
  HWND window = nullptr;
  while (MillisecondsSince(start) < 30000) {
    if ((window = ReadyWindowOf(started.dwProcessId, places)) != nullptr) {
      elapsed = MillisecondsSince(start);
      break;
    }
    if (::WaitForSingleObject(process.get(), 1) == WAIT_OBJECT_0) break;
  }
  if (window) ::PostMessageW(window, WM_CLOSE, 0, 0);
  if (::WaitForSingleObject(process.get(), 10000) != WAIT_OBJECT_0)
    ::TerminateProcess(process.get(), 1);
  return elapsed;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: startup_bench <runs> <tavi.exe> <places>\n");
    return 2;
  }
  const int runs = std::max(1, std::atoi(argv[1]));
  const std::string exe = argv[2];
  const LRESULT places = std::atoi(argv[3]);

  // The counts are read after the timing: argument evaluation has no order.
  std::size_t found = 0;
  std::vector<double> times = TimeInProcess(
      runs, [] { return tavi::GetLocalAddresses().size(); }, found);
  Report("local addresses", times, ", " + std::to_string(found) + " address(es)");
  times = TimeInProcess(
      runs, [] { return tavi::DiscoverConnectionNames().size(); }, found);
  Report("connection discovery", times, ", " + std::to_string(found) + " connection(s)");

  std::vector<double> starts;
  for (int i = 0; i < runs; ++i) {
    const double time = TimeStart(exe, places);
    if (time < 0) {
      std::fprintf(stderr, "tavi.exe did not get ready\n");
      return 1;
    }
    starts.push_back(time);
  }
  Report("start to ready window", starts, "");
  return 0;
}
