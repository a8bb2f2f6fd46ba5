#include "firmware_files.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <span>
#include <stdexcept>

#include "image/fwu_codec.h"

namespace tlx::test {

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tlx-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no temporary folder");
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

CurrentDirectory::CurrentDirectory(const std::filesystem::path& folder)
    : previous_(std::filesystem::current_path()) {
  std::filesystem::current_path(folder);
}

CurrentDirectory::~CurrentDirectory() {
  std::error_code ignored;
  std::filesystem::current_path(previous_, ignored);
}

std::vector<std::uint8_t> MakeImage(const ImageHeader& header) {
  std::vector<std::uint8_t> image(kImageBytes);
  for (std::size_t i = kImageHeaderBytes; i < image.size(); ++i)
    image[i] = static_cast<std::uint8_t>(i * 7 + i / 2048);
  image[0] = static_cast<std::uint8_t>(header.signature[0]);
  image[1] = static_cast<std::uint8_t>(header.signature[1]);
  image[2] = 0x5A;
  image[kVersionOffset] = header.version;
  image[kLengthOffset] = header.byte4;
  image[5] = 0x01;
  image[6] = 0x00;
  image[7] = 0x00;
  return image;
}

std::vector<std::uint8_t> EncodeImage(const std::vector<std::uint8_t>& image) {
  std::vector<std::uint8_t> container(kContainerSize);
  std::mt19937_64 generator(20240611);
  EncodeContainer(std::span<const std::uint8_t, kImageBytes>(image.data(), kImageBytes),
                  std::span<std::uint8_t, kContainerSize>(container.data(), kContainerSize),
                  [&] { return static_cast<double>(generator() >> 11) * 0x1.0p-53; });
  return container;
}

void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error("cannot write " + path.string());
}

std::vector<std::uint8_t> WriteFirmware(const std::filesystem::path& path,
                                        const ImageHeader& header) {
  std::vector<std::uint8_t> image = MakeImage(header);
  WriteBytes(path, EncodeImage(image));
  return image;
}

}  // namespace tlx::test
