// The updater: asks the update server which program files are out of date, downloads them
// into the "update" folder beside the program and hands over to the copy of the program
// there, which waits for this process to end, copies the new files over the installation
// and starts it again. The new start removes what the update left behind.
//
//   program folder\update.info         the description, as the server sent it
//   program folder\update\<file>       the downloaded files
//   program folder\update\<program>    the copy that installs them (started as
//                                      <process id> "<installed program>" "<copy>"): the
//                                      out-of-date files of update.info, all or none
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "update/component.h"
#include "update/download_result.h"
#include "update/http_download_win32.h"
#include "update/update_description.h"
#include "win/user_prompts_win32.h"

namespace tavi {

using TUpdateProgressEvent = std::function<void(TObject& Sender, const std::string& FileName,
                                                std::int64_t TotalSize, std::int64_t BytesRead)>;
using TUpdateErrorEvent = std::function<void(TObject& Sender, const std::string& ErrMsg)>;

// What the updater takes from the running process. Every member but the arguments left
// empty means the process's own (the system's message boxes for the prompts); tests put a
// program folder, a command line, the boxes and the ends of the process under their control.
struct TRavoUpdaterEnvironment {
  // The running executable; its folder is the program folder.
  std::string executablePath;
  // The command-line arguments, without the program's name (the window passes its own).
  std::vector<std::string> arguments;
  // Every message box of the updater and its downloads, shown without an owner; not owned.
  UserPrompts* prompts = nullptr;
  // Starts a program through the shell with the given parameters (empty: none), shown
  // normally; returns whether it started.
  std::function<bool(const std::string& file, const std::string& parameters)> startProgram;
  // Closes the program after the hand-over has started. Default: ends the message loop.
  std::function<void()> closeProgram;
  // Ends the process at the end of a hand-over run. Default: exit code 0, at once.
  std::function<void()> exitProcess;
  // The public key (DER) that descriptions must be signed with. None: the build's own
  // (update/update_key.h); empty: no key, so every description is refused.
  std::optional<std::string> publicKey;
  // How long and how large the description and each file may be.
  DownloadLimits limits;
};

class TRavoUpdater final : public TComponent {
 public:
  // Does the start-up duties first: with three arguments that form a valid hand-over it
  // installs the update and ends the process; without arguments it removes what an update
  // left behind.
  explicit TRavoUpdater(TObject* owner, TRavoUpdaterEnvironment environment = {});
  ~TRavoUpdater() override;
  TRavoUpdater(const TRavoUpdater&) = delete;
  TRavoUpdater& operator=(const TRavoUpdater&) = delete;

  std::string_view ClassName() const override { return "TRavoUpdater"; }

  std::string Agent = "RavoUpdater";
  std::string URL;                  // of the description
  TUpdateProgressEvent OnProgress;  // Sender: the download's worker
  THttpDoneFileEvent OnDoneFile;    // Sender: the file download component
  TUpdateErrorEvent OnError;        // Sender: a download component, or this updater

  // Fetches the description (dispatching messages until it has arrived or failed), takes it
  // only from a success reply with a valid signature, and decides. Files receives the out-of-date
  // names, each followed by CR LF; every "info" text followed by CR LF CR LF is appended to Info.
  // True when a file is out of date. False also when the description could not be fetched; that
  // error went to OnError.
  bool HaveUpdates(std::string& Files, std::string& Info);
  // Downloads the out-of-date files and starts the copy that installs them, then closes
  // the program. Stops at the first failure, which goes to OnError.
  void ApplyUpdates();

  // Removes the stored description, as when the update is declined.
  void ForgetDescription();

  // Whether the last HaveUpdates received a description (false: it failed, or was not asked).
  bool DescriptionReceived() const { return infoState_ == InfoState::received; }
  // A description has arrived once; ApplyUpdates may run.
  bool HaveUpdatesCalled() const { return haveUpdatesCalled_; }

  const std::string& ExecutablePath() const { return executablePath_; }
  const std::string& ProgramFolder() const { return programFolder_; }  // ends in "\"
  std::string DescriptionPath() const;                                 // update.info
  std::string DownloadFolder() const;                                  // no "\" at the end

  const THttpDownload& GetInfoDownload() const { return *InfoDownload; }
  const THttpDownload& GetFileDownload() const { return *FileDownload; }

 private:
  enum class InfoState { idle, waiting, received, failed };

  void RunStartupDuties();
  // True when the arguments formed a valid hand-over and it ran.
  bool RunHandOver(const std::vector<std::string>& arguments);
  // Installs the out-of-date files of the installation's description from the download folder
  // (both end in "\"), all or none, and tells the user when it cannot.
  void Install(const std::string& installFolder, const std::string& downloadFolder);
  void RemoveLeftovers();

  void CreateDownloads();
  void DescriptionArrived(const std::string& text);
  void InfoDownloadError(TObject& sender);
  void RaiseError(TObject& sender, const std::string& text);
  // Whether a name of the description means one of the files the update keeps for itself in
  // the folder, however it is written.
  bool IsReservedName(const std::string& folder, const std::string& name) const;
  // The description of the program in the folder (ending in "\"), decided against its files.
  DescriptionVerdict Evaluate(const std::string& folder, bool trace) const;
  void RunApplyUpdates();

  MessageBoxPrompts systemPrompts_;
  TRavoUpdaterEnvironment environment_;
  std::string executablePath_;
  std::string programFolder_;
  std::unique_ptr<THttpDownload> InfoDownload;
  std::unique_ptr<THttpDownload> FileDownload;
  InfoState infoState_ = InfoState::idle;
  bool haveUpdatesCalled_ = false;
  bool applying_ = false;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);  // false once destroyed
};

// ---- Files and folders of the update ------------------------------------------------------

// The version text of a file ("2.4.0.0"; empty without version information), or none when
// there is no such file.
std::optional<std::string> LocalFileVersion(const std::string& path);

// Every section of an INI file with its keys and values in file order, read as the
// system's private-profile functions read it; empty when there is no such file.
UpdateDescription ReadUpdateDescription(const std::string& path);

// Sends the text with the updater's prefix to the debugger output.
void UpdaterTrace(std::string_view message);

}  // namespace tavi
