// The portable rules of update/: the update description and its decision, file names and
// paths, the texts of the update, the hand-over, download status, addresses and lengths.
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "update/download_result.h"
#include "update/file_path.h"
#include "update/update_description.h"
#include "update/update_texts.h"
#include "update/url_split.h"

namespace tavi {
namespace {

constexpr char kHash[] = "abababababababababababababababababababababababababababababababab";

// Local files by name with their version texts ("" for a file without version information).
DescriptionVerdict Evaluate(const UpdateDescription& description,
                            const std::map<std::string, std::string>& local) {
  return EvaluateDescription(
      description,
      [&](const std::string& name) {
        const auto found = local.find(name);
        return found == local.end() ? std::nullopt : std::optional<std::string>(found->second);
      },
      [](const std::string& name) { return name == "update"; });
}

TEST(UpdateDescription, EverySectionButExactlyInfoIsAFileDecidedByItsVersionText) {
  const DescriptionVerdict onlyInfo = Evaluate({{"info", {{"b", "둘째"}, {"a", "첫째"}}}}, {});
  EXPECT_FALSE(onlyInfo.HasUpdates());
  EXPECT_EQ(onlyInfo.info, "둘째\r\n\r\n첫째\r\n\r\n");  // in key order

  const DescriptionVerdict verdict = Evaluate(
      {
          {"tavi.exe",  // keys in any letter case
           {{"VER", "2.5.0.0"}, {"url", "http://h/tavi.exe"}, {"Size", "10"}, {"SHA256", kHash}}},
          {"Info", {{"ver", "1"}}},        // another letter case: a file, and missing
          {"plain.txt", {}},               // no version information, no "ver": never out of date
          {"readme.txt", {{"ver", "1"}}},  // no version information, any "ver": always
          {"same.dll", {{"ver", "1.0.0.0"}}},
          {"older.dll",  // versions are compared as text only
           {{"ver", "0.9.0.0"}, {"size", "1"}, {"sha256", std::string(kHash).substr(1)}}},
          {"gone.dll", {{"ver", ""}}},  // missing: out of date whatever its "ver"
          {"info", {{"x", "새 기능"}}},
          {"sub\\b.dll", {{"ver", "2"}}},  // out of date and no plain name: refused
          {"..\\c.dll", {{"ver", "1"}}},   // current: nothing to do, nothing refused
          {"update", {{"ver", "1"}}},      // a name the update keeps for itself
      },
      {{"tavi.exe", "2.4.0.0"},
       {"plain.txt", ""},
       {"readme.txt", ""},
       {"same.dll", "1.0.0.0"},
       {"older.dll", "1.0.0.0"},
       {"..\\c.dll", "1"}});
  EXPECT_TRUE(verdict.HasUpdates());
  EXPECT_EQ(verdict.FileList(),
            "tavi.exe\r\nInfo\r\nreadme.txt\r\nolder.dll\r\ngone.dll\r\nsub\\b.dll\r\nupdate\r\n");
  EXPECT_EQ(verdict.info, "새 기능\r\n\r\n");
  EXPECT_EQ(verdict.files[0].url, "http://h/tavi.exe");
  EXPECT_EQ(verdict.files[0].version, "2.5.0.0");
  EXPECT_TRUE(verdict.files[0].IsDescribedBy(10, std::string(32, '\xab')));
  EXPECT_FALSE(verdict.files[0].IsDescribedBy(11, std::string(32, '\xab')));
  // Out of date: refused without a size and a SHA-256 of 64 hex digits (all from Info on),
  // and for a name that is no plain file name or one the update keeps.
  using enum FileRefusal;
  std::vector<FileRefusal> refusals;
  for (const DescribedFile& file : verdict.files)
    refusals.push_back(file.refusal);
  EXPECT_EQ(refusals, (std::vector<FileRefusal>{none, unhashed, none, unhashed, none, unhashed,
                                                unhashed, name, none, name}));
  ASSERT_NE(verdict.FirstRefused(), nullptr);
  EXPECT_EQ(verdict.FirstRefused()->name, "Info");
}

TEST(UpdateQuestion, InformationThenFilesBetweenTheirSeparators) {
  const std::string dashes(20, '-');
  const std::string start = "새로운 버전으로 업데이트하시겠습니까?\r\n\r\n" + dashes +
                            " 업데이트 정보 " + dashes + "\r\n\r\n";
  const std::string files = dashes + " 업데이트할 파일 " + dashes + "\r\n\r\n";
  EXPECT_EQ(
      UpdateQuestion("tavi.exe\r\nhelp.txt\r\n", "속도 개선\r\n\r\n버그 수정\r\n\r\n"),
      start + "속도 개선\r\n\r\n버그 수정\r\n\r\n\r\n\r\n" + files + "tavi.exe\r\nhelp.txt\r\n");
  // Without information the separators stand four line breaks apart.
  EXPECT_EQ(UpdateQuestion("a.dll\r\n", ""), start + "\r\n\r\n" + files + "a.dll\r\n");
}

TEST(UpdateProgress, CaptionPercentAndText) {
  const std::vector<std::string> files = SplitFileList("tavi.exe\r\nHelp.TXT\r\n");
  ASSERT_EQ(files, (std::vector<std::string>{"tavi.exe", "Help.TXT"}));
  EXPECT_EQ(ProgressCaptionText("help.txt", files), "업데이트 - 2/2");  // letter case aside
  EXPECT_EQ(ProgressCaptionText("tavi", files), "업데이트 - 0/2");

  EXPECT_EQ(ProgressPercent(3, 2), 66);       // truncated
  EXPECT_EQ(ProgressPercent(0, 0), 0);        // nothing announced
  EXPECT_EQ(ProgressPercent(100, 150), 100);  // more than announced: the bar's end
  EXPECT_EQ(ProgressPercent(5'000'000'000, 2'500'000'000), 50);  // beyond 32 bits
}

TEST(FilePath, SplitsAtTheLastSeparatorOfEitherKind) {
  for (const auto& [path, folder, name] : std::initializer_list<std::array<const char*, 3>>{
           {"C:\\Tools\\tavi.exe", "C:\\Tools\\", "tavi.exe"},
           {"C:\\a.b\\update/tavi", "C:\\a.b\\update/", "tavi"},
           {"\\\\server\\share\\", "\\\\server\\share\\", ""},
           {"tavi.exe", "", "tavi.exe"},
           {"", "", ""}}) {
    EXPECT_EQ(FolderOf(path), folder) << path;
    EXPECT_EQ(FileNameOf(path), name) << path;
  }
  EXPECT_EQ(ParentFolderOf("C:\\Tools\\update\\tavi.exe"), "C:\\Tools\\update");
  EXPECT_EQ(ParentFolderOf("C:\\tavi.exe"), "C:");
  EXPECT_EQ(ParentFolderOf("tavi.exe"), "");
}

TEST(HandOver, ProcessIdIsDecimalDigitsAndNotZero) {
  EXPECT_EQ(ParseHandOverProcessId("4294967295"), 4294967295u);
  for (const char* text : {"0", "", "a", "-5", "+5", " 5", "5 ", "4294967296"})
    EXPECT_EQ(ParseHandOverProcessId(text), std::nullopt) << text;
}

TEST(RedirectTarget, ResolvedAgainstTheAddressAskedForAndNeverFromTlsToPlain) {
  const std::string from = "https://a:81/dir/u.php?x=1";
  for (const auto& [location, target] : std::initializer_list<std::pair<const char*, const char*>>{
           {"HTTPS://b/f#part", "HTTPS://b/f"},  // any server
           {"//b/f", "https://b/f"},
           {"/f?y=2", "https://a:81/f?y=2"},
           {"?y=2", "https://a:81/dir/u.php?y=2"},
           {"g/h:1", "https://a:81/dir/g/h:1"},
           {"http://b/f", nullptr},  // from TLS to plain HTTP
           {"file:C:/tavi.exe", nullptr},
           {"#only", nullptr},
           {"/f\r\nSet-Cookie: x", nullptr},
       }) {
    EXPECT_EQ(RedirectTarget(from, location).value_or("none"), target ? target : "none")
        << location;
  }
  EXPECT_EQ(RedirectTarget("http://a/f", "https://b/g"), "https://b/g");
}

TEST(DownloadLimits, AFileGetsItsStartAndItsSizeAtTheSlowestRate) {
  const DownloadLimits limits;
  EXPECT_EQ(limits.FileMs(0), 31'000u);
  EXPECT_EQ(limits.FileMs(300 * 1024), 106'000u);  // tavi.exe: under two minutes
  EXPECT_EQ(limits.FileMs(-5), 31'000u);
  EXPECT_EQ(limits.FileMs(INT64_MAX), UINT32_MAX);
}

}  // namespace
}  // namespace tavi
