// The download component against the loopback HTTP server (tests/support/http-server).
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "loopback_http.h"
#include "update/http_download_win32.h"
#include "win/message_loop_win32.h"
#include "win_test_support.h"

namespace tavi {
namespace {

using test::LoopbackHttpUrl;
using test::ReadFileBytes;
using test::WaitUntil;

std::string Pattern(size_t size) {  // the server's generated body
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<char>(i % 251);
  return bytes;
}

using Progress = std::pair<std::int64_t, std::int64_t>;  // announced, read

// Attaches a handler to every event and writes down what arrives.
struct Recorder {
  explicit Recorder(THttpDownload& download) {
    download.OnProgress = [this](TObject& sender, std::int64_t total, std::int64_t read) {
      EXPECT_EQ(sender.ClassName(), "THttpDownloadThread");
      EXPECT_EQ(::GetCurrentThreadId(), mainThread);
      progress.push_back({total, read});
      if (onProgress) onProgress();
    };
    download.OnDoneFile = [this, &download](TObject& sender, const std::string& name,
                                            std::int64_t size) {
      EXPECT_EQ(&sender, &download);
      EXPECT_EQ(::GetCurrentThreadId(), mainThread);
      doneFiles.push_back(name + "|" + std::to_string(size));
    };
    download.OnDoneString = [this, &download](TObject& sender, const std::string& result) {
      EXPECT_EQ(&sender, &download);
      strings.push_back(result);
    };
    download.OnError = [this, &download](TObject& sender) {
      EXPECT_EQ(&sender, &download);
      errors.push_back(download.ErrorMessage());
    };
  }
  size_t Events() const { return doneFiles.size() + strings.size() + errors.size(); }

  DWORD mainThread = ::GetCurrentThreadId();
  std::vector<Progress> progress;
  std::vector<std::string> doneFiles, strings, errors;
  std::function<void()> onProgress;
};

// Waits for its transfers and writes into f.bin unless a test says otherwise.
class HttpDownloadTest : public ::testing::Test {
 protected:
  HttpDownloadTest() {
    download.WaitThread = true;
    download.FileName = File();
  }
  std::string File() const { return dir.File("f.bin"); }

