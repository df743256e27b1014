// HTTP and HTTPS downloads on a worker thread through WinINet. The component is used on the
// window thread; its worker posts its progress to that thread (never waiting for it, and only
// when the shown percentage would change or 50 ms have passed) and its completion after it has
// ended, through a hidden message-only window that belongs to the component. Workers never
// touch any other window.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>  // std::lock_guard only
#include <optional>
#include <string>
#include <string_view>

#include "update/component.h"
#include "update/url_split.h"
#include "win/handle.h"
#include "win/user_prompts_win32.h"

namespace tavi {

using InternetHandle = UniqueHandle<NullableHandleTraits<HINTERNET, &::InternetCloseHandle>>;

// A lock on the system's critical section. Unlike std::mutex it builds with either of
// MinGW's thread models (the posix one's thread library imports functions XP lacks).
class CriticalSection {
 public:
  CriticalSection() { ::InitializeCriticalSection(&section_); }
  ~CriticalSection() { ::DeleteCriticalSection(&section_); }
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;

  void lock() { ::EnterCriticalSection(&section_); }
  void unlock() { ::LeaveCriticalSection(&section_); }

 private:
  CRITICAL_SECTION section_;
};

using TNotifyEvent = std::function<void(TObject& Sender)>;
using THttpProgressEvent =
    std::function<void(TObject& Sender, std::int64_t TotalSize, std::int64_t BytesRead)>;
using THttpDoneFileEvent =
    std::function<void(TObject& Sender, const std::string& FileName, std::int64_t FileSize)>;
using THttpDoneStringEvent = std::function<void(TObject& Sender, const std::string& Result)>;

class THttpDownload;

// One transfer on a thread of its own, with copies of the component's settings. Shared by
// the component and the thread, so it lives until both are done with it: a component that
// goes away mid-transfer leaves the worker to finish (promptly, as it is told to stop) and
// free itself. The sender of OnProgress, whose arguments are the counts to show: the worker
// goes on reading meanwhile.
class THttpDownloadThread final : public TObject,
                                  public std::enable_shared_from_this<THttpDownloadThread> {
 public:
  ~THttpDownloadThread() override;
  THttpDownloadThread(const THttpDownloadThread&) = delete;
  THttpDownloadThread& operator=(const THttpDownloadThread&) = delete;

  std::string_view ClassName() const override { return "THttpDownloadThread"; }

  bool ToFile() const { return toFile_; }
  const std::string& URL() const { return url_; }
  const std::string& FileName() const { return fileName_; }
  std::int64_t FileSize() const { return fileSize_; }    // announced length, 0 when none
  std::int64_t TotalRead() const { return totalRead_; }  // so far

 private:
  friend class THttpDownload;

  THttpDownloadThread(const THttpDownload& settings, bool toFile);

  static unsigned __stdcall ThreadMain(void* self);
  void Run();
  void Transfer();
  // Posts the count to the window thread when what it shows would change, or now and then;
  // `last`: the body has ended, so the final count is always shown.
  void ReportProgress(bool last);
  // Connects, sends the request and follows its redirects; the request of the reply to read,
  // or null with the reason in errorText_.
  HINTERNET Request(HINTERNET session, HttpUrl& url);
  HINTERNET Send(HINTERNET session, const HttpUrl& url, bool post);
  void ReadBody(HINTERNET request, const HttpUrl& url);

  // Handles live in the worker's slots, so that a stop request from the window thread can
  // close them and so cut short a blocking connect or read (on Windows; Wine lets the call
  // finish). The lock makes each close happen once.
  bool Keep(InternetHandle& slot, HINTERNET handle);
  void CloseInternetHandles(bool session);

  // Called on the window thread.
  void RequestStop();
  void Detach();
  std::string Host();  // of the server asked last

  // Settings, copied when the transfer starts.
  std::string acceptTypes_, agent_, url_, fileName_;
  std::string result_;
  std::string userName_, password_, postQuery_, referer_;
  bool binaryData_ = false;
  bool useCache_ = false;
  bool tooLarge_ = false;
  std::optional<std::int64_t> maxSize_;
  DWORD timeLimitMs_ = 0;
  bool success_ = false;
  std::int64_t fileSize_ = 0;
  bool toFile_ = false;
  std::atomic<std::int64_t> totalRead_{0};
  THttpProgressEvent progressHandler_;
  std::string errorText_;
  std::string responseHeaders_;

  std::atomic<bool> stop_{false};
  std::atomic<bool> finished_{false};  // the transfer has ended and its results are final
  Handle thread_;
  UINT_PTR serial_ = 0;  // tells this worker's messages from those of earlier ones
  // Progress: at most one message waits at a time, and it shows the count when it is handled.
  std::atomic<bool> progressPosted_{false};
  int postedPercent_ = -1;       // worker only
  DWORD postedAt_ = 0;           // worker only: GetTickCount of the last post
  std::int64_t shownRead_ = -1;  // window thread only: the count its handler was last given

  CriticalSection lock_;
  HWND window_ = nullptr;  // the component's message window; null once the component is gone
  std::string host_;       // as written in the address asked last
  InternetHandle session_, connection_, request_;
};

// A non-visual download component: one transfer at a time, into a file or into a string.
// Use it on one thread that dispatches window messages; all events run there. It follows up to
// kMaxRedirects redirects itself (see RedirectTarget), to any server: what is downloaded is
// checked by what it is, never by where it came from.
class THttpDownload final : public TComponent {
 public:
  explicit THttpDownload(TObject* owner = nullptr);
  ~THttpDownload() override;
  THttpDownload(const THttpDownload&) = delete;
  THttpDownload& operator=(const THttpDownload&) = delete;

