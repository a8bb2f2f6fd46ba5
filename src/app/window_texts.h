// The one catalogue of what the window says: its caption and the lines it forms from version
// numbers, the status texts, the file dialog's title and filter, and every message box's title
// and text. Faces and the logic take their words from here and nowhere else.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "app/window_system.h"
#include "common/version_pair.h"
#include "flash/update_window.h"

namespace tlx {

// A message box's words. No title means the application title.
struct MessageText {
  std::optional<std::string_view> title;
  std::string text;
};

inline constexpr char kApplicationTitle[] = "Tambrelux Pro Updater";
inline constexpr char kSupportAddress[] = "support@tambrelux.example";

// The window's fixed captions, the buttons by index.
inline constexpr std::array<const char*, kButtonCount> kButtonCaptions{
    "Find Device", "Flash Device", "Abort Flash", "Ok!"};
inline constexpr char kFirmwareMenuCaption[] = "Firmware Version";
inline constexpr char kDefaultItemCaption[] = "Default";
inline constexpr char kCustomItemCaption[] = "Custom";
inline constexpr char kProgressToolTip[] = "This bar shows the current progress of an operation.";

inline constexpr char kFlashingText[] = "Flashing device...";
inline constexpr char kFlashCompleteText[] = "Flash Complete!";

inline constexpr char kDialogTitle[] = "Select firmware file...";
inline constexpr char kDialogFilter[] = "Tambrelux Pro firmware (*.FWU)|*.fwu|All Files (*.*)|*.*";

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

// Start-up.
MessageText AlreadyRunning(const std::string& holder);
MessageText HardwareNotFound();
MessageText NotInUpdateMode();

// The device check.
MessageText UsbConnectionFailure();
MessageText MissingFirmware();
MessageText DeviceNotSupported();
MessageText FirmwareTooOld();

// How an update ended when it failed, by region and kind.
MessageText UpdateFailureText(const UpdateFailure& failure);

}  // namespace tlx
