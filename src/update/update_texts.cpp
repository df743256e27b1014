#include "update/update_texts.h"

#include <algorithm>
#include <limits>

#include "update/ascii_case.h"

namespace tavi {
namespace {

const std::string kSeparatorHalf(20, '-');

}  // namespace

std::string UpdateQuestion(std::string_view files, std::string_view info) {
  std::string text = "새로운 버전으로 업데이트하시겠습니까?\r\n\r\n";
  text += kSeparatorHalf + " 업데이트 정보 " + kSeparatorHalf + "\r\n\r\n";
  text.append(info).append("\r\n\r\n");
  text += kSeparatorHalf + " 업데이트할 파일 " + kSeparatorHalf + "\r\n\r\n";
  text.append(files);
  return text;
}

std::vector<std::string> SplitFileList(std::string_view files) {
  std::vector<std::string> names;
  size_t start = 0;
  while (start < files.size()) {
    size_t end = files.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = files.size();
    if (end > start) names.emplace_back(files.substr(start, end - start));
    start = end + 1;
  }
  return names;
}

int UpdateFileNumber(std::string_view fileName, const std::vector<std::string>& files) {
  for (size_t i = 0; i < files.size(); ++i) {
    const std::string& name = files[i];
    if (SameIgnoringAsciiCase(name, fileName)) {
      return static_cast<int>(i + 1);
    }
  }
  return 0;
}

std::string ProgressCaptionText(std::string_view fileName, const std::vector<std::string>& files) {
  return std::string(kProgressCaption) + " - " + std::to_string(UpdateFileNumber(fileName, files)) +
         "/" + std::to_string(files.size());
}

int ProgressPercent(std::int64_t totalSize, std::int64_t bytesRead) {
  if (totalSize <= 0 || bytesRead <= 0) return 0;
  // bytesRead * 100 cannot overflow for any size a download can have; guard all the same.
  if (bytesRead > std::numeric_limits<std::int64_t>::max() / 100) return 100;
  return static_cast<int>(std::min<std::int64_t>(bytesRead * 100 / totalSize, 100));
}

std::string DownloadingText(std::string_view fileName) {
  return "파일(" + std::string(fileName) + ")을 다운로드하고 있습니다...";
}

std::string ProgressLineText(std::string_view text, int percent) {
  return std::string(text) + " (" + std::to_string(percent) + "%)      ";
}

std::string MissingUrlText(std::string_view componentName) {
  return "컴포넌트 " + std::string(componentName) + "의 URL 속성을 설정하십시오.";
}

std::string HaveUpdatesFirstText(std::string_view componentName) {
  return std::string(componentName) + ".HaveUpdates를 호출한 후 사용하십시오.";
}

std::string StatusErrorText(std::string_view statusLine, std::string_view url) {
  return std::string(statusLine) + "\r\n\r\n" + std::string(url);
}

std::string DescriptionFailedText(std::string_view url, std::string_view statusLine) {
  std::string text = "업데이트 정보를 받을 수 없습니다.\r\n\r\n";
  const size_t end = statusLine.find_first_of("\r\n");
  if (!statusLine.empty()) text.append(statusLine.substr(0, end)).append("\r\n");
  return text.append(url);
}

std::string DescriptionNotStoredText(std::string_view path) {
  return "업데이트 정보를 저장할 수 없습니다.\r\n\r\n" + std::string(path);
}

std::string DownloadFailedText(std::string_view fileName, std::string_view url) {
  return "파일(" + std::string(fileName) + ")을 다운로드할 수 없습니다.\r\n\r\n" + std::string(url);
}

std::string RefusedNameText(std::string_view name) {
  return "업데이트 정보의 파일 이름이 올바르지 않아 업데이트할 수 없습니다.\r\n\r\n" +
         std::string(name);
}

std::string UnhashedFileText(std::string_view name) {
  return "업데이트 정보에 파일의 크기나 SHA-256 해시가 없어 업데이트할 수 없습니다.\r\n\r\n" +
         std::string(name);
}

std::string FileMismatchText(std::string_view fileName, std::string_view url) {
  return "다운로드한 파일(" + std::string(fileName) +
         ")의 크기나 해시가 업데이트 정보와 달라 업데이트하지 않습니다.\r\n\r\n" + std::string(url);
}

std::string UnverifiedDescriptionText(std::string_view url) {
  return "업데이트 정보의 서명을 확인할 수 없어 업데이트하지 않습니다.\r\n\r\n" + std::string(url);
}

std::string NoUpdateKeyText() {
  return "이 프로그램에는 업데이트를 확인할 공개 키가 없어 업데이트할 수 없습니다.";
}

std::string FolderNotCreatedText(std::string_view path) {
  return "업데이트 폴더를 만들 수 없습니다.\r\n\r\n" + std::string(path);
}

std::string HandOverFailedText(std::string_view path) {
  return "업데이트를 설치할 프로그램을 시작할 수 없습니다.\r\n\r\n" + std::string(path);
}

std::string InstallFailedText(std::string_view path, bool restored) {
  return std::string(restored
                         ? "업데이트를 설치할 수 없습니다.\r\n설치된 프로그램은 그대로입니다."
                         : "업데이트를 설치할 수 없습니다.\r\n바뀐 파일을 되돌리지도 못했습니다.") +
         "\r\n\r\n" + std::string(path);
}

std::string UpdaterTraceText(std::string_view message) {
  return "::RAVO UPDATER:: " + std::string(message);
}

std::string HandOverParameters(std::uint32_t processId, std::string_view installedPath,
                               std::string_view copyPath) {
  return std::to_string(processId) + " \"" + std::string(installedPath) + "\" \"" +
         std::string(copyPath) + "\"";
}

std::optional<std::uint32_t> ParseHandOverProcessId(std::string_view text) {
  if (text.empty() || text.size() > 10) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (value == 0 || value > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

std::string StatusLine(std::string_view responseHeaders) {
  const size_t cr = responseHeaders.find('\r');
  return std::string(responseHeaders.substr(0, cr == std::string_view::npos ? cr : cr + 1));
}

bool IsSuccessStatus(std::string_view statusLine) {
  if (statusLine.substr(0, 5) != "HTTP/") return false;
  const size_t blank = statusLine.find(' ');
  if (blank == std::string_view::npos) return false;
  const std::string_view code = statusLine.substr(blank + 1, 4);
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  if (code.size() < 3 || code[0] != '2' || !digit(code[1]) || !digit(code[2])) return false;
  return code.size() == 3 || code[3] == ' ' || code[3] == '\r' || code[3] == '\n';
}

}  // namespace tavi
