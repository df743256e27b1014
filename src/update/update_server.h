// Where the program asks for updates. The host and the scheme are build settings
// (TAVI_UPDATE_HOST and TAVI_UPDATE_HTTPS, CMake cache variables); the path is the update
// script's.
#pragma once

#include <string>

namespace tavi {

inline constexpr char kUpdateScriptPath[] = "/myAPP/Tavi/update.php";

// "http://<host>/myAPP/Tavi/update.php", or "https://..." when the build says so.
std::string UpdateScriptUrl();

}  // namespace tavi
