// Chooses the firmware source: a file given on the command line, else the one the "Firmware
// Version" menu selects. Reads the .fwu file into the file buffer, decodes it into the image
// buffer and judges the header. Reports only through its flags; the device check turns them
// into messages.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/firmware_choice.h"
#include "link/flag16.h"

namespace tlx {

inline constexpr char kDefaultFirmwareFile[] = "TLX.fwu";
inline constexpr char kDialogTitle[] = "Select firmware file...";
inline constexpr char kDialogFilter[] = "Tambrelux Pro firmware (*.FWU)|*.fwu|All Files (*.*)|*.*";
inline constexpr std::uint32_t kDialogFlags =
    kDialogExplorer | kDialogFileMustExist | kDialogHideReadOnly;

class FirmwareLoader {
 public:
  FirmwareLoader(FirmwareChoice& choice, FileOpenDialog& commonDialog,
                 std::vector<std::uint8_t>& fileBuffer, std::vector<std::uint8_t>& imageBuffer);

  void LoadFirmware();
  void LoadCustomFirmware();
  void LoadDefaultFirmware();
  void DescrambleFirmware();

  Flag16 FileLoaded = kFalse;
  Flag16 HeaderValid = kFalse;
  std::uint8_t ImageMajor = 0;
  std::uint8_t ImageMinor = 0;
  // A file named when the program was started: read at every load, by the rules of a file
  // chosen in the dialog but without the dialog, until the menu chooses a source again.
  std::string GivenFile;
  // The path of the file the last load read, empty when it read none.
  std::string LoadedPath;

 private:
  void LoadChosenFile(const std::string& path);

  FirmwareChoice& choice_;
  FileOpenDialog& CommonDialog1;
  std::vector<std::uint8_t>& fileBuffer_;
  std::vector<std::uint8_t>& imageBuffer_;
};

}  // namespace tlx
