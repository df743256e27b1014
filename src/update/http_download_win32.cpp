#include "update/http_download_win32.h"

#include <process.h>

#include <algorithm>
#include <exception>
#include <limits>
#include <utility>
#include <vector>

#include "update/download_result.h"
#include "update/update_texts.h"
#include "update/url_split.h"
#include "win/message_loop_win32.h"
#include "win/text_win32.h"

namespace tavi {
namespace {

constexpr wchar_t kWindowClass[] = L"TaviHttpDownload";
// Private messages of the component's own window class; wParam is the worker's serial.
constexpr UINT kProgressMessage = WM_APP + 1;
constexpr UINT kDoneMessage = WM_APP + 2;

// The most one read takes (256 KiB measured faster than 64 KiB under Wine, and no slower
// than 1 MiB).
constexpr DWORD kReadSize = 256 * 1024;
// A count that would not change the shown percentage is posted at most this often.
constexpr DWORD kProgressIntervalMs = 50;
constexpr wchar_t kFormHeader[] = L"Content-Type: application/x-www-form-urlencoded";
// How much longer than the transfer's time limit a single blocking call may wait.
constexpr DWORD kAfterTimeLimitMs = 1000;

const wchar_t* OrNull(const std::wstring& text) {
  return text.empty() ? nullptr : text.c_str();
}

// No exception may cross the window procedure: what a handler throws is shown and dropped.
void ShowUnexpected(UserPrompts* prompts, const char* what) noexcept {
  try {
    MessageBoxPrompts system;
    (prompts ? *prompts : system).Show(nullptr, what, "Tavi", MB_OK | MB_ICONHAND);
  } catch (...) {
    // Nothing more can be shown; the program goes on.
  }
}

// The request failed on the server's certificate (untrusted, expired, another name, revoked).
bool IsCertificateError(DWORD error) {
  switch (error) {
    case ERROR_INTERNET_INVALID_CA:
    case ERROR_INTERNET_SEC_CERT_DATE_INVALID:
    case ERROR_INTERNET_SEC_CERT_CN_INVALID:
    case ERROR_INTERNET_SEC_CERT_ERRORS:
    case ERROR_INTERNET_SEC_CERT_NO_REV:
    case ERROR_INTERNET_SEC_CERT_REV_FAILED:
    case ERROR_INTERNET_SEC_INVALID_CERT:
    case ERROR_INTERNET_SEC_CERT_REVOKED:
      return true;
    default:
      return false;
  }
}

// What a failed send means for the user.
std::string SendFailedText(DWORD error, std::string_view host) {
  if (IsCertificateError(error)) return CertificateRefusedText(host);
  if (error == ERROR_INTERNET_CONNECTION_ABORTED || error == ERROR_INTERNET_CONNECTION_RESET) {
    return ConnectionDroppedText(host);
  }
  return ServerUnreachableText(host);
}

bool IsRedirectStatus(DWORD status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// A header of the reply (or all of them, with HTTP_QUERY_RAW_HEADERS_CRLF); none when it has
// no such header.
std::optional<std::string> QueryInfo(HINTERNET request, DWORD info) {
  std::vector<wchar_t> buffer(256);
  for (;;) {
    DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (::HttpQueryInfoW(request, info, buffer.data(), &size, nullptr)) {
      return WideToUtf8(std::wstring_view(buffer.data(), size / sizeof(wchar_t)));
    }
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || size <= buffer.size() * sizeof(wchar_t))
      return std::nullopt;
    buffer.resize(size / sizeof(wchar_t) + 1);
  }
}

HWND CreateMessageWindow(WNDPROC windowProc, void* owner) {
  // Registered by the first component. (No function-local static: its guarded start-up
  // needs the MinGW thread library, see CriticalSection.)
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kWindowClass;
  if (!::RegisterClassExW(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    return nullptr;
  }
  HWND window = ::CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
  if (window) ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
  return window;
}

// Hands out a reply body in pieces whose size follows the line. A read blocks until all it
// asks for has arrived (under Wine a closed handle does not even cut it short), so it asks for
// what has arrived, plus a reserve that doubles while the data comes faster than it is read
// and drops when a read waits: a fast line gives few large reads (each a round trip through
// the Wine server under Wine), a slow one small pieces as they come, so progress and a stop
// request never wait long.
class BodyReader {
 public:
  explicit BodyReader(HINTERNET request) : request_(request), buffer_(kReadSize, '\0') {}

  // The next piece of at most `most` bytes; empty at the end of the body, after a failed read
  // (see Failed) and when `most` is 0.
  std::string_view Next(std::int64_t most) {
    if (most <= 0) return {};
    const DWORD started = ::GetTickCount();
    DWORD available = 0;  // waits until something has arrived; 0 at the end
    if (!::InternetQueryDataAvailable(request_, &available, 0, 0)) failed_ = true;
    if (failed_ || available == 0) return {};
    const DWORD arrived = ::GetTickCount();
    const bool waited = arrived - started > kQuickMs;
    if (waited) reserve_ = 0;
    const DWORD wanted = static_cast<DWORD>(
        std::min<std::int64_t>(most, std::min(kReadSize, std::max(available, reserve_))));
    DWORD got = 0;
    if (!::InternetReadFile(request_, buffer_.data(), wanted, &got)) failed_ = true;
    if (failed_ || got == 0) return {};
    if (::GetTickCount() - arrived > kSlowReadMs) {
      reserve_ /= 2;
    } else if (!waited && got == wanted) {
      reserve_ = std::min(kReadSize, std::max(2 * reserve_, kFirstReserve));
    }
    return {buffer_.data(), got};
  }

  // The connection failed (was reset, say) before the body ended.
  bool Failed() const { return failed_; }

 private:
  static constexpr DWORD kQuickMs = 10;
  static constexpr DWORD kSlowReadMs = 50;
  static constexpr DWORD kFirstReserve = 16 * 1024;

  HINTERNET request_;
  std::string buffer_;
  DWORD reserve_ = 0;
  bool failed_ = false;
};

// The target file, written in large pieces rather than block by block. Unless the transfer
// kept it, the file goes with the sink: a failed download leaves nothing that could pass for
// the file later.
class FileSink {
 public:
  ~FileSink() {
    Close();
    if (!path_.empty() && !kept_) ::DeleteFileW(path_.c_str());
  }

  bool Create(const std::string& path) {
    file_.reset(::CreateFileW(Utf8ToWide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file_) path_ = Utf8ToWide(path);
    return static_cast<bool>(file_);
  }

  void Keep() { kept_ = true; }

  bool Write(std::string_view bytes) {
    pending_.append(bytes);
    return pending_.size() < kFlushSize || Flush();
  }

  // Writes what is pending and closes the file; true when everything reached it.
  bool Close() {
    const bool flushed = Flush();
    file_.reset();
    return flushed;
  }

 private:
  static constexpr size_t kFlushSize = 64 * 1024;

  bool Flush() {
    if (pending_.empty() || !file_) return true;
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(pending_.size());
    const bool ok =
        ::WriteFile(file_.get(), pending_.data(), size, &written, nullptr) && written == size;
    pending_.clear();
    return ok;
  }

  Handle file_;
  std::wstring path_;
  bool kept_ = false;
  std::string pending_;
};

}  // namespace

// ---- The worker ----------------------------------------------------------------------------

THttpDownloadThread::THttpDownloadThread(const THttpDownload& settings, bool toFile)
    : acceptTypes_(settings.AcceptTypes),
      agent_(settings.Agent),
      url_(settings.URL),
      fileName_(settings.FileName),
      userName_(settings.UserName),
      password_(settings.Password),
      postQuery_(settings.PostQuery),
      referer_(settings.Referer),
      binaryData_(settings.BinaryData),
      useCache_(settings.UseCache),
      maxSize_(settings.MaxSize),
      timeLimitMs_(settings.TimeLimitMs),
      toFile_(toFile),
      progressHandler_(settings.OnProgress) {}

THttpDownloadThread::~THttpDownloadThread() = default;

unsigned __stdcall THttpDownloadThread::ThreadMain(void* self) {
  // The thread's own reference: the worker outlives a component that is destroyed meanwhile.
  const std::unique_ptr<std::shared_ptr<THttpDownloadThread>> worker(
      static_cast<std::shared_ptr<THttpDownloadThread>*>(self));
  (*worker)->Run();
  return 0;
}

void THttpDownloadThread::Run() {
  try {
    Transfer();
  } catch (...) {
    success_ = false;  // out of memory and the like: failed, without a text
  }
  finished_ = true;  // the results are final: the component may read them now
  {
    const std::lock_guard<CriticalSection> guard(lock_);
    if (window_) ::PostMessageW(window_, kDoneMessage, serial_, 0);
  }
  // Only then: under Wine, closing a request first reads what has arrived of the rest of an
  // announced body, which a server that sends fast and long keeps up for a while.
  CloseInternetHandles(true);
}

bool THttpDownloadThread::Keep(InternetHandle& slot, HINTERNET handle) {
  const std::lock_guard<CriticalSection> guard(lock_);
  if (stop_) {
    ::InternetCloseHandle(handle);
    return false;
  }
  slot.reset(handle);
  return true;
}

void THttpDownloadThread::CloseInternetHandles(bool session) {
  InternetHandle request, connection, sessionHandle;
  {
    const std::lock_guard<CriticalSection> guard(lock_);
    request = std::move(request_);
    connection = std::move(connection_);
    if (session) sessionHandle = std::move(session_);
  }
  // Closed outside the lock (see Run), the request before the connection it belongs to.
  request.reset();
  connection.reset();
}

void THttpDownloadThread::RequestStop() {
  stop_ = true;
  CloseInternetHandles(true);
}

void THttpDownloadThread::Detach() {
  const std::lock_guard<CriticalSection> guard(lock_);
  window_ = nullptr;
}

std::string THttpDownloadThread::Host() {
  const std::lock_guard<CriticalSection> guard(lock_);
  return host_;
}

void THttpDownloadThread::ReportProgress(bool last) {
  const int percent = ProgressPercent(fileSize_, totalRead_);
  const DWORD now = ::GetTickCount();
  if (!last && percent == postedPercent_ && now - postedAt_ < kProgressIntervalMs) return;
  postedPercent_ = percent;
  postedAt_ = now;
  // A message still waiting shows this count too, since it reads the count when handled.
  if (progressPosted_.exchange(true)) return;
  const std::lock_guard<CriticalSection> guard(lock_);
  if (!window_ || !::PostMessageW(window_, kProgressMessage, serial_, 0)) progressPosted_ = false;
}

void THttpDownloadThread::Transfer() {
  success_ = false;
  if (stop_) return;

  const std::wstring agent = Utf8ToWide(agent_);
  const HINTERNET session =
      ::InternetOpenW(OrNull(agent), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  if (!session) {
    errorText_ = NoInternetText();
    return;
  }
  // The handles are used without the lock: a stop request may close them under a running
  // call, which is how WinINet cancels a blocking call; the call then fails.
  if (!Keep(session_, session)) return;
  HttpUrl url;
  if (const HINTERNET request = Request(session, url)) ReadBody(request, url);
}

HINTERNET THttpDownloadThread::Request(HINTERNET session, HttpUrl& url) {
  std::string address = url_;
  bool post = !postQuery_.empty();
  for (int redirects = 0;; ++redirects) {
    url = SplitUrl(address);
    {
      const std::lock_guard<CriticalSection> guard(lock_);
      host_ = url.host;
    }
    const HINTERNET request = Send(session, url, post);
    if (!request) return nullptr;
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!::HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                          nullptr) ||
        !IsRedirectStatus(status)) {
      return request;
    }
    // WinINet's own following has no end under Wine (a loop hangs the transfer), so it is off.
    const std::optional<std::string> location = QueryInfo(request, HTTP_QUERY_LOCATION);
    if (!location) return request;  // nowhere to go: a reply like any other
    if (redirects == THttpDownload::kMaxRedirects) {
      errorText_ = TooManyRedirectsText(url.host, THttpDownload::kMaxRedirects);
      return nullptr;
    }
    const std::optional<std::string> target = RedirectTarget(address, *location);
    if (!target) {
      errorText_ = RedirectRefusedText(url.host, *location);
      return nullptr;
    }
    address = *target;
    post = post && (status == 307 || status == 308);  // the others go on with a GET
  }
}

HINTERNET THttpDownloadThread::Send(HINTERNET session, const HttpUrl& url, bool post) {
  CloseInternetHandles(false);  // of the previous hop, if any
  const std::wstring hostName = Utf8ToWide(url.hostName);
  const std::wstring userName = Utf8ToWide(userName_);
  const std::wstring password = Utf8ToWide(password_);
  HINTERNET handle = hostName.empty()
                         ? nullptr
                         : ::InternetConnectW(session, hostName.c_str(), url.port, OrNull(userName),
                                              OrNull(password), INTERNET_SERVICE_HTTP, 0, 0);
  if (!handle) {
    if (!stop_) errorText_ = ServerUnreachableText(url.host);
    return nullptr;
  }
  if (!Keep(connection_, handle)) return nullptr;
  const HINTERNET connection = handle;

  const std::wstring path = Utf8ToWide(url.path);
  const std::wstring referer = Utf8ToWide(referer_);
  const std::wstring acceptTypes = Utf8ToWide(acceptTypes_);
  const wchar_t* acceptList[] = {acceptTypes.c_str(), nullptr};
  // Over HTTPS no certificate error is ever ignored: none of the INTERNET_FLAG_IGNORE_CERT_*
  // flags, no security flags set afterwards.
  const DWORD flags = INTERNET_FLAG_NO_AUTO_REDIRECT | (useCache_ ? 0 : INTERNET_FLAG_RELOAD) |
                      (url.secure ? INTERNET_FLAG_SECURE : 0);
  handle =
      ::HttpOpenRequestW(connection, post ? L"POST" : L"GET", path.c_str(), L"HTTP/1.0",
                         OrNull(referer), acceptTypes.empty() ? nullptr : acceptList, flags, 0);
  if (!handle || !Keep(request_, handle)) return nullptr;
  const HINTERNET request = handle;
  if (timeLimitMs_) {
    // A blocking call gives up a little after the transfer's limit (Wine takes these from the
    // request only): the component has reported the failure by then, and the worker has only
    // to end.
    const DWORD timeout = timeLimitMs_ + kAfterTimeLimitMs;
    for (const DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                               INTERNET_OPTION_RECEIVE_TIMEOUT}) {
      ::InternetSetOptionW(request, option, const_cast<DWORD*>(&timeout), sizeof timeout);
    }
  }

