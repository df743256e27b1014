// The updater in this process, with a program folder of its own in a scratch folder, its
// command line, message boxes and process ends under the test's control, against the
// loopback HTTP server.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "loopback_http.h"
#include "update/update_texts.h"
#include "update/updater_win32.h"
#include "win/handle.h"
#include "win/text_win32.h"
#include "win_test_support.h"

namespace tavi {
namespace {

using test::FileExists;
using test::LoopbackHttpUrl;
using test::ReadFileBytes;
using test::WriteFileBytes;

bool FolderExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(Utf8ToWide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void MakeFolder(const std::string& path) {
  ASSERT_TRUE(::CreateDirectoryW(Utf8ToWide(path).c_str(), nullptr)) << path;
}

void CopyTavi(const std::string& target) {
  ASSERT_TRUE(::CopyFileW(Utf8ToWide(test::RequiredEnvPath("TAVI_TAVI_EXE")).c_str(),
                          Utf8ToWide(target).c_str(), FALSE));
}

// Everything the updater does to the world outside the program folder, written down.
struct World {
  struct Box {
    std::string text, caption;
    UINT flags;
  };
  struct Start {
    std::string file, parameters;
  };
  struct Error {
    std::string sender, text;
  };

  TRavoUpdaterEnvironment Environment(std::string executable, std::vector<std::string> arguments) {
    TRavoUpdaterEnvironment environment;
    environment.executablePath = std::move(executable);
    environment.arguments = std::move(arguments);
    environment.messageBox = [this](std::string_view text, std::string_view caption, UINT flags) {
      boxes.push_back({std::string(text), std::string(caption), flags});
      return IDOK;
    };
    environment.startProgram = [this](const std::string& file, const std::string& parameters) {
      starts.push_back({file, parameters});
      return startSucceeds;
    };
    environment.closeProgram = [this] { ++closes; };
    environment.exitProcess = [this] {
      ++exits;
      exitTime = std::chrono::steady_clock::now();
    };
    return environment;
  }

  void Listen(TRavoUpdater& updater) {
    updater.OnError = [this](TObject& sender, const std::string& text) {
      errors.push_back(
          {std::string(sender.ClassName()) + ":" + static_cast<TComponent&>(sender).Name, text});
    };
  }

  std::vector<Box> boxes;
  std::vector<Start> starts;
  std::vector<Error> errors;
  bool startSucceeds = true;
  int closes = 0;
  int exits = 0;
  std::chrono::steady_clock::time_point exitTime;
};

// An installation: tavi.exe (version 2.4.0.0) in a scratch folder.
class UpdaterTest : public ::testing::Test {
 protected:
  void SetUp() override { CopyTavi(Exe()); }

  std::string Exe() const { return dir.File("tavi.exe"); }
  std::string Info() const { return dir.File("update.info"); }
  std::string Downloads() const { return dir.File("update"); }

  std::unique_ptr<TRavoUpdater> Make(std::vector<std::string> arguments = {"/s"}) {
    auto updater = std::make_unique<TRavoUpdater>(nullptr, world.Environment(Exe(), arguments));
    updater->Name = "RavoUpdater1";
    world.Listen(*updater);
    return updater;
  }

  // Serves the description and points the updater at it.
  void Describe(TRavoUpdater& updater, const std::string& description) {
    WriteFileBytes(served.File("update.php"), description);
    updater.URL = served.Url("update.php");
  }

  test::TempDir dir;
  test::ServedFolder served;
  World world;
};

TEST_F(UpdaterTest, StartWithoutArgumentsRemovesWhatAnUpdateLeftBehind) {
  WriteFileBytes(Info(), "[a.dll]\r\n");
  MakeFolder(Downloads());
  MakeFolder(Downloads() + "\\sub");
  WriteFileBytes(Downloads() + "\\tavi.exe", "new");
  WriteFileBytes(Downloads() + "\\sub\\a.txt", "a");

  // One and two arguments (a command line of the program's own) leave everything alone.
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"0"}, std::vector<std::string>{"/s", "1"}}) {
    Make(arguments);
    EXPECT_TRUE(FileExists(Info()));
    EXPECT_TRUE(FileExists(Downloads() + "\\sub\\a.txt"));
  }

