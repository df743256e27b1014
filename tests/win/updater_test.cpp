// The updater in this process, with a program folder of its own in a scratch folder, its
// command line, message boxes and process ends under the test's control, against the
// loopback HTTP server.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "loopback_http.h"
#include "scripted_prompts.h"
#include "update/update_texts.h"
#include "update/updater_win32.h"
#include "win/files_win32.h"
#include "win/handle.h"
#include "win/text_win32.h"
#include "win_test_support.h"

namespace tavi {
namespace {

using test::FileExists;
using test::ReadFileBytes;
using test::WriteFileBytes;

void MakeFolder(const std::string& path) {
  ASSERT_TRUE(::CreateDirectoryW(Utf8ToWide(path).c_str(), nullptr)) << path;
}

void CopyTavi(const std::string& target) {
  ASSERT_TRUE(::CopyFileW(Utf8ToWide(test::RequiredEnvPath("TAVI_TAVI_EXE")).c_str(),
                          Utf8ToWide(target).c_str(), FALSE));
}

// An installation, tavi.exe (version 2.4.0.0) in a scratch folder, and everything the updater
// does to the world outside it, written down.
class UpdaterTest : public ::testing::Test {
 protected:
  void SetUp() override { CopyTavi(Exe()); }

  std::string Exe() const { return dir.File("tavi.exe"); }
  std::string Info() const { return dir.File("update.info"); }
  std::string Downloads() const { return dir.File("update"); }

  TRavoUpdaterEnvironment Environment(std::string running, std::vector<std::string> arguments) {
    TRavoUpdaterEnvironment environment;
    environment.executablePath = std::move(running);
    environment.arguments = std::move(arguments);
    environment.prompts = &prompts;
    environment.startProgram = [this](const std::string& file, const std::string& parameters) {
      starts.push_back(file + " " + parameters);
      return startSucceeds;
    };
    environment.closeProgram = [this] { ++closes; };
    environment.exitProcess = [this] {
      ++exits;
      exitTime = std::chrono::steady_clock::now();
    };
    return environment;
  }

  std::unique_ptr<TRavoUpdater> Make(std::vector<std::string> arguments = {"/s"}) {
    auto updater = std::make_unique<TRavoUpdater>(nullptr, Environment(Exe(), arguments));
    updater->Name = "RavoUpdater1";
    updater->OnError = [this](TObject& sender, const std::string& text) {
      errors.push_back(static_cast<TComponent&>(sender).Name + ":" + text);
    };
    return updater;
  }

  // Serves the description, points the updater at it and asks.
  bool Describe(TRavoUpdater& updater, const std::string& description) {
    WriteFileBytes(served.File("update.php"), description);
    updater.URL = served.Url("update.php");
    return updater.HaveUpdates(files, info);
  }

