// tavi.exe updating itself as a user sees it: the update button, the question, the progress
// dialog and the hand-over to a newer tavi.exe (2.5.0.0, built by the tests). The program is
// the product as built: its requests for the update server go through a proxy, the loopback
// HTTP server, set in this test's own Wine prefix.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/main_layout.h"
#include "loopback_http.h"
#include "update/update_server.h"
#include "update/updater_win32.h"
#include "win/handle.h"
#include "win/text_win32.h"
#include "win_test_support.h"

namespace tavi {
namespace {

using Clock = std::chrono::steady_clock;
using test::FileExists;
using test::WaitUntil;
using test::WriteFileBytes;

constexpr auto kLong = std::chrono::seconds(30);

constexpr char kPlaces[] = "[회사]\r\nNIC=lo\r\nOrder=0\r\n[집]\r\nNIC=lo\r\nOrder=1\r\n";

// Every HTTP request of the programs started from here goes to the loopback server, which
// answers the update server's address as it answers its own.
void UseLoopbackProxy() {
  RegKey key;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER,
                              L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings", 0,
                              nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr),
            ERROR_SUCCESS);
  const DWORD enable = 1;
  ::RegSetValueExW(key.get(), L"ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&enable),
                   sizeof enable);
  const std::wstring server = L"127.0.0.1:" + std::to_wstring(test::LoopbackHttpPort());
  ::RegSetValueExW(key.get(), L"ProxyServer", 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(server.c_str()),
                   static_cast<DWORD>((server.size() + 1) * sizeof(wchar_t)));
}

// "http://<the build's update host>"
std::string UpdateHost() {
  const std::string url = UpdateScriptUrl();
  return url.substr(0, url.size() - std::string(kUpdateScriptPath).size());
}

struct Running {
  Handle process;
  DWORD id = 0;
};

Running Start(const std::string& exe, const std::string& arguments = "") {
  std::wstring commandLine = L"\"" + Utf8ToWide(exe) + L"\"";
  if (!arguments.empty()) commandLine += L" " + Utf8ToWide(arguments);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  Running run;
  EXPECT_TRUE(::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &info));
  if (!info.hProcess) return run;
  ::CloseHandle(info.hThread);
  run.process.reset(info.hProcess);
  run.id = info.dwProcessId;
  return run;
}

// A visible top-level window of the class (and caption, when given) whose process passes.
template <typename ProcessTest>
HWND FindTopLevel(const wchar_t* className, const char* caption, ProcessTest process) {
  struct Search {
    const wchar_t* className;
    const char* caption;
    ProcessTest& process;
    HWND found = nullptr;
  } search{className, caption, process};
  ::EnumWindows(
      [](HWND window, LPARAM param) {
        auto& s = *reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        wchar_t name[64] = {};
        ::GetClassNameW(window, name, 64);
        if (::lstrcmpW(name, s.className) != 0 || !::IsWindowVisible(window) || !s.process(owner))
          return TRUE;
        if (s.caption && GetWindowTextUtf8(window) != s.caption) return TRUE;
        s.found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND MainWindowOf(DWORD id) {
  return FindTopLevel(L"TfrmMain", nullptr, [id](DWORD owner) { return owner == id; });
}

HWND BoxOf(DWORD id, const char* caption) {
  return FindTopLevel(L"#32770", caption, [id](DWORD owner) { return owner == id; });
}

std::string TextOf(HWND control) {
  wchar_t text[4096] = {};
  ::SendMessageW(control, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text));
  return WideToUtf8(text);
}

void Click(HWND button) {
  ::PostMessageW(button, BM_CLICK, 0, 0);
}

bool FolderExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(Utf8ToWide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

class UpdateEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    UseLoopbackProxy();
    ASSERT_TRUE(::CopyFileW(Utf8ToWide(test::RequiredEnvPath("TAVI_TAVI_EXE")).c_str(),
                            Utf8ToWide(Exe()).c_str(), FALSE));
    WriteFileBytes(install.File("tavi.ini"), Utf8ToCodePage(kPlaces, 949));
    // The server's answer at the update script's path.
    const std::string root = test::RequiredEnvPath("TAVI_HTTP_ROOT");
    ::CreateDirectoryW(Utf8ToWide(root + "\\myAPP").c_str(), nullptr);
    ::CreateDirectoryW(Utf8ToWide(root + "\\myAPP\\Tavi").c_str(), nullptr);
    script = root + "\\myAPP\\Tavi\\update.php";
  }
  void TearDown() override {
    ::DeleteFileW(Utf8ToWide(script).c_str());
    for (Running* run : {&program, &next}) {
      if (run->process) {
        ::TerminateProcess(run->process.get(), 1);
        ::WaitForSingleObject(run->process.get(), 5000);
      }
    }
  }

  std::string Exe() const { return install.File("tavi.exe"); }
  std::string Url(const std::string& pathAndQuery) const { return UpdateHost() + pathAndQuery; }
  std::string ServedUrl(const std::string& name) const { return Url(served.Prefix() + "/" + name); }
  void Describe(const std::string& description) {
    WriteFileBytes(script, Utf8ToCodePage(description, 949));
  }

  // Starts the installed program and waits for its window.
  HWND StartProgram(const std::string& arguments = "") {
    program = Start(Exe(), arguments);
    HWND window = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (window = MainWindowOf(program.id)) != nullptr; }, kLong));
    return window;
  }

  // Presses the update button and waits for the question.
  HWND AskForUpdate(HWND window) {
    Click(::GetDlgItem(window, static_cast<int>(ControlId::btnUpdate)));
    HWND box = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (box = BoxOf(program.id, "Confirm")) != nullptr; }, kLong));
    return box;
  }

  test::TempDir install;
  test::ServedFolder served;
  std::string script;
  Running program;
  Running next;
};

