// The update description ("update.info"): which program files the server offers, and the
// decision which of them are out of date here. The Win32 layer reads the file and the
// local versions; everything that decides lives here.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tavi {

// One section of the description with its keys and values in file order.
struct DescriptionSection {
  std::string name;
  std::vector<std::pair<std::string, std::string>> values;
};
using UpdateDescription = std::vector<DescriptionSection>;

// The value of a key, matched without regard to ASCII letter case as INI files match keys;
// the empty text when absent.
std::string DescriptionValue(const DescriptionSection& section, std::string_view key);

// The section of free texts shown before updating; its name is matched exactly.
inline constexpr char kInfoSection[] = "info";

// A name that can only mean a file directly in the program folder: not empty, no folder
// part, no drive or stream (":"), no characters Windows refuses in names, not "." or "..",
// no trailing dot or blank (Windows strips them, so the name would mean another file), and
// no device name (CON, NUL, COM1, CONIN$, ...), with or without an extension or blanks
// before it.
bool IsPlainFileName(std::string_view name);

// "a.b.c.d" from the two halves of a fixed file version, most significant part first.
std::string FileVersionText(std::uint32_t mostSignificant, std::uint32_t leastSignificant);

// Out of date: missing locally, or its version text differs from the offered one (exactly;
// versions are not ordered, so an older one on the server is an update too). A file without
// version information has the empty text.
inline bool IsOutOfDate(const std::optional<std::string>& localVersion,
                        std::string_view offeredVersion) {
  return !localVersion || *localVersion != offeredVersion;
}

// Why an out-of-date file is never downloaded, so that the update cannot go on.
enum class FileRefusal {
  none,
  // Not a plain file name, or the name of a file the update keeps for itself: the file would
  // land elsewhere, or replace what it must not.
  name,
  // No size or no SHA-256: what arrives could not be checked.
  unhashed,
};

struct DescribedFile {
  std::string name;                  // as the section names it, relative to the program folder
  std::string version;               // "ver"
  std::string url;                   // "url"
  std::optional<std::int64_t> size;  // "size" in bytes; none when absent or not a number
  std::string sha256;  // "sha256" (64 hex digits) as its 32 bytes; empty when absent or malformed
  std::optional<std::string> localVersion;  // none: no such file here
  bool outOfDate = false;
  FileRefusal refusal = FileRefusal::none;

  // Whether a file of this size and SHA-256 is the one described.
  bool IsDescribedBy(std::int64_t fileSize, std::string_view fileSha256) const {
    return size == fileSize && !sha256.empty() && sha256 == fileSha256;
  }
};

struct DescriptionVerdict {
  std::vector<DescribedFile> files;  // every file section, in file order
  std::string info;                  // every "info" value, each followed by CR LF CR LF

  bool HasUpdates() const;
  // The names of the out-of-date files, each followed by CR LF.
  std::string FileList() const;
  std::vector<const DescribedFile*> OutOfDate() const;
  // The first out-of-date file that is refused, or null.
  const DescribedFile* FirstRefused() const;
};

// The local version text of a file named relative to the program folder; none when the
// file does not exist, the empty text when it has no version information.
using VersionLookup = std::function<std::optional<std::string>(const std::string& name)>;
// Whether a plain file name is one the update keeps for itself in the program folder (its
// download folder, its description, the places' file), which no offered file may replace.
using ReservedName = std::function<bool(const std::string& name)>;

// Decides every file section of the description: all sections but "info" name files.
DescriptionVerdict EvaluateDescription(const UpdateDescription& description,
                                       const VersionLookup& localVersion,
                                       const ReservedName& reserved = nullptr);

}  // namespace tavi
