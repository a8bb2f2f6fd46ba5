// SHA-256 from Windows' own cryptographic provider (BCrypt).
// bcrypt.h needs windows.h before it.
#include <windows.h>

#include <bcrypt.h>

#include <array>

#include "digest/hex_text.h"
#include "digest/sha256.h"

namespace tlx {
namespace {

constexpr ULONG kDigestSize = 32;

bool Hash(std::span<const std::uint8_t> bytes, std::array<std::uint8_t, kDigestSize>& digest) {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  if (BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0)
    return false;
  BCRYPT_HASH_HANDLE hash = nullptr;
  bool done = BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0) == 0;
  // BCrypt takes a non-const pointer but only reads the input.
  done = done && BCryptHashData(hash, const_cast<PUCHAR>(bytes.data()),
                                static_cast<ULONG>(bytes.size()), 0) == 0;
  done = done && BCryptFinishHash(hash, digest.data(), kDigestSize, 0) == 0;
  if (hash != nullptr) BCryptDestroyHash(hash);
  BCryptCloseAlgorithmProvider(algorithm, 0);
  return done;
}

}  // namespace

// A provider that fails (it never should) names no digest rather than a wrong one.
std::string Sha256Hex(std::span<const std::uint8_t> bytes) {
  std::array<std::uint8_t, kDigestSize> digest{};
  if (!Hash(bytes, digest)) return "unknown";
  return HexText(digest);
}

}  // namespace tlx
