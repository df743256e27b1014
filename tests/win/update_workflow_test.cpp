// The update button of the real main window in this process, against the loopback HTTP
// server: the boxes it shows (answered by a script), the progress dialog and the hand-over.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_layout.h"
#include "app/main_window_win32.h"
#include "loopback_http.h"
#include "scripted_prompts.h"
#include "update/update_texts.h"
#include "win/text_win32.h"
#include "win_test_support.h"

namespace tavi {
namespace {

using test::FileExists;
using test::WriteFileBytes;

struct Seen {
  std::string caption, text, windowCaption;
  int position;
};

class UpdateWorkflowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(::CopyFileW(Utf8ToWide(test::RequiredEnvPath("TAVI_TAVI_EXE")).c_str(),
                            Utf8ToWide(dir.File("tavi.exe")).c_str(), FALSE));
  }

  void Open() {
    TfrmMainOptions options;
    options.iniPath = dir.File("tavi.ini");
    options.prompts = &prompts;
    options.updater.executablePath = dir.File("tavi.exe");
    options.updater.startProgram = [this](const std::string& file, const std::string& parameters) {
      starts.push_back(file + " " + parameters);
      if (frm && frm->UpdateProgress()) atHandOver = Observe();
      return true;
    };
    options.updateUrl = served.Url("update.php");
    frm = std::make_unique<TfrmMain>(std::move(options));
    frm->Show(SW_SHOW);
    test::PumpMessages();
  }

  // Lets the window's progress handler run, then writes down what the dialog shows.
  void WatchProgress(std::function<void()> also = nullptr) {
    auto shown = frm->RavoUpdater1->OnProgress;
    frm->RavoUpdater1->OnProgress = [this, shown, also](TObject& sender, const std::string& name,
                                                        std::int64_t total, std::int64_t read) {
      shown(sender, name, total, read);
      seen.push_back(Observe());
      if (also) also();
    };
  }

  Seen Observe() const {
    const TProgressDialog* dialog = frm->UpdateProgress();
    return {GetWindowTextUtf8(dialog->Handle()), GetWindowTextUtf8(dialog->TextLine()),
            GetWindowTextUtf8(frm->Handle()), dialog->Position()};
  }

  void ClickUpdate() { ::SendMessageW(frm->Control(ControlId::btnUpdate), BM_CLICK, 0, 0); }

  test::TempDir dir;
  test::ServedFolder served;
  test::ScriptedPrompts prompts;
  std::unique_ptr<TfrmMain> frm;
  std::vector<std::string> starts;
  std::vector<Seen> seen;
  Seen atHandOver{};
};

const std::string kDashes(20, '-');

