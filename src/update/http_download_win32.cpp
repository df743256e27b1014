#include "update/http_download_win32.h"

#include <process.h>

#include <algorithm>
#include <exception>
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

  // The next piece; empty at the end of the body or after a failed read.
  std::string_view Next() {
    const DWORD started = ::GetTickCount();
    DWORD available = 0;  // waits until something has arrived; 0 at the end
    if (!::InternetQueryDataAvailable(request_, &available, 0, 0) || available == 0) return {};
    const DWORD arrived = ::GetTickCount();
    const bool waited = arrived - started > kQuickMs;
    if (waited) reserve_ = 0;
    const DWORD wanted = std::min(kReadSize, std::max(available, reserve_));
    DWORD got = 0;
    if (!::InternetReadFile(request_, buffer_.data(), wanted, &got) || got == 0) return {};
    if (::GetTickCount() - arrived > kSlowReadMs) {
      reserve_ /= 2;
    } else if (!waited && got == wanted) {
      reserve_ = std::min(kReadSize, std::max(2 * reserve_, kFirstReserve));
    }
    return {buffer_.data(), got};
  }

 private:
  static constexpr DWORD kQuickMs = 10;
  static constexpr DWORD kSlowReadMs = 50;
  static constexpr DWORD kFirstReserve = 16 * 1024;

  HINTERNET request_;
  std::string buffer_;
  DWORD reserve_ = 0;
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
  CloseInternetHandles();
  const std::lock_guard<CriticalSection> guard(lock_);
  if (window_) ::PostMessageW(window_, kDoneMessage, serial_, 0);
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

void THttpDownloadThread::CloseInternetHandles() {
  const std::lock_guard<CriticalSection> guard(lock_);
  request_.reset();
  connection_.reset();
  session_.reset();
}

void THttpDownloadThread::RequestStop() {
  stop_ = true;
  CloseInternetHandles();
}

void THttpDownloadThread::Detach() {
  const std::lock_guard<CriticalSection> guard(lock_);
  window_ = nullptr;
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
  const HttpUrl url = SplitUrl(url_);
  if (stop_) return;

  const std::wstring agent = Utf8ToWide(agent_);
  HINTERNET handle =
      ::InternetOpenW(OrNull(agent), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  if (!handle) {
    errorText_ = NoInternetText();
    return;
  }
  // The handles are used without the lock: a stop request may close them under a running
  // call, which is how WinINet cancels a blocking call; the call then fails.
  if (!Keep(session_, handle)) return;
  const HINTERNET session = handle;

  const std::wstring hostName = Utf8ToWide(url.hostName);
  const std::wstring userName = Utf8ToWide(userName_);
  const std::wstring password = Utf8ToWide(password_);
  handle = hostName.empty()
               ? nullptr
               : ::InternetConnectW(session, hostName.c_str(), url.port, OrNull(userName),
                                    OrNull(password), INTERNET_SERVICE_HTTP, 0, 0);
  if (!handle) {
    if (!stop_) errorText_ = ServerUnreachableText(url.host);
    return;
  }
  if (!Keep(connection_, handle)) return;
  const HINTERNET connection = handle;

  const bool post = !postQuery_.empty();
  const std::wstring path = Utf8ToWide(url.path);
  const std::wstring referer = Utf8ToWide(referer_);
  const std::wstring acceptTypes = Utf8ToWide(acceptTypes_);
  const wchar_t* acceptList[] = {acceptTypes.c_str(), nullptr};
  // Over HTTPS no certificate error is ever ignored: none of the INTERNET_FLAG_IGNORE_CERT_*
  // flags, no security flags set afterwards.
  const DWORD flags =
      (useCache_ ? 0 : INTERNET_FLAG_RELOAD) | (url.secure ? INTERNET_FLAG_SECURE : 0);
  handle =
      ::HttpOpenRequestW(connection, post ? L"POST" : L"GET", path.c_str(), L"HTTP/1.0",
                         OrNull(referer), acceptTypes.empty() ? nullptr : acceptList, flags, 0);
  if (!handle || !Keep(request_, handle)) return;
  const HINTERNET request = handle;

  const BOOL sent =
      post ? ::HttpSendRequestW(request, kFormHeader, static_cast<DWORD>(-1), postQuery_.data(),
                                static_cast<DWORD>(postQuery_.size()))
           : ::HttpSendRequestW(request, nullptr, 0, nullptr, 0);
  if (stop_) return;
  if (!sent) {
    errorText_ = IsCertificateError(::GetLastError()) ? CertificateRefusedText(url.host)
                                                      : ServerUnreachableText(url.host);
    return;
  }

  wchar_t lengthText[512] = {};
  DWORD lengthSize = sizeof lengthText;
  const bool announced =
      ::HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH, lengthText, &lengthSize, nullptr);
  if (stop_) return;
  if (!announced && binaryData_) return;  // a binary body must announce its length
  std::optional<std::int64_t> length;
  if (announced) {
    length = ParseContentLength(WideToUtf8(lengthText));
    if (!length) return;
    fileSize_ = *length;
  }

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
    const std::string_view piece = reader.Next();
    if (piece.empty()) break;
    if (stop_) return;  // what arrives after a stop request is not kept
    if (toFile_) {
      if (!file.Write(piece)) return;
    } else {
      result_.append(piece);
    }
    totalRead_ += static_cast<std::int64_t>(piece.size());
    if (progressHandler_) ReportProgress(false);
  }
  if (progressHandler_ && totalRead_ > 0) ReportProgress(true);
  if (!file.Close()) return;
  if (stop_) return;  // the request handle may be closed already

  success_ = DownloadSucceeded(toFile_, length, totalRead_);
  if (success_) file.Keep();
  KeepResponseHeaders(request);
}