  // The finishing copy of an update may still hold its file for a moment.
  Handle held(::CreateFileW(Utf8ToWide(Downloads() + "\\tavi.exe").c_str(), GENERIC_READ, 0,
                            nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held);
  std::thread release([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    held.reset();
  });
  const std::unique_ptr<TRavoUpdater> updater = Make({});
  release.join();
  EXPECT_FALSE(FileExists(Info()));
  EXPECT_FALSE(FolderExists(Downloads()));
  EXPECT_EQ(updater->GetInfoDownload().Name, "InfoDownload");
  EXPECT_EQ(updater->GetFileDownload().Name, "FileDownload");
  EXPECT_TRUE(updater->GetFileDownload().BinaryData);
  EXPECT_FALSE(updater->GetInfoDownload().BinaryData);
  EXPECT_EQ(updater->Agent, "RavoUpdater");
  EXPECT_EQ(world.exits + world.closes + static_cast<int>(world.starts.size()), 0);

  // With nothing to remove a start does not wait for anything.
  const auto start = std::chrono::steady_clock::now();
  Make({});
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(900));
}

TEST_F(UpdaterTest, HandOverWaitsForTheOldProgramCopiesTheTreeAndStartsTheInstalledOne) {
  // The download folder, as ApplyUpdates leaves it, and the installation around it.
  MakeFolder(Downloads());
  MakeFolder(Downloads() + "\\sub");
  MakeFolder(Downloads() + "\\absent");
  const std::string copy = Downloads() + "\\tavi.exe";
  WriteFileBytes(copy, "new program");
  WriteFileBytes(Downloads() + "\\help.txt", "new help");
  WriteFileBytes(Downloads() + "\\sub\\a.txt", "new a");
  WriteFileBytes(Downloads() + "\\absent\\b.txt", "b");
  MakeFolder(dir.File("sub"));
  WriteFileBytes(dir.File("sub\\a.txt"), "old a");
  WriteFileBytes(Info(), "[tavi.exe]\r\n");

  // The old program: a process that ends only when the test ends it.
  std::wstring commandLine = L"cmd.exe /c exit";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  ASSERT_TRUE(::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                               CREATE_SUSPENDED, nullptr, nullptr, &startup, &info));
  const Handle old(info.hProcess), oldThread(info.hThread);
  std::chrono::steady_clock::time_point ended;
  std::thread end([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    ended = std::chrono::steady_clock::now();
    ::TerminateProcess(old.get(), 0);
  });

  TRavoUpdater updater(nullptr,
                       world.Environment(copy, {std::to_string(info.dwProcessId), Exe(), copy}));
  end.join();
  ASSERT_EQ(world.exits, 1);
  EXPECT_GE(world.exitTime, ended);
  EXPECT_EQ(ReadFileBytes(Exe()), "new program");
  EXPECT_EQ(ReadFileBytes(dir.File("help.txt")), "new help");
  EXPECT_EQ(ReadFileBytes(dir.File("sub\\a.txt")), "new a");
  EXPECT_FALSE(FolderExists(dir.File("absent")));  // folders are not created
  ASSERT_EQ(world.starts.size(), 1u);
  EXPECT_EQ(world.starts[0].file, Exe());
  EXPECT_EQ(world.starts[0].parameters, "");
  // Its cleanup is for the installed program's start.
  EXPECT_TRUE(FileExists(Info()));
  EXPECT_TRUE(FileExists(copy));
}

