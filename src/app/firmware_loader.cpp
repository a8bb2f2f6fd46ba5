// Loading the chosen .fwu file. A cancelled dialog or a missing, unreadable or short file
// ends the load silently with FileLoaded false; the device check says what went wrong.
#include "app/firmware_loader.h"

#include <algorithm>
#include <span>

#include "app/window_texts.h"
#include "common/utf8_path.h"
#include "image/firmware_file.h"
#include "image/fwu_codec.h"

namespace tlx {

FirmwareLoader::FirmwareLoader(WindowSystem& window, ProcessServices& process,
                               FileOpenDialog& commonDialog, std::vector<std::uint8_t>& fileBuffer,
                               std::vector<std::uint8_t>& imageBuffer)
    : window_(window),
      process_(process),
      CommonDialog1(commonDialog),
      fileBuffer_(fileBuffer),
      imageBuffer_(imageBuffer) {}

void FirmwareLoader::LoadFirmware() {
  HeaderValid = kFalse;
  LoadedPath.clear();
  refusals_.clear();
  if (!GivenFile.empty()) {
    FileLoaded = kFalse;
    LoadChosenFile(GivenFile);
  } else if (window_.MenuChecked(MenuItem::FWCustom)) {
    LoadCustomFirmware();
  } else {
    LoadDefaultFirmware();
  }
  if (FileLoaded != kTrue || imageBuffer_.size() != kImageBytes) return;

  DescrambleFirmware();
  const std::span<const std::uint8_t, kImageBytes> image(imageBuffer_.data(), kImageBytes);
  refusals_ = Refusals(image, fileBuffer_.size());
  if (Refuses(Refusal::Signature)) return;
  const VersionPair version = ImageVersion(image);
  ImageMajor = version.Major;
  ImageMinor = version.Minor;
  if (Refuses(Refusal::LengthByte)) return;
  HeaderValid = kTrue;
}

bool FirmwareLoader::Refuses(Refusal reason) const {
  return std::ranges::find(refusals_, reason) != refusals_.end();
}

void FirmwareLoader::LoadCustomFirmware() {
  FileLoaded = kFalse;
  CommonDialog1.DialogTitle = kDialogTitle;
  CommonDialog1.Filter = kDialogFilter;
  if (CommonDialog1.InitDir.empty()) CommonDialog1.InitDir = process_.ProgramPath();
  CommonDialog1.FileName.clear();
  CommonDialog1.Flags = kDialogFlags;
  CommonDialog1.CancelError = true;
  if (!window_.ShowOpen(CommonDialog1)) return;
  LoadChosenFile(CommonDialog1.FileName);
}

void FirmwareLoader::LoadChosenFile(const std::string& path) {
  if (path.empty() || !EndsWithFwu(path)) return;
  if (GivenBytes != nullptr && path == GivenFile) {
    if (GivenBytes->size() != fileBuffer_.size()) return;
    fileBuffer_ = *GivenBytes;
  } else if (!ReadContainer(Utf8Path(path), fileBuffer_)) {
    return;
  }
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
                  std::span<std::uint8_t, kImageBytes>(imageBuffer_.data(), kImageBytes));
}

}  // namespace tlx
