// The main window's side of the self-update: the update button, the question, the progress
// dialog and the updater's events.
#include "app/main_window_win32.h"
#include "app/scoped_flag.h"
#include "update/update_server.h"
#include "update/update_texts.h"
#include "win/message_loop_win32.h"

namespace tavi {

void TfrmMain::CreateUpdater() {
  TRavoUpdaterEnvironment environment = options_.updater;
  environment.arguments = options_.arguments;
  environment.prompts = prompts_;
  if (!environment.closeProgram) {
    // After the handler that started the hand-over has returned, the window closes as by its
    // title bar, and the program ends.
    environment.closeProgram = [this] {
      if (window_) ::PostMessageW(window_, WM_CLOSE, 0, 0);
    };
  }
  RavoUpdater1 = std::make_unique<TRavoUpdater>(nullptr, std::move(environment));
  RavoUpdater1->Name = "RavoUpdater1";
  RavoUpdater1->Agent = "RavoUpdater";
  RavoUpdater1->URL = options_.updateUrl.empty() ? UpdateScriptUrl() : options_.updateUrl;
  RavoUpdater1->OnError = [this](TObject& sender, const std::string& text) {
    RavoUpdater1Error(sender, text);
  };
  RavoUpdater1->OnProgress = [this](TObject& sender, const std::string& fileName,
                                    std::int64_t totalSize, std::int64_t bytesRead) {
    RavoUpdater1Progress(sender, fileName, totalSize, bytesRead);
  };
}

void TfrmMain::btnUpdateClick() {
  // A second click while an update runs (its waits dispatch messages) would ask again and
  // download into the same folder; one update at a time.
  if (updating_) return;
  const ScopedFlag running(updating_);

  std::string files;
  std::string info;
  if (!RavoUpdater1->HaveUpdates(files, info)) {
    // Without a description the updater has said why; "up to date" would be untrue.
    if (RavoUpdater1->DescriptionReceived()) {
      prompts_->Show(nullptr, kUpToDateText, kUpToDateCaption, MB_OK | MB_ICONINFORMATION);
    }
    return;
  }
  if (prompts_->Confirm(PromptOwner(), UpdateQuestion(files, info), kConfirmCaption) != IDYES) {
    RavoUpdater1->ForgetDescription();
    return;
  }

  UpdateFiles = SplitFileList(files);
  ProgressDialog = std::make_unique<TProgressDialog>();
  // Goes with the update however it ends.
  struct Closing {
    std::unique_ptr<TProgressDialog>& dialog;
    ~Closing() { dialog.reset(); }
  } closing{ProgressDialog};
  ProgressDialog->SetCaption(kProgressCaption);
  ProgressDialog->SetText(kProgressStartText);
  ProgressDialog->Show();
  RavoUpdater1->ApplyUpdates();
}

void TfrmMain::RavoUpdater1Error(TObject&, const std::string& ErrMsg) {
  prompts_->Show(PromptOwner(), ErrMsg, "Tavi", MB_OK);
}

void TfrmMain::RavoUpdater1Progress(TObject&, const std::string& FileName, std::int64_t TotalSize,
                                    std::int64_t BytesRead) {
  // The window keeps its caption: the name of the download's worker means nothing to a user.
  ShowUpdateProgress(DownloadingText(FileName), FileName, TotalSize, BytesRead);
}

void TfrmMain::ShowUpdateProgress(std::string_view text, std::string_view fileName,
                                  std::int64_t totalSize, std::int64_t bytesRead) {
  if (!ProgressDialog) return;
  bool changed = ProgressDialog->SetCaption(ProgressCaptionText(fileName, UpdateFiles));
  changed |= ProgressDialog->SetPosition(ProgressPercent(totalSize, bytesRead));
  changed |= ProgressDialog->SetText(ProgressLineText(text, ProgressDialog->Position()));
  // So that the dialog repaints. With nothing new to show the download's own wait keeps the
  // window going.
  if (changed) ProcessMessages();
}

}  // namespace tavi