TEST_F(UpdaterTest, HandOverArgumentsThatDoNotCheckOutStartNormallyWithoutCleanup) {
  MakeFolder(Downloads());
  const std::string copy = Downloads() + "\\tavi.exe";
  WriteFileBytes(copy, "new program");
  WriteFileBytes(Info(), "[tavi.exe]\r\n");
  const std::string pid = std::to_string(::GetCurrentProcessId() + 4);
  const std::string elsewhere = dir.File("elsewhere");
  MakeFolder(elsewhere);
  WriteFileBytes(elsewhere + "\\tavi.exe", "x");
  WriteFileBytes(Downloads() + "\\other.exe", "x");

  struct Case {
    std::string running;
    std::vector<std::string> arguments;
  };
  const std::vector<Case> cases = {
      {copy, {"0", "a", "b"}},
      {copy, {std::to_string(::GetCurrentProcessId()), Exe(), copy}},  // itself: would never end
      {copy, {pid, dir.File("missing.exe"), copy}},
      {Exe(), {pid, Exe(), copy}},  // not run by the copy itself
      {elsewhere + "\\tavi.exe", {pid, Exe(), elsewhere + "\\tavi.exe"}},  // not the update folder
      {Downloads() + "\\other.exe", {pid, Exe(), Downloads() + "\\other.exe"}},  // another name
  };
  for (const Case& c : cases) {
    TRavoUpdater updater(nullptr, world.Environment(c.running, c.arguments));
    EXPECT_EQ(world.exits, 0) << c.arguments[0] << " " << c.arguments[1] << " " << c.arguments[2];
  }
  EXPECT_TRUE(world.starts.empty());
  EXPECT_NE(ReadFileBytes(Exe()), "new program");
  EXPECT_TRUE(FileExists(Info()));
  EXPECT_TRUE(FileExists(copy));

  // The same folders in other letter cases and spellings are the same folders.
  std::string upper = Downloads() + "\\..\\UPDATE\\TAVI.EXE";
  TRavoUpdater updater(nullptr, world.Environment(copy, {"999999", Exe(), upper}));
  EXPECT_EQ(world.exits, 1);
  EXPECT_EQ(ReadFileBytes(Exe()), "new program");
}

TEST_F(UpdaterTest, UsingItWrongGivesItsTwoBoxes) {
  const std::unique_ptr<TRavoUpdater> updater = Make();
  updater->ApplyUpdates();
  std::string files, info;
  EXPECT_FALSE(updater->HaveUpdates(files, info));
  ASSERT_EQ(world.boxes.size(), 2u);
  EXPECT_EQ(world.boxes[0].text, "RavoUpdater1.HaveUpdates를 호출한 후 사용하십시오.");
  EXPECT_EQ(world.boxes[1].text, "컴포넌트 RavoUpdater1의 URL 속성을 설정하십시오.");
  for (const World::Box& box : world.boxes) {
    EXPECT_EQ(box.caption, "RavoUpdater1");
    EXPECT_EQ(box.flags, static_cast<UINT>(MB_OK | MB_ICONHAND));
  }
  EXPECT_FALSE(FolderExists(Downloads()));
  EXPECT_TRUE(world.errors.empty());
}

