#include "update/updater_win32.h"

#include <shellapi.h>

#include <algorithm>
#include <utility>

#include "profiles/private_profile_win32.h"
#include "profiles/profile_store.h"
#include "update/file_path.h"
#include "update/signature_win32.h"
#include "update/update_install_win32.h"
#include "update/update_key.h"
#include "update/update_texts.h"
#include "win/files_win32.h"
#include "win/handle.h"
#include "win/message_loop_win32.h"
#include "win/text_win32.h"

namespace tavi {
namespace {

constexpr char kDescriptionFile[] = "update.info";
constexpr char kDownloadFolder[] = "update";
// How long a start after an update gives the finishing copy to end, so that its file
// (in the download folder) can be removed.
constexpr DWORD kLeftoverRetryMs = 1000;
constexpr DWORD kLeftoverPollMs = 100;
// Longest wait between two looks at the description request; messages end it at once.
constexpr DWORD kDescriptionPollMs = 100;

// A reply that came with another status than success (an error page): its status line, which
// says most whatever else was wrong with it; empty otherwise.
std::string ErrorStatus(const THttpDownload& download) {
  const std::string status = StatusLine(download.ResponseHeaders());
  return status.empty() || IsSuccessStatus(status) ? std::string() : status;
}

std::string FullPath(const std::string& path) {
  const std::wstring wide = Utf8ToWide(path);
  std::wstring full(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) return path;
    if (length < full.size()) {
      full.resize(length);
      return WideToUtf8(full);
    }
    full.resize(length);
  }
}

// Paths are the same file when they are equal without regard to letter case, as file names
// on Windows are.
bool SamePath(const std::string& a, const std::string& b) {
  const std::wstring wideA = Utf8ToWide(a);
  const std::wstring wideB = Utf8ToWide(b);
  return ::CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, wideA.c_str(),
                          static_cast<int>(wideA.size()), wideB.c_str(),
                          static_cast<int>(wideB.size())) == CSTR_EQUAL;
}

// The path with the long name of every part that exists: a short (8.3) name reaches the file
// of its long name.
std::string LongPath(const std::string& path) {
  const std::wstring wide = Utf8ToWide(path);
  std::wstring full(::GetLongPathNameW(wide.c_str(), nullptr, 0), L'\0');
  if (full.empty()) return path;
  full.resize(::GetLongPathNameW(wide.c_str(), full.data(), static_cast<DWORD>(full.size())));
  return full.empty() ? path : WideToUtf8(full);
}

// Creates the folder and any missing parents.
bool CreateFolderPath(const std::string& path) {
  if (IsFolder(path)) return true;
  const std::string parent = ParentFolderOf(path);
  if (!parent.empty() && parent.back() != ':' && !CreateFolderPath(parent)) return false;
  return ::CreateDirectoryW(Utf8ToWide(path).c_str(), nullptr) || IsFolder(path);
}

bool ShellStart(const std::string& file, const std::string& parameters) {
  const std::wstring wideFile = Utf8ToWide(file);
  const std::wstring wideParameters = Utf8ToWide(parameters);
  const HINSTANCE result =
      ::ShellExecuteW(nullptr, L"Open", wideFile.c_str(),
                      wideParameters.empty() ? nullptr : wideParameters.c_str(), nullptr, SW_SHOW);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

// The program is ending: a failure now is the end of the run, not something to report.
bool QuitPending() {
  MSG message;
  return ::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0;
}

}  // namespace

// ---- Files and folders ---------------------------------------------------------------------

std::optional<std::string> LocalFileVersion(const std::string& path) {
  if (!IsFile(path)) return std::nullopt;
  const std::wstring wide = Utf8ToWide(path);
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(wide.c_str(), &ignored);
  if (size == 0) return std::string();
  std::vector<BYTE> data(size);
  if (!::GetFileVersionInfoW(wide.c_str(), 0, size, data.data())) return std::string();
  void* block = nullptr;
  UINT length = 0;
  if (!::VerQueryValueW(data.data(), L"\\", &block, &length) || length < sizeof(VS_FIXEDFILEINFO))
    return std::string();
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(block);
  return FileVersionText(info->dwFileVersionMS, info->dwFileVersionLS);
}

UpdateDescription ReadUpdateDescription(const std::string& path) {
  const PrivateProfileStore file(path);
  UpdateDescription description;
  for (std::string& name : file.ReadSections()) {
    DescriptionSection section;
    for (std::string& key : file.ReadKeys(name)) {
      std::string value = file.ReadString(name, key);
      section.values.emplace_back(std::move(key), std::move(value));
    }
    section.name = std::move(name);
    description.push_back(std::move(section));
  }
  return description;
}