TEST_F(UpdateEndToEnd, NewVersionIsInstalledAndStarted) {
  ASSERT_TRUE(::CopyFileW(Utf8ToWide(test::RequiredEnvPath("TAVI_TAVI_NEXT_EXE")).c_str(),
                          Utf8ToWide(served.File("tavi.exe")).c_str(), FALSE));
  Describe("[info]\r\n1=Tavi 2.5\r\n[tavi.exe]\r\nver=2.5.0.0\r\nurl=" + ServedUrl("tavi.exe") +
           "\r\n");
  const HWND window = StartProgram();
  ASSERT_TRUE(window);
  const HWND question = AskForUpdate(window);
  ASSERT_TRUE(question);
  EXPECT_EQ(TextOf(::GetDlgItem(question, IDYES)), "&Yes");
  EXPECT_EQ(TextOf(::GetDlgItem(question, IDNO)), "&No");
  const std::string asked = TextOf(::GetDlgItem(question, 0xFFFF));
  EXPECT_NE(asked.find("Tavi 2.5\r\n\r\n\r\n\r\n"), std::string::npos) << asked;
  EXPECT_EQ(asked.substr(asked.size() - 10), "tavi.exe\r\n");

  const auto yes = Clock::now();
  Click(::GetDlgItem(question, IDYES));
  // The old program ends...
  ASSERT_EQ(::WaitForSingleObject(program.process.get(), 30000), WAIT_OBJECT_0);
  DWORD code = 1;
  ::GetExitCodeProcess(program.process.get(), &code);
  EXPECT_EQ(code, 0u);
  // ...and the installed program comes back, a new process.
  const DWORD oldId = program.id;
  HWND newWindow = nullptr;
  ASSERT_TRUE(WaitUntil(
      [&] {
        newWindow = FindTopLevel(L"TfrmMain", nullptr, [oldId](DWORD owner) {
          return owner != oldId && owner != ::GetCurrentProcessId();
        });
        return newWindow != nullptr;
      },
      kLong));
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - yes);
  std::printf("yes-to-new-window-ms %lld\n", static_cast<long long>(elapsed.count()));
  RecordProperty("yes_to_new_window_ms", static_cast<int>(elapsed.count()));

  DWORD newId = 0;
  ::GetWindowThreadProcessId(newWindow, &newId);
  next.process.reset(::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, newId));
  EXPECT_EQ(LocalFileVersion(Exe()), "2.5.0.0");
  // Its start cleaned up before the window showed.
  EXPECT_FALSE(FileExists(install.File("update.info")));
  EXPECT_FALSE(FolderExists(install.File("update")));
  EXPECT_EQ(GetWindowTextUtf8(newWindow), "Tavi 2.4");  // the caption is not the version's

  ::PostMessageW(newWindow, WM_CLOSE, 0, 0);
  ASSERT_EQ(::WaitForSingleObject(next.process.get(), 10000), WAIT_OBJECT_0);
}