TEST_F(UpdaterTest, DescriptionIsStoredAndDecided) {
  const std::unique_ptr<TRavoUpdater> updater = Make();
  WriteFileBytes(dir.File("same.dll"), "no version information");
  // The server speaks the system's ANSI code page, as INI files do.
  const std::string description = Utf8ToCodePage(
      "[info]\r\n1=속도 개선\r\n2=버그 수정\r\n"
      "[tavi.exe]\r\nver=2.5.0.0\r\nurl=http://x/tavi.exe\r\n"
      "[same.dll]\r\nurl=http://x/same.dll\r\n"
      "[new.dll]\r\nver=1.0.0.0\r\n"
      "[current.exe]\r\nver=2.4.0.0",  // no line break at the end: one is appended
      949);
  CopyTavi(dir.File("current.exe"));
  Describe(*updater, description);
  std::string files, info = "before\r\n";
  EXPECT_TRUE(updater->HaveUpdates(files, info));
  EXPECT_EQ(files, "tavi.exe\r\nnew.dll\r\n");
  EXPECT_EQ(info, "before\r\n속도 개선\r\n\r\n버그 수정\r\n\r\n");
  EXPECT_EQ(ReadFileBytes(Info()), description + "\r\n");
  EXPECT_TRUE(updater->DescriptionReceived());
  EXPECT_TRUE(updater->HaveUpdatesCalled());

  // Only information: nothing to update, and the description goes.
  Describe(*updater, "[info]\r\n1=x\r\n");
  files = info = "";
  EXPECT_FALSE(updater->HaveUpdates(files, info));
  EXPECT_TRUE(updater->DescriptionReceived());
  EXPECT_EQ(files, "");
  EXPECT_EQ(info, "x\r\n\r\n");
  EXPECT_FALSE(FileExists(Info()));

  // The request is a plain GET of the address with the updater's agent: the echo of the
  // request is the description, which is no INI text and so holds no update.
  updater->Agent = "TestAgent";
  updater->URL = LoopbackHttpUrl("/echo");
  EXPECT_FALSE(updater->HaveUpdates(files, info));
  EXPECT_FALSE(FileExists(Info()));
  EXPECT_TRUE(world.errors.empty());
  EXPECT_TRUE(world.boxes.empty());
}

TEST_F(UpdaterTest, FailedDescriptionRequestEndsTheWaitWithAnError) {
  const std::unique_ptr<TRavoUpdater> updater = Make();
  std::string files, info;

  updater->URL = "http://127.0.0.1:1/myAPP/Tavi/update.php";  // nobody listens there
  EXPECT_FALSE(updater->HaveUpdates(files, info));
  EXPECT_FALSE(updater->DescriptionReceived());
  EXPECT_FALSE(updater->HaveUpdatesCalled());

  updater->URL = LoopbackHttpUrl("/data?size=0");  // an empty reply
  EXPECT_FALSE(updater->HaveUpdates(files, info));
  EXPECT_FALSE(updater->DescriptionReceived());

  ASSERT_EQ(world.errors.size(), 2u);
  EXPECT_EQ(world.errors[0].sender, "THttpDownload:InfoDownload");
  EXPECT_EQ(world.errors[0].text, "서버[127.0.0.1:1]에 연결할 수 없습니다.");
  EXPECT_EQ(world.errors[1].sender, "TRavoUpdater:RavoUpdater1");
  EXPECT_EQ(world.errors[1].text, DescriptionFailedText(LoopbackHttpUrl("/data?size=0")));
  EXPECT_FALSE(FileExists(Info()));
  EXPECT_EQ(files, "");

  // Still no description arrived: nothing to apply.
  updater->ApplyUpdates();
  EXPECT_EQ(world.boxes.size(), 1u);

  // A description that cannot be stored (a folder stands in its place) is no description.
  world.errors.clear();
  MakeFolder(Info());
  Describe(*updater, "[a.dll]\r\n");
  EXPECT_FALSE(updater->HaveUpdates(files, info));
  EXPECT_FALSE(updater->DescriptionReceived());
  ASSERT_EQ(world.errors.size(), 1u);
  EXPECT_EQ(world.errors[0].text, DescriptionNotStoredText(Info()));
}

TEST_F(UpdaterTest, DownloadFolderThatCannotBeMadeStopsTheUpdate) {
  const std::unique_ptr<TRavoUpdater> updater = Make();
  Describe(*updater, "[a.dll]\r\nurl=" + served.Url("a.dll") + "\r\n");
  std::string files, info;
  ASSERT_TRUE(updater->HaveUpdates(files, info));
  WriteFileBytes(Downloads(), "a file where the folder belongs");
  updater->ApplyUpdates();
  ASSERT_EQ(world.errors.size(), 1u);
  EXPECT_EQ(world.errors[0].text, FolderNotCreatedText(Downloads()));
  EXPECT_TRUE(world.starts.empty());
}