  std::string_view ClassName() const override { return "THttpDownload"; }

  // Browsers follow about 20 redirects; a download address needs one or two.
  static constexpr int kMaxRedirects = 10;

  std::string AcceptTypes = "*/*";
  std::string Agent = "HttpDownload";  // empty: no user agent is given
  bool BinaryData = false;             // a reply without a length fails unread
  std::string URL;                     // "http[s]://host[:port]/path"
  bool UseCache = false;
  std::string FileName;
  std::string UserName;
  std::string Password;
  std::string PostQuery;  // not empty: the request is a POST of this form data
  std::string Referer;
  bool WaitThread = false;
  // The most bytes a body may have; none: no limit. A longer announced length fails before
  // the body is read, and no more than one byte past it is ever read.
  std::optional<std::int64_t> MaxSize;
  // The transfer (connection, redirects, body) fails when it has not ended this long after it
  // started; 0: no limit. The failure is reported then, even while the worker still waits in
  // a call that does not return in time; the worker then ends by itself and leaves nothing.
  DWORD TimeLimitMs = 0;
  // Shows what a handler lets escape (no exception may cross the component's window
  // procedure); not owned. Null: the system's message boxes.
  UserPrompts* Prompts = nullptr;
  THttpProgressEvent OnProgress;  // Sender: the worker
  THttpDoneFileEvent OnDoneFile;  // Sender: this component, as for the others
  THttpDoneStringEvent OnDoneString;
  TNotifyEvent OnError;

  // Starts a transfer of URL into FileName, unless one is running. With WaitThread set,
  // returns when it has ended and its event has run, dispatching messages meanwhile.
  void GetFile();
  // Starts a transfer of URL into a string, unless one is running. With WaitThread set,
  // dispatches the messages waiting now once; the transfer goes on after the return.
  void GetString();
  // Asks a running transfer to stop; it then ends as failed, without error text.
  void Abort();

  const std::string& ErrorMessage() const { return errorMessage_; }
  // Raw headers, lines ending in CR LF, of the reply of the last transfer (after its
  // redirects); empty when no reply came, or the time limit ended the transfer.
  const std::string& ResponseHeaders() const { return responseHeaders_; }
  bool Succeeded() const { return succeeded_; }
  // The last transfer failed because its body was longer than MaxSize.
  bool TooLarge() const { return tooLarge_; }
  // The running worker, or null.
  const THttpDownloadThread* Worker() const { return worker_.get(); }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void OnProgressMessage(UINT_PTR serial);
  void OnDoneMessage(UINT_PTR serial);
  void OnTimeLimit(UINT_PTR serial);

  std::shared_ptr<THttpDownloadThread> Start(bool toFile);
  void WaitFor(const std::shared_ptr<THttpDownloadThread>& worker);
  void Complete(std::shared_ptr<THttpDownloadThread> worker);
  // Ends the transfer as failed with the text, without waiting for its worker, which is told to
  // stop and reports to nobody any more.
  void GiveUp(std::shared_ptr<THttpDownloadThread> worker, const std::string& text);
  void Forget(const std::shared_ptr<THttpDownloadThread>& worker);

  Window window_;
  std::shared_ptr<THttpDownloadThread> worker_;
  UINT_PTR lastSerial_ = 0;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);  // false once destroyed

  std::string errorMessage_;
  std::string responseHeaders_;
  bool succeeded_ = false;
  bool tooLarge_ = false;
};

}  // namespace tavi