TEST_F(UpdateEndToEnd, DecliningDeletesTheDescription) {
  Describe("[tavi.exe]\r\nver=9.9.9.9\r\nurl=" + ServedUrl("tavi.exe") + "\r\n");
  const HWND window = StartProgram();
  ASSERT_TRUE(window);
  const HWND question = AskForUpdate(window);
  ASSERT_TRUE(question);
  EXPECT_TRUE(FileExists(install.File("update.info")));
  Click(::GetDlgItem(question, IDNO));
  ASSERT_TRUE(WaitUntil([&] { return !FileExists(install.File("update.info")); }, kLong));
  EXPECT_FALSE(FolderExists(install.File("update")));
  EXPECT_EQ(::WaitForSingleObject(program.process.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_TRUE(::IsWindowVisible(window));
}

TEST_F(UpdateEndToEnd, ErrorReplyOnTheSecondFileStopsTheUpdate) {
  // The first file takes a while, so that the progress dialog can be watched.
  const std::string slow = Url("/data?size=10250&chunk=1025&delay=25");
  const HWND window = StartProgram();
  ASSERT_TRUE(window);
  struct Case {
    std::string url, status;
  };
  for (const Case& c :
       {Case{ServedUrl("missing.txt"), "HTTP/1.0 404 Not Found\r"},
        Case{Url("/data?status=500&size=64"), "HTTP/1.0 500 Internal Server Error\r"}}) {
    Describe("[a.txt]\r\nurl=" + slow + "\r\n[b.txt]\r\nurl=" + c.url + "\r\n");
    const HWND question = AskForUpdate(window);
    ASSERT_TRUE(question);
    Click(::GetDlgItem(question, IDYES));
    // The caption changes a moment before the text line.
    std::string line;
    ASSERT_TRUE(WaitUntil(
        [&] {
          const HWND progress = FindTopLevel(L"TaviProgressDialog", "업데이트 - 1/2",
                                             [this](DWORD owner) { return owner == program.id; });
          line = progress ? GetWindowTextUtf8(::GetWindow(progress, GW_CHILD)) : "";
          return line.rfind("파일(a.txt)을 다운로드하고 있습니다... (", 0) == 0;
        },
        kLong));
    EXPECT_EQ(line.substr(line.size() - 8), "%)      ") << line;
    HWND error = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (error = BoxOf(program.id, "Tavi")) != nullptr; }, kLong));
    EXPECT_EQ(TextOf(::GetDlgItem(error, 0xFFFF)), c.status + "\r\n\r\n" + c.url);
    Click(::GetDlgItem(error, IDOK));
    ASSERT_TRUE(WaitUntil([&] { return BoxOf(program.id, "Tavi") == nullptr; }, kLong));

    EXPECT_EQ(test::ReadFileBytes(install.File("update\\a.txt")).size(), 10250u);
    EXPECT_FALSE(FileExists(install.File("update\\b.txt")));
    EXPECT_FALSE(FileExists(install.File("update\\tavi.exe")));  // no hand-over
    EXPECT_EQ(::WaitForSingleObject(program.process.get(), 500), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_TRUE(::IsWindowVisible(window));
    EXPECT_EQ(FindTopLevel(L"TaviProgressDialog", nullptr,
                           [this](DWORD owner) { return owner == program.id; }),
              nullptr);
  }
}

TEST_F(UpdateEndToEnd, HandOverArgumentsThatDoNotCheckOutStartNormally) {
  WriteFileBytes(install.File("update.info"), "[a.txt]\r\n");
  ::CreateDirectoryW(Utf8ToWide(install.File("update")).c_str(), nullptr);
  WriteFileBytes(install.File("update\\a.txt"), "a");
  for (const std::string& arguments :
       {std::string("0 a b"), "1 \"" + Exe() + "\" \"" + Exe() + "\""}) {
    ASSERT_TRUE(StartProgram(arguments)) << arguments;
    // No hand-over and no cleanup.
    EXPECT_TRUE(FileExists(install.File("update.info")));
    EXPECT_TRUE(FileExists(install.File("update\\a.txt")));
    EXPECT_EQ(LocalFileVersion(Exe()), "2.4.0.0");
    // The first argument names a place, so the command line applies it (this prefix has no
    // connection: the apply asks for one) and then the program ends by itself.
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = BoxOf(program.id, "Tavi")) != nullptr; }, kLong));
    EXPECT_EQ(TextOf(::GetDlgItem(box, 0xFFFF)), "네트워크 연결을 선택해 주십시오.");
    Click(::GetDlgItem(box, IDOK));
    ASSERT_EQ(::WaitForSingleObject(program.process.get(), 10000), WAIT_OBJECT_0);
  }
}

}  // namespace
}  // namespace tavi
