// Windows paths as text: where the folder part ends and the file name begins. A backslash
// and a slash both separate.
#pragma once

#include <string>
#include <string_view>

namespace tavi {

// The folder part with its final separator; empty when the path has none.
std::string FolderOf(std::string_view path);

// The folder part without its final separator ("C:" for "C:\tavi.exe"); empty when the path
// has none.
std::string ParentFolderOf(std::string_view path);

// What follows the last separator; the whole path when there is none.
std::string FileNameOf(std::string_view path);

}  // namespace tavi
