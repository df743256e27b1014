// Times one apply as a user sees it: from the click on the apply button of a running tavi.exe
// to its completion box, with the recording netsh.exe doing the network part. The place is the
// loopback connection `lo` as Wine has it (127.0.0.1/8, no gateway, DNS automatic), so the
// read-back after netsh matches at once: the figure is an apply that succeeds. Not a test;
// tools/bench-apply runs it under Wine on a private display.
//   apply_bench <tavi.exe> <netsh.exe> <ipconfig.exe> <work-folder> [runs]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/main_layout.h"
#include "dialog_driver.h"
#include "win/handle.h"
#include "win/text_win32.h"
#include "win_test_support.h"

namespace {

using tavi::ControlId;
using tavi::Utf8ToWide;

constexpr char kPlace[] =
    "[루프백]\r\nNIC=lo\r\nIP=127.0.0.1\r\nSubNetMask=255.0.0.0\r\nOrder=0\r\n";

// An adapter key whose connection is `lo`, which the scripted ipconfig lists: discovery offers it.
bool AddLoopbackAdapter() {
  tavi::RegKey key;
  if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE,
                        L"SYSTEM\\CurrentControlSet\\Control\\Network\\"
                        L"{4D36E972-E325-11CE-BFC1-08002BE10318}\\"
                        L"{6B1C0DE1-0000-4000-8000-00000000B001}\\Connection",
                        0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr) != 0) {
    return false;
  }
  const wchar_t name[] = L"lo";
  return ::RegSetValueExW(key.get(), L"Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(name),
                          sizeof name) == 0;
}

bool Copy(const std::string& from, const std::string& to) {
  return ::CopyFileW(Utf8ToWide(from).c_str(), Utf8ToWide(to).c_str(), FALSE) != 0;
}

int Fail(const char* what) {
  std::fprintf(stderr, "apply_bench: %s\n", what);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) return Fail("usage: apply_bench <tavi.exe> <netsh.exe> <ipconfig.exe> <work>");
  const std::string work = argv[4];
  const int runs = argc > 5 ? std::max(1, std::atoi(argv[5])) : 10;
  const std::string app = work + "\\app", bin = work + "\\bin", record = work + "\\record",
                    temp = work + "\\my temp";
  for (const std::string& folder : {work, app, bin, record, temp})
    ::CreateDirectoryW(Utf8ToWide(folder).c_str(), nullptr);
  if (!Copy(argv[1], app + "\\tavi.exe") || !Copy(argv[3], app + "\\ipconfig.exe") ||
      !Copy(argv[2], bin + "\\netsh.exe")) {
    return Fail("cannot copy the programs");
  }
  tavi::test::WriteFileBytes(app + "\\tavi.ini", tavi::Utf8ToCodePage(kPlace, 949));
  tavi::test::WriteFileBytes(work + "\\ipconfig.txt", "Ethernet adapter lo:\r\n");
  if (!AddLoopbackAdapter()) return Fail("cannot add the adapter key");

  tavi::test::ScopedEnvironment path("PATH", bin + ";" + tavi::test::EnvironmentValue("PATH"));
  tavi::test::ScopedEnvironment tmp("TMP", temp);
  tavi::test::ScopedEnvironment tempVariable("TEMP", temp);
  tavi::test::ScopedEnvironment recordDir("TAVI_RECORD_DIR", record);
  tavi::test::ScopedEnvironment listing("TAVI_IPCONFIG_LISTING", work + "\\ipconfig.txt");

  tavi::test::ChildProcess tavi("\"" + app + "\\tavi.exe\"");
  const HWND window = tavi::test::WaitForProcessWindow(tavi.Id(), L"TfrmMain");
  if (!window) return Fail("the window did not appear");
  const HWND frame = ::GetDlgItem(window, static_cast<int>(ControlId::GroupBox1));
  const HWND apply = ::GetDlgItem(frame, static_cast<int>(ControlId::btnApplyNetWork));
  const HWND list = ::GetDlgItem(window, static_cast<int>(ControlId::listboxPlace));
  if (!tavi::test::WaitUntil([&] { return ::SendMessageW(list, LB_GETCOUNT, 0, 0) == 1; }))
    return Fail("the place did not appear");

  std::vector<double> times;
  std::string text;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    ::PostMessageW(apply, BM_CLICK, 0, 0);
    std::optional<tavi::test::MessageBoxView> box;
    while (!(box = tavi::test::FindMessageBox(tavi.Id()))) {
      if (std::chrono::steady_clock::now() - start > std::chrono::seconds(30))
        return Fail("no completion box");
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const std::chrono::duration<double, std::milli> elapsed =
        std::chrono::steady_clock::now() - start;
    times.push_back(elapsed.count());
    text = box->text;
    tavi::test::PressButton(box->window, IDOK);
    tavi::test::WaitUntil([&] { return !::IsWindow(box->window); });
  }
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  tavi.WaitForExit();

  std::vector<double> sorted = times;
  std::sort(sorted.begin(), sorted.end());
  std::printf("apply, click to completion box: %d runs, min %.0f ms, median %.0f ms, max %.0f ms\n",
              runs, sorted.front(), sorted[sorted.size() / 2], sorted.back());
  std::printf("runs (ms):");
  for (double t : times)
    std::printf(" %.0f", t);
  std::printf("\nbox text: %s\n", text.c_str());  // UTF-8
  return 0;
}
