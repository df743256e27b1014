// Installing a downloaded update: the copy of the program in the download folder writes the
// files of the accepted description over the installation, all of them or none.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "update/update_description.h"

namespace tavi {

struct InstallFailure {
  std::string path;  // the file that could not be read, checked or written
  // Whether the installation is as it was before (false: a file could not be put back).
  bool restored = true;
};

// Replaces each file of the installation by the file of the same name in the download folder
// (both folders end in "\"). Every new file is read whole and checked against its size and
// SHA-256 before anything is written, and what was checked is what is written. When a write fails,
// the files written before it get their old contents back and those that were new go again.
std::optional<InstallFailure> InstallFiles(const std::vector<const DescribedFile*>& files,
                                           const std::string& downloadFolder,
                                           const std::string& installFolder);

}  // namespace tavi