void THttpDownloadThread::KeepResponseHeaders(HINTERNET request) {
  std::vector<wchar_t> buffer(2048);
  for (;;) {
    DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (::HttpQueryInfoW(request, HTTP_QUERY_RAW_HEADERS_CRLF, buffer.data(), &size, nullptr)) {
      responseHeaders_ = WideToUtf8(std::wstring_view(buffer.data(), size / sizeof(wchar_t)));
      return;
    }
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || size <= buffer.size() * sizeof(wchar_t))
      return;
    buffer.resize(size / sizeof(wchar_t) + 1);
  }
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
  ::ResumeThread(worker->thread_.get());
  return worker;
}

void THttpDownload::WaitFor(const std::shared_ptr<THttpDownloadThread>& worker) {
  const std::shared_ptr<bool> alive = alive_;
  const bool quit = !DispatchMessagesUntilSignaled(worker->thread_.get());
  // A handler may have destroyed the component, or completed this transfer, meanwhile.
  if (!*alive || worker_ != worker) return;
  if (quit) {
    // The program is closing: nobody will dispatch our messages any more.
    worker->RequestStop();
    ::WaitForSingleObject(worker->thread_.get(), INFINITE);
  }
  Complete(worker);
}

void THttpDownload::Complete(std::shared_ptr<THttpDownloadThread> worker) {
  // Forgotten first, so that a handler can start the next transfer.
  if (worker_ == worker) worker_.reset();
  if (worker->thread_) ::WaitForSingleObject(worker->thread_.get(), INFINITE);

  succeeded_ = worker->success_ && !worker->stop_;
  if (succeeded_) responseHeaders_ = worker->responseHeaders_;
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
  if (message != kProgressMessage && message != kDoneMessage) {
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
  auto* self = reinterpret_cast<THttpDownload*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return 0;
  UserPrompts* const prompts = self->Prompts;  // read now: a handler may destroy the component
  try {
    if (message == kProgressMessage) {
      self->OnProgressMessage(wParam);
    } else {
      self->OnDoneMessage(wParam);
    }
  } catch (const std::exception& e) {
    ShowUnexpected(prompts, e.what());
  } catch (...) {
    ShowUnexpected(prompts, "Unexpected error");
  }
  return 0;
}

}  // namespace tavi
