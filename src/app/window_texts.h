// The texts the window forms from version numbers: its caption, the hardware line and the
// firmware status line. Pure functions, so every rule of their characters is testable alone.
#pragma once

#include <string>

#include "link/version_pair.h"

namespace tlx {

// "Tambrelux Pro Updater v1.3": both numbers in plain decimal.
std::string WindowCaption(int versionMajor, int versionMinor);

// The character whose code is 48 plus the number: "0" to "9", then ":" to "?" for 10 to 15.
char VersionCharacter(std::uint8_t number);

// "Tambrelux Pro - Hardware v2.1", both numbers as version characters.
std::string HardwareLine(VersionPair hardware);

// The major as a version character, ".", then only the last decimal digit of the minor, so
// 1.12 reads "1.2".
std::string VersionText(VersionPair version);

// "Firmware: v1.3  -  Upgrading to: v2.0".
std::string StatusLine(VersionPair deviceFirmware, VersionPair image);

}  // namespace tlx
