// SHA-256 and RSA signatures through the system's CryptoAPI (the PROV_RSA_AES provider, there
// since Windows XP SP3): the update's description must carry the maker's signature and every
// file the hash the description gives it.
#pragma once

#include <windows.h>

#include <wincrypt.h>

#include <optional>
#include <string>
#include <string_view>

#include "update/update_description.h"
#include "win/handle.h"

namespace tavi {

// CryptoAPI's providers, hashes and keys: numbers, 0 for none, each with its own release.
inline BOOL WINAPI ReleaseCryptProvider(HCRYPTPROV provider) {
  return ::CryptReleaseContext(provider, 0);
}
using CryptProvider = UniqueHandle<NullableHandleTraits<HCRYPTPROV, &ReleaseCryptProvider>>;
using CryptHash = UniqueHandle<NullableHandleTraits<HCRYPTHASH, &::CryptDestroyHash>>;
using CryptKey = UniqueHandle<NullableHandleTraits<HCRYPTKEY, &::CryptDestroyKey>>;

// The SHA-256 of the bytes (32 bytes); none when the system cannot compute it.
std::optional<std::string> Sha256(std::string_view bytes);

// Whether the signature (RSA PKCS #1 v1.5 over SHA-256, most significant byte first, as
// `openssl dgst -sha256 -sign` writes it) of the bytes verifies with the public key (a DER
// SubjectPublicKeyInfo).
bool SignatureVerifies(std::string_view bytes, std::string_view signature,
                       std::string_view publicKey);

// Whether the bytes are the described file: its size and its SHA-256.
bool IsDescribedFile(const DescribedFile& file, const std::optional<std::string>& bytes);

enum class DescriptionSignature { valid, noKey, invalid };

// Whether a description, as the server sent it, carries a valid signature by the key (see
// update/signed_description.h). Missing, malformed and wrong signatures are all invalid; with
// an empty key nothing is valid.
DescriptionSignature CheckDescriptionSignature(std::string_view description,
                                               std::string_view publicKey);

}  // namespace tavi