void UpdaterTrace(std::string_view message) {
  ::OutputDebugStringW(Utf8ToWide(UpdaterTraceText(message)).c_str());
}

// ---- The component -------------------------------------------------------------------------

TRavoUpdater::TRavoUpdater(TObject* owner, TRavoUpdaterEnvironment environment)
    : TComponent(owner), environment_(std::move(environment)) {
  if (!environment_.prompts) environment_.prompts = &systemPrompts_;
  if (!environment_.startProgram) environment_.startProgram = &ShellStart;
  if (!environment_.closeProgram) environment_.closeProgram = [] { ::PostQuitMessage(0); };
  if (!environment_.exitProcess) environment_.exitProcess = [] { ::ExitProcess(0); };
  if (!environment_.publicKey) environment_.publicKey = std::string(UpdatePublicKey());
  executablePath_ =
      environment_.executablePath.empty() ? ::tavi::ExecutablePath() : environment_.executablePath;
  programFolder_ = FolderOf(executablePath_);

  RunStartupDuties();
  CreateDownloads();
}

TRavoUpdater::~TRavoUpdater() {
  *alive_ = false;
  // The download components stop their transfers as they go.
  FileDownload.reset();
  InfoDownload.reset();
}

std::string TRavoUpdater::DescriptionPath() const {
  return programFolder_ + kDescriptionFile;
}

std::string TRavoUpdater::DownloadFolder() const {
  return programFolder_ + kDownloadFolder;
}

void TRavoUpdater::RunStartupDuties() {
  const std::vector<std::string>& arguments = environment_.arguments;
  if (arguments.size() == 3) {
    RunHandOver(arguments);  // when the arguments do not check out, the program starts normally
  } else if (arguments.empty()) {
    RemoveLeftovers();
  }
}

bool TRavoUpdater::RunHandOver(const std::vector<std::string>& arguments) {
  const std::optional<std::uint32_t> processId = ParseHandOverProcessId(arguments[0]);
  if (!processId || *processId == ::GetCurrentProcessId()) return false;
  if (!IsFile(arguments[1]) || !IsFile(arguments[2])) return false;
  // Only the copy in the installation's own download folder installs, and only there:
  // nothing is ever copied anywhere else.
  const std::string installed = FullPath(arguments[1]);
  const std::string copy = FullPath(arguments[2]);
  if (!SamePath(copy, FullPath(executablePath_))) return false;
  if (!SamePath(FolderOf(copy), FolderOf(installed) + kDownloadFolder + "\\")) return false;
  if (!SamePath(FileNameOf(copy), FileNameOf(installed))) return false;

  {
    // Without access to it (it has ended already, for example), go on at once.
    const Handle old(::OpenProcess(SYNCHRONIZE, FALSE, *processId));
    if (old) ::WaitForSingleObject(old.get(), INFINITE);
  }
  Install(FolderOf(installed), FolderOf(copy));
  // Updated or not, the installed program starts again.
  environment_.startProgram(installed, "");
  environment_.exitProcess();
  return true;
}

void TRavoUpdater::Install(const std::string& installFolder, const std::string& downloadFolder) {
  // Exactly the files the accepted description names and the installation lacks: nothing
  // else that may lie in the download folder.
  const DescriptionVerdict verdict = Evaluate(installFolder, false);
  std::optional<InstallFailure> failure;
  if (const DescribedFile* refused = verdict.FirstRefused()) {
    failure = InstallFailure{installFolder + refused->name};
  } else {
    failure = InstallFiles(verdict.OutOfDate(), downloadFolder, installFolder);
  }
  if (failure) {
    environment_.prompts->Show(nullptr, InstallFailedText(failure->path, failure->restored), "Tavi",
                               MB_OK | MB_ICONHAND);
  }
}

void TRavoUpdater::ForgetDescription() {
  ::DeleteFileW(Utf8ToWide(DescriptionPath()).c_str());
}

void TRavoUpdater::RemoveLeftovers() {
  ForgetDescription();
  const std::string folder = DownloadFolder();
  if (RemoveFolderTree(folder)) return;
  // Right after an update the copy that installed it may still be ending, and its file
  // cannot go before it has. Nothing to wait for when there is no folder.
  for (DWORD waited = 0; waited < kLeftoverRetryMs && IsFolder(folder); waited += kLeftoverPollMs) {
    ::Sleep(kLeftoverPollMs);
    if (RemoveFolderTree(folder)) return;
  }
}

