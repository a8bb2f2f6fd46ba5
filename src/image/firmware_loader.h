// Chooses the firmware source the "Firmware Version" menu selects, reads the .fwu file into
// the file buffer, decodes it into the image buffer and judges the header. Reports only
// through its flags; the device check turns them into messages.
#pragma once

#include <cstdint>
#include <vector>

#include "app/process_services.h"
#include "app/window_system.h"
#include "link/flag16.h"

namespace tlx {

inline constexpr char kDefaultFirmwareFile[] = "TLX.fwu";
inline constexpr char kDialogTitle[] = "Select firmware file...";
inline constexpr char kDialogFilter[] = "Tambrelux Pro firmware (*.FWU)|*.fwu|All Files (*.*)|*.*";
inline constexpr std::uint32_t kDialogFlags = 0x81004;

class FirmwareLoader {
 public:
  FirmwareLoader(WindowSystem& window, ProcessServices& process, FileOpenDialog& commonDialog,
                 std::vector<std::uint8_t>& fileBuffer, std::vector<std::uint8_t>& imageBuffer);

  void LoadFirmware();
  void LoadCustomFirmware();
  void LoadDefaultFirmware();
  void DescrambleFirmware();

  Flag16 FileLoaded = kFalse;
  Flag16 HeaderValid = kFalse;
  std::uint8_t ImageMajor = 0;
  std::uint8_t ImageMinor = 0;

 private:
  WindowSystem& window_;
  ProcessServices& process_;
  FileOpenDialog& CommonDialog1;
  std::vector<std::uint8_t>& fileBuffer_;
  std::vector<std::uint8_t>& imageBuffer_;
};

}  // namespace tlx
