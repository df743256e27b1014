// Times the start of tavi.exe as a user waits for it, beside its floor (startup_floor.exe: the
// least program that runs "ipconfig /all", makes a window with a list and lists a connection),
// and the two start-up steps of the netcfg folder in this process: the local address lookup
// and the connection discovery.
//   startup_bench <runs> <places in the INI file> <connections> <floor.exe> <tavi.exe>...
// A start counts from just before CreateProcess until the main window is visible, its place
// list holds all places and its connection list all connections (the first activation is then
// done); the floor's, until its window is visible with its one connection listed. Each round
// starts every program once, each round beginning with the next one, so that the load of a
// shared machine falls on all alike; several tavi.exe builds can be compared in one run.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/main_layout.h"
#include "netcfg/adapter_discovery_win32.h"
#include "netcfg/local_addresses_win32.h"
#include "win/handle.h"
#include "win/text_win32.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Quantile(const std::vector<double>& sorted, double q) {
  return sorted[static_cast<std::size_t>(q * static_cast<double>(sorted.size() - 1) + 0.5)];
}

// Sorts the times and prints them; returns the median.
double Report(const char* what, std::vector<double>& times, const std::string& note = "") {
  std::sort(times.begin(), times.end());
  std::printf("%-20s %3zu runs: min %5.0f, quartiles %5.0f %5.0f %5.0f, max %5.0f ms%s\n", what,
              times.size(), times.front(), Quantile(times, 0.25), Quantile(times, 0.5),
              Quantile(times, 0.75), times.back(), note.c_str());
  return Quantile(times, 0.5);
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

// A program to start and what its window shows when it is ready.
struct Program {
  std::string name;
  std::string exe;
  const wchar_t* windowClass;
  LRESULT listed;     // entries of the list with the place list's id
  LRESULT connected;  // items of cmbNIC; -1: the program has none
};

// The window's control with that id, at any depth (cmbNIC sits in a group box).
HWND FindControl(HWND window, tavi::ControlId id) {
  struct Search {
    int id;
    HWND found;
  } search{static_cast<int>(id), nullptr};
  ::EnumChildWindows(
      window,
      [](HWND child, LPARAM context) -> BOOL {
        auto* search = reinterpret_cast<Search*>(context);
        if (::GetDlgCtrlID(child) != search->id) return TRUE;
        search->found = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Watches a started program for its ready window. Every look asks the system as little as it
// can (the window and its lists are found once and remembered): the watch must not slow down
// what it times, above all not the wineserver that every call of either process goes through.
class ReadyWindowWatch {
 public:
  ReadyWindowWatch(DWORD processId, const Program& program)
      : processId_(processId), program_(program) {}

  // The program's main window once it is visible and its lists hold what they should.
  HWND Ready() {
    if (!window_) window_ = FindWindowOfProcess();
    if (!window_ || !::IsWindowVisible(window_)) return nullptr;
    if (!list_) list_ = FindControl(window_, tavi::ControlId::listboxPlace);
    if (!combo_ && program_.connected >= 0) combo_ = FindControl(window_, tavi::ControlId::cmbNIC);
    if (!list_ || ::SendMessageW(list_, LB_GETCOUNT, 0, 0) != program_.listed) return nullptr;
    if (program_.connected >= 0 &&
        (!combo_ || ::SendMessageW(combo_, CB_GETCOUNT, 0, 0) != program_.connected)) {
      return nullptr;
    }
    return window_;
  }

 private:
  HWND FindWindowOfProcess() const {
    for (HWND window = nullptr;
         (window = ::FindWindowExW(nullptr, window, program_.windowClass, nullptr)) != nullptr;) {
      DWORD owner = 0;
      ::GetWindowThreadProcessId(window, &owner);
      if (owner == processId_) return window;
    }
    return nullptr;
  }

  DWORD processId_;
  const Program& program_;
  HWND window_ = nullptr;
  HWND list_ = nullptr;
  HWND combo_ = nullptr;
};

// One start of the program until its window is ready; negative when it never got there.
double TimeStart(const Program& program) {
  std::wstring commandLine = L"\"" + tavi::Utf8ToWide(program.exe) + L"\"";
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
  ReadyWindowWatch watch(started.dwProcessId, program);
  while (MillisecondsSince(start) < 30000) {
    if ((window = watch.Ready()) != nullptr) {
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
  if (argc < 6) {
    std::fprintf(stderr,
                 "usage: startup_bench <runs> <places> <connections> <floor.exe> <tavi.exe>...\n");
    return 2;
  }
  const int runs = std::max(1, std::atoi(argv[1]));
  const LRESULT places = std::atoi(argv[2]);
  const LRESULT connections = std::atoi(argv[3]);
  std::vector<Program> programs{{"floor", argv[4], L"TaviStartupFloor", 1, -1}};
  for (int i = 5; i < argc; ++i) {
    const std::string name = argc > 6 ? "tavi " + std::to_string(i - 4) : "tavi";
    programs.push_back({name, argv[i], L"TfrmMain", places, connections});
  }

  // The counts are read after the timing: argument evaluation has no order.
  std::size_t found = 0;
  std::vector<double> steps = TimeInProcess(
      runs, [] { return tavi::GetLocalAddresses().size(); }, found);
  Report("local addresses", steps, ", " + std::to_string(found) + " address(es)");
  steps = TimeInProcess(
      runs, [] { return tavi::DiscoverConnectionNames().size(); }, found);
  Report("connection discovery", steps, ", " + std::to_string(found) + " connection(s)");

  // Per program: its times, and its ratio to the floor's start of the same round.
  const std::size_t count = programs.size();
  std::vector<std::vector<double>> times(count), ratios(count);
  for (int round = 0; round < runs; ++round) {
    std::vector<double> lap(count);
    for (std::size_t turn = 0; turn < count; ++turn) {
      const std::size_t which = (static_cast<std::size_t>(round) + turn) % count;
      lap[which] = TimeStart(programs[which]);
      if (lap[which] < 0) {
        std::fprintf(stderr, "%s did not get ready\n", programs[which].name.c_str());
        return 1;
      }
    }
    for (std::size_t p = 0; p < count; ++p) {
      times[p].push_back(lap[p]);
      ratios[p].push_back(lap[p] / lap[0]);
    }
  }
  std::printf("Start to ready window:\n");
  const double floorMedian = Report("floor", times[0]);
  for (std::size_t p = 1; p < count; ++p) {
    const double median = Report(programs[p].name.c_str(), times[p]);
    std::sort(ratios[p].begin(), ratios[p].end());
    std::printf(
        "  ratio to the floor: %.2f of the medians, %.2f of the minima; per round: median %.2f, "
        "quartiles %.2f %.2f\n",
        median / floorMedian, times[p].front() / times[0].front(), Quantile(ratios[p], 0.5),
        Quantile(ratios[p], 0.25), Quantile(ratios[p], 0.75));
  }
  return 0;
}