  test::TempDir dir;
  test::ServedFolder served;
  std::string files, info;
  test::ScriptedPrompts prompts;
  std::vector<std::string> starts, errors;
  bool startSucceeds = true;
  int closes = 0, exits = 0;
  std::chrono::steady_clock::time_point exitTime;
};

TEST_F(UpdaterTest, StartWithoutArgumentsRemovesWhatAnUpdateLeftBehind) {
  WriteFileBytes(Info(), "[a.dll]\r\n");
  MakeFolder(Downloads());
  MakeFolder(Downloads() + "\\sub");
  WriteFileBytes(Downloads() + "\\tavi.exe", "new");
  WriteFileBytes(Downloads() + "\\sub\\a.txt", "a");
  // One and two arguments (a command line of the program's own) leave everything alone.
  Make({"0"});
  Make({"/s", "1"});
  EXPECT_TRUE(FileExists(Info()));
  EXPECT_TRUE(FileExists(Downloads() + "\\sub\\a.txt"));

  // The finishing copy of an update may still hold its file for a moment.
  Handle held(::CreateFileW(Utf8ToWide(Downloads() + "\\tavi.exe").c_str(), GENERIC_READ, 0,
                            nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held);
  std::thread release([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    held.reset();
  });
  Make({});
  release.join();
  EXPECT_FALSE(FileExists(Info()));
  EXPECT_FALSE(FileExists(Downloads()));
  EXPECT_EQ(exits + closes + static_cast<int>(starts.size()), 0);

  // With nothing to remove a start does not wait for anything.
  const auto start = std::chrono::steady_clock::now();
  Make({});
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(900));
}

TEST_F(UpdaterTest, HandOverChecksItsArgumentsWaitsForTheOldProgramAndCopiesTheTree) {
  // The download folder, as ApplyUpdates leaves it, and the installation around it.
  MakeFolder(Downloads());
  MakeFolder(Downloads() + "\\sub");
  MakeFolder(Downloads() + "\\absent");
  const std::string copy = Downloads() + "\\tavi.exe";
  WriteFileBytes(copy, "new program");
  WriteFileBytes(Downloads() + "\\sub\\a.txt", "new a");
  WriteFileBytes(Downloads() + "\\absent\\b.txt", "b");
  MakeFolder(dir.File("sub"));
  WriteFileBytes(dir.File("sub\\a.txt"), "old a");
  WriteFileBytes(Info(), "[tavi.exe]\r\n");

  // Arguments that do not check out: a normal start, without cleanup.
  const std::string pid = std::to_string(::GetCurrentProcessId() + 4);
  const std::string elsewhere = dir.File("elsewhere\\tavi.exe"), other = Downloads() + "\\o.exe";
  MakeFolder(dir.File("elsewhere"));
  WriteFileBytes(elsewhere, "x");
  WriteFileBytes(other, "x");
  const std::vector<std::vector<std::string>> cases = {
      {copy, "0", "a", "b"},
      {copy, std::to_string(::GetCurrentProcessId()), Exe(), copy},  // itself: would never end
      {copy, pid, dir.File("missing.exe"), copy},
      {Exe(), pid, Exe(), copy},           // not run by the copy itself
      {elsewhere, pid, Exe(), elsewhere},  // not the update folder
      {other, pid, Exe(), other},          // another name
  };
  for (const std::vector<std::string>& c : cases) {
    TRavoUpdater updater(nullptr, Environment(c[0], {c[1], c[2], c[3]}));
    EXPECT_EQ(exits, 0) << c[0] << " " << c[1] << " " << c[2] << " " << c[3];
  }
  EXPECT_TRUE(starts.empty());
  EXPECT_NE(ReadFileBytes(Exe()), "new program");
  EXPECT_TRUE(FileExists(Info()));

  // The old program: a process that ends only when the test ends it.
  std::wstring commandLine = L"cmd.exe /c exit";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION old{};
  ASSERT_TRUE(::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                               CREATE_SUSPENDED, nullptr, nullptr, &startup, &old));
  const Handle process(old.hProcess), thread(old.hThread);
  std::chrono::steady_clock::time_point ended;
  std::thread end([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    ended = std::chrono::steady_clock::now();
    ::TerminateProcess(process.get(), 0);
  });
  // The same folders in other letter cases and spellings are the same folders.
  const std::string spelled = Downloads() + "\\..\\UPDATE\\TAVI.EXE";
  TRavoUpdater updater(nullptr,
                       Environment(copy, {std::to_string(old.dwProcessId), Exe(), spelled}));
  end.join();
  ASSERT_EQ(exits, 1);
  EXPECT_GE(exitTime, ended);
  EXPECT_EQ(ReadFileBytes(Exe()), "new program");
  EXPECT_EQ(ReadFileBytes(dir.File("sub\\a.txt")), "new a");
  EXPECT_FALSE(FileExists(dir.File("absent")));  // folders are not created
  EXPECT_EQ(starts, std::vector<std::string>{Exe() + " "});
  // Its cleanup is for the installed program's start.
  EXPECT_TRUE(FileExists(Info()));
  EXPECT_TRUE(FileExists(copy));
}

TEST_F(UpdaterTest, DescriptionIsStoredAndDecided) {
  const std::unique_ptr<TRavoUpdater> updater = Make();
  updater->ApplyUpdates();                          // before asking: a box
  EXPECT_FALSE(updater->HaveUpdates(files, info));  // without an address: a box
  ASSERT_EQ(prompts.shown.size(), 2u);
  EXPECT_EQ(prompts.shown[0].text, "RavoUpdater1.HaveUpdates를 호출한 후 사용하십시오.");
  EXPECT_EQ(prompts.shown[1].text, "컴포넌트 RavoUpdater1의 URL 속성을 설정하십시오.");
  for (const test::ScriptedPrompts::Prompt& box : prompts.shown) {
    EXPECT_EQ(box.caption, "RavoUpdater1");
    EXPECT_EQ(box.flags, static_cast<UINT>(MB_OK | MB_ICONHAND));
    EXPECT_EQ(box.owner, nullptr);
  }
  EXPECT_FALSE(FileExists(Downloads()));

  WriteFileBytes(dir.File("same.dll"), "no version information");
  CopyTavi(dir.File("current.exe"));
  // The server speaks the system's ANSI code page, as INI files do.
  const std::string description = Utf8ToCodePage(
      "[info]\r\n1=속도 개선\r\n2=버그 수정\r\n"
      "[tavi.exe]\r\nver=2.5.0.0\r\nurl=http://x/tavi.exe\r\n"
      "[same.dll]\r\nurl=http://x/same.dll\r\n"
      "[new.dll]\r\nver=1.0.0.0\r\n"
      "[current.exe]\r\nver=2.4.0.0",  // no line break at the end: one is appended
      949);
  info = "before\r\n";
  EXPECT_TRUE(Describe(*updater, description));
  EXPECT_EQ(files, "tavi.exe\r\nnew.dll\r\n");
  EXPECT_EQ(info, "before\r\n속도 개선\r\n\r\n버그 수정\r\n\r\n");
  EXPECT_EQ(ReadFileBytes(Info()), description + "\r\n");

  // Only information: nothing to update, and the description goes.
  files = info = "";
  EXPECT_FALSE(Describe(*updater, "[info]\r\n1=x\r\n"));
  EXPECT_EQ(info, "x\r\n\r\n");
  EXPECT_FALSE(FileExists(Info()));
  EXPECT_TRUE(errors.empty());
}

TEST_F(UpdaterTest, FailedDescriptionRequestEndsTheWaitWithAnError) {
  const std::unique_ptr<TRavoUpdater> updater = Make();
  updater->URL = "http://127.0.0.1:1/myAPP/Tavi/update.php";  // nobody listens there
  EXPECT_FALSE(updater->HaveUpdates(files, info));
  EXPECT_FALSE(updater->DescriptionReceived());
  const std::string empty = test::LoopbackHttpUrl("/data?size=0");
  updater->URL = empty;
  EXPECT_FALSE(updater->HaveUpdates(files, info));
  EXPECT_FALSE(updater->DescriptionReceived());
  EXPECT_EQ(errors,
            (std::vector<std::string>{"InfoDownload:서버[127.0.0.1:1]에 연결할 수 없습니다.",
                                      "RavoUpdater1:" + DescriptionFailedText(empty)}));
  EXPECT_FALSE(FileExists(Info()));
  updater->ApplyUpdates();  // still no description: nothing to apply
  EXPECT_EQ(prompts.shown.size(), 1u);

  // A description that cannot be stored (a folder stands in its place) is no description.
  errors.clear();
  MakeFolder(Info());
  EXPECT_FALSE(Describe(*updater, "[a.dll]\r\n"));
  EXPECT_FALSE(updater->DescriptionReceived());
  EXPECT_EQ(errors, std::vector<std::string>{"RavoUpdater1:" + DescriptionNotStoredText(Info())});
}

TEST_F(UpdaterTest, ApplyDownloadsEveryOutOfDateFileAndHandsOver) {
  const std::unique_ptr<TRavoUpdater> updater = Make();
  WriteFileBytes(served.File("a.dll"), std::string(3000, 'b'));
  WriteFileBytes(served.File("help.txt"), "help");
  ASSERT_TRUE(Describe(*updater, "[a.dll]\r\nver=1\r\nurl=" + served.Url("a.dll") +
                                     "\r\n[help.txt]\r\nurl=" + served.Url("help.txt") + "\r\n"));
  std::vector<std::string> progress, done;
  updater->OnProgress = [&](TObject& sender, const std::string& file, std::int64_t total,
                            std::int64_t read) {
    progress.push_back(std::string(sender.ClassName()) + ":" + file + ":" + std::to_string(total) +
                       ":" + std::to_string(read));
  };
  updater->OnDoneFile = [&](TObject& sender, const std::string& file, std::int64_t size) {
    done.push_back(static_cast<TComponent&>(sender).Name + ":" + file + ":" + std::to_string(size));
  };
  updater->ApplyUpdates();

  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(ReadFileBytes(Downloads() + "\\a.dll"), std::string(3000, 'b'));
  EXPECT_EQ(ReadFileBytes(Downloads() + "\\help.txt"), "help");
  EXPECT_EQ(progress,
            (std::vector<std::string>{
                "THttpDownloadThread:a.dll:3000:1025", "THttpDownloadThread:a.dll:3000:2050",
                "THttpDownloadThread:a.dll:3000:3000", "THttpDownloadThread:help.txt:4:4"}));
  EXPECT_EQ(done, (std::vector<std::string>{"FileDownload:" + Downloads() + "\\a.dll:3000",
                                            "FileDownload:" + Downloads() + "\\help.txt:4"}));
  // The update has no program of its own: the running one is the copy that installs.
  const std::string copy = Downloads() + "\\tavi.exe";
  EXPECT_EQ(ReadFileBytes(copy), ReadFileBytes(Exe()));
  EXPECT_EQ(starts, std::vector<std::string>{copy + " " + std::to_string(::GetCurrentProcessId()) +
                                             " \"" + Exe() + "\" \"" + copy + "\""});
  EXPECT_EQ(closes, 1);

  // A shell that cannot start the copy: the program stays, and says so.
  startSucceeds = false;
  updater->ApplyUpdates();
  EXPECT_EQ(closes, 1);
  EXPECT_EQ(errors, std::vector<std::string>{"RavoUpdater1:" + HandOverFailedText(copy)});
}

TEST_F(UpdaterTest, EveryFaultStopsTheUpdateWithItsReason) {
  const std::unique_ptr<TRavoUpdater> updater = Make();
  WriteFileBytes(served.File("a.dll"), "aaa");
  const std::string moved = test::LoopbackHttpUrl("/data?status=301&size=10");
  const std::string shortBody = test::LoopbackHttpUrl("/data?size=10&length=20");
  struct Case {
    std::string section, url, error;
  };
  const std::vector<Case> cases = {
      {"b.dll", moved, "RavoUpdater1:HTTP/1.0 301 Moved Permanently\r\r\n\r\n" + moved},
      {"b.dll", "http://127.0.0.1:1/b.dll", "FileDownload:서버[127.0.0.1:1]에 연결할 수 없습니다."},
      {"b.dll", shortBody, "RavoUpdater1:" + DownloadFailedText("b.dll", shortBody)},
      {"sub\\b.dll", served.Url("a.dll"), "RavoUpdater1:" + RefusedNameText("sub\\b.dll")},
      {"..\\b.dll", served.Url("a.dll"), "RavoUpdater1:" + RefusedNameText("..\\b.dll")},
      {"C:\\b.dll", served.Url("a.dll"), "RavoUpdater1:" + RefusedNameText("C:\\b.dll")},
  };
  for (const Case& c : cases) {
    errors.clear();
    RemoveFolderTree(Downloads());
    ASSERT_TRUE(Describe(*updater, "[a.dll]\r\nurl=" + served.Url("a.dll") + "\r\n[" + c.section +
                                       "]\r\nurl=" + c.url +
                                       "\r\n[c.dll]\r\nurl=" + served.Url("a.dll") + "\r\n"));
    updater->ApplyUpdates();
    EXPECT_EQ(errors, std::vector<std::string>{c.error});
    // A refused name stops the update before anything is downloaded; any other fault after.
    const bool refused = c.section != "b.dll";
    EXPECT_EQ(FileExists(Downloads() + "\\a.dll"), !refused) << c.url;
    if (c.error.find("HTTP/") != std::string::npos) {
      EXPECT_FALSE(FileExists(Downloads() + "\\b.dll")) << c.url;  // an error page goes
    }
    EXPECT_FALSE(FileExists(Downloads() + "\\c.dll")) << c.url;
    EXPECT_FALSE(FileExists(Downloads() + "\\tavi.exe")) << c.url;
  }
  EXPECT_FALSE(FileExists(dir.File("b.dll")));
  EXPECT_FALSE(FileExists("C:\\b.dll"));

  // A download folder that cannot be made.
  errors.clear();
  RemoveFolderTree(Downloads());
  WriteFileBytes(Downloads(), "a file where the folder belongs");
  ASSERT_TRUE(Describe(*updater, "[a.dll]\r\nurl=" + served.Url("a.dll") + "\r\n"));
  updater->ApplyUpdates();
  EXPECT_EQ(errors, std::vector<std::string>{"RavoUpdater1:" + FolderNotCreatedText(Downloads())});
  EXPECT_TRUE(starts.empty());
  EXPECT_EQ(closes, 0);
}

}  // namespace
}  // namespace tavi
