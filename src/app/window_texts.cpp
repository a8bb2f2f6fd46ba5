#include "app/window_texts.h"

namespace tlx {
namespace {

constexpr std::string_view kUpdateFailure = "Update Failure!";
constexpr std::string_view kVerifyFailure = "Verify Failure!";
constexpr std::string_view kDoNotPowerOff = "** DO NOT POWER OFF BOARD!! **  ";

// The region written first decides whether a failure may leave the board unbootable.
bool WarnAgainstPowerOff(std::string_view step) {
  return step == "Step 3";
}

}  // namespace

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

MessageText AlreadyRunning(const std::string& holder) {
  return {std::nullopt, holder + " already running! "};
}

MessageText HardwareNotFound() {
  return {"USB Error!", "Tambrelux Pro hardware not found!"};
}

MessageText NotInUpdateMode() {
  return {std::nullopt, "Tambrelux Not in update mode! "};
}

MessageText UsbConnectionFailure() {
  return {"USB Error", "USB Connection Failure!"};
}

MessageText MissingFirmware() {
  return {"Unable to update!", "Invalid or missing firmware file!"};
}

MessageText DeviceNotSupported() {
  return {"Device not supported!", "Device not currently supported for upgrading!"};
}

MessageText FirmwareTooOld() {
  return {"Unable to update!",
          std::string("Firmware is too old to update! Contact ") + kSupportAddress + "!"};
}

// Two blanks separate the sentences and set off the power-off warning.
MessageText UpdateFailureText(const UpdateFailure& failure) {
  const std::string step(failure.step);
  const std::string warning(WarnAgainstPowerOff(failure.step) ? kDoNotPowerOff : "");
  switch (failure.kind) {
    case FailureKind::Communication:
      return {kUpdateFailure, step + " - Device communication error - Corruption possible!  " +
                                  warning + "Re-try update!"};
    case FailureKind::Verify:
      return {kVerifyFailure,
              step + " - Device verify error!  Data is corrupted!  " + warning + "Re-try update!"};
    case FailureKind::Bootloader:
      break;
  }
  return {"Bootloader Failure!", "Step 4 - Device communication error!  Data is corrupted!  " +
                                     std::string(kDoNotPowerOff) + "Re-try update!"};
}

}  // namespace tlx
