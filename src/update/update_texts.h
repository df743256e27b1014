// What the self-update says and passes on: the question before updating, the progress
// display, the errors of the updater, the hand-over command line and the status check of
// a downloaded file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavi {

// ---- The question and the boxes of the update button ----

inline constexpr char kUpToDateText[] = "최신 버전입니다.";
inline constexpr char kUpToDateCaption[] = "버전 정보";
inline constexpr char kConfirmCaption[] = "Confirm";
inline constexpr char kProgressCaption[] = "업데이트";
inline constexpr char kProgressStartText[] = "프로그램을 최신 버전으로 업데이트하고 있습니다.";

// The question before updating, with the information texts and the file list as the
// updater returns them (each info text already followed by CR LF CR LF, each name by CR LF).
std::string UpdateQuestion(std::string_view files, std::string_view info);

// The file list split into its names; empty lines are dropped.
std::vector<std::string> SplitFileList(std::string_view files);

// ---- Progress ----

// Position of the name in the list, counted from 1, without regard to ASCII letter case;
// 0 when it is not there.
int UpdateFileNumber(std::string_view fileName, const std::vector<std::string>& files);

// "업데이트 - i/n".
std::string ProgressCaptionText(std::string_view fileName, const std::vector<std::string>& files);

// Percent of the announced size received, truncated, within 0..100 (a bar's range); 0 when
// no size was announced.
int ProgressPercent(std::int64_t totalSize, std::int64_t bytesRead);

// "파일(name)을 다운로드하고 있습니다...".
std::string DownloadingText(std::string_view fileName);

// The text, a blank, "(percent%)" and six blanks.
std::string ProgressLineText(std::string_view text, int percent);

// ---- The updater's own messages ----

// Box of HaveUpdates without an address; its title is the component's name.
std::string MissingUrlText(std::string_view componentName);
// Box of ApplyUpdates before a description arrived; its title is the component's name.
std::string HaveUpdatesFirstText(std::string_view componentName);

// A reply whose status is not a success: the status line (with its CR), a blank line, the
// file's address.
std::string StatusErrorText(std::string_view statusLine, std::string_view url);
// The description could not be fetched and the download gave no reason, or the server
// answered with another status than success (its status line, when there was one).
std::string DescriptionFailedText(std::string_view url, std::string_view statusLine = {});
// The description could not be stored.
std::string DescriptionNotStoredText(std::string_view path);
// A file download failed and the download gave no reason.
std::string DownloadFailedText(std::string_view fileName, std::string_view url);
// A file section whose name is not a plain file name.
std::string RefusedNameText(std::string_view name);
// A file section without a size or a SHA-256.
std::string UnhashedFileText(std::string_view name);
// A downloaded file whose size or SHA-256 is not the described one.
std::string FileMismatchText(std::string_view fileName, std::string_view url);
// A description without a valid signature by the maker's key.
std::string UnverifiedDescriptionText(std::string_view url);
// The program was built without the key that descriptions are checked with.
std::string NoUpdateKeyText();
// The download folder could not be made.
std::string FolderNotCreatedText(std::string_view path);
// The copy of the program that installs the update could not be started.
std::string HandOverFailedText(std::string_view path);
// The copy could not install the update because of this file; restored: the installation is
// as it was.
std::string InstallFailedText(std::string_view path, bool restored);

// The debugger trace of the updater: its prefix and the message.
std::string UpdaterTraceText(std::string_view message);

// ---- The hand-over ----

// Parameters of the program copy that installs the update: the old process's id and the
// two paths in double quotes, separated by blanks.
std::string HandOverParameters(std::uint32_t processId, std::string_view installedPath,
                               std::string_view copyPath);

// The old process's id from the first hand-over argument: decimal digits only, not 0.
std::optional<std::uint32_t> ParseHandOverProcessId(std::string_view text);

// ---- Status of a downloaded file ----

// The response headers up to and including the first carriage return.
std::string StatusLine(std::string_view responseHeaders);

// "HTTP/<version> 2xx ...": the server sent what was asked for. Anything else (a missing or
// malformed status line included) is not.
bool IsSuccessStatus(std::string_view statusLine);

}  // namespace tavi
