#include "app/window_texts.h"

namespace tlx {

std::string WindowCaption(int versionMajor, int versionMinor) {
  return "Tambrelux Pro Updater v" + std::to_string(versionMajor) + "." +
         std::to_string(versionMinor);
}

char VersionCharacter(std::uint8_t number) {
  return static_cast<char>('0' + number);
}

std::string HardwareLine(VersionPair hardware) {
  return std::string("Tambrelux Pro - Hardware v") + VersionCharacter(hardware.Major) + "." +
         VersionCharacter(hardware.Minor);
}

std::string VersionText(VersionPair version) {
  return std::string{VersionCharacter(version.Major), '.',
                     static_cast<char>('0' + version.Minor % 10)};
}

std::string StatusLine(VersionPair deviceFirmware, VersionPair image) {
  return "Firmware: v" + VersionText(deviceFirmware) + "  -  Upgrading to: v" + VersionText(image);
}

}  // namespace tlx
