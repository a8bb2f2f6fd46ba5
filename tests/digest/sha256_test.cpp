// The digest that names a firmware file in the session log: published test vectors, and a real
// firmware file against the system's own sha256sum.
#include "digest/sha256.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "firmware_files.h"

namespace tlx {
namespace {

std::span<const std::uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

TEST(Sha256Test, PublishedVectors) {
  EXPECT_EQ(Sha256Hex({}), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(Sha256Hex(Bytes("abc")),
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(Sha256Hex(Bytes("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
}

TEST(Sha256Test, AFirmwareFileAsSha256sumNamesIt) {
  test::TempFolder folder;
  const auto path = folder / "TLX.fwu";
  const std::vector<std::uint8_t> bytes = test::EncodeImage(test::MakeImage({.version = 0x13}));
  test::WriteBytes(path, bytes);
  const std::string command = "sha256sum '" + path.string() + "'";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  char digest[65] = {};
  ASSERT_EQ(std::fread(digest, 1, 64, pipe), 64u);
  pclose(pipe);
  EXPECT_EQ(Sha256Hex(bytes), digest);
}

}  // namespace
}  // namespace tlx