  test::TempDir dir;
  THttpDownload download;
  Recorder events{download};
};

TEST_F(HttpDownloadTest, FileWithLengthReportsEveryBlockAndKeepsTheHeaders) {
  download.URL = LoopbackHttpUrl("/data?size=5000");
  download.FileName = dir.File("파일.bin");
  download.GetFile();

  EXPECT_EQ(download.Worker(), nullptr);
  EXPECT_TRUE(download.Succeeded());
  EXPECT_EQ(events.progress,
            (std::vector<Progress>{
                {5000, 1025}, {5000, 2050}, {5000, 3075}, {5000, 4100}, {5000, 5000}}));
  EXPECT_EQ(events.doneFiles, std::vector<std::string>{dir.File("파일.bin") + "|5000"});
  EXPECT_EQ(ReadFileBytes(dir.File("파일.bin")), Pattern(5000));
  EXPECT_EQ(download.ResponseHeaders().rfind("HTTP/1.0 200 OK\r\n", 0), 0u);
  EXPECT_NE(download.ResponseHeaders().find("\r\nContent-Length: 5000\r\n"), std::string::npos);

  // A body that trickles in small pieces still comes in whole blocks.
  events.progress.clear();
  download.URL = LoopbackHttpUrl("/data?size=3000&chunk=100&delay=5");
  download.GetFile();
  EXPECT_EQ(events.progress, (std::vector<Progress>{{3000, 1025}, {3000, 2050}, {3000, 3000}}));
  EXPECT_EQ(ReadFileBytes(dir.File("파일.bin")), Pattern(3000));
  EXPECT_TRUE(events.errors.empty());
}

TEST_F(HttpDownloadTest, FilesThatDoNotMatchTheirLengthFailWithoutText) {
  struct Case {
    const char* query;
    bool binary, succeeds;
    std::string file;
    size_t blocks;
  };
  for (const Case& c : std::initializer_list<Case>{
           {"/data?size=3000&length=none", true, false, "old", 0},  // not even opened
           {"/data?size=3000&length=none", false, false, Pattern(3000), 3},
           {"/data?size=0&length=none", false, true, "", 0},
           {"/data?size=2000&length=5000", true, false, Pattern(2000),
            2},                                                           // the partial file stays
           {"/data?size=2000&status=404", true, true, Pattern(2000), 2},  // an error page is a body
       }) {
    test::WriteFileBytes(File(), "old");
    events.progress.clear();
    events.doneFiles.clear();
    events.errors.clear();
    download.BinaryData = c.binary;
    download.URL = LoopbackHttpUrl(c.query);
    const std::string before = download.ResponseHeaders();
    download.GetFile();
    EXPECT_EQ(download.Succeeded(), c.succeeds) << c.query;
    EXPECT_EQ(ReadFileBytes(File()), c.file) << c.query;
    EXPECT_EQ(events.progress.size(), c.blocks) << c.query;
    EXPECT_EQ(events.doneFiles.size() + events.errors.size(), 1u) << c.query;
    EXPECT_EQ(events.errors, std::vector<std::string>(c.succeeds ? 0 : 1)) << c.query;
    // Only successful transfers keep their headers.
    if (!c.succeeds) {
      EXPECT_EQ(download.ResponseHeaders(), before) << c.query;
    }
  }
  EXPECT_EQ(events.progress.back(), (Progress{2000, 2000}));
  EXPECT_EQ(download.ResponseHeaders().rfind("HTTP/1.0 404 Not Found\r\n", 0), 0u);
}

TEST_F(HttpDownloadTest, StringsCarryTheRequestAndFailEmpty) {
  // "업데이트 정보", percent-encoded as UTF-8, slowly so that the call returns before the end.
  download.URL = LoopbackHttpUrl(
      "/data?text=%EC%97%85%EB%8D%B0%EC%9D%B4%ED%8A%B8%20%EC%A0%95%EB%B3%B4&length=none&chunk=4"
      "&delay=100");
  download.GetString();
  EXPECT_NE(download.Worker(), nullptr);
  ASSERT_TRUE(WaitUntil([&] { return events.Events() == 1; }));
  EXPECT_TRUE(download.Succeeded());
  EXPECT_EQ(events.strings, std::vector<std::string>{"업데이트 정보"});
  download.URL = LoopbackHttpUrl("/data?size=0");
  download.GetString();
  ASSERT_TRUE(WaitUntil([&] { return events.Events() == 2; }));
  EXPECT_FALSE(download.Succeeded());
  EXPECT_EQ(events.errors, std::vector<std::string>{""});

  download.URL = LoopbackHttpUrl("/echo");
  auto fetch = [&] {
    download.GetString();
    EXPECT_TRUE(WaitUntil([&] { return download.Worker() == nullptr; }));
    return events.strings.empty() ? std::string() : events.strings.back();
  };
  auto has = [](const std::string& request, const char* line) {
    return request.find(std::string("\r\n") + line + "\r\n") != std::string::npos;
  };
  std::string request = fetch();
  EXPECT_EQ(request.rfind("GET /echo HTTP/1.0\r\n", 0), 0u) << request;
  EXPECT_TRUE(has(request, "User-Agent: HttpDownload")) << request;
  EXPECT_TRUE(has(request, "Accept: */*")) << request;
  EXPECT_EQ(request.find("Referer"), std::string::npos) << request;

  download.Agent = "";
  download.AcceptTypes = "text/plain, text/html";
  download.Referer = "http://127.0.0.1/tavi";
  download.PostQuery = "name=%ED%83%80%EB%B9%84&v=2";
  request = fetch();
  EXPECT_EQ(request.rfind("POST /echo HTTP/1.0\r\n", 0), 0u) << request;
  EXPECT_EQ(request.find("User-Agent"), std::string::npos) << request;
  EXPECT_TRUE(has(request, "Accept: text/plain, text/html")) << request;
  EXPECT_TRUE(has(request, "Referer: http://127.0.0.1/tavi")) << request;
  EXPECT_TRUE(has(request, "Content-Type: application/x-www-form-urlencoded")) << request;
  EXPECT_EQ(request.substr(request.size() - 31), "\r\n\r\nname=%ED%83%80%EB%B9%84&v=2");
}

TEST_F(HttpDownloadTest, UnreachableServerFailsWithTheServerText) {
  download.URL = "http://127.0.0.1:1/update.info";  // nobody listens there
  download.GetFile();  // without BinaryData, too: no reply is no empty file
  EXPECT_FALSE(download.Succeeded());
  EXPECT_FALSE(test::FileExists(File()));
  download.GetString();
  ASSERT_TRUE(WaitUntil([&] { return events.Events() == 2; }));
  const std::string text = "서버[127.0.0.1:1]에 연결할 수 없습니다.";
  EXPECT_EQ(events.errors, (std::vector<std::string>{text, text}));

  download.URL = "http:///update.info";
  download.GetFile();
  EXPECT_EQ(download.ErrorMessage(), "서버[]에 연결할 수 없습니다.");
  // A transfer that starts clears the text; one that fails without a text leaves it empty.
  download.URL = LoopbackHttpUrl("/data?size=0");
  download.GetString();
  EXPECT_EQ(download.ErrorMessage(), "");
}

TEST_F(HttpDownloadTest, SecondStartWhileRunningStartsNothing) {
  download.URL = LoopbackHttpUrl("/data?size=3000&chunk=1025&delay=100");
  download.WaitThread = false;
  download.GetFile();
  const THttpDownloadThread* first = download.Worker();
  ASSERT_NE(first, nullptr);
  download.URL = LoopbackHttpUrl("/data?size=10");
  download.GetFile();
  download.GetString();
  EXPECT_EQ(download.Worker(), first);
  EXPECT_EQ(first->URL(), LoopbackHttpUrl("/data?size=3000&chunk=1025&delay=100"));
  ASSERT_TRUE(WaitUntil([&] { return download.Worker() == nullptr; }));
  ProcessMessages();
  EXPECT_EQ(events.doneFiles, std::vector<std::string>{File() + "|3000"});
  EXPECT_EQ(events.Events(), 1u);
}

// 100 blocks, one every 100 ms: only a stop ends it early. (A stop also closes the WinINet
// handles, which on Windows cancels a read that waits for a silent server; Wine finishes
// such a read first, so the tests stop transfers that keep moving.)
const char kSlow[] = "/data?size=102500&chunk=1025&delay=100";

TEST_F(HttpDownloadTest, AbortEndsTheTransferAsFailedWithoutText) {
  download.URL = LoopbackHttpUrl(kSlow);
  download.WaitThread = false;
  download.GetFile();
  ASSERT_TRUE(WaitUntil([&] { return events.progress.size() == 1; }));
  download.Abort();  // the worker is reading the next block: it ends once that arrives
  ASSERT_TRUE(WaitUntil([&] { return events.Events() == 1; }, std::chrono::seconds(2)));
  EXPECT_EQ(events.errors, std::vector<std::string>{""});
  EXPECT_FALSE(download.Succeeded());
  EXPECT_EQ(ReadFileBytes(File()).size(), 1025u);

  // From inside the progress handler, while waiting: no further block is read.
  download.URL = LoopbackHttpUrl(kSlow);
  download.WaitThread = true;
  events.progress.clear();
  events.onProgress = [&] {
    if (events.progress.size() == 3) download.Abort();
  };
  download.GetFile();
  EXPECT_EQ(events.progress.size(), 3u);
  EXPECT_EQ(events.errors.size(), 2u);
  EXPECT_EQ(ReadFileBytes(File()).size(), 3075u);
}

TEST(HttpDownloadLifetime, DestroyedMidTransferReportsNothingAndItsWorkerEnds) {
  test::TempDir dir;
  for (const bool waitingForProgress : {false, true}) {
    auto download = std::make_unique<THttpDownload>();
    Recorder events(*download);
    download->URL = LoopbackHttpUrl(waitingForProgress ? "/data?size=5000" : kSlow);
    download->FileName = dir.File("gone.bin");
    download->GetFile();
    std::weak_ptr<const THttpDownloadThread> worker = download->Worker()->weak_from_this();
    if (waitingForProgress) {
      ::Sleep(500);  // the worker has read its first block and waits for its progress call
    } else {
      ASSERT_TRUE(
          WaitUntil([&] { return events.progress.size() == 1; }));  // reading the next block
    }
    const size_t progressCalls = events.progress.size();
    download.reset();
    EXPECT_TRUE(WaitUntil([&] { return worker.expired(); }, std::chrono::seconds(2)))
        << "the worker did not end";
    ::Sleep(200);
    ProcessMessages();
    EXPECT_EQ(events.progress.size(), progressCalls);
    EXPECT_EQ(events.Events(), 0u);
  }
}

TEST_F(HttpDownloadTest, QuitWhileWaitingStopsTheTransferAndKeepsTheQuit) {
  download.URL = LoopbackHttpUrl(kSlow);
  ::PostQuitMessage(3);
  const auto started = std::chrono::steady_clock::now();
  download.GetFile();
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
  EXPECT_EQ(download.Worker(), nullptr);
  EXPECT_FALSE(download.Succeeded());
  EXPECT_EQ(events.errors.size(), 1u);
  MSG message;
  ASSERT_TRUE(::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 3u);
}

}  // namespace
}  // namespace tavi