void TRavoUpdater::CreateDownloads() {
  InfoDownload = std::make_unique<THttpDownload>(this);
  InfoDownload->Name = "InfoDownload";
  InfoDownload->AcceptTypes = "*/*";
  InfoDownload->Agent = Agent;
  InfoDownload->BinaryData = false;
  InfoDownload->UseCache = false;
  InfoDownload->WaitThread = true;
  InfoDownload->MaxSize = environment_.limits.descriptionSize;
  InfoDownload->TimeLimitMs = environment_.limits.descriptionMs;
  InfoDownload->Prompts = environment_.prompts;
  InfoDownload->OnDoneString = [this](TObject&, const std::string& text) {
    DescriptionArrived(text);
  };
  InfoDownload->OnError = [this](TObject& sender) { InfoDownloadError(sender); };

  FileDownload = std::make_unique<THttpDownload>(this);
  FileDownload->Name = "FileDownload";
  FileDownload->AcceptTypes = "*/*";
  FileDownload->Agent = Agent;
  FileDownload->BinaryData = true;
  FileDownload->UseCache = false;
  FileDownload->WaitThread = true;
  FileDownload->Prompts = environment_.prompts;
  // The progress relay is attached per download, and only when someone listens: without a
  // handler the download posts no progress at all.
  FileDownload->OnDoneFile = [this](TObject& sender, const std::string& name, std::int64_t size) {
    if (const THttpDoneFileEvent handler = OnDoneFile) handler(sender, name, size);
  };
  // Its failures are told after each download (RunApplyUpdates), which knows the file.
}

void TRavoUpdater::DescriptionArrived(const std::string& text) {
  infoState_ = InfoState::failed;
  // An error page (no description there, a failing script, a redirect to either) is none.
  if (const std::string status = ErrorStatus(*InfoDownload); !status.empty()) {
    RaiseError(*this, DescriptionFailedText(URL, status));
    return;
  }
  // Only the maker's own description: anyone who can answer the request could offer files.
  switch (CheckDescriptionSignature(text, *environment_.publicKey)) {
    case DescriptionSignature::valid:
      break;
    case DescriptionSignature::noKey:
      RaiseError(*this, NoUpdateKeyText());
      return;
    case DescriptionSignature::invalid:
      RaiseError(*this, UnverifiedDescriptionText(URL));
      return;
  }
  const std::string path = DescriptionPath();
  if (!WriteWholeFile(path, text + "\r\n")) {
    RaiseError(*this, DescriptionNotStoredText(path));
    return;
  }
  infoState_ = InfoState::received;
}

void TRavoUpdater::InfoDownloadError(TObject& sender) {
  infoState_ = InfoState::failed;
  const auto& download = static_cast<const THttpDownload&>(sender);
  if (const std::string status = ErrorStatus(download); !status.empty()) {
    RaiseError(*this, DescriptionFailedText(URL, status));
  } else if (!download.ErrorMessage().empty()) {
    RaiseError(sender, download.ErrorMessage());
  } else if (!QuitPending()) {
    // No reply, or an empty one: the download has no words for it, but the user asked.
    RaiseError(*this, DescriptionFailedText(download.URL));
  }
}

void TRavoUpdater::RaiseError(TObject& sender, const std::string& text) {
  if (const TUpdateErrorEvent handler = OnError) handler(sender, text);
}

bool TRavoUpdater::IsReservedName(const std::string& folder, const std::string& name) const {
  const std::string reserved[] = {kDownloadFolder, kDescriptionFile,
                                  FileNameOf(IniPathForExecutable(executablePath_))};
  const std::string onDisk = FileNameOf(LongPath(folder + name));
  return std::any_of(std::begin(reserved), std::end(reserved), [&](const std::string& r) {
    return SamePath(r, name) || SamePath(r, onDisk);
  });
}

DescriptionVerdict TRavoUpdater::Evaluate(const std::string& folder, bool trace) const {
  return EvaluateDescription(
      ReadUpdateDescription(folder + kDescriptionFile),
      [&folder, trace](const std::string& name) -> std::optional<std::string> {
        const std::string path = folder + name;
        std::optional<std::string> version = LocalFileVersion(path);
        if (trace) UpdaterTrace(path + ": " + version.value_or(""));
        return version;
      },
      [this, &folder](const std::string& name) { return IsReservedName(folder, name); });
}

