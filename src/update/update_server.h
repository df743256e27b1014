// Where the program asks for updates. The host is a build setting (TAVI_UPDATE_HOST, a
// CMake cache variable); the path is the update script's.
#pragma once

#include <string>

namespace tavi {

inline constexpr char kUpdateScriptPath[] = "/myAPP/Tavi/update.php";

// "http://<host>/myAPP/Tavi/update.php".
std::string UpdateScriptUrl();

}  // namespace tavi
