#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "update/update_description.h"
#include "update/update_server.h"
#include "update/update_texts.h"

namespace tavi {
namespace {

// Local files by name: a version text ("" for a file without version information).
using LocalFiles = std::map<std::string, std::string>;

DescriptionVerdict Evaluate(const UpdateDescription& description, const LocalFiles& local,
                            std::vector<std::string>* looked = nullptr) {
  return EvaluateDescription(description,
                             [&](const std::string& name) -> std::optional<std::string> {
                               if (looked) looked->push_back(name);
                               const auto found = local.find(name);
                               if (found == local.end()) return std::nullopt;
                               return found->second;
                             });
}

TEST(UpdateDescription, OnlyInfoMeansNoUpdateButItsTextsInKeyOrder) {
  const DescriptionVerdict verdict =
      Evaluate({{"info", {{"b", "둘째"}, {"a", "첫째"}}}}, {{"tavi.exe", "2.4.0.0"}});
  EXPECT_FALSE(verdict.HasUpdates());
  EXPECT_EQ(verdict.FileList(), "");
  EXPECT_EQ(verdict.info, "둘째\r\n\r\n첫째\r\n\r\n");
  EXPECT_TRUE(verdict.files.empty());
}

TEST(UpdateDescription, EverySectionButExactlyInfoIsAFileDecidedByItsVersionText) {
  const UpdateDescription description = {
      {"tavi.exe", {{"VER", "2.5.0.0"}, {"url", "http://h/tavi.exe"}}},  // keys in any case
      {"Info", {{"ver", "1"}}},        // another letter case: a file, and missing
      {"plain.txt", {}},               // no version information, no "ver": never out of date
      {"readme.txt", {{"ver", "1"}}},  // no version information, any "ver": always
      {"same.dll", {{"ver", "1.0.0.0"}}},
      {"older.dll", {{"ver", "0.9.0.0"}}},  // versions are compared as text only
      {"gone.dll", {{"ver", ""}}},          // missing: out of date whatever its "ver"
      {"info", {{"x", "새 기능"}}},
  };
  const LocalFiles local = {{"tavi.exe", "2.4.0.0"},
                            {"plain.txt", ""},
                            {"readme.txt", ""},
                            {"same.dll", "1.0.0.0"},
                            {"older.dll", "1.0.0.0"}};
  const DescriptionVerdict verdict = Evaluate(description, local);
  EXPECT_TRUE(verdict.HasUpdates());
  EXPECT_EQ(verdict.FileList(), "tavi.exe\r\nInfo\r\nreadme.txt\r\nolder.dll\r\ngone.dll\r\n");
  EXPECT_EQ(verdict.info, "새 기능\r\n\r\n");
  ASSERT_EQ(verdict.files.size(), 7u);
  EXPECT_EQ(verdict.files[0].url, "http://h/tavi.exe");
  EXPECT_EQ(verdict.files[0].version, "2.5.0.0");
  EXPECT_FALSE(verdict.files[6].localVersion.has_value());
  EXPECT_EQ(verdict.FirstRefused(), nullptr);
}

TEST(UpdateDescription, NamesThatReachOutsideTheFolderAreRefusedWhenOutOfDate) {
  const DescriptionVerdict verdict =
      Evaluate({{"a.dll", {{"ver", "2"}}},
                {"sub\\b.dll", {{"ver", "2"}}},
                {"..\\c.dll", {{"ver", "1"}}},  // current: nothing to do, nothing refused
                {"C:\\d.dll", {{"ver", "2"}}}},
               {{"a.dll", "1"}, {"..\\c.dll", "1"}});
  EXPECT_EQ(verdict.FileList(), "a.dll\r\nsub\\b.dll\r\nC:\\d.dll\r\n");
  ASSERT_NE(verdict.FirstRefused(), nullptr);
  EXPECT_EQ(verdict.FirstRefused()->name, "sub\\b.dll");
  EXPECT_FALSE(verdict.files[0].refused);
  EXPECT_FALSE(verdict.files[2].refused);
  EXPECT_TRUE(verdict.files[3].refused);
}

TEST(UpdateDescription, PlainFileNames) {
  for (const char* name : {"tavi.exe", "Info", "업데이트.dll", "a b.txt", ".hidden", "console.txt",
                           "com0", "lpt10", "nulx.txt"}) {
    EXPECT_TRUE(IsPlainFileName(name)) << name;
  }
  for (const char* name : {"",
                           ".",
                           "..",
                           "sub\\a.dll",
                           "sub/a.dll",
                           "..\\tavi.exe",
                           "C:tavi.exe",
                           "C:\\x.exe",
                           "\\\\server\\share\\x.exe",
                           "tavi.exe:stream",
                           "a*.dll",
                           "a?.dll",
                           "a|b",
                           "a<b",
                           "a>b",
                           "\"a\"",
                           "tab\tname",
                           "tavi.exe.",
                           "tavi.exe ",
                           "...",
                           "CON",
                           "nul",
                           "Nul.txt",
                           "aux.dll",
                           "prn",
                           "COM1",
                           "lpt9.txt"}) {
    EXPECT_FALSE(IsPlainFileName(name)) << name;
  }
}

constexpr char kQuestionStart[] = "새로운 버전으로 업데이트하시겠습니까?\r\n\r\n";
const std::string kDashes(20, '-');

TEST(UpdateQuestion, InformationThenFilesBetweenTheirSeparators) {
  EXPECT_EQ(UpdateQuestion("tavi.exe\r\nhelp.txt\r\n", "속도 개선\r\n\r\n버그 수정\r\n\r\n"),
            kQuestionStart + kDashes + " 업데이트 정보 " + kDashes +
                "\r\n\r\n속도 개선\r\n\r\n버그 수정\r\n\r\n\r\n\r\n" + kDashes +
                " 업데이트할 파일 " + kDashes + "\r\n\r\ntavi.exe\r\nhelp.txt\r\n");
  // Without information the separators stand four line breaks apart.
  EXPECT_EQ(UpdateQuestion("a.dll\r\n", ""),
            kQuestionStart + kDashes + " 업데이트 정보 " + kDashes + "\r\n\r\n\r\n\r\n" + kDashes +
                " 업데이트할 파일 " + kDashes + "\r\n\r\na.dll\r\n");
}

TEST(UpdateProgress, CaptionPercentAndText) {
  const std::vector<std::string> files = SplitFileList("tavi.exe\r\nHelp.TXT\r\n");
  ASSERT_EQ(files, (std::vector<std::string>{"tavi.exe", "Help.TXT"}));
  EXPECT_EQ(ProgressCaptionText("tavi.exe", files), "업데이트 - 1/2");
  EXPECT_EQ(ProgressCaptionText("help.txt", files), "업데이트 - 2/2");
  EXPECT_EQ(ProgressCaptionText("other.dll", files), "업데이트 - 0/2");
  EXPECT_EQ(ProgressCaptionText("tavi", files), "업데이트 - 0/2");

  EXPECT_EQ(ProgressPercent(2048, 512), 25);
  EXPECT_EQ(ProgressPercent(3, 2), 66);  // truncated
  EXPECT_EQ(ProgressPercent(2048, 2048), 100);
  EXPECT_EQ(ProgressPercent(0, 0), 0);        // nothing announced
  EXPECT_EQ(ProgressPercent(100, 150), 100);  // more than announced: the bar's end
  EXPECT_EQ(ProgressPercent(5'000'000'000, 2'500'000'000), 50);  // beyond 32 bits

  EXPECT_EQ(ProgressLineText(DownloadingText("tavi.exe"), 25),
            "파일(tavi.exe)을 다운로드하고 있습니다... (25%)      ");
}

TEST(HandOver, ParametersAndProcessId) {
  EXPECT_EQ(
      HandOverParameters(1234, "C:\\Tools\\Tavi\\tavi.exe", "C:\\Tools\\Tavi\\update\\tavi.exe"),
      "1234 \"C:\\Tools\\Tavi\\tavi.exe\" \"C:\\Tools\\Tavi\\update\\tavi.exe\"");
  EXPECT_EQ(ParseHandOverProcessId("1234"), 1234u);
  EXPECT_EQ(ParseHandOverProcessId("4294967295"), 4294967295u);
  for (const char* text :
       {"0", "", "a", "-5", "+5", " 5", "5 ", "$10", "4294967296", "12345678901"})
    EXPECT_EQ(ParseHandOverProcessId(text), std::nullopt) << text;
}

TEST(UpdateServer, AddressIsTheBuildsHostWithTheScriptPath) {
  const std::string url = UpdateScriptUrl();
  EXPECT_EQ(url.rfind("http://", 0), 0u);
  EXPECT_EQ(url.substr(url.size() - 22), "/myAPP/Tavi/update.php");
  EXPECT_GT(url.size(), 7u + 22u);  // a host between them
}

TEST(DownloadStatus, OnlyA2xxStatusLineIsSuccess) {
  EXPECT_EQ(StatusLine("HTTP/1.0 404 Not Found\r\nServer: x\r\n\r\n"), "HTTP/1.0 404 Not Found\r");
  EXPECT_EQ(StatusLine("HTTP/1.0 200 OK"), "HTTP/1.0 200 OK");
  EXPECT_EQ(StatusErrorText("HTTP/1.0 404 Not Found\r", "http://h/a.dll"),
            "HTTP/1.0 404 Not Found\r\r\n\r\nhttp://h/a.dll");

  for (const char* line :
       {"HTTP/1.0 200 OK\r", "HTTP/1.1 204 No Content\r", "HTTP/1.0 299\r", "HTTP/1.0 200"}) {
    EXPECT_TRUE(IsSuccessStatus(line)) << line;
  }
  for (const char* line : {"HTTP/1.0 404 Not Found\r", "HTTP/1.0 500 Internal Server Error\r",
                           "HTTP/1.0 301 Moved\r", "HTTP/1.0 2000 x\r", "HTTP/1.0 20\r", "",
                           "200 OK\r", "HTTP/1.0\r", "<html>HTTP/1.0 200 OK"}) {
    EXPECT_FALSE(IsSuccessStatus(line)) << line;
  }
}

}  // namespace
}  // namespace tavi
