#include "update/update_install_win32.h"

#include <windows.h>

#include "update/signature_win32.h"
#include "win/files_win32.h"
#include "win/text_win32.h"

namespace tavi {
namespace {

struct Staged {
  std::string target;
  std::string bytes;
  std::optional<std::string> old;  // none: there was no such file
};

// Puts the target back as it was; true when it is.
bool Restore(const Staged& file) {
  if (ReadWholeFile(file.target) == file.old) return true;  // a write that failed at its start
  if (file.old) return WriteWholeFile(file.target, *file.old);
  return ::DeleteFileW(Utf8ToWide(file.target).c_str()) || !PathExists(file.target);
}

}  // namespace

std::optional<InstallFailure> InstallFiles(const std::vector<const DescribedFile*>& files,
                                           const std::string& downloadFolder,
                                           const std::string& installFolder) {
  std::vector<Staged> staged;
  for (const DescribedFile* file : files) {
    const std::string source = downloadFolder + file->name;
    // Checked again: a file changed since its download is not the one the description means.
    std::optional<std::string> bytes = ReadWholeFile(source);
    if (!IsDescribedFile(*file, bytes)) return InstallFailure{source};
    Staged next{installFolder + file->name, std::move(*bytes), std::nullopt};
    if (PathExists(next.target) && !(next.old = ReadWholeFile(next.target))) {
      return InstallFailure{next.target};
    }
    staged.push_back(std::move(next));
  }
  for (size_t i = 0; i < staged.size(); ++i) {
    if (WriteWholeFile(staged[i].target, staged[i].bytes)) continue;
    bool restored = true;
    for (size_t j = 0; j <= i; ++j)
      restored = Restore(staged[j]) && restored;
    return InstallFailure{staged[i].target, restored};
  }
  return std::nullopt;
}

}  // namespace tavi
