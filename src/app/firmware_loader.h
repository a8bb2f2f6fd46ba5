// The choice of the firmware source and its loading: a file given on the command line, else
// the one the "Firmware Version" menu selects (the default file, or one picked in the
// file-open dialog). Reads the .fwu file into the file buffer, decodes it into the image
// buffer and keeps the verdict on it. Reports only through its flags; the device check turns
// them into messages.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/process_services.h"
#include "app/window_system.h"
#include "common/flag16.h"
#include "image/firmware_image.h"

namespace tlx {

// Looked for in the working directory, by this bare name.
inline constexpr char kDefaultFirmwareFile[] = "TLX.fwu";

class FirmwareLoader {
 public:
  FirmwareLoader(WindowSystem& window, ProcessServices& process, FileOpenDialog& commonDialog,
                 std::vector<std::uint8_t>& fileBuffer, std::vector<std::uint8_t>& imageBuffer);

  void LoadFirmware();
  void LoadCustomFirmware();
  void LoadDefaultFirmware();
  void DescrambleFirmware();

  // Whether the last load's image is refused for this reason; false when no file was read.
  bool Refuses(Refusal reason) const;

  Flag16 FileLoaded = kFalse;
  Flag16 HeaderValid = kFalse;
  std::uint8_t ImageMajor = 0;
  std::uint8_t ImageMinor = 0;
  // A file named when the program was started: read at every load, by the rules of a file
  // chosen in the dialog but without the dialog, until the menu chooses a source again.
  std::string GivenFile;
  // The given file's bytes as the program read them once for several boards (empty when the
  // read failed): taken instead of reading the file again, so every board gets the same bytes.
  // Null: the file is read at every load.
  std::shared_ptr<const std::vector<std::uint8_t>> GivenBytes;
  // The path of the file the last load read, empty when it read none.
  std::string LoadedPath;

 private:
  void LoadChosenFile(const std::string& path);

  WindowSystem& window_;
  ProcessServices& process_;
  FileOpenDialog& CommonDialog1;
  std::vector<std::uint8_t>& fileBuffer_;
  std::vector<std::uint8_t>& imageBuffer_;
  std::vector<Refusal> refusals_;
};

}  // namespace tlx
