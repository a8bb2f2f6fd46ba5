// Any bytes as the default firmware file, loaded and judged through the device check of a
// started window, as "Find Device" does it. The message the user sees (or the status line
// when the image is accepted) must be the one a separate decoding of the file's header calls
// for, and a refused image must leave the window in Idle.
//
// Input: one shape byte, then the head of the file. Shape 0: the head padded with zero groups
// to a whole container; 1: the same and one byte more; 2: the head alone, as a file of any
// length. So short inputs reach every header field, and short files stay possible.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "app_harness.h"
#include "fuzz_support.h"
#include "image/firmware_image.h"

namespace {

using tlx::fuzz::Require;

constexpr std::uint8_t kBoardFirmware = 0x13;

std::vector<std::uint8_t> FileFrom(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return {};
  std::vector<std::uint8_t> file(data + 1, data + size);
  const int shape = data[0] % 3;
  if (shape != 2 && file.size() < tlx::kContainerSize) file.resize(tlx::kContainerSize, 0);
  if (shape == 1) file.push_back(0);
  return file;
}

// The first eight decoded bytes, worked out group by group as the format defines them.
std::array<std::uint8_t, 8> DecodedHeader(const std::vector<std::uint8_t>& file) {
  std::array<std::uint8_t, 8> header{};
  std::uint8_t runningKey = 0x9B;
  for (std::size_t j = 0; j < header.size(); ++j) {
    const std::uint8_t key =
        static_cast<std::uint8_t>(file[4 * j + 1] + file[4 * j + 2] + file[4 * j + 3]);
    header[j] = static_cast<std::uint8_t>(file[4 * j] ^ runningKey ^ key);
    runningKey = static_cast<std::uint8_t>(runningKey + key);
  }
  return header;
}

struct Expected {
  std::optional<std::string> message;  // empty: accepted
  std::string statusLine;
};

Expected ExpectedFor(const std::vector<std::uint8_t>& file) {
  if (file.size() < tlx::kContainerSize) return {"Invalid or missing firmware file!", {}};
  const std::array<std::uint8_t, 8> header = DecodedHeader(file);
  if (header[0] != 'F' || header[1] != 'W' || header[4] != 0)
    return {"Device not currently supported for upgrading!", {}};
  const int major = header[3] >> 4;
  const int minor = header[3] & 0x0F;
  if (major == 0 || (major == 1 && minor < 2))
    return {"Firmware is too old to update! Contact support@tambrelux.example!", {}};
  const std::string image{static_cast<char>('0' + major), '.', static_cast<char>('0' + minor % 10)};
  return {std::nullopt, "Firmware: v1.3  -  Upgrading to: v" + image};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> file = FileFrom(data, size);
  tlx::test::AppHarness app({.hardwareByte = 0x21, .firmwareByte = kBoardFirmware});
  tlx::test::WriteBytes(app.workDir / "TLX.fwu", file);
  app.form.Form_Load();
  app.form.Button_Click(0);

  const Expected expected = ExpectedFor(file);
  const auto& messages = app.window.messages;
  if (!expected.message) {
    Require(messages.empty(), "an accepted image shows no message");
    Require(app.window.statusText == expected.statusLine,
            "the status line shows the image version");
    Require(app.window.VisibleButtons() == std::vector<int>{1, 2}, "the flash is offered");
    return 0;
  }
  Require(messages.size() == 1 && messages[0].text == *expected.message,
          "a refused file shows the message of its kind");
  Require(app.window.VisibleButtons() == std::vector<int>{0} && app.window.menuEnabled,
          "the window is back in Idle");
  return 0;
}
