// Loading the chosen .fwu file. A cancelled dialog or a missing, unreadable or short file
// ends the load silently with FileLoaded false; the device check says what went wrong.
#include "image/firmware_loader.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>

#include "image/firmware_image.h"
#include "image/fwu_codec.h"

namespace tlx {
namespace {

bool EndsWithFwu(const std::string& path) {
  const std::string tail = path.substr(path.size() >= 3 ? path.size() - 3 : 0);
  std::string upper;
  std::ranges::transform(tail, std::back_inserter(upper),
                         [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return upper == "FWU";
}

// Reads the first container's worth of bytes of a regular file (a folder counts as missing).
// The file buffer is written only when all of them arrived: a short file must not leave a
// mix of two files behind for the decoder. A longer file's tail is ignored.
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

}  // namespace

FirmwareLoader::FirmwareLoader(FirmwareChoice& choice, FileOpenDialog& commonDialog,
                               std::vector<std::uint8_t>& fileBuffer,
                               std::vector<std::uint8_t>& imageBuffer)
    : choice_(choice),
      CommonDialog1(commonDialog),
      fileBuffer_(fileBuffer),
      imageBuffer_(imageBuffer) {}

void FirmwareLoader::LoadFirmware() {
  HeaderValid = kFalse;
  LoadedPath.clear();
  if (!GivenFile.empty()) {
    FileLoaded = kFalse;
    LoadChosenFile(GivenFile);
  } else if (choice_.CustomChosen()) {
    LoadCustomFirmware();
  } else {
    LoadDefaultFirmware();
  }
  if (FileLoaded != kTrue || imageBuffer_.size() != kImageSize) return;

  DescrambleFirmware();
  const std::span<const std::uint8_t, kImageSize> image(imageBuffer_.data(), kImageSize);
  if (!SignatureMatches(image)) return;
  const VersionPair version = ImageVersion(image);
  ImageMajor = version.Major;
  ImageMinor = version.Minor;
  if (!HeaderAccepted(image)) return;
  HeaderValid = kTrue;
}

void FirmwareLoader::LoadCustomFirmware() {
  FileLoaded = kFalse;
  CommonDialog1.DialogTitle = kDialogTitle;
  CommonDialog1.Filter = kDialogFilter;
  if (CommonDialog1.InitDir.empty()) CommonDialog1.InitDir = choice_.ProgramPath();
  CommonDialog1.FileName.clear();
  CommonDialog1.Flags = kDialogFlags;
  CommonDialog1.CancelError = true;
  if (!choice_.ShowOpen(CommonDialog1)) return;
  LoadChosenFile(CommonDialog1.FileName);
}

// Only the last three characters count: "imagefwu" passes, "image.fwu.bak" does not.
void FirmwareLoader::LoadChosenFile(const std::string& path) {
  if (path.empty() || !EndsWithFwu(path)) return;
  if (!ReadContainer(path, fileBuffer_)) return;
  LoadedPath = path;
  FileLoaded = kTrue;
}

// The bare name on purpose: the file is looked for in the current working directory.
void FirmwareLoader::LoadDefaultFirmware() {
  FileLoaded = kFalse;
  if (!ReadContainer(kDefaultFirmwareFile, fileBuffer_)) return;
  LoadedPath = kDefaultFirmwareFile;
  FileLoaded = kTrue;
}

void FirmwareLoader::DescrambleFirmware() {
  DecodeContainer(std::span<const std::uint8_t, kContainerSize>(fileBuffer_.data(), kContainerSize),
                  std::span<std::uint8_t, kImageSize>(imageBuffer_.data(), kImageSize));
}

}  // namespace tlx
