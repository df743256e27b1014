// The maker's public key that update descriptions must be signed with, built into the program
// from the build setting TAVI_UPDATE_PUBLIC_KEY (src/update/CMakeLists.txt).
#pragma once

#include <string_view>

namespace tavi {

// The key as a DER SubjectPublicKeyInfo (RSA, 2048 bits or more); empty when the build was made
// without one, and then no update is ever accepted.
std::string_view UpdatePublicKey();

}  // namespace tavi