  const BOOL sent =
      post ? ::HttpSendRequestW(request, kFormHeader, static_cast<DWORD>(-1), postQuery_.data(),
                                static_cast<DWORD>(postQuery_.size()))
           : ::HttpSendRequestW(request, nullptr, 0, nullptr, 0);
  if (stop_) return nullptr;
  if (!sent) {
    errorText_ = SendFailedText(::GetLastError(), url.host);
    return nullptr;
  }
  return request;
}

void THttpDownloadThread::ReadBody(HINTERNET request, const HttpUrl& url) {
  responseHeaders_ = QueryInfo(request, HTTP_QUERY_RAW_HEADERS_CRLF).value_or("");
  const std::optional<std::string> lengthText = QueryInfo(request, HTTP_QUERY_CONTENT_LENGTH);
  if (stop_) return;
  if (!lengthText && binaryData_) return;  // a binary body must announce its length
  std::optional<std::int64_t> length;
  if (lengthText) {
    length = ParseContentLength(*lengthText);
    if (!length) return;
    fileSize_ = *length;
  }
  if (length && maxSize_ && *length > *maxSize_) {
    errorText_ = TooLargeText(url.host, *maxSize_);
    tooLarge_ = true;
    return;
  }
  // What is read: the announced length and nothing after it (which belongs to no reply), or
  // up to one byte past the most allowed, which shows that the body is longer.
  const std::int64_t readable = length     ? *length
                                : maxSize_ ? *maxSize_ + 1
                                           : std::numeric_limits<std::int64_t>::max();

  totalRead_ = 0;
  FileSink file;
  if (toFile_) {
    if (!file.Create(fileName_)) return;
  } else {
    result_.clear();
  }

  BodyReader reader(request);
  for (;;) {
    if (stop_) return;
    const std::string_view piece = reader.Next(readable - totalRead_);
    if (piece.empty()) break;
    if (stop_) return;  // what arrives after a stop request is not kept
    const auto size = static_cast<std::int64_t>(piece.size());
    if (maxSize_ && totalRead_ + size > *maxSize_) {
      errorText_ = TooLargeText(url.host, *maxSize_);
      tooLarge_ = true;
      return;
    }
    if (toFile_) {
      if (!file.Write(piece)) return;
    } else {
      result_.append(piece);
    }
    totalRead_ += size;
    if (progressHandler_) ReportProgress(false);
  }
  if (progressHandler_ && totalRead_ > 0) ReportProgress(true);
  if (reader.Failed() || (length && totalRead_ < *length)) {
    if (!stop_) errorText_ = ConnectionDroppedText(url.host);
    return;
  }
  if (!file.Close()) return;
  if (stop_) return;  // the request handle may be closed already

  success_ = DownloadSucceeded(toFile_, length, totalRead_);
  if (success_) file.Keep();
}

// ---- The component -------------------------------------------------------------------------

THttpDownload::THttpDownload(TObject* owner)
    : TComponent(owner), window_(CreateMessageWindow(&WindowProc, this)) {}

THttpDownload::~THttpDownload() {
  *alive_ = false;
  if (worker_) {
    worker_->Detach();  // from now on the worker reports to nobody
    worker_->RequestStop();
  }
}

void THttpDownload::GetFile() {
  const std::shared_ptr<THttpDownloadThread> worker = Start(true);
  if (worker && WaitThread) WaitFor(worker);
}

void THttpDownload::GetString() {
  const std::shared_ptr<THttpDownloadThread> worker = Start(false);
  if (worker && WaitThread) ProcessMessages();
}

void THttpDownload::Abort() {
  if (worker_) worker_->RequestStop();
}

std::shared_ptr<THttpDownloadThread> THttpDownload::Start(bool toFile) {
  errorMessage_.clear();
  if (worker_) return nullptr;
  responseHeaders_.clear();
  tooLarge_ = false;

  std::shared_ptr<THttpDownloadThread> worker(new THttpDownloadThread(*this, toFile));
  worker->serial_ = ++lastSerial_;
  worker->window_ = window_.get();
  if (!window_) {
    Complete(std::move(worker));  // nothing started: fails at once
    return nullptr;
  }

  auto reference = std::make_unique<std::shared_ptr<THttpDownloadThread>>(worker);
  const uintptr_t thread = ::_beginthreadex(nullptr, 0, &THttpDownloadThread::ThreadMain,
                                            reference.get(), CREATE_SUSPENDED, nullptr);
  if (!thread) {
    Complete(std::move(worker));
    return nullptr;
  }
  reference.release();  // the thread owns it now
  worker->thread_.reset(reinterpret_cast<HANDLE>(thread));
  worker_ = worker;
  if (TimeLimitMs) ::SetTimer(window_.get(), worker->serial_, TimeLimitMs, nullptr);
  ::ResumeThread(worker->thread_.get());
  return worker;
}

void THttpDownload::WaitFor(const std::shared_ptr<THttpDownloadThread>& worker) {
  const std::shared_ptr<bool> alive = alive_;
  // A handler may destroy the component, or end this transfer (the time limit does), meanwhile.
  const bool quit = !DispatchMessagesUntilSignaled(worker->thread_.get(),
                                                   [&] { return !*alive || worker_ != worker; });
  if (!*alive || worker_ != worker) return;
  if (quit) {
    // The program is closing: nobody will dispatch our messages any more.
    GiveUp(worker, "");
  } else {
    Complete(worker);
  }
}

void THttpDownload::Forget(const std::shared_ptr<THttpDownloadThread>& worker) {
  if (worker_ != worker) return;
  worker_.reset();
  ::KillTimer(window_.get(), worker->serial_);
}

void THttpDownload::Complete(std::shared_ptr<THttpDownloadThread> worker) {
  // Forgotten first, so that a handler can start the next transfer.
  Forget(worker);
  // Its results are final once it says so, before it closes its handles; a worker that did not
  // start has none.
  if (worker->thread_ && !worker->finished_) ::WaitForSingleObject(worker->thread_.get(), INFINITE);

  succeeded_ = worker->success_ && !worker->stop_;
  responseHeaders_ = worker->responseHeaders_;
  tooLarge_ = worker->tooLarge_;
  if (succeeded_ && worker->toFile_) {
    // Copies: a handler may destroy the component, and with it the original.
    if (const THttpDoneFileEvent handler = OnDoneFile) {
      handler(*this, worker->fileName_, worker->fileSize_);
    }
  } else if (succeeded_) {
    if (const THttpDoneStringEvent handler = OnDoneString) handler(*this, worker->result_);
  } else {
    if (!worker->errorText_.empty()) errorMessage_ = worker->errorText_;
    if (const TNotifyEvent handler = OnError) handler(*this);
  }
}

void THttpDownload::GiveUp(std::shared_ptr<THttpDownloadThread> worker, const std::string& text) {
  Forget(worker);
  worker->Detach();
  worker->RequestStop();
  succeeded_ = false;
  errorMessage_ = text;
  if (const TNotifyEvent handler = OnError) handler(*this);
}

void THttpDownload::OnTimeLimit(UINT_PTR serial) {
  ::KillTimer(window_.get(), serial);
  if (!worker_ || worker_->serial_ != serial) return;
  GiveUp(worker_, TimedOutText(worker_->Host(), worker_->timeLimitMs_));
}

void THttpDownload::OnProgressMessage(UINT_PTR serial) {
  const std::shared_ptr<THttpDownloadThread> worker = worker_;
  if (!worker || worker->serial_ != serial) return;  // from a transfer that has ended
  worker->progressPosted_ = false;  // before the count is read: a later count posts again
  const std::int64_t read = worker->totalRead_;
  if (worker->stop_ || read == worker->shownRead_) return;
  worker->shownRead_ = read;
  worker->progressHandler_(*worker, worker->fileSize_, read);
}

void THttpDownload::OnDoneMessage(UINT_PTR serial) {
  if (worker_ && worker_->serial_ == serial) Complete(worker_);
}

LRESULT CALLBACK THttpDownload::WindowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  if (message != kProgressMessage && message != kDoneMessage && message != WM_TIMER) {
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
  auto* self = reinterpret_cast<THttpDownload*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return 0;
  UserPrompts* const prompts = self->Prompts;  // read now: a handler may destroy the component
  try {
    if (message == kProgressMessage) {
      self->OnProgressMessage(wParam);
    } else if (message == kDoneMessage) {
      self->OnDoneMessage(wParam);
    } else {
      self->OnTimeLimit(wParam);
    }
  } catch (const std::exception& e) {
    ShowUnexpected(prompts, e.what());
  } catch (...) {
    ShowUnexpected(prompts, "Unexpected error");
  }
  return 0;
}

}  // namespace tavi
