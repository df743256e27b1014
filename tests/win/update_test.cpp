// The update under Wine, against the loopback HTTP server (tests/support/http-server): the
// download component; the updater in this process, with a program folder of its own in a
// scratch folder and its command line, message boxes and process ends under the test's
// control; then the update button of the real main window, with the boxes it shows (answered
// by a script), the progress dialog and the hand-over.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/main_layout.h"
#include "app/version.h"
#include "loopback_http.h"
#include "update/download_result.h"
#include "update/file_path.h"
#include "update/http_download_win32.h"
#include "update/signature_win32.h"
#include "update/update_texts.h"
#include "update/updater_win32.h"
#include "update/url_split.h"
#include "win/files_win32.h"
#include "win/handle.h"
#include "window_test.h"

namespace tavi {
namespace {

using test::FileExists;
using test::LoopbackHttpUrl;
using test::ReadFileBytes;
using test::WaitUntil;
using test::WriteFileBytes;

std::string Pattern(size_t size) {  // the server's generated body
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<char>(i % 251);
  return bytes;
}

// This suite's prefix trusts the loopback server's own certificate authority, from the start.
class TrustedLoopback : public ::testing::Environment {
  void SetUp() override { test::TrustLoopbackAuthority(); }
};
const ::testing::Environment* const trustedLoopback =
    ::testing::AddGlobalTestEnvironment(new TrustedLoopback);

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
  void Clear() {
    progress.clear();
    doneFiles.clear();
    strings.clear();
    errors.clear();
  }

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
  std::string File() const { return dir.File("파일.bin"); }

