// tlx-fwu as the firmware engineer meets it: the real binary, real files, exit statuses and
// the exact sentences it prints.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

#include "image/firmware_image.h"
#include "tool_runner.h"

namespace tlx::fwu {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 generator(seed);
  Bytes bytes(size);
  std::ranges::generate(bytes, [&] { return static_cast<std::uint8_t>(generator()); });
  return bytes;
}

Bytes ImageWithHeader(std::initializer_list<std::uint8_t> header) {
  Bytes image = RandomBytes(kImageSize, 3);
  std::ranges::copy(header, image.begin());
  return image;
}

TEST(FwuToolTest, PackInfoAndUnpackRoundTrip) {
  const ToolFolder folder;
  const Bytes payload = RandomBytes(1000, 1);
  folder.Write("payload.bin", payload);

  const ToolRun pack =
      folder.Run({"pack", "payload.bin", "-o", "fw.fwu", "--version", "1.3", "--byte2", "0x07"});
  ASSERT_EQ(pack.exitStatus, 0) << pack.err;
  EXPECT_EQ(pack.err, "");
  EXPECT_EQ(folder.Read("fw.fwu").size(), kContainerSize);

  const ToolRun info = folder.Run({"info", "fw.fwu"});
  EXPECT_EQ(info.exitStatus, 0);
  EXPECT_EQ(info.out,
            "container:  fw.fwu, 262,176 bytes\n"
            "signature:  \"FW\" (46 57)\n"
            "byte 2:     0x07\n"
            "version:    1.3 (0x13)\n"
            "length:     1,000 (00 00 03 e8)\n"
            "updater:    would accept this container\n");

  ASSERT_EQ(folder.Run({"unpack", "fw.fwu", "-o", "image.bin"}).exitStatus, 0);
  Bytes expected = {'F', 'W', 0x07, 0x13, 0x00, 0x00, 0x03, 0xE8};
  expected.insert(expected.end(), payload.begin(), payload.end());
  expected.resize(kImageSize, 0xFF);
  EXPECT_EQ(folder.Read("image.bin"), expected);

  ASSERT_EQ(folder.Run({"unpack", "fw.fwu", "--payload", "-o", "payload.out"}).exitStatus, 0);
  EXPECT_EQ(folder.Read("payload.out"), Bytes(expected.begin() + kImageHeaderSize, expected.end()));
}

TEST(FwuToolTest, PackImageEncodesTheWholeImageAsItIs) {
  const ToolFolder folder;
  const Bytes image = RandomBytes(kImageSize, 2);
  folder.Write("image.bin", image);
  ASSERT_EQ(folder.Run({"pack", "--image", "image.bin", "-o", "fw.fwu"}).exitStatus, 0);
  ASSERT_EQ(folder.Run({"unpack", "fw.fwu", "-o", "back.bin"}).exitStatus, 0);
  EXPECT_EQ(folder.Read("back.bin"), image);
}

TEST(FwuToolTest, ForceReplacesAnExistingOutput) {
  const ToolFolder folder;
  folder.Write("payload.bin", RandomBytes(10, 4));
  folder.Write("fw.fwu", {'o', 'l', 'd'});
  const ToolRun run =
      folder.Run({"pack", "payload.bin", "-o", "fw.fwu", "--version", "2.0", "--force"});
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(folder.Read("fw.fwu").size(), kContainerSize);
  EXPECT_EQ(folder.Names(), (std::set<std::string>{"payload.bin", "fw.fwu"}));
}

TEST(FwuToolTest, PackWarnsButWritesAContainerTheUpdaterWouldRefuse) {
  const ToolFolder folder;
  folder.Write("payload.bin", RandomBytes(10, 5));
  const ToolRun run = folder.Run({"pack", "payload.bin", "-o", "old.fwu", "--version", "1.1"});
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(run.err,
            "tlx-fwu: warning: the updater would refuse \"old.fwu\": version 1.1 is below 1.2.\n");
  EXPECT_EQ(folder.Read("old.fwu").size(), kContainerSize);
}

struct InfoCase {
  const char* name;
  Bytes image;
  std::size_t containerBytes;  // the container is cut to this size
  int exitStatus;
  std::string verdict;  // the report from its "updater:" line on
};

void PrintTo(const InfoCase& c, std::ostream* os) {
  *os << c.name;
}

class FwuInfoTest : public ::testing::TestWithParam<InfoCase> {};

