#include "update/update_description.h"

#include <algorithm>
#include <array>

#include "update/ascii_case.h"
#include "update/download_result.h"
#include "update/signed_description.h"

namespace tavi {
namespace {

bool IsDeviceName(std::string_view name) {
  // The part before the first dot decides, without the blanks before that dot: "nul.txt" and
  // "nul .txt" open the device too.
  std::string_view stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ')
    stem.remove_suffix(1);
  static constexpr std::array<std::string_view, 6> kDevices = {"con", "prn",    "aux",
                                                               "nul", "conin$", "conout$"};
  for (const std::string_view device : kDevices) {
    if (SameIgnoringAsciiCase(stem, device)) return true;
  }
  // COM1 to COM9 and LPT1 to LPT9; Windows takes the superscripts ¹, ² and ³ for digits there.
  if (stem.size() < 4) return false;
  const std::string_view port = stem.substr(0, 3);
  const std::string_view number = stem.substr(3);
  if (!SameIgnoringAsciiCase(port, "com") && !SameIgnoringAsciiCase(port, "lpt")) return false;
  return (number.size() == 1 && number[0] >= '1' && number[0] <= '9') || number == "\u00b9" ||
         number == "\u00b2" || number == "\u00b3";
}

}  // namespace

std::string DescriptionValue(const DescriptionSection& section, std::string_view key) {
  for (const auto& [name, value] : section.values) {
    if (SameIgnoringAsciiCase(name, key)) return value;
  }
  return {};
}

bool IsPlainFileName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  if (name.back() == '.' || name.back() == ' ') return false;
  for (const char c : name) {
    const auto code = static_cast<unsigned char>(c);
    if (code < 32) return false;
    switch (c) {
      case '\\':
      case '/':
      case ':':
      case '*':
      case '?':
      case '"':
      case '<':
      case '>':
      case '|':
        return false;
      default:
        break;
    }
  }
  return !IsDeviceName(name);
}

std::string FileVersionText(std::uint32_t mostSignificant, std::uint32_t leastSignificant) {
  return std::to_string(mostSignificant >> 16) + "." + std::to_string(mostSignificant & 0xFFFF) +
         "." + std::to_string(leastSignificant >> 16) + "." +
         std::to_string(leastSignificant & 0xFFFF);
}

bool DescriptionVerdict::HasUpdates() const {
  return std::any_of(files.begin(), files.end(),
                     [](const DescribedFile& f) { return f.outOfDate; });
}

std::string DescriptionVerdict::FileList() const {
  std::string list;
  for (const DescribedFile* file : OutOfDate())
    list.append(file->name).append("\r\n");
  return list;
}

std::vector<const DescribedFile*> DescriptionVerdict::OutOfDate() const {
  std::vector<const DescribedFile*> result;
  for (const DescribedFile& file : files) {
    if (file.outOfDate) result.push_back(&file);
  }
  return result;
}

const DescribedFile* DescriptionVerdict::FirstRefused() const {
  for (const DescribedFile& file : files) {
    if (file.refusal != FileRefusal::none) return &file;
  }
  return nullptr;
}

DescriptionVerdict EvaluateDescription(const UpdateDescription& description,
                                       const VersionLookup& localVersion,
                                       const ReservedName& reserved) {
  DescriptionVerdict verdict;
  for (const DescriptionSection& section : description) {
    if (section.name == kInfoSection) continue;
    DescribedFile file;
    file.name = section.name;
    file.version = DescriptionValue(section, "ver");
    file.url = DescriptionValue(section, "url");
    file.size = ParseContentLength(DescriptionValue(section, "size"));
    const std::optional<std::string> digest = HexBytes(DescriptionValue(section, "sha256"));
    if (digest && digest->size() == 32) file.sha256 = *digest;
    // Looking a version up only reads; a name that reaches outside the folder is refused
    // below, before anything would be written.
    file.localVersion = localVersion(file.name);
    file.outOfDate = IsOutOfDate(file.localVersion, file.version);
    if (file.outOfDate && (!IsPlainFileName(file.name) || (reserved && reserved(file.name)))) {
      file.refusal = FileRefusal::name;
    } else if (file.outOfDate && (!file.size || file.sha256.empty())) {
      file.refusal = FileRefusal::unhashed;
    }
    verdict.files.push_back(std::move(file));
  }
  for (const DescriptionSection& section : description) {
    if (section.name != kInfoSection) continue;
    for (const auto& [key, value] : section.values)
      verdict.info.append(value).append("\r\n\r\n");
    break;  // the file's first "info" section is the one an INI reader finds
  }
  return verdict;
}

}  // namespace tavi
