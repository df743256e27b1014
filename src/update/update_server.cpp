#include "update/update_server.h"

#ifndef TAVI_UPDATE_HOST
#error "TAVI_UPDATE_HOST is set by the build (src/update/CMakeLists.txt)"
#endif

namespace tavi {

std::string UpdateScriptUrl() {
  return std::string("http://") + TAVI_UPDATE_HOST + kUpdateScriptPath;
}

}  // namespace tavi
