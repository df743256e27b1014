#include "update/signature_win32.h"

#include <windows.h>

#include <wincrypt.h>

#include <memory>

#include "update/signed_description.h"
#include "win/handle.h"

namespace tavi {
namespace {

struct LocalFreeDeleter {
  void operator()(void* memory) const { ::LocalFree(memory); }
};

CryptProvider OpenProvider() {
  CryptProvider provider;
  if (!::CryptAcquireContextW(provider.put(), nullptr, nullptr, PROV_RSA_AES,
                              CRYPT_VERIFYCONTEXT)) {
    provider.reset();
  }
  return provider;
}

// A SHA-256 hash of the bytes, in blocks (CryptHashData takes a DWORD count).
CryptHash HashOf(const CryptProvider& provider, std::string_view bytes) {
  CryptHash hash;
  if (!provider || !::CryptCreateHash(provider.get(), CALG_SHA_256, 0, 0, hash.put())) return {};
  do {
    const std::string_view block = bytes.substr(0, 1 << 24);
    if (!::CryptHashData(hash.get(), reinterpret_cast<const BYTE*>(block.data()),
                         static_cast<DWORD>(block.size()), 0)) {
      return {};
    }
    bytes.remove_prefix(block.size());
  } while (!bytes.empty());
  return hash;
}

}  // namespace

std::optional<std::string> Sha256(std::string_view bytes) {
  const CryptProvider provider = OpenProvider();
  const CryptHash hash = HashOf(provider, bytes);
  std::string digest(32, '\0');
  DWORD size = static_cast<DWORD>(digest.size());
  if (!hash ||
      !::CryptGetHashParam(hash.get(), HP_HASHVAL, reinterpret_cast<BYTE*>(digest.data()), &size,
                           0) ||
      size != digest.size()) {
    return std::nullopt;
  }
  return digest;
}

bool IsDescribedFile(const DescribedFile& file, const std::optional<std::string>& bytes) {
  if (!bytes) return false;
  const std::optional<std::string> digest = Sha256(*bytes);
  return digest && file.IsDescribedBy(static_cast<std::int64_t>(bytes->size()), *digest);
}

bool SignatureVerifies(std::string_view bytes, std::string_view signature,
                       std::string_view publicKey) {
  if (publicKey.empty() || signature.empty()) return false;
  const CryptProvider provider = OpenProvider();
  if (!provider) return false;
  CERT_PUBLIC_KEY_INFO* decoded = nullptr;
  DWORD decodedSize = 0;
  if (!::CryptDecodeObjectEx(X509_ASN_ENCODING, X509_PUBLIC_KEY_INFO,
                             reinterpret_cast<const BYTE*>(publicKey.data()),
                             static_cast<DWORD>(publicKey.size()), CRYPT_DECODE_ALLOC_FLAG, nullptr,
                             &decoded, &decodedSize)) {
    return false;
  }
  const std::unique_ptr<CERT_PUBLIC_KEY_INFO, LocalFreeDeleter> info(decoded);
  CryptKey key;
  if (!::CryptImportPublicKeyInfo(provider.get(), X509_ASN_ENCODING, info.get(), key.put())) {
    return false;
  }
  const CryptHash hash = HashOf(provider, bytes);
  // CryptoAPI takes the signature least significant byte first.
  const std::string reversed(signature.rbegin(), signature.rend());
  return hash &&
         ::CryptVerifySignatureW(hash.get(), reinterpret_cast<const BYTE*>(reversed.data()),
                                 static_cast<DWORD>(reversed.size()), key.get(), nullptr, 0);
}

DescriptionSignature CheckDescriptionSignature(std::string_view description,
                                               std::string_view publicKey) {
  if (publicKey.empty()) return DescriptionSignature::noKey;
  const std::optional<SignedDescription> split = SplitSignedDescription(description);
  return split && SignatureVerifies(split->signedText, split->signature, publicKey)
             ? DescriptionSignature::valid
             : DescriptionSignature::invalid;
}

}  // namespace tavi
