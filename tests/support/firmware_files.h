// Real firmware files in real temporary folders: images with a chosen header, encoded into
// .fwu containers, written where a test wants them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tlx::test {

// A fresh empty folder, removed with everything in it when the object goes.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// Makes a folder the current working directory until the object goes.
class CurrentDirectory {
 public:
  explicit CurrentDirectory(const std::filesystem::path& folder);
  ~CurrentDirectory();
  CurrentDirectory(const CurrentDirectory&) = delete;
  CurrentDirectory& operator=(const CurrentDirectory&) = delete;

 private:
  std::filesystem::path previous_;
};

struct ImageHeader {
  std::uint8_t version = 0x20;
  std::uint8_t byte4 = 0;
  char signature[2] = {'F', 'W'};
};

// A decoded image with the given header and a payload that differs from block to block.
std::vector<std::uint8_t> MakeImage(const ImageHeader& header);
// The image as a .fwu container, with fillers from a fixed seed.
std::vector<std::uint8_t> EncodeImage(const std::vector<std::uint8_t>& image);
void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
// Writes the container of MakeImage(header) and returns the image.
std::vector<std::uint8_t> WriteFirmware(const std::filesystem::path& path,
                                        const ImageHeader& header);

}  // namespace tlx::test
