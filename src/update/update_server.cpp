#include "update/update_server.h"

#if !defined(TAVI_UPDATE_HOST) || !defined(TAVI_UPDATE_HTTPS)
#error "TAVI_UPDATE_HOST and TAVI_UPDATE_HTTPS are set by the build (src/update/CMakeLists.txt)"
#endif

namespace tavi {

std::string UpdateScriptUrl() {
  return std::string(TAVI_UPDATE_HTTPS ? "https://" : "http://") + TAVI_UPDATE_HOST +
         kUpdateScriptPath;
}

}  // namespace tavi
