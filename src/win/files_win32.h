// Whole files and folders, for the folders that write them (the apply's script, the update's
// description and downloads) and for the tests.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavi {

// Writes the bytes as the file's whole content, creating or replacing it. A file that cannot
// be written whole is removed again, and false is returned: no part of it is left behind.
bool WriteWholeFile(const std::string& path, std::string_view bytes);

// The file's whole content; none when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Whether something, a file, or a folder is there.
bool PathExists(const std::string& path);
bool IsFile(const std::string& path);
bool IsFolder(const std::string& path);

// Removes the folder with everything in it; true when the folder itself went. Links to
// other folders are removed, never followed.
bool RemoveFolderTree(const std::string& folder);

// The system folder (system32) and the Windows folder, without a final backslash; empty when
// the system cannot say.
std::string SystemFolder();
std::string WindowsFolder();

}  // namespace tavi
