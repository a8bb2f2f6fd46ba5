#include "app/firmware_loader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "fake_process.h"
#include "firmware_files.h"
#include "image/firmware_image.h"
#include "recording_window.h"

namespace tlx {
namespace {

// A loader over real folders: the working directory and the program's directory are two
// separate temporary folders.
class FirmwareLoaderTest : public ::testing::Test {
 protected:
  FirmwareLoaderTest() { process.programPath = programDir.Path().string(); }

  void SelectCustom(const std::optional<std::string>& answer) {
    window.customChecked = true;
    window.defaultChecked = false;
    window.dialogAnswers.push_back(answer);
  }

  test::TempFolder workDir;
  test::TempFolder programDir;
  test::CurrentDirectory inWorkDir{workDir.Path()};
  test::RecordingWindow window;
  test::FakeProcess process;
  FileOpenDialog dialog;
  std::vector<std::uint8_t> fileBuffer = std::vector<std::uint8_t>(kContainerSize, 0xEE);
  std::vector<std::uint8_t> imageBuffer = std::vector<std::uint8_t>(kImageBytes, 0xDD);
  FirmwareLoader loader{window, process, dialog, fileBuffer, imageBuffer};
};

// A short file counts as unreadable: half of it over the previous file's bytes would decode
// into a mix of two images.
TEST_F(FirmwareLoaderTest, NothingReadLeavesBuffersAndVersionAsTheyWere) {
  const auto image = test::WriteFirmware(workDir / "TLX.fwu", {.version = 0x25});
  loader.LoadFirmware();
  const auto fileBefore = fileBuffer;
  const auto file = workDir / "TLX.fwu";
  const std::pair<const char*, std::function<void()>> cases[] = {
      {"missing", [&] { std::filesystem::remove(file); }},
      {"a folder", [&] { std::filesystem::create_directory(file); }},
      {"one byte short", [&] {
         std::filesystem::remove(file);
         test::WriteBytes(file, std::vector<std::uint8_t>(kContainerSize - 1, 0x41));
       }}};
  for (const auto& [name, arrange] : cases) {
    SCOPED_TRACE(name);
    arrange();
    loader.LoadFirmware();
    EXPECT_EQ(loader.FileLoaded, kFalse);
    EXPECT_EQ(loader.HeaderValid, kFalse);
    EXPECT_EQ(loader.ImageMajor, 2);
    EXPECT_EQ(loader.ImageMinor, 5);
    EXPECT_EQ(fileBuffer, fileBefore);
    EXPECT_EQ(imageBuffer, image);
  }
}

TEST_F(FirmwareLoaderTest, CustomDialogOpensInTheProgramDirectoryWithAnEmptyName) {
  dialog.FileName = "/elsewhere/old.fwu";
  SelectCustom(std::nullopt);
  SelectCustom(std::nullopt);
  loader.LoadFirmware();
  dialog.InitDir = "/chosen/by/user";
  loader.LoadFirmware();

  ASSERT_EQ(window.dialogsShown.size(), 2u);
  const FileOpenDialog& first = window.dialogsShown[0];
  EXPECT_EQ(first.InitDir, programDir.Path().string());
  EXPECT_EQ(first.FileName, "");
  EXPECT_TRUE(first.CancelError);
  EXPECT_EQ(window.dialogsShown[1].InitDir, "/chosen/by/user");
  EXPECT_EQ(loader.FileLoaded, kFalse);
}

// Only the last three characters count; each name is tried after the previous one.
TEST_F(FirmwareLoaderTest, CustomNameEndingTable) {
  const std::pair<const char*, Flag16> cases[] = {{"image.fwu", kTrue},
                                                  {"image.fwu.bak", kFalse},
                                                  {"IMAGE.FWU", kTrue},
                                                  {"image.fw", kFalse},
                                                  {"imagefwu", kTrue}};
  for (const auto& [name, loaded] : cases) {
    const auto path = workDir / name;
    test::WriteFirmware(path, {.version = 0x20});
    SelectCustom(path.string());
    loader.LoadFirmware();
    EXPECT_EQ(loader.FileLoaded, loaded) << name;
    EXPECT_EQ(loader.HeaderValid, loaded) << name;
  }
}

}  // namespace
}  // namespace tlx
