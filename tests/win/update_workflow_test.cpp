// The update button of the real main window in this process, against the loopback HTTP
// server: the boxes it shows (answered by a script), the progress dialog and the hand-over.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "app/main_layout.h"
#include "loopback_http.h"
#include "win/message_loop_win32.h"
#include "window_test.h"

namespace tavi {
namespace {

using test::FileExists;
using test::WriteFileBytes;

BOOL CALLBACK CountWindow(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

struct Seen {
  std::string caption, text, windowCaption;
  int position;
};

class UpdateWorkflowTest : public test::WindowTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(::CopyFileW(Utf8ToWide(test::RequiredEnvPath("TAVI_TAVI_EXE")).c_str(),
                            Utf8ToWide(dir_.File("tavi.exe")).c_str(), FALSE));
    TfrmMainOptions options = Options();
    options.updater.startProgram = [this](const std::string& file, const std::string& parameters) {
      starts.push_back(file + " " + parameters);
      if (frm_ && frm_->UpdateProgress()) atHandOver = Observe();
      return true;
    };
    options.updateUrl = served.Url("update.php");
    Open(std::move(options));
  }

  Seen Observe() const {
    const TProgressDialog* dialog = frm_->UpdateProgress();
    return {GetWindowTextUtf8(dialog->Handle()), GetWindowTextUtf8(dialog->TextLine()),
            GetWindowTextUtf8(frm_->Handle()), dialog->Position()};
  }

  void ClickUpdate() { Click(ControlId::btnUpdate); }

  test::ServedFolder served;
  std::vector<std::string> starts;
  Seen atHandOver{};
};

TEST_F(UpdateWorkflowTest, UpToDateUnreachableAndFailedAreToldApart) {
  WriteFileBytes(served.File("update.php"), "[info]\r\n1=x\r\n[tavi.exe]\r\nver=2.4.0.0\r\n");
  ClickUpdate();
  EXPECT_EQ(ExpectBox("최신 버전입니다.", "버전 정보", MB_OK | MB_ICONINFORMATION).owner, nullptr);
  EXPECT_FALSE(FileExists(dir_.File("update.info")));

  // A server nobody answers: its error, and no claim that the program is up to date.
  frm_->RavoUpdater1->URL = "http://127.0.0.1:1/myAPP/Tavi/update.php";
  ClickUpdate();
  ExpectBox("서버[127.0.0.1:1]에 연결할 수 없습니다.", "Tavi", MB_OK);  // no icon

  // A file answered with an error page: its status after the first file, no hand-over, and
  // the progress dialog gone.
  const std::string failing = test::LoopbackHttpUrl("/data?status=500&size=64");
  WriteFileBytes(served.File("a.dll"), "a");
  WriteFileBytes(served.File("update.php"), "[a.dll]\r\nurl=" + served.Url("a.dll") +
                                                "\r\n[b.dll]\r\nurl=" + failing + "\r\n");
  frm_->RavoUpdater1->URL = served.Url("update.php");
  prompts_.answers = {IDYES};
  ClickUpdate();
  ASSERT_EQ(prompts_.shown.size(), 2u);  // the question, then the error
  prompts_.shown.erase(prompts_.shown.begin());
  EXPECT_EQ(
      ExpectBox("HTTP/1.0 500 Internal Server Error\r\r\n\r\n" + failing, "Tavi", MB_OK).owner,
      frm_->Handle());
  EXPECT_TRUE(FileExists(dir_.File("update\\a.dll")));
  EXPECT_FALSE(FileExists(dir_.File("update\\b.dll")));
  EXPECT_FALSE(FileExists(dir_.File("update\\tavi.exe")));
  EXPECT_EQ(::FindWindowW(L"TaviProgressDialog", nullptr), nullptr);
  ProcessMessages();
  EXPECT_TRUE(::IsWindowVisible(frm_->Handle()));
  EXPECT_TRUE(starts.empty());
}

TEST_F(UpdateWorkflowTest, AcceptedUpdateShowsEachFileAndHandsOver) {
  const std::string slow = test::LoopbackHttpUrl("/data?size=4100&chunk=1025&delay=20");
  WriteFileBytes(served.File("b.dll"), std::string(2048, 'b'));
  WriteFileBytes(served.File("update.php"), Utf8ToCodePage("[info]\r\n1=두 파일\r\n", 949) +
                                                "[a.dll]\r\nurl=" + slow +
                                                "\r\n[b.dll]\r\nurl=" + served.Url("b.dll"));
  prompts_.answers = {IDYES};
  std::vector<Seen> seen;
  const auto shown = frm_->RavoUpdater1->OnProgress;
  frm_->RavoUpdater1->OnProgress = [&](TObject& sender, const std::string& name, std::int64_t total,
                                       std::int64_t read) {
    shown(sender, name, total, read);
    seen.push_back(Observe());
    if (seen.size() > 1) return;
    ClickUpdate();  // ignored while the update runs
    // A modeless dialog with a text line and a smooth 0..100 bar, no way to cancel or close.
    const TProgressDialog* dialog = frm_->UpdateProgress();
    EXPECT_TRUE(::GetWindowLongW(dialog->Bar(), GWL_STYLE) & PBS_SMOOTH);
    EXPECT_EQ(::SendMessageW(dialog->Bar(), PBM_GETRANGE, FALSE, 0), 100);
    EXPECT_EQ(::SendMessageW(dialog->Bar(), PBM_GETPOS, 0, 0), 25);
    int children = 0;
    ::EnumChildWindows(dialog->Handle(), CountWindow, reinterpret_cast<LPARAM>(&children));
    EXPECT_EQ(children, 2);
    ::SendMessageW(dialog->Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(::IsWindowVisible(dialog->Handle()));
  };
  ClickUpdate();

  ASSERT_EQ(prompts_.shown.size(), 1u);  // the question only: no second one, no error
  EXPECT_EQ(prompts_.shown[0].owner, frm_->Handle());
  EXPECT_NE(prompts_.shown[0].text.find("두 파일\r\n\r\n\r\n\r\n"), std::string::npos);
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
  EXPECT_EQ(starts[0].rfind(dir_.File("update\\tavi.exe") + " ", 0), 0u);
  EXPECT_EQ(::FindWindowW(L"TaviProgressDialog", nullptr), nullptr);
  // The window closes once the handler has returned.
  ASSERT_TRUE(test::WaitUntil([&] { return frm_->Handle() == nullptr; }));
}

}  // namespace
}  // namespace tavi
