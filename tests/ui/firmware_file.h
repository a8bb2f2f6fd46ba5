// Firmware images and .fwu files for the window tests, made with the project's own encoder.
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

namespace tlx::ui::test {

// A 65,544-byte image: "FW", the version byte, a zero length field, and a payload in which
// neighbouring bytes differ.
std::vector<std::uint8_t> MakeImage(std::uint8_t versionByte);

// Writes the image's .fwu container to path; false if the file could not be written.
bool WriteFwu(const QString& path, const std::vector<std::uint8_t>& image);

}  // namespace tlx::ui::test