struct Progress {
  std::string sender, file;
  std::int64_t total, read;
};

TEST_F(UpdaterTest, ApplyDownloadsEveryOutOfDateFileAndHandsOver) {
  const std::unique_ptr<TRavoUpdater> updater = Make();
  const std::string big(3000, 'b');
  WriteFileBytes(served.File("a.dll"), big);
  WriteFileBytes(served.File("help.txt"), "help");
  Describe(*updater, "[a.dll]\r\nver=1\r\nurl=" + served.Url("a.dll") +
                         "\r\n[help.txt]\r\nurl=" + served.Url("help.txt") + "\r\n");
  std::string files, info;
  ASSERT_TRUE(updater->HaveUpdates(files, info));
  EXPECT_EQ(files, "a.dll\r\nhelp.txt\r\n");

  std::vector<Progress> progress;
  std::vector<std::string> done;
  updater->OnProgress = [&](TObject& sender, const std::string& file, std::int64_t total,
                            std::int64_t read) {
    progress.push_back({std::string(sender.ClassName()), file, total, read});
  };
  updater->OnDoneFile = [&](TObject& sender, const std::string& file, std::int64_t size) {
    done.push_back(static_cast<TComponent&>(sender).Name + ":" + file + ":" + std::to_string(size));
  };
  updater->ApplyUpdates();

  EXPECT_TRUE(world.errors.empty());
  EXPECT_EQ(ReadFileBytes(Downloads() + "\\a.dll"), big);
  EXPECT_EQ(ReadFileBytes(Downloads() + "\\help.txt"), "help");
  ASSERT_EQ(progress.size(), 4u);
  EXPECT_EQ(progress[0].sender, "THttpDownloadThread");
  EXPECT_EQ(progress[0].file, "a.dll");
  EXPECT_EQ(progress[0].total, 3000);
  EXPECT_EQ(progress[0].read, 1025);
  EXPECT_EQ(progress[3].file, "help.txt");
  EXPECT_EQ(progress[3].read, 4);
  EXPECT_EQ(done, (std::vector<std::string>{"FileDownload:" + Downloads() + "\\a.dll:3000",
                                            "FileDownload:" + Downloads() + "\\help.txt:4"}));
  // The update has no program of its own: the running one is the copy that installs.
  EXPECT_EQ(ReadFileBytes(Downloads() + "\\tavi.exe"), ReadFileBytes(Exe()));
  ASSERT_EQ(world.starts.size(), 1u);
  EXPECT_EQ(world.starts[0].file, Downloads() + "\\tavi.exe");
  EXPECT_EQ(world.starts[0].parameters, std::to_string(::GetCurrentProcessId()) + " \"" + Exe() +
                                            "\" \"" + Downloads() + "\\tavi.exe\"");
  EXPECT_EQ(world.closes, 1);

  // Once the description is gone nothing is out of date, and it hands over all the same.
  ASSERT_TRUE(::DeleteFileW(Utf8ToWide(Info()).c_str()));
  updater->ApplyUpdates();
  EXPECT_EQ(world.starts.size(), 2u);
  EXPECT_EQ(world.closes, 2);

  // A shell that cannot start the copy: the program stays, and says so.
  world.startSucceeds = false;
  updater->ApplyUpdates();
  EXPECT_EQ(world.closes, 2);
  ASSERT_EQ(world.errors.size(), 1u);
  EXPECT_EQ(world.errors[0].text, HandOverFailedText(Downloads() + "\\tavi.exe"));
}