TEST_P(FwuInfoTest, SaysWhetherTheUpdaterWouldAcceptTheContainerAndWhyNot) {
  const InfoCase& c = GetParam();
  const ToolFolder folder;
  folder.Write("image.bin", c.image);
  ASSERT_EQ(folder.Run({"pack", "--image", "image.bin", "-o", "fw.fwu"}).exitStatus, 0);
  Bytes container = folder.Read("fw.fwu");
  container.resize(c.containerBytes);
  folder.Write("fw.fwu", container);

  const ToolRun info = folder.Run({"info", "fw.fwu"});
  EXPECT_EQ(info.exitStatus, c.exitStatus);
  EXPECT_EQ(info.out.substr(info.out.find("updater:")), c.verdict);
  EXPECT_EQ(info.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    Containers, FwuInfoTest,
    ::testing::Values(
        InfoCase{"Version12WithAnyByte2AndLengthTail",
                 ImageWithHeader({'F', 'W', 0xEE, 0x12, 0x00, 0xFF, 0xFF, 0xFF}), kContainerSize, 0,
                 "updater:    would accept this container\n"},
        InfoCase{"LongerThanAContainer", ImageWithHeader({'F', 'W', 0, 0x20, 0}), kContainerSize, 0,
                 "updater:    would accept this container\n"},
        InfoCase{"LowerCaseSignature", ImageWithHeader({'f', 'w', 0, 0x13, 0}), kContainerSize, 1,
                 "updater:    would refuse this container:\n"
                 "            - the signature is \"fw\" (66 77), not \"FW\"\n"},
        InfoCase{"Byte4One", ImageWithHeader({'F', 'W', 0, 0x13, 0x01}), kContainerSize, 1,
                 "updater:    would refuse this container:\n"
                 "            - header byte 4 is 0x01, not 0\n"},
        InfoCase{"Version11", ImageWithHeader({'F', 'W', 0, 0x11, 0}), kContainerSize, 1,
                 "updater:    would refuse this container:\n"
                 "            - version 1.1 is below 1.2\n"},
        InfoCase{"Version0_15", ImageWithHeader({'F', 'W', 0, 0x0F, 0}), kContainerSize, 1,
                 "updater:    would refuse this container:\n"
                 "            - version 0.15 is below 1.2\n"},
        InfoCase{"ShortContainer", ImageWithHeader({'F', 'W', 0, 0x13, 0}), 1000, 1,
                 "updater:    would refuse this container:\n"
                 "            - the container has 1,000 bytes, fewer than the 262,176 of a "
                 "whole container\n"},
        InfoCase{"EverythingWrong", ImageWithHeader({0x00, 'W', 0, 0x10, 0x80}), 262175, 1,
                 "updater:    would refuse this container:\n"
                 "            - the signature is \".W\" (00 57), not \"FW\"\n"
                 "            - header byte 4 is 0x80, not 0\n"
                 "            - version 1.0 is below 1.2\n"
                 "            - the container has 262,175 bytes, fewer than the 262,176 of a "
                 "whole container\n"}),
    [](const auto& info) { return std::string(info.param.name); });

struct FailureCase {
  const char* name;
  std::function<void(const ToolFolder&)> prepare;
  std::vector<std::string> arguments;
  std::string message;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
  *os << c.name;
}

void WritePayload(const ToolFolder& folder) {
  folder.Write("payload.bin", RandomBytes(100, 6));
}

class FwuFailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(FwuFailureTest, PrintsOneSentenceExitsWith2AndLeavesNoFileBehind) {
  const FailureCase& c = GetParam();
  const ToolFolder folder;
  c.prepare(folder);
  const std::set<std::string> before = folder.Names();
  const bool outputWasAFile = std::filesystem::is_regular_file(folder.PathOf("out.fwu"));
  const Bytes outputBefore = outputWasAFile ? folder.Read("out.fwu") : Bytes{};

  const ToolRun run = folder.Run(c.arguments);
  EXPECT_EQ(run.exitStatus, 2);
  EXPECT_EQ(run.err, c.message + "\n");
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(folder.Names(), before);
  if (outputWasAFile) {
    EXPECT_EQ(folder.Read("out.fwu"), outputBefore);
  }
}

const auto kNothing = [](const ToolFolder&) {};

INSTANTIATE_TEST_SUITE_P(
    Failures, FwuFailureTest,
    ::testing::Values(
        FailureCase{"MissingInput",
                    kNothing,
                    {"pack", "missing.bin", "-o", "out.fwu", "--version", "1.2"},
                    "tlx-fwu: cannot read \"missing.bin\": the file does not exist."},
        FailureCase{
            "InputIsAFolder",
            [](const ToolFolder& f) { std::filesystem::create_directory(f.PathOf("in.fwu")); },
            {"info", "in.fwu"},
            "tlx-fwu: cannot read \"in.fwu\": it is a folder, not a file."},
        FailureCase{"PayloadTooLong",
                    [](const ToolFolder& f) { f.Write("big.bin", Bytes(kPayloadSize + 1)); },
                    {"pack", "big.bin", "-o", "out.fwu", "--version", "1.2"},
                    "tlx-fwu: payload \"big.bin\" has 65,537 bytes; a payload holds at most "
                    "65,536."},
        FailureCase{"ImageOfWrongSize",
                    WritePayload,
                    {"pack", "--image", "payload.bin", "-o", "out.fwu"},
                    "tlx-fwu: image \"payload.bin\" has 100 bytes; an image has exactly 65,544."},
        FailureCase{"OutputExists",
                    [](const ToolFolder& f) {
                      WritePayload(f);
                      f.Write("out.fwu", {'o', 'l', 'd'});
                    },
                    {"pack", "payload.bin", "-o", "out.fwu", "--version", "1.2"},
                    "tlx-fwu: \"out.fwu\" already exists; add --force to replace it."},
        FailureCase{"OutputFolderIsAFile",
                    WritePayload,
                    {"pack", "payload.bin", "-o", "payload.bin/out.fwu", "--version", "1.2"},
                    "tlx-fwu: cannot write \"payload.bin/out.fwu\": a part of its folder path is "
                    "a file, not a folder."},
        FailureCase{"OutputFolderMissing",
                    WritePayload,
                    {"pack", "payload.bin", "-o", "none/out.fwu", "--version", "1.2"},
                    "tlx-fwu: cannot write \"none/out.fwu\": its folder does not exist."},
        FailureCase{"ForcedOverAFolder",
                    [](const ToolFolder& f) {
                      WritePayload(f);
                      std::filesystem::create_directory(f.PathOf("out.fwu"));
                    },
                    {"pack", "payload.bin", "-o", "out.fwu", "--version", "1.2", "--force"},
                    "tlx-fwu: cannot write \"out.fwu\": is a directory."},
        FailureCase{"ShortContainer",
                    [](const ToolFolder& f) { f.Write("short.fwu", Bytes(kContainerSize - 1)); },
                    {"unpack", "short.fwu", "-o", "out.bin"},
                    "tlx-fwu: container \"short.fwu\" has 262,175 bytes; a container has "
                    "262,176."},
        FailureCase{
            "NoCommand", kNothing, {}, "tlx-fwu: no command given; see \"tlx-fwu --help\"."},
        FailureCase{"UnknownCommand",
                    kNothing,
                    {"list"},
                    "tlx-fwu: unknown command \"list\"; the commands are pack, unpack and info "
                    "(see \"tlx-fwu --help\")."},
        FailureCase{"UnknownOption",
                    WritePayload,
                    {"unpack", "in.fwu", "-o", "out.bin", "--payloads"},
                    "tlx-fwu: unpack: unknown option \"--payloads\"; see \"tlx-fwu unpack "
                    "--help\"."},
        FailureCase{"NoOutput",
                    WritePayload,
                    {"pack", "payload.bin", "--version", "1.2"},
                    "tlx-fwu: pack: the output file (-o OUT) is missing; see \"tlx-fwu pack "
                    "--help\"."},
        FailureCase{"NoVersion",
                    WritePayload,
                    {"pack", "payload.bin", "-o", "out.fwu"},
                    "tlx-fwu: pack: --version MAJOR.MINOR is missing; see \"tlx-fwu pack "
                    "--help\"."},
        FailureCase{"MinorAbove15",
                    WritePayload,
                    {"pack", "payload.bin", "-o", "out.fwu", "--version", "1.16"},
                    "tlx-fwu: pack: --version \"1.16\" is not MAJOR.MINOR with each number 0 to "
                    "15; see \"tlx-fwu pack --help\"."},
        FailureCase{"Byte2AboveAByte",
                    WritePayload,
                    {"pack", "payload.bin", "-o", "out.fwu", "--version", "1.2", "--byte2", "256"},
                    "tlx-fwu: pack: --byte2 \"256\" is not a byte (0 to 255); see \"tlx-fwu pack "
                    "--help\"."},
        FailureCase{
            "LengthReachingByte4",
            WritePayload,
            {"pack", "payload.bin", "-o", "out.fwu", "--version", "1.2", "--length", "0x1000000"},
            "tlx-fwu: pack: --length \"0x1000000\" is not a length of at most 16,777,215 "
            "(header byte 4 must be 0); see \"tlx-fwu pack --help\"."},
        FailureCase{"ImageWithHeaderFields",
                    WritePayload,
                    {"pack", "--image", "payload.bin", "-o", "out.fwu", "--version", "1.2"},
                    "tlx-fwu: pack: --image encodes a whole image as it is and takes no payload, "
                    "--version, --byte2 or --length; see \"tlx-fwu pack --help\"."}),
    [](const auto& info) { return std::string(info.param.name); });

class FwuHelpTest : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(FwuHelpTest, PrintsTheUsageOfTheCommandAndExits0) {
  const ToolFolder folder;
  const std::vector<std::string>& arguments = GetParam();
  const ToolRun run = folder.Run(arguments);
  EXPECT_EQ(run.exitStatus, 0);
  const std::string usage = "usage: tlx-fwu " + (arguments.size() > 1 ? arguments[0] : "COMMAND");
  EXPECT_EQ(run.out.substr(0, usage.size()), usage);
  EXPECT_EQ(run.err, "");
}

INSTANTIATE_TEST_SUITE_P(Commands, FwuHelpTest,
                         ::testing::Values(std::vector<std::string>{"--help"},
                                           std::vector<std::string>{"pack", "--help"},
                                           std::vector<std::string>{"unpack", "-o", "x", "--help"},
                                           std::vector<std::string>{"info", "--help"}));

}  // namespace
}  // namespace tlx::fwu