bool TRavoUpdater::HaveUpdates(std::string& Files, std::string& Info) {
  infoState_ = InfoState::waiting;
  if (URL.empty()) {
    infoState_ = InfoState::idle;
    environment_.prompts->Show(nullptr, MissingUrlText(Name), Name, MB_OK | MB_ICONHAND);
    return false;
  }

  InfoDownload->Agent = Agent;
  InfoDownload->URL = URL;
  // Starts nothing while an earlier request still runs: this call then waits for its reply.
  InfoDownload->GetString();
  const std::shared_ptr<bool> alive = alive_;
  while (*alive && infoState_ == InfoState::waiting) {
    if (!InfoDownload->Worker()) {
      // Ended without either of its events reaching this request.
      infoState_ = InfoState::failed;
      RaiseError(*this, DescriptionFailedText(URL));
      break;
    }
    ::MsgWaitForMultipleObjectsEx(0, nullptr, kDescriptionPollMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (!ProcessMessages()) break;  // the program is closing
  }
  if (!*alive) return false;
  if (infoState_ != InfoState::received) {
    infoState_ = InfoState::failed;
    return false;
  }

  haveUpdatesCalled_ = true;
  const DescriptionVerdict verdict = Evaluate(programFolder_, true);
  Files = verdict.FileList();
  Info += verdict.info;
  if (!verdict.HasUpdates()) ForgetDescription();
  return verdict.HasUpdates();
}

void TRavoUpdater::ApplyUpdates() {
  if (!haveUpdatesCalled_) {
    environment_.prompts->Show(nullptr, HaveUpdatesFirstText(Name), Name, MB_OK | MB_ICONHAND);
    return;
  }
  // A second update started from inside this one's waits would act on this one's
  // unfinished downloads.
  if (applying_) return;
  applying_ = true;
  const std::shared_ptr<bool> alive = alive_;
  RunApplyUpdates();
  if (*alive) applying_ = false;
}

void TRavoUpdater::RunApplyUpdates() {
  const std::string folder = DownloadFolder();
  // Every update starts from an empty folder: nothing an earlier one left there is installed.
  RemoveFolderTree(folder);
  if (IsFolder(folder) || !CreateFolderPath(folder)) {
    RaiseError(*this, FolderNotCreatedText(folder));
    return;
  }
  const DescriptionVerdict verdict = Evaluate(programFolder_, false);
  if (const DescribedFile* refused = verdict.FirstRefused()) {
    RaiseError(*this, refused->refusal == FileRefusal::name ? RefusedNameText(refused->name)
                                                            : UnhashedFileText(refused->name));
    return;
  }

  const std::shared_ptr<bool> alive = alive_;
  for (const DescribedFile* file : verdict.OutOfDate()) {
    const std::string target = folder + "\\" + file->name;
    FileDownload->URL = file->url;
    FileDownload->BinaryData = true;
    FileDownload->WaitThread = true;
    FileDownload->FileName = target;
    FileDownload->Agent = Agent;
    // Nothing past the described size is read; a file refused for want of one never gets here.
    FileDownload->MaxSize = file->size;
    FileDownload->TimeLimitMs = environment_.limits.FileMs(file->size.value_or(0));
    FileDownload->OnProgress = nullptr;
    if (OnProgress) {
      FileDownload->OnProgress = [this](TObject& sender, std::int64_t total, std::int64_t read) {
        if (const TUpdateProgressEvent handler = OnProgress) {
          handler(sender, FileNameOf(FileDownload->FileName), total, read);
        }
      };
    }
    FileDownload->GetFile();
    if (!*alive) return;

    // Whatever the server sent with another status than success (an error page) must
    // never be installed.
    if (const std::string status = ErrorStatus(*FileDownload); !status.empty()) {
      ::DeleteFileW(Utf8ToWide(target).c_str());
      RaiseError(*this, StatusErrorText(status, file->url));
      return;
    }
    if (!FileDownload->Succeeded()) {
      if (FileDownload->TooLarge()) {
        RaiseError(*this, FileMismatchText(file->name, file->url));
      } else if (!FileDownload->ErrorMessage().empty()) {
        RaiseError(*FileDownload, FileDownload->ErrorMessage());
      } else if (!QuitPending()) {
        RaiseError(*this, DownloadFailedText(file->name, file->url));
      }
      return;
    }
    if (!IsDescribedFile(*file, ReadWholeFile(target))) {
      ::DeleteFileW(Utf8ToWide(target).c_str());
      RaiseError(*this, FileMismatchText(file->name, file->url));
      return;
    }
  }

  // The copy that installs: the downloaded program when the update has one, else this one.
  const std::string copy = folder + "\\" + FileNameOf(executablePath_);
  if (!IsFile(copy)) {
    ::CopyFileW(Utf8ToWide(executablePath_).c_str(), Utf8ToWide(copy).c_str(), TRUE);
  }
  const std::string parameters = HandOverParameters(::GetCurrentProcessId(), executablePath_, copy);
  if (!IsFile(copy) || !environment_.startProgram(copy, parameters)) {
    RaiseError(*this, HandOverFailedText(copy));
    return;
  }
  environment_.closeProgram();
}

}  // namespace tavi
