#include "image/firmware_file.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>

#include "image/firmware_image.h"

namespace tlx {

bool EndsWithFwu(const std::string& path) {
  const std::string tail = path.substr(path.size() >= 3 ? path.size() - 3 : 0);
  std::string upper;
  std::ranges::transform(tail, std::back_inserter(upper),
                         [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return upper == "FWU";
}

bool ReadContainer(const std::filesystem::path& path, std::vector<std::uint8_t>& fileBuffer) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error) || fileBuffer.size() != kContainerSize)
    return false;
  std::ifstream file(path, std::ios::binary);
  if (!file.is_open()) return false;
  std::vector<char> bytes(kContainerSize);
  file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (file.gcount() != static_cast<std::streamsize>(bytes.size())) return false;
  std::ranges::transform(bytes, fileBuffer.begin(),
                         [](char c) { return static_cast<std::uint8_t>(c); });
  return true;
}

}  // namespace tlx
