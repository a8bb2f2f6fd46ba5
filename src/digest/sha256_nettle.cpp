#include <nettle/sha2.h>

#include <array>

#include "digest/hex_text.h"
#include "digest/sha256.h"

namespace tlx {

std::string Sha256Hex(std::span<const std::uint8_t> bytes) {
  sha256_ctx context;
  sha256_init(&context);
  sha256_update(&context, bytes.size(), bytes.data());
  std::array<std::uint8_t, SHA256_DIGEST_SIZE> digest{};
  sha256_digest(&context, digest.size(), digest.data());
  return HexText(digest);
}

}  // namespace tlx