  test::TempDir dir;
  THttpDownload download;
  Recorder events{download};
};

// Every character but letters and digits percent-encoded, for an address inside a query.
std::string QueryEncoded(const std::string& text) {
  std::string encoded;
  for (const unsigned char c : text) {
    encoded += std::isalnum(c)
                   ? std::string(1, static_cast<char>(c))
                   : "%" + std::string(1, "0123456789ABCDEF"[c >> 4]) + "0123456789ABCDEF"[c & 15];
  }
  return encoded;
}

// "http://127.1:<port>/...": the loopback server under another host name.
std::string OtherHostUrl(const std::string& path) {
  return "http://127.1:" + std::to_string(test::LoopbackHttpPort()) + path;
}

// However the body comes, its progress only grows and ends with all that arrived. A reply that
// is not what it announced, or comes from a hostile server, fails within the transfer's limits
// (the options that the updater sets) with its reason; it leaves no file behind, and the worker
// ends by itself even when the component gave up on it while it waited.
TEST_F(HttpDownloadTest, RepliesArriveWholeOrFailWithTheirReasonWithinTheirLimits) {
  using enum test::LoopbackCertificate;
  const std::string host = SplitUrl(LoopbackHttpUrl("/")).host;
  const std::string dropped = ConnectionDroppedText(host);
  const std::string toHttp = LoopbackHttpUrl("/data?size=7");
  struct Case {
    std::string url;  // a path of the loopback server, or a whole address
    bool binary, succeeds;
    std::string body, error = {};  // body: the file ("old": not even opened) or the string
    bool toString = false;
    std::optional<std::int64_t> maxSize = {};
    DWORD limitMs = 0;
  };
  const Case cases[] = {
      {"/data?size=3000&chunk=100&delay=5", true, true, Pattern(3000)},
      {"/data?size=3000&length=none", true, false, "old"},
      {"/data?size=3000&length=none", false, false, ""},
      {"/data?size=0&length=none", false, true, ""},
      // A string ("업데이트 정보" in UTF-8, in slow pieces) is never empty.
      {"/data?text=%EC%97%85%EB%8D%B0%EC%9D%B4%ED%8A%B8%20%EC%A0%95%EB%B3%B4&length=none&chunk=4"
       "&delay=100",
       false, true, "업데이트 정보", "", true},
      {"/data?size=0", false, false, "", "", true},
      // No server to ask: not even an empty file.
      {"http:///none.bin", false, false, "old", "서버[]에 연결할 수 없습니다."},
      // Cut off, or reset in the middle of the body, with a length and without.
      {"/data?size=2000&length=5000", true, false, "", dropped},
      {"/data?size=100000&drop=50000&delay=300", true, false, "", dropped},
      {"/data?size=100000&drop=50000&delay=300&length=none", false, false, "", dropped, true},
      // Longer than announced: the announced bytes; the rest is never read.
      {"/data?size=5000&length=2000", true, true, Pattern(2000)},
      {"/data?size=endless&length=3000", true, true, Pattern(3000)},
      // Longer than the most allowed: refused by its announced length, or cut one byte past it.
      {"/data?size=5000", true, false, "old", TooLargeText(host, 4999), false, 4999},
      {"/data?size=endless", false, false, "", TooLargeText(host, 1048576), true, 1048576},
      // Megabytes of headers change nothing.
      {"/data?size=3000&headers=4000000", true, true, Pattern(3000)},
      // Redirects: to any server; not round and round, not from TLS to plain HTTP, not elsewhere.
      {"/data?status=302&location=" + QueryEncoded(OtherHostUrl("/data?size=7")), true, true,
       Pattern(7)},
      {"/data?status=302&location=self", true, false, "old",
       TooManyRedirectsText(host, THttpDownload::kMaxRedirects)},
      {test::LoopbackHttpsUrl(trusted, "/data?status=307&location=" + QueryEncoded(toHttp)), true,
       false, "old",
       RedirectRefusedText(SplitUrl(test::LoopbackHttpsUrl(trusted, "/")).host, toHttp)},
      {"/data?status=302&location=file:C:/tavi.exe", true, false, "old",
       RedirectRefusedText(host, "file:C:/tavi.exe")},
      // A drip and a silent server: failed at the time limit, whatever the server does.
      {"/data?size=100&chunk=1&delay=1000",
       true,
       false,
       "",
       TimedOutText(host, 1500),
       false,
       {},
       1500},
      {"/data?size=10&wait=8000", true, false, "old", TimedOutText(host, 1000), false, {}, 1000},
      {"/data?size=2000&status=404", true, true, Pattern(2000)},  // an error page is a body
  };
  download.WaitThread = false;
  for (const Case& c : cases) {
    test::WriteFileBytes(File(), "old");
    events.Clear();
    download.URL = c.url.starts_with("http") ? c.url : LoopbackHttpUrl(c.url);
    download.BinaryData = c.binary;
    download.MaxSize = c.maxSize;
    download.TimeLimitMs = c.limitMs;
    const auto started = std::chrono::steady_clock::now();
    c.toString ? download.GetString() : download.GetFile();
    ASSERT_NE(download.Worker(), nullptr);
    const std::weak_ptr<const THttpDownloadThread> worker = download.Worker()->weak_from_this();
    ASSERT_TRUE(WaitUntil([&] { return events.Events() == 1; }, std::chrono::seconds(30))) << c.url;
    if (c.limitMs) {
      EXPECT_LT(std::chrono::steady_clock::now() - started,
                std::chrono::milliseconds(c.limitMs + 2000))
          << c.url;
    }
    EXPECT_TRUE(WaitUntil([&] { return worker.expired(); })) << c.url;
    EXPECT_EQ(download.Succeeded(), c.succeeds) << c.url;
    EXPECT_EQ(events.errors, std::vector<std::string>(c.succeeds ? 0 : 1, c.error)) << c.url;
    if (c.toString) {
      EXPECT_EQ(events.strings, std::vector<std::string>(c.succeeds ? 1 : 0, c.body)) << c.url;
    } else {
      EXPECT_EQ(ReadFileBytes(File()), c.body) << c.url;
      EXPECT_EQ(FileExists(File()), c.succeeds || c.body == "old") << c.url;
    }
    for (size_t i = 1; i < events.progress.size(); ++i)
      EXPECT_LT(events.progress[i - 1].second, events.progress[i].second) << c.url;
    if (c.succeeds && !c.body.empty()) {
      EXPECT_EQ(events.progress.back().second, static_cast<std::int64_t>(c.body.size())) << c.url;
    }
  }
  EXPECT_EQ(download.ResponseHeaders().rfind("HTTP/1.0 404 Not Found\r\n", 0), 0u);
  EXPECT_NE(download.ResponseHeaders().find("\r\nContent-Length: 2000\r\n"), std::string::npos);
}

// Progress is posted, never waited for: a handler that takes its time does not hold up the
// transfer, and what arrives meanwhile is shown at once in one event, not read by read.
TEST_F(HttpDownloadTest, ProgressIsPostedAndCoalesced) {
  download.URL = LoopbackHttpUrl("/data?size=1048576&chunk=65536&delay=20");  // in 0.3 s
  std::int64_t readMeanwhile = 0;
  events.onProgress = [&] {
    if (events.progress.size() > 1) return;
    ::Sleep(1000);
    readMeanwhile = download.Worker()->TotalRead();
  };
  download.GetFile();
  EXPECT_TRUE(download.Succeeded());
  EXPECT_EQ(readMeanwhile, 1048576);
  ASSERT_EQ(events.progress.size(), 2u);
  EXPECT_EQ(events.progress.back(), (Progress{1048576, 1048576}));
}

// Over HTTPS the server's certificate must be one the system trusts, for the name asked for:
// no certificate error is ever passed over, and none leaves a file.
TEST_F(HttpDownloadTest, HttpsTakesOnlyACertificateTheSystemTrusts) {
  using enum test::LoopbackCertificate;
  download.URL = test::LoopbackHttpsUrl(trusted, "/data?size=3000");
  download.GetFile();
  EXPECT_TRUE(download.Succeeded());
  EXPECT_EQ(ReadFileBytes(File()), Pattern(3000));
  download.FileName = dir.File("refused.bin");
  for (const test::LoopbackCertificate refused : {selfSigned, wrongName}) {
    download.URL = test::LoopbackHttpsUrl(refused, "/data?size=3000");
    download.GetFile();
    EXPECT_FALSE(download.Succeeded());
    EXPECT_EQ(download.ErrorMessage(), CertificateRefusedText(SplitUrl(download.URL).host));
    EXPECT_FALSE(FileExists(download.FileName));
  }
}

TEST_F(HttpDownloadTest, RequestsCarryTheirSettings) {
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
  EXPECT_FALSE(FileExists(File()));

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
  EXPECT_FALSE(FileExists(File()));
}

TEST(HttpDownloadLifetime, DestroyedMidTransferReportsNothingAndItsWorkerEnds) {
  test::TempDir dir;
  for (const bool progressWaiting : {false, true}) {
    auto download = std::make_unique<THttpDownload>();
    Recorder events(*download);
    download->URL = LoopbackHttpUrl(progressWaiting ? "/data?size=5000" : kSlow);
    download->FileName = dir.File("gone.bin");
    download->GetFile();
    std::weak_ptr<const THttpDownloadThread> worker = download->Worker()->weak_from_this();
    if (progressWaiting) {
      ::Sleep(500);  // the worker has ended; its progress and its end wait to be dispatched
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

std::string ShortName(const std::string& path) {
  wchar_t buffer[MAX_PATH] = {};
  ::GetShortPathNameW(Utf8ToWide(path).c_str(), buffer, MAX_PATH);
  return FileNameOf(WideToUtf8(buffer));
}

std::string Hex(std::string_view bytes) {
  std::string hex;
  for (const char c : bytes) {
    hex += "0123456789abcdef"[static_cast<unsigned char>(c) >> 4];
    hex += "0123456789abcdef"[c & 15];
  }
  return hex;
}

// Signs descriptions as the maker does (tools/publish-update), through CryptoAPI: with the
// private half of the key the build was made with, or with a key of its own.
class MakerKey {
 public:
  explicit MakerKey(bool theBuilds = true) {
    EXPECT_TRUE(::CryptAcquireContextW(provider_.put(), nullptr, nullptr, PROV_RSA_AES,
                                       CRYPT_VERIFYCONTEXT));
    const std::string blob = ReadFileBytes(test::RequiredEnvPath("TAVI_UPDATE_KEY_BLOB"));
    EXPECT_TRUE(theBuilds
                    ? ::CryptImportKey(provider_.get(), reinterpret_cast<const BYTE*>(blob.data()),
                                       static_cast<DWORD>(blob.size()), 0, 0, key_.put())
                    : ::CryptGenKey(provider_.get(), AT_KEYEXCHANGE, 2048 << 16, key_.put()));
  }
  // The signature of the text, most significant byte first.
  std::string Signature(std::string_view text) const {
    CryptHash hash;
    EXPECT_TRUE(::CryptCreateHash(provider_.get(), CALG_SHA_256, 0, 0, hash.put()));
    ::CryptHashData(hash.get(), reinterpret_cast<const BYTE*>(text.data()),
                    static_cast<DWORD>(text.size()), 0);
    std::string signature(512, '\0');
    DWORD size = static_cast<DWORD>(signature.size());
    EXPECT_TRUE(::CryptSignHashW(hash.get(), AT_KEYEXCHANGE, nullptr, 0,
                                 reinterpret_cast<BYTE*>(signature.data()), &size));
    signature.resize(size);
    return std::string(signature.rbegin(), signature.rend());
  }
  // The description as the server sends it: its signature line, then the text.
  std::string Sign(const std::string& text) const {
    return ";signature=" + Hex(Signature(text)) + "\r\n" + text;
  }

 private:
  CryptProvider provider_;
  CryptKey key_;
};

// A file's section of a description: its size and hash, its address and maybe its version.
std::string FileSection(const std::string& name, const std::string& bytes, const std::string& url,
                        const std::string& version = "") {
  return "[" + name + "]\r\n" + (version.empty() ? "" : "ver=" + version + "\r\n") +
         "size=" + std::to_string(bytes.size()) + "\r\nsha256=" + Hex(Sha256(bytes).value()) +
         "\r\nurl=" + url + "\r\n";
}

void MakeFolder(const std::string& path) {
  ASSERT_TRUE(::CreateDirectoryW(Utf8ToWide(path).c_str(), nullptr)) << path;
}

// An installation, tavi.exe (the project's version) in a scratch folder, and everything the updater
// does to the world outside it, written down.
class UpdaterTest : public ::testing::Test {
 protected:
  void SetUp() override { test::CopyRequired("TAVI_TAVI_EXE", Exe()); }

  std::string Exe() const { return dir.File("tavi.exe"); }
  std::string Info() const { return dir.File("update.info"); }
  std::string Downloads() const { return dir.File("update"); }

  TRavoUpdaterEnvironment Environment(std::string running, std::vector<std::string> arguments) {
    TRavoUpdaterEnvironment environment;
    environment.limits = limits;
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

  std::unique_ptr<TRavoUpdater> Make(std::vector<std::string> arguments = {"/s"},
                                     std::optional<std::string> publicKey = std::nullopt) {
    TRavoUpdaterEnvironment environment = Environment(Exe(), arguments);
    environment.publicKey = std::move(publicKey);
    auto updater = std::make_unique<TRavoUpdater>(nullptr, std::move(environment));
    updater->Name = "RavoUpdater1";
    updater->OnError = [this](TObject& sender, const std::string& text) {
      errors.push_back(static_cast<TComponent&>(sender).Name + ":" + text);
    };
    return updater;
  }

  // Serves the description as it stands, points the updater at it and asks.
  bool Ask(TRavoUpdater& updater, const std::string& description, bool https = false) {
    WriteFileBytes(served.File("update.php"), description);
    updater.URL = https ? SecureUrl("update.php") : served.Url("update.php");
    return updater.HaveUpdates(files, info);
  }
  // The same with the description signed by the maker.
  bool Describe(TRavoUpdater& updater, const std::string& description, bool https = false) {
    return Ask(updater, maker.Sign(description), https);
  }
  std::string SecureUrl(const std::string& name) const {
    return test::LoopbackHttpsUrl(test::LoopbackCertificate::trusted, served.Prefix() + "/" + name);
  }

  test::TempDir dir;
  test::ServedFolder served;
  MakerKey maker;
  std::string files, info;
  DownloadLimits limits;
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
}

TEST_F(UpdaterTest, HandOverChecksItsArgumentsWaitsForTheOldProgramAndInstallsAllOrNothing) {
  // The download folder, as ApplyUpdates leaves it, with what a failed update before it cut
  // off, and the installation around it.
  MakeFolder(Downloads());
  MakeFolder(Downloads() + "\\sub");
  const std::string copy = Downloads() + "\\tavi.exe";
  WriteFileBytes(copy, "new program");
  WriteFileBytes(Downloads() + "\\help.txt", "new help");
  WriteFileBytes(Downloads() + "\\a.txt", "cut off");
  WriteFileBytes(Downloads() + "\\sub\\b.txt", "b");
  WriteFileBytes(dir.File("help.txt"), "old help");
  const std::string installed = ReadFileBytes(Exe());
  WriteFileBytes(Info(), FileSection("tavi.exe", "new program", "", "9.9.9.9") +
                             FileSection("new.txt", "new", "") +
                             FileSection("help.txt", "new help", "", "1"));
  WriteFileBytes(Downloads() + "\\new.txt", "new");

  // Arguments that do not check out: a normal start, without cleanup.
  const std::string pid = std::to_string(::GetCurrentProcessId() + 4);
  const std::string gone = std::to_string(::GetCurrentThreadId());  // no process has this id
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
  EXPECT_EQ(ReadFileBytes(Exe()), installed);
  EXPECT_TRUE(FileExists(Info()));

  // A file that cannot be written (held by another program): the installation stays as it
  // was, the user is told which file, and the installed program starts all the same.
  {
    const Handle held(::CreateFileW(Utf8ToWide(dir.File("help.txt")).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    TRavoUpdater updater(nullptr, Environment(copy, {gone, Exe(), copy}));
  }
  // A file swapped in the download folder since its download: nothing is installed.
  WriteFileBytes(Downloads() + "\\help.txt", "swapped");
  { TRavoUpdater updater(nullptr, Environment(copy, {gone, Exe(), copy})); }
  WriteFileBytes(Downloads() + "\\help.txt", "new help");
  EXPECT_EQ(ReadFileBytes(Exe()), installed);
  EXPECT_EQ(ReadFileBytes(dir.File("help.txt")), "old help");
  EXPECT_FALSE(FileExists(dir.File("new.txt")));
  ASSERT_EQ(prompts.shown.size(), 2u);
  EXPECT_EQ(prompts.shown[0].text, InstallFailedText(dir.File("help.txt"), true));
  EXPECT_EQ(prompts.shown[0].flags, static_cast<UINT>(MB_OK | MB_ICONHAND));
  EXPECT_EQ(prompts.shown[1].text, InstallFailedText(Downloads() + "\\help.txt", true));
  EXPECT_EQ(starts, std::vector<std::string>(2, Exe() + " "));
  starts.clear();
  exits = 0;

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
  // Exactly the out-of-date files of the description.
  EXPECT_EQ(ReadFileBytes(Exe()), "new program");
  EXPECT_EQ(ReadFileBytes(dir.File("help.txt")), "new help");
  EXPECT_EQ(ReadFileBytes(dir.File("new.txt")), "new");
  EXPECT_FALSE(FileExists(dir.File("a.txt")));
  EXPECT_FALSE(FileExists(dir.File("sub")));
  EXPECT_EQ(prompts.shown.size(), 2u);
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
  test::CopyRequired("TAVI_TAVI_EXE", dir.File("current.exe"));
  // The server speaks the system's ANSI code page, as INI files do.
  const std::string description = Utf8ToCodePage(
      "[info]\r\n1=속도 개선\r\n2=버그 수정\r\n"
      "[tavi.exe]\r\nver=9.9.9.9\r\nurl=http://x/tavi.exe\r\n"
      "[same.dll]\r\nurl=http://x/same.dll\r\n"
      "[new.dll]\r\nver=1.0.0.0\r\n"
      "[current.exe]\r\nver=" TAVI_VERSION_TEXT,  // no line break at the end: one is appended
      949);
  info = "before\r\n";
  EXPECT_TRUE(Describe(*updater, description));
  EXPECT_EQ(files, "tavi.exe\r\nnew.dll\r\n");
  EXPECT_EQ(info, "before\r\n속도 개선\r\n\r\n버그 수정\r\n\r\n");
  EXPECT_EQ(ReadFileBytes(Info()), maker.Sign(description) + "\r\n");

  // Only information: nothing to update, and the description goes.
  files = info = "";
  EXPECT_FALSE(Describe(*updater, "[info]\r\n1=x\r\n"));
  EXPECT_EQ(info, "x\r\n\r\n");
  EXPECT_FALSE(FileExists(Info()));
  EXPECT_TRUE(errors.empty());
}

TEST_F(UpdaterTest, FailedOrHostileDescriptionRequestEndsTheWaitWithAnError) {
  limits.descriptionMs = 2000;
  const std::unique_ptr<TRavoUpdater> updater = Make();
  const std::string host = SplitUrl(test::LoopbackHttpUrl("/")).host;
  const auto failed = [](const std::string& url, const std::string& status = "") {
    return "RavoUpdater1:" + DescriptionFailedText(url, status);
  };
  const std::string notFound = served.Url("none.php");
  const std::string portal = served.Url("portal.php");
  WriteFileBytes(served.File("portal.php"), "<html><body>Log in to use this network</body></html>");
  const auto data = [](const std::string& query) {
    return test::LoopbackHttpUrl("/data?" + query);
  };
  const std::string tooLarge = "InfoDownload:" + TooLargeText(host, limits.descriptionSize);
  // No reply; an error page for a reply (a missing description, a failing script, a redirect
  // that ends on either), which says what the server said; and what a hostile server sends.
  const std::pair<std::string, std::string> cases[] = {
      {"http://127.0.0.1:1/myAPP/Tavi/update.php",  // nobody listens there
       "InfoDownload:서버[127.0.0.1:1]에 연결할 수 없습니다."},
      {data("size=0"), failed(data("size=0"))},
      {notFound, failed(notFound, "HTTP/1.0 404 Not Found")},
      {data("status=500&size=9"),
       failed(data("status=500&size=9"), "HTTP/1.0 500 Internal Server Error")},
      {data("status=302&location=" + notFound),
       failed(data("status=302&location=" + notFound), "HTTP/1.0 404 Not Found")},
      {data("status=404&size=endless"),
       failed(data("status=404&size=endless"), "HTTP/1.0 404 Not Found")},
      {portal, "RavoUpdater1:" + UnverifiedDescriptionText(portal)},  // a Wi-Fi login page
      {data("size=4000000"), tooLarge},
      {data("size=endless"), tooLarge},
      {data("size=100&chunk=1&delay=1000"), "InfoDownload:" + TimedOutText(host, 2000)},
  };
  std::vector<std::string> expected;
  for (const auto& [url, error] : cases) {
    updater->URL = url;
    EXPECT_FALSE(updater->HaveUpdates(files, info)) << url;
    EXPECT_FALSE(updater->DescriptionReceived());
    expected.push_back(error);
  }
  EXPECT_EQ(errors, expected);
  EXPECT_FALSE(FileExists(Info()));
  updater->ApplyUpdates();  // still no description: nothing to apply
  EXPECT_EQ(prompts.shown.size(), 1u);

  // A description that cannot be stored (a folder stands in its place) is no description.
  errors.clear();
  MakeFolder(Info());
  EXPECT_FALSE(Describe(*updater, "[a.dll]\r\n"));
  EXPECT_FALSE(updater->DescriptionReceived());
  EXPECT_EQ(errors, std::vector<std::string>{"RavoUpdater1:" + DescriptionNotStoredText(Info())});
  RemoveFolderTree(Info());

  // What such a server cannot do: change the signed description. Behind megabytes of headers,
  // with bytes after its announced length, or from another server, it is what the maker signed.
  const std::string signedText = maker.Sign(FileSection("a.dll", "a", served.Url("a.dll")));
  WriteFileBytes(served.File("update.php"), signedText);
  for (const std::string& url :
       {data("headers=4000000&text=" + QueryEncoded(signedText)),
        data("length=" + std::to_string(signedText.size()) + "&text=" +
             QueryEncoded(signedText + "\r\n[b.dll]\r\nurl=http://127.0.0.1:1/b.dll\r\n")),
        data("status=302&location=" +
             QueryEncoded(OtherHostUrl(served.Prefix() + "/update.php")))}) {
    updater->URL = url;
    EXPECT_TRUE(updater->HaveUpdates(files, info)) << url;
    EXPECT_EQ(files, "a.dll\r\n");
    EXPECT_EQ(ReadFileBytes(Info()), signedText + "\r\n");
  }
}

// Anyone who can answer the request could offer files: only the maker's signature makes a
// description. Without it nothing is stored or downloaded, and the user hears why.
TEST_F(UpdaterTest, OnlyADescriptionSignedWithTheBuildsKeyIsTaken) {
  const std::unique_ptr<TRavoUpdater> updater = Make();
  const std::string text = FileSection("a.dll", "a", served.Url("a.dll"));
  const std::string signature = ";signature=" + Hex(maker.Signature(text));
  std::string changed = text;
  changed[changed.size() - 3] ^= 1;  // one byte of the address
  for (const std::string& description : {
           text,                                                             // none
           signature + text,                                                 // malformed
           ";signature=" + Hex(maker.Signature("[b.dll]")) + "\r\n" + text,  // over other bytes
           signature + "\r\n" + changed,                                     // changed since
           ";signature=" + Hex(MakerKey(false).Signature(text)) + "\r\n" + text,  // another key
       }) {
    EXPECT_FALSE(Ask(*updater, description));
    EXPECT_FALSE(updater->DescriptionReceived());
  }
  EXPECT_EQ(errors, std::vector<std::string>(
                        5, "RavoUpdater1:" + UnverifiedDescriptionText(served.Url("update.php"))));
  EXPECT_FALSE(FileExists(Info()));
  EXPECT_FALSE(FileExists(Downloads()));
  EXPECT_TRUE(Ask(*updater, signature + "\r\n" + text));

  // A build made without a key takes none at all.
  errors.clear();
  const std::unique_ptr<TRavoUpdater> keyless = Make({"/s"}, "");
  EXPECT_FALSE(Ask(*keyless, signature + "\r\n" + text));
  EXPECT_EQ(errors, std::vector<std::string>{"RavoUpdater1:" + NoUpdateKeyText()});
}

TEST_F(UpdaterTest, ApplyDownloadsEveryOutOfDateFileAndHandsOver) {
  const std::unique_ptr<TRavoUpdater> updater = Make();
  MakeFolder(Downloads());
  WriteFileBytes(Downloads() + "\\left.txt", "what an earlier update left");
  WriteFileBytes(served.File("a.dll"), std::string(3000, 'b'));
  WriteFileBytes(served.File("help.txt"), "help");
  // The description and one file over HTTPS, the other over HTTP.
  ASSERT_TRUE(Describe(*updater,
                       FileSection("a.dll", std::string(3000, 'b'), served.Url("a.dll"), "1") +
                           FileSection("help.txt", "help", SecureUrl("help.txt")),
                       true));
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
  EXPECT_FALSE(FileExists(Downloads() + "\\left.txt"));
  // Each file's progress ends with its whole size.
  EXPECT_NE(std::find(progress.begin(), progress.end(), "THttpDownloadThread:a.dll:3000:3000"),
            progress.end());
  EXPECT_EQ(progress.back(), "THttpDownloadThread:help.txt:4:4");
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
  limits.fileStartMs = 500;  // 1.5 s for 3 bytes
  const std::unique_ptr<TRavoUpdater> updater = Make();
  WriteFileBytes(served.File("a.dll"), "aaa");
  const std::string moved = test::LoopbackHttpUrl("/data?status=301&size=10");
  const std::string host = SplitUrl(moved).host;
  const std::string shortBody = test::LoopbackHttpUrl("/data?size=3000&length=9000");
  const std::string endless = test::LoopbackHttpUrl("/data?size=endless");
  const std::string endlessLong = test::LoopbackHttpUrl("/data?size=endless&length=10000000");
  const std::string drip = test::LoopbackHttpUrl("/data?size=3&chunk=1&delay=1000");
  struct Case {
    std::string name, section, error;
    bool beforeDownloads;  // refused before anything is downloaded
  };
  const auto b = [&](const std::string& url, const std::string& bytes = "aaa") {
    return FileSection("b.dll", bytes, url, "1");
  };
  const std::string mismatch = "RavoUpdater1:" + FileMismatchText("b.dll", served.Url("a.dll"));
  std::vector<Case> cases = {
      {"b.dll", b(moved), "RavoUpdater1:HTTP/1.0 301 Moved Permanently\r\r\n\r\n" + moved, false},
      {"b.dll", b("http://127.0.0.1:1/b.dll"),
       "FileDownload:서버[127.0.0.1:1]에 연결할 수 없습니다.", false},
      // Hostile servers (a reset is the component's case): cut off, endless (unannounced, or
      // announced longer than described), dripping.
      {"b.dll", b(shortBody, std::string(9000, 'x')), "FileDownload:" + ConnectionDroppedText(host),
       false},
      {"b.dll", b(endless), "RavoUpdater1:" + DownloadFailedText("b.dll", endless), false},
      {"b.dll", b(endlessLong), "RavoUpdater1:" + FileMismatchText("b.dll", endlessLong), false},
      {"b.dll", b(drip), "FileDownload:" + TimedOutText(host, 1500), false},
      // Not the described file: another hash, more bytes than described, fewer.
      {"b.dll", b(served.Url("a.dll"), "aab"), mismatch, false},
      {"b.dll", b(served.Url("a.dll"), "aa"), mismatch, false},
      {"b.dll", b(served.Url("a.dll"), "aaaa"), mismatch, false},
      {"b.dll", "[b.dll]\r\nver=1\r\nsize=3\r\nurl=" + served.Url("a.dll") + "\r\n",
       "RavoUpdater1:" + UnhashedFileText("b.dll"), true},
  };
  WriteFileBytes(Info(), "");  // so that it has its short name
  // Names that reach outside the folder, and the update's own files and the places' file
  // however they are written.
  for (const std::string& name :
       {std::string("sub\\b.dll"), std::string("..\\b.dll"), std::string("C:\\b.dll"),
        std::string("Update"), std::string("UPDATE.INFO"), std::string("tavi.ini"),
        ShortName(Info())}) {
    cases.push_back({name, FileSection(name, "aaa", served.Url("a.dll"), "1"),
                     "RavoUpdater1:" + RefusedNameText(name), true});
  }
  for (const Case& c : cases) {
    errors.clear();
    RemoveFolderTree(Downloads());
    ASSERT_TRUE(Describe(*updater, FileSection("a.dll", "aaa", served.Url("a.dll")) + c.section +
                                       FileSection("c.dll", "aaa", served.Url("a.dll"))));
    updater->ApplyUpdates();
    EXPECT_EQ(errors, std::vector<std::string>{c.error});
    // What a failed download wrote goes.
    EXPECT_EQ(FileExists(Downloads() + "\\a.dll"), !c.beforeDownloads) << c.name;
    // (Given up on at its time limit, a download goes as soon as its worker has seen that.)
    EXPECT_TRUE(WaitUntil([&] { return !FileExists(Downloads() + "\\b.dll"); })) << c.section;
    EXPECT_FALSE(FileExists(Downloads() + "\\c.dll")) << c.section;
    EXPECT_FALSE(FileExists(Downloads() + "\\tavi.exe")) << c.section;
  }
  EXPECT_FALSE(FileExists(dir.File("b.dll")));
  EXPECT_FALSE(FileExists("C:\\b.dll"));

  // A download folder that cannot be made.
  errors.clear();
  RemoveFolderTree(Downloads());
  WriteFileBytes(Downloads(), "a file where the folder belongs");
  ASSERT_TRUE(Describe(*updater, FileSection("a.dll", "aaa", served.Url("a.dll"))));
  updater->ApplyUpdates();
  EXPECT_EQ(errors, std::vector<std::string>{"RavoUpdater1:" + FolderNotCreatedText(Downloads())});
  EXPECT_TRUE(starts.empty());
  EXPECT_EQ(closes, 0);
}

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
    test::CopyRequired("TAVI_TAVI_EXE", dir_.File("tavi.exe"));
    TfrmMainOptions options = Options();
    options.updater.startProgram = [this](const std::string& file, const std::string& parameters) {
      starts.push_back(file + " " + parameters);
      if (frm_ && frm_->UpdateProgress()) atHandOver = Observe();
      return true;
    };
    options.updateUrl = served.Url("update.php");
    WriteIni("[집]\r\nNIC=lo\r\n");
    Open(std::move(options));
  }

  Seen Observe() const {
    const TProgressDialog* dialog = frm_->UpdateProgress();
    return {GetWindowTextUtf8(dialog->Handle()), GetWindowTextUtf8(dialog->TextLine()),
            GetWindowTextUtf8(frm_->Handle()), dialog->Position()};
  }

  void ClickUpdate() { Click(ControlId::btnUpdate); }

  // Serves the description, signed by the maker.
  void Describe(const std::string& description) {
    WriteFileBytes(served.File("update.php"), MakerKey().Sign(description));
  }

  test::ServedFolder served;
  std::vector<std::string> starts;
  Seen atHandOver{};
};

TEST_F(UpdateWorkflowTest, UpToDateUnreachableAndFailedAreToldApart) {
  Describe("[info]\r\n1=x\r\n[tavi.exe]\r\nver=" TAVI_VERSION_TEXT "\r\n");
  ClickUpdate();
  EXPECT_EQ(ExpectBox("최신 버전입니다.", "버전 정보", MB_OK | MB_ICONINFORMATION).owner, nullptr);
  EXPECT_FALSE(FileExists(dir_.File("update.info")));

  // A server nobody answers: its error, and no claim that the program is up to date.
  frm_->RavoUpdater1->URL = "http://127.0.0.1:1/myAPP/Tavi/update.php";
  ClickUpdate();
  ExpectBox("서버[127.0.0.1:1]에 연결할 수 없습니다.", "Tavi", MB_OK);  // no icon
  // An error page in place of the description: what the server said.
  frm_->RavoUpdater1->URL = served.Url("none.php");
  ClickUpdate();
  ExpectBox(DescriptionFailedText(served.Url("none.php"), "HTTP/1.0 404 Not Found"), "Tavi", MB_OK);
  // A reply that never ends: cut at the description's limit, and the window goes on.
  frm_->RavoUpdater1->URL = test::LoopbackHttpUrl("/data?size=endless");
  ClickUpdate();
  ExpectBox(TooLargeText(SplitUrl(frm_->RavoUpdater1->URL).host, DownloadLimits().descriptionSize),
            "Tavi", MB_OK);

  // A file answered with an error page: its status after the first file, no hand-over, and
  // the progress dialog gone.
  const std::string failing = test::LoopbackHttpUrl("/data?status=500&size=64");
  WriteFileBytes(served.File("a.dll"), "a");
  Describe(FileSection("a.dll", "a", served.Url("a.dll")) + FileSection("b.dll", "b", failing));
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
  const std::string slow = test::LoopbackHttpUrl("/data?size=4100&chunk=1025&delay=50");
  WriteFileBytes(served.File("b.dll"), std::string(2048, 'b'));
  Describe(Utf8ToCodePage("[info]\r\n1=두 파일\r\n", 949) +
           FileSection("a.dll", Pattern(4100), slow) +
           FileSection("b.dll", std::string(2048, 'b'), served.Url("b.dll")));
  prompts_.answers = {IDYES};
  std::vector<Seen> seen;
  const auto shown = frm_->RavoUpdater1->OnProgress;
  frm_->RavoUpdater1->OnProgress = [&](TObject& sender, const std::string& name, std::int64_t total,
                                       std::int64_t read) {
    shown(sender, name, total, read);
    seen.push_back(Observe());
    if (seen.size() > 1) return;
    ClickUpdate();  // ignored while the update runs
    // No apply from the notification area meanwhile either.
    EXPECT_EQ(TrayMenu(), (std::vector<std::string>{"집-", "", "열기", "닫기"}));
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
  // a.dll as its pieces come, then b.dll; each file's last event shows it whole.
  ASSERT_GE(seen.size(), 2u);
  EXPECT_EQ(seen[0].caption, "업데이트 - 1/2");
  EXPECT_EQ(seen[0].position, 25);
  EXPECT_EQ(seen[0].text, "파일(a.dll)을 다운로드하고 있습니다... (25%)      ");
  const auto second = std::find_if(seen.begin(), seen.end(),
                                   [](const Seen& s) { return s.caption == "업데이트 - 2/2"; });
  ASSERT_NE(second, seen.begin());
  ASSERT_NE(second, seen.end());
  EXPECT_EQ(std::prev(second)->position, 100);
  EXPECT_EQ(seen.back().position, 100);
  for (const Seen& s : seen)
    EXPECT_EQ(s.windowCaption, MainCaption());
  EXPECT_EQ(atHandOver.text, "파일(b.dll)을 다운로드하고 있습니다... (100%)      ");

  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0].rfind(dir_.File("update\\tavi.exe") + " ", 0), 0u);
  EXPECT_EQ(::FindWindowW(L"TaviProgressDialog", nullptr), nullptr);
  // The window closes once the handler has returned, and its icon goes with it.
  ASSERT_TRUE(test::WaitUntil([&] { return frm_->Handle() == nullptr; }));
  EXPECT_EQ(trayCalls_.back().message, static_cast<DWORD>(NIM_DELETE));
}

}  // namespace
}  // namespace tavi
