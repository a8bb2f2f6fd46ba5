#include "image/firmware_loader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "fake_process.h"
#include "firmware_files.h"
#include "image/firmware_image.h"
#include "recording_window.h"

namespace tlx {
namespace {

using test::ImageHeader;

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
  std::vector<std::uint8_t> imageBuffer = std::vector<std::uint8_t>(kImageSize, 0xDD);
  FirmwareLoader loader{window, process, dialog, fileBuffer, imageBuffer};
};

TEST_F(FirmwareLoaderTest, DefaultReadsTheWorkingDirectoryNotTheProgramDirectory) {
  const auto image = test::WriteFirmware(workDir / "TLX.fwu", {.version = 0x20});
  test::WriteFirmware(programDir / "TLX.fwu", {.version = 0x31});
  loader.LoadFirmware();
  EXPECT_EQ(loader.FileLoaded, kTrue);
  EXPECT_EQ(loader.HeaderValid, kTrue);
  EXPECT_EQ(loader.ImageMajor, 2);
  EXPECT_EQ(loader.ImageMinor, 0);
  EXPECT_EQ(imageBuffer, image);
  EXPECT_TRUE(window.dialogsShown.empty());
}

// A short file counts as unreadable: half of it over the previous file's bytes would decode
// into a mix of two images.
TEST_F(FirmwareLoaderTest, NothingReadLeavesBuffersAndVersionAsTheyWere) {
  const auto image = test::WriteFirmware(workDir / "TLX.fwu", {.version = 0x25});
  loader.LoadFirmware();
  const auto fileBefore = fileBuffer;

  struct Case {
    const char* name;
    void (*arrange)(const std::filesystem::path& workDir);
  };
  const Case cases[] = {
      {"missing",
       [](const std::filesystem::path& dir) { std::filesystem::remove(dir / "TLX.fwu"); }},
      {"a folder",
       [](const std::filesystem::path& dir) {
         std::filesystem::create_directory(dir / "TLX.fwu");
       }},
      {"one byte short",
       [](const std::filesystem::path& dir) {
         std::filesystem::remove(dir / "TLX.fwu");
         test::WriteBytes(dir / "TLX.fwu", std::vector<std::uint8_t>(kContainerSize - 1, 0x41));
       }},
      {"empty",
       [](const std::filesystem::path& dir) {
         std::filesystem::remove_all(dir / "TLX.fwu");
         test::WriteBytes(dir / "TLX.fwu", {});
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.arrange(workDir.Path());
    loader.LoadFirmware();
    EXPECT_EQ(loader.FileLoaded, kFalse);
    EXPECT_EQ(loader.HeaderValid, kFalse);
    EXPECT_EQ(loader.ImageMajor, 2);
    EXPECT_EQ(loader.ImageMinor, 5);
    EXPECT_EQ(fileBuffer, fileBefore);
    EXPECT_EQ(imageBuffer, image);
  }
}

TEST_F(FirmwareLoaderTest, LongerFileIsAcceptedAndOnlyItsFirstContainerUsed) {
  const auto image = test::MakeImage({.version = 0x21});
  auto bytes = test::EncodeImage(image);
  bytes.insert(bytes.end(), 5000, 0x7F);
  test::WriteBytes(workDir / "TLX.fwu", bytes);
  loader.LoadFirmware();
  EXPECT_EQ(loader.FileLoaded, kTrue);
  EXPECT_EQ(loader.HeaderValid, kTrue);
  EXPECT_EQ(imageBuffer, image);
}

struct HeaderCase {
  ImageHeader header;
  Flag16 headerValid;
  std::uint8_t major;  // 9 is the value before the load: a foreign signature leaves it
  std::uint8_t minor;
};

class HeaderOutcomeTest : public FirmwareLoaderTest,
                          public ::testing::WithParamInterface<HeaderCase> {};

TEST_P(HeaderOutcomeTest, FlagsAndVersionPairFollowTheHeader) {
  loader.ImageMajor = 9;
  loader.ImageMinor = 9;
  test::WriteFirmware(workDir / "TLX.fwu", GetParam().header);
  loader.LoadFirmware();
  EXPECT_EQ(loader.FileLoaded, kTrue);
  EXPECT_EQ(loader.HeaderValid, GetParam().headerValid);
  EXPECT_EQ(loader.ImageMajor, GetParam().major);
  EXPECT_EQ(loader.ImageMinor, GetParam().minor);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, HeaderOutcomeTest,
    ::testing::Values(HeaderCase{{.version = 0x00}, kTrue, 0, 0},
                      HeaderCase{{.version = 0xFC}, kTrue, 15, 12},
                      HeaderCase{{.version = 0x12, .byte4 = 1}, kFalse, 1, 2},
                      HeaderCase{{.version = 0x12, .signature = {'f', 'w'}}, kFalse, 9, 9},
                      HeaderCase{{.version = 0x12, .signature = {'W', 'F'}}, kFalse, 9, 9}));

TEST_F(FirmwareLoaderTest, CustomDialogOpensInTheProgramDirectoryWithAnEmptyName) {
  dialog.FileName = "/elsewhere/old.fwu";
  SelectCustom(std::nullopt);
  SelectCustom(std::nullopt);
  loader.LoadFirmware();
  dialog.InitDir = "/chosen/by/user";
  loader.LoadFirmware();

  ASSERT_EQ(window.dialogsShown.size(), 2u);
  const FileOpenDialog& first = window.dialogsShown[0];
  EXPECT_EQ(first.DialogTitle, "Select firmware file...");
  EXPECT_EQ(first.Filter, "Tambrelux Pro firmware (*.FWU)|*.fwu|All Files (*.*)|*.*");
  EXPECT_EQ(first.InitDir, programDir.Path().string());
  EXPECT_EQ(first.FileName, "");
  EXPECT_EQ(first.Flags, 0x81004u);
  EXPECT_TRUE(first.CancelError);
  EXPECT_EQ(window.dialogsShown[1].InitDir, "/chosen/by/user");
  EXPECT_EQ(loader.FileLoaded, kFalse);
}

struct EndingCase {
  const char* name;
  bool loaded;
};

class CustomEndingTest : public FirmwareLoaderTest,
                         public ::testing::WithParamInterface<EndingCase> {};

TEST_P(CustomEndingTest, OnlyTheLastThreeCharactersCount) {
  const auto path = workDir / GetParam().name;
  test::WriteFirmware(path, {.version = 0x20});
  SelectCustom(path.string());
  loader.LoadFirmware();
  EXPECT_EQ(loader.FileLoaded, GetParam().loaded ? kTrue : kFalse);
  EXPECT_EQ(loader.HeaderValid, GetParam().loaded ? kTrue : kFalse);
}

INSTANTIATE_TEST_SUITE_P(Names, CustomEndingTest,
                         ::testing::Values(EndingCase{"image.fwu", true},
                                           EndingCase{"IMAGE.FWU", true},
                                           EndingCase{"imagefwu", true},
                                           EndingCase{"image.fwu.bak", false},
                                           EndingCase{"image.fw", false}));

}  // namespace
}  // namespace tlx
