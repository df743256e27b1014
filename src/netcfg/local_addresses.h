// How the local addresses are shown in the status bar.
#pragma once

#include <string>
#include <vector>

namespace tavi {

// The status panel's text: every address followed by CR LF ("10.0.0.5\r\n"); empty for none.
std::string LocalAddressText(const std::vector<std::string>& addresses);

}  // namespace tavi
