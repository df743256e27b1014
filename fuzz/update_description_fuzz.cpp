// The update description and the version comparison: which files are offered, which are out
// of date, and which names are refused. A name that is not refused must mean a plain file
// of that name in the program folder when Windows opens it; the version text must tell
// different versions apart; the file list must split back into the names it lists.
//   input: flags, then the description's text ("[section]" and "key=value" lines)
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "update/update_description.h"
#include "update/update_texts.h"

namespace {

using tavi::UpdateDescription;

// Sections and keys as an INI reader finds them: lines end at CR or LF, a line in brackets
// opens a section, "key=value" lines belong to the section above them.
UpdateDescription Parse(std::string_view text) {
  UpdateDescription description;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      description.push_back({std::string(line.substr(1, line.size() - 2)), {}});
    } else if (const std::size_t equals = line.find('=');
               equals != std::string_view::npos && !description.empty()) {
      description.back().values.emplace_back(line.substr(0, equals), line.substr(equals + 1));
    }
  }
  return description;
}

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Lower(std::string_view text) {
  std::string lower;
  for (const char c : text)
    lower += Lower(c);
  return lower;
}

// Whether Windows, asked for <folder>\<name>, opens the file <name> in that folder: no folder
// part, drive or stream, no character that a file name cannot hold, nothing that the path
// normalisation removes (trailing dots and blanks, "." and ".."), and no DOS device. A device
// name is the part before the first dot, blanks before the dot removed, in any letter case;
// the ports count ¹, ² and ³ as digits.
bool OpensFileInFolder(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  if (name.back() == '.' || name.back() == ' ') return false;
  if (name.find_first_of("\\/:*?\"<>|") != std::string_view::npos) return false;
  for (const char c : name)
    if (static_cast<unsigned char>(c) < 0x20) return false;
  std::string_view stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ')
    stem.remove_suffix(1);
  const std::string device = Lower(stem);
  for (const char* reserved : {"con", "prn", "aux", "nul", "conin$", "conout$"})
    if (device == reserved) return false;
  if (device.starts_with("com") || device.starts_with("lpt")) {
    const std::string_view number = std::string_view(device).substr(3);
    if (number.size() == 1 && number[0] >= '1' && number[0] <= '9') return false;
    if (number == "\u00b9" || number == "\u00b2" || number == "\u00b3") return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input = tavi::fuzz::AsText(data, size);
  const unsigned flags = tavi::fuzz::ByteAt(input, 0);
  const UpdateDescription description = Parse(input.empty() ? input : input.substr(1));

  // Each file section is here in one of four states, chosen by the flags: missing, the
  // offered version, no version information, another version.
  std::vector<std::string> fileNames;
  std::map<std::string, std::optional<std::string>> local;
  for (const tavi::DescriptionSection& section : description) {
    if (section.name == tavi::kInfoSection) continue;
    const unsigned state = (flags >> (2 * (fileNames.size() % 4))) & 3;
    fileNames.push_back(section.name);
    const std::string offered = tavi::DescriptionValue(section, "ver");
    FUZZ_CHECK(tavi::DescriptionValue(section, "VER") == offered);
    local.try_emplace(section.name, state == 0   ? std::nullopt
                                    : state == 1 ? std::optional<std::string>(offered)
                                    : state == 2 ? std::optional<std::string>("")
                                                 : std::optional<std::string>("9.9.9.9"));
  }
  const tavi::DescriptionVerdict verdict =
      tavi::EvaluateDescription(description, [&](const std::string& name) {
        FUZZ_CHECK(local.contains(name));  // only named files are looked up
        return local[name];
      });

  FUZZ_CHECK(verdict.files.size() == fileNames.size());
  std::vector<std::string> outOfDate;
  for (std::size_t i = 0; i < verdict.files.size(); ++i) {
    const tavi::DescribedFile& file = verdict.files[i];
    FUZZ_CHECK(file.name == fileNames[i]);
    FUZZ_CHECK(file.localVersion == local[file.name]);
    FUZZ_CHECK(file.outOfDate == (!file.localVersion || *file.localVersion != file.version));
    // Refused exactly when it would be fetched and its name is no plain file here, or it lacks
    // what a download is checked against.
    FUZZ_CHECK(tavi::IsPlainFileName(file.name) == OpensFileInFolder(file.name));
    const bool checkable = file.size && file.sha256.size() == 32;
    FUZZ_CHECK(file.refusal == (!file.outOfDate                 ? tavi::FileRefusal::none
                                : !OpensFileInFolder(file.name) ? tavi::FileRefusal::name
                                : !checkable                    ? tavi::FileRefusal::unhashed
                                                                : tavi::FileRefusal::none));
    if (file.outOfDate) outOfDate.push_back(file.name);
  }
  FUZZ_CHECK(verdict.HasUpdates() == !outOfDate.empty());
  FUZZ_CHECK(verdict.OutOfDate().size() == outOfDate.size());

  // The list of the question splits back into the names, and each name finds its number.
  const std::string list = verdict.FileList();
  std::vector<std::string> named;
  for (const std::string& name : outOfDate)
    if (!name.empty()) named.push_back(name);
  const std::vector<std::string> split = tavi::SplitFileList(list);
  FUZZ_CHECK(split == named);
  for (std::size_t i = 0; i < split.size(); ++i) {
    const int number = tavi::UpdateFileNumber(split[i], split);
    FUZZ_CHECK(number >= 1 && number <= static_cast<int>(i) + 1);
    FUZZ_CHECK(Lower(split[static_cast<std::size_t>(number - 1)]) == Lower(split[i]));
  }
  const std::string question = tavi::UpdateQuestion(list, verdict.info);
  FUZZ_CHECK(question.ends_with(list) && question.find(verdict.info) != std::string::npos);

  // Version texts: four 16-bit parts, and two versions differ exactly when their texts do.
  if (size >= 17) {
    std::uint32_t parts[4];
    std::memcpy(parts, data + 1, sizeof parts);
    const std::string a = tavi::FileVersionText(parts[0], parts[1]);
    const std::string b = tavi::FileVersionText(parts[2], parts[3]);
    const bool same = parts[0] == parts[2] && parts[1] == parts[3];
    FUZZ_CHECK(tavi::IsOutOfDate(a, b) == !same);
    FUZZ_CHECK(!tavi::IsOutOfDate(a, a) && tavi::IsOutOfDate(std::nullopt, a));
    unsigned p[4];
    char tail = 0;
    FUZZ_CHECK(std::sscanf(a.c_str(), "%u.%u.%u.%u%c", &p[0], &p[1], &p[2], &p[3], &tail) == 4);
    FUZZ_CHECK(p[0] == parts[0] >> 16 && p[1] == (parts[0] & 0xFFFF) && p[2] == parts[1] >> 16 &&
               p[3] == (parts[1] & 0xFFFF));
  }
  return 0;
}