TEST_F(UpdaterTest, AnyStatusButSuccessStopsTheUpdateAndDeletesTheFile) {
  const std::unique_ptr<TRavoUpdater> updater = Make();
  WriteFileBytes(served.File("a.dll"), "aaa");
  const std::string missing = served.Url("b.dll");  // the server answers 404
  const std::string failing = LoopbackHttpUrl("/data?status=500&size=100");
  const std::string moved = LoopbackHttpUrl("/data?status=301&size=10");
  for (const std::string& url : {missing, failing, moved}) {
    world.errors.clear();
    RemoveFolderTree(Downloads());
    Describe(*updater, "[a.dll]\r\nurl=" + served.Url("a.dll") + "\r\n[b.dll]\r\nurl=" + url +
                           "\r\n[c.dll]\r\nurl=" + served.Url("a.dll") + "\r\n");
    std::string files, info;
    ASSERT_TRUE(updater->HaveUpdates(files, info));
    updater->ApplyUpdates();

    EXPECT_EQ(ReadFileBytes(Downloads() + "\\a.dll"), "aaa") << url;
    EXPECT_FALSE(FileExists(Downloads() + "\\b.dll")) << url;
    EXPECT_FALSE(FileExists(Downloads() + "\\c.dll")) << url;  // stopped at the first fault
    EXPECT_FALSE(FileExists(Downloads() + "\\tavi.exe")) << url;
    ASSERT_EQ(world.errors.size(), 1u) << url;
    EXPECT_EQ(world.errors[0].sender, "TRavoUpdater:RavoUpdater1");
    const std::string status = world.errors[0].text.substr(0, world.errors[0].text.find('\r') + 1);
    EXPECT_EQ(world.errors[0].text, status + "\r\n\r\n" + url);
    EXPECT_EQ(status.substr(0, 9), "HTTP/1.0 ");
  }
  EXPECT_NE(world.errors[0].text.find(" 301 "), std::string::npos);
  EXPECT_TRUE(world.starts.empty());
  EXPECT_EQ(world.closes, 0);

  // Without anyone to tell, the error page is deleted all the same.
  updater->OnError = nullptr;
  updater->ApplyUpdates();
  EXPECT_FALSE(FileExists(Downloads() + "\\b.dll"));
  EXPECT_TRUE(world.starts.empty());
}

TEST_F(UpdaterTest, FailedDownloadsStopTheUpdateWithTheirReason) {
  const std::unique_ptr<TRavoUpdater> updater = Make();
  struct Case {
    std::string section, url, error;
    bool refused;
  };
  const std::string shortBody = LoopbackHttpUrl("/data?size=10&length=20");
  const std::vector<Case> cases = {
      {"a.dll", "http://127.0.0.1:1/a.dll", "서버[127.0.0.1:1]에 연결할 수 없습니다.", false},
      {"a.dll", shortBody, DownloadFailedText("a.dll", shortBody), false},
      {"sub\\a.dll", served.Url("a.dll"), RefusedNameText("sub\\a.dll"), true},
      {"..\\a.dll", served.Url("a.dll"), RefusedNameText("..\\a.dll"), true},
      {"C:\\a.dll", served.Url("a.dll"), RefusedNameText("C:\\a.dll"), true},
  };
  WriteFileBytes(served.File("a.dll"), "aaa");
  for (const Case& c : cases) {
    world.errors.clear();
    Describe(*updater, "[good.dll]\r\nurl=" + served.Url("a.dll") + "\r\n[" + c.section +
                           "]\r\nurl=" + c.url);
    std::string files, info;
    ASSERT_TRUE(updater->HaveUpdates(files, info)) << c.section;
    updater->ApplyUpdates();
    ASSERT_EQ(world.errors.size(), 1u) << c.url;
    EXPECT_EQ(world.errors[0].text, c.error);
    // A refused name stops the update before anything is downloaded.
    EXPECT_EQ(FileExists(Downloads() + "\\good.dll"), !c.refused) << c.section;
    RemoveFolderTree(Downloads());
  }
  EXPECT_FALSE(FileExists(dir.File("a.dll")));
  EXPECT_TRUE(world.starts.empty());
  EXPECT_EQ(world.closes, 0);
}

}  // namespace
}  // namespace tavi