TEST_F(UpdateWorkflowTest, UpToDateAndDeclinedUpdatesLeaveNothingBehind) {
  Open();
  WriteFileBytes(served.File("update.php"), "[info]\r\n1=x\r\n[tavi.exe]\r\nver=2.4.0.0\r\n");
  ClickUpdate();
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "최신 버전입니다.");
  EXPECT_EQ(prompts.shown[0].caption, "버전 정보");
  EXPECT_EQ(prompts.shown[0].flags, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
  EXPECT_EQ(prompts.shown[0].owner, nullptr);
  EXPECT_FALSE(FileExists(dir.File("update.info")));

  WriteFileBytes(served.File("update.php"),
                 Utf8ToCodePage("[tavi.exe]\r\nver=2.5.0.0\r\n[새 파일.txt]\r\n", 949));
  prompts.shown.clear();
  prompts.answers = {IDNO, IDNO};
  ClickUpdate();
  ClickUpdate();  // asks the server again: a new description, a new question
  ASSERT_EQ(prompts.shown.size(), 2u);
  for (const auto& prompt : prompts.shown) {
    EXPECT_EQ(prompt.caption, "Confirm");
    EXPECT_EQ(prompt.flags, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(prompt.owner, frm->Handle());
    EXPECT_EQ(prompt.text, "새로운 버전으로 업데이트하시겠습니까?\r\n\r\n" + kDashes +
                               " 업데이트 정보 " + kDashes + "\r\n\r\n\r\n\r\n" + kDashes +
                               " 업데이트할 파일 " + kDashes +
                               "\r\n\r\ntavi.exe\r\n새 파일.txt\r\n");
  }
  EXPECT_FALSE(FileExists(dir.File("update.info")));
  EXPECT_FALSE(FileExists(dir.File("update")));
  EXPECT_TRUE(starts.empty());
}

TEST_F(UpdateWorkflowTest, AcceptedUpdateShowsEachFileAndHandsOver) {
  Open();
  const std::string slow = test::LoopbackHttpUrl("/data?size=4100&chunk=1025&delay=20");
  WriteFileBytes(served.File("b.dll"), std::string(2048, 'b'));
  WriteFileBytes(served.File("update.php"), Utf8ToCodePage("[info]\r\n1=두 파일\r\n", 949) +
                                                "[a.dll]\r\nurl=" + slow +
                                                "\r\n[b.dll]\r\nurl=" + served.Url("b.dll"));
  prompts.answers = {IDYES};
  int clicksDuringUpdate = 0;
  WatchProgress([&] {
    if (clicksDuringUpdate++ == 0) ClickUpdate();  // ignored while the update runs
  });
  ClickUpdate();

  ASSERT_EQ(prompts.shown.size(), 1u);  // the question only: no second one, no error
  EXPECT_NE(prompts.shown[0].text.find("두 파일\r\n\r\n\r\n\r\n"), std::string::npos);
  EXPECT_EQ(frm->UpdateFiles, (std::vector<std::string>{"a.dll", "b.dll"}));
  ASSERT_EQ(seen.size(), 6u);  // 4 blocks of a.dll, 2 of b.dll
  EXPECT_EQ(seen[0].caption, "업데이트 - 1/2");
  EXPECT_EQ(seen[0].position, 25);
  EXPECT_EQ(seen[0].text, "파일(a.dll)을 다운로드하고 있습니다... (25%)      ");
  EXPECT_EQ(seen[3].caption, "업데이트 - 1/2");
  EXPECT_EQ(seen[4].caption, "업데이트 - 2/2");
  EXPECT_EQ(seen[4].position, 50);
  for (const Seen& s : seen)
    EXPECT_EQ(s.windowCaption, "Tavi 2.4");
  EXPECT_EQ(atHandOver.text, "파일(b.dll)을 다운로드하고 있습니다... (100%)      ");

  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0], dir.File("update\\tavi.exe") + " " +
                           std::to_string(::GetCurrentProcessId()) + " \"" + dir.File("tavi.exe") +
                           "\" \"" + dir.File("update\\tavi.exe") + "\"");
  EXPECT_EQ(frm->UpdateProgress(), nullptr);
  EXPECT_EQ(::FindWindowW(L"TaviProgressDialog", nullptr), nullptr);
  // The window closes once the handler has returned.
  ASSERT_TRUE(test::WaitUntil([&] { return frm->Handle() == nullptr; }));
}

TEST_F(UpdateWorkflowTest, ErrorsAreShownAndTheWindowStays) {
  Open();
  WriteFileBytes(served.File("a.dll"), "aaa");
  const std::string missing = served.Url("b.dll");
  WriteFileBytes(served.File("update.php"),
                 "[a.dll]\r\nurl=" + served.Url("a.dll") + "\r\n[b.dll]\r\nurl=" + missing);
  prompts.answers = {IDYES};
  ClickUpdate();
  ASSERT_EQ(prompts.shown.size(), 2u);
  EXPECT_EQ(prompts.shown[1].text, "HTTP/1.0 404 Not Found\r\r\n\r\n" + missing);
  EXPECT_EQ(prompts.shown[1].caption, "Tavi");
  EXPECT_EQ(prompts.shown[1].flags, static_cast<UINT>(MB_OK));  // no icon
  EXPECT_EQ(frm->UpdateProgress(), nullptr);
  EXPECT_EQ(::FindWindowW(L"TaviProgressDialog", nullptr), nullptr);
  EXPECT_TRUE(FileExists(dir.File("update\\a.dll")));
  EXPECT_TRUE(starts.empty());

  // A server nobody answers: its error, and no claim that the program is up to date.
  prompts.shown.clear();
  frm->RavoUpdater1->URL = "http://127.0.0.1:1/myAPP/Tavi/update.php";
  ClickUpdate();
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "서버[127.0.0.1:1]에 연결할 수 없습니다.");
  test::PumpMessages();
  EXPECT_TRUE(::IsWindowVisible(frm->Handle()));
  EXPECT_EQ(GetWindowTextUtf8(frm->Handle()), "Tavi 2.4");
}

}  // namespace
}  // namespace tavi
