// tlx-fwu as the firmware engineer meets it: the real binary, real files, exit statuses and
// the exact sentences it prints.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <random>

#include "firmware_files.h"
#include "image/firmware_image.h"

namespace tlx {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct ToolRun {
  int exitStatus = -1;
  std::string out;
  std::string err;
};

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

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

// Runs the tool in a working folder of its own; what it prints goes beside that folder.
class FwuToolTest : public ::testing::Test {
 protected:
  FwuToolTest() { std::filesystem::create_directory(work); }

  // The arguments go to the shell as written: tests pass plain words only.
  ToolRun Run(const std::string& arguments) const {
    const std::string command = "cd '" + work.string() + "' && '" TLX_FWU_PATH "' " + arguments +
                                " >'" + (root / "out").string() + "' 2>'" +
                                (root / "err").string() + "'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(root / "out"),
            ReadText(root / "err")};
  }

  void Write(const std::string& name, const Bytes& bytes) const {
    test::WriteBytes(work / name, bytes);
  }

  Bytes Read(const std::string& name) const {
    const std::string text = ReadText(work / name);
    return {text.begin(), text.end()};
  }

  // Every entry of the working folder, temporary files included, with a file's bytes.
  std::map<std::string, Bytes> Snapshot() const {
    std::map<std::string, Bytes> entries;
    for (const auto& entry : std::filesystem::directory_iterator(work)) {
      const std::string name = entry.path().filename().string();
      entries[entry.is_directory() ? name + "/" : name] =
          entry.is_directory() ? Bytes{} : Read(name);
    }
    return entries;
  }

  test::TempFolder root;
  std::filesystem::path work = root / "work";
};

TEST_F(FwuToolTest, PackInfoAndUnpackRoundTripWithAPayloadAndAWholeImage) {
  const Bytes payload = RandomBytes(1000, 1);
  Write("payload.bin", payload);

  const ToolRun pack = Run("pack payload.bin -o fw.fwu --version 1.3 --byte2 0x07");
  ASSERT_EQ(pack.exitStatus, 0) << pack.err;
  EXPECT_EQ(pack.err, "");

  const ToolRun info = Run("info fw.fwu");
  EXPECT_EQ(info.exitStatus, 0);
  EXPECT_EQ(info.out,
            "container:  fw.fwu, 262,176 bytes\n"
            "signature:  \"FW\" (46 57)\n"
            "byte 2:     0x07\n"
            "version:    1.3 (0x13)\n"
            "length:     1,000 (00 00 03 e8)\n"
            "updater:    would accept this container\n");

  ASSERT_EQ(Run("unpack fw.fwu -o image.bin").exitStatus, 0);
  Bytes expected = {'F', 'W', 0x07, 0x13, 0x00, 0x00, 0x03, 0xE8};
  expected.insert(expected.end(), payload.begin(), payload.end());
  expected.resize(kImageSize, 0xFF);
  EXPECT_EQ(Read("image.bin"), expected);

  ASSERT_EQ(Run("unpack fw.fwu --payload -o payload.out").exitStatus, 0);
  EXPECT_EQ(Read("payload.out"), Bytes(expected.begin() + kImageHeaderSize, expected.end()));

  const Bytes image = RandomBytes(kImageSize, 2);
  Write("whole.bin", image);
  ASSERT_EQ(Run("pack --image whole.bin -o whole.fwu").exitStatus, 0);
  ASSERT_EQ(Run("unpack whole.fwu -o back.bin").exitStatus, 0);
  EXPECT_EQ(Read("back.bin"), image);
}

TEST_F(FwuToolTest, ForceReplacesAnOutputAndPackWarnsOfAContainerTheUpdaterWouldRefuse) {
  Write("payload.bin", RandomBytes(10, 4));
  Write("old.fwu", {'o', 'l', 'd'});
  const ToolRun run = Run("pack payload.bin -o old.fwu --version 1.1 --force");
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(run.err,
            "tlx-fwu: warning: the updater would refuse \"old.fwu\": version 1.1 is below 1.2.\n");
  EXPECT_EQ(Read("old.fwu").size(), kContainerSize);
  EXPECT_EQ(Snapshot().size(), 2u);
}

TEST_F(FwuToolTest, InfoSaysWhetherTheUpdaterWouldAcceptTheContainerAndWhyNot) {
  const std::string refuse = "updater:    would refuse this container:\n            - ";
  const struct {
    const char* name;
    Bytes image;
    std::size_t containerBytes;  // the container is cut or zero-padded to this size
    std::string verdict;         // the report from its "updater:" line on
  } cases[] = {
      {"Version12WithAnyByte2AndLengthTail",
       ImageWithHeader({'F', 'W', 0xEE, 0x12, 0x00, 0xFF, 0xFF, 0xFF}), kContainerSize,
       "updater:    would accept this container\n"},
      {"LongerThanAContainer", ImageWithHeader({'F', 'W', 0, 0x20, 0}), kContainerSize + 10,
       "updater:    would accept this container\n"},
      {"LowerCaseSignature", ImageWithHeader({'f', 'w', 0, 0x13, 0}), kContainerSize,
       refuse + "the signature is \"fw\" (66 77), not \"FW\"\n"},
      {"Version11", ImageWithHeader({'F', 'W', 0, 0x11, 0}), kContainerSize,
       refuse + "version 1.1 is below 1.2\n"},
      {"Version0_15", ImageWithHeader({'F', 'W', 0, 0x0F, 0}), kContainerSize,
       refuse + "version 0.15 is below 1.2\n"},
      {"Byte4OneAndEverythingElseWrong", ImageWithHeader({0x00, 'W', 0, 0x10, 0x01}), 262175,
       refuse + "the signature is \".W\" (00 57), not \"FW\"\n"
                "            - header byte 4 is 0x01, not 0\n"
                "            - version 1.0 is below 1.2\n"
                "            - the container has 262,175 bytes, fewer than the 262,176 of a whole "
                "container\n"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes container = test::EncodeImage(c.image);
    container.resize(c.containerBytes);
    Write("fw.fwu", container);
    const ToolRun info = Run("info fw.fwu");
    EXPECT_EQ(info.exitStatus, c.verdict.starts_with(refuse) ? 1 : 0);
    EXPECT_EQ(info.out.substr(info.out.find("updater:")), c.verdict);
    EXPECT_EQ(info.err, "");
  }
}

TEST_F(FwuToolTest, FailuresPrintOneSentenceExitWith2AndLeaveTheFolderAsItWas) {
  Write("payload.bin", RandomBytes(100, 6));
  Write("big.bin", Bytes(kPayloadSize + 1));
  Write("short.fwu", Bytes(kContainerSize - 1));
  Write("old.fwu", {'o', 'l', 'd'});
  std::filesystem::create_directory(work / "dir.fwu");
  const auto before = Snapshot();
  const std::string seePack = "; see \"tlx-fwu pack --help\".";
  const struct {
    const char* name;
    const char* arguments;
    std::string message;
  } cases[] = {
      {"MissingInput", "pack missing.bin -o out.fwu --version 1.2",
       "cannot read \"missing.bin\": the file does not exist."},
      {"InputIsAFolder", "info dir.fwu", "cannot read \"dir.fwu\": it is a folder, not a file."},
      {"PayloadTooLong", "pack big.bin -o out.fwu --version 1.2",
       "payload \"big.bin\" has 65,537 bytes; a payload holds at most 65,536."},
      {"ImageOfWrongSize", "pack --image payload.bin -o out.fwu",
       "image \"payload.bin\" has 100 bytes; an image has exactly 65,544."},
      {"OutputExists", "pack payload.bin -o old.fwu --version 1.2",
       "\"old.fwu\" already exists; add --force to replace it."},
      {"OutputFolderIsAFile", "pack payload.bin -o payload.bin/out.fwu --version 1.2",
       "cannot write \"payload.bin/out.fwu\": a part of its folder path is a file, not a folder."},
      {"OutputFolderMissing", "pack payload.bin -o none/out.fwu --version 1.2",
       "cannot write \"none/out.fwu\": its folder does not exist."},
      {"ForcedOverAFolder", "pack payload.bin -o dir.fwu --version 1.2 --force",
       "cannot write \"dir.fwu\": is a directory."},
      {"ShortContainer", "unpack short.fwu -o out.bin",
       "container \"short.fwu\" has 262,175 bytes; a container has 262,176."},
      {"UnknownCommand", "list",
       "unknown command \"list\"; the commands are pack, unpack and info (see \"tlx-fwu "
       "--help\")."},
      {"UnknownOption", "unpack short.fwu -o out.bin --payloads",
       "unpack: unknown option \"--payloads\"; see \"tlx-fwu unpack --help\"."},
      {"NoOutput", "pack payload.bin --version 1.2",
       "pack: the output file (-o OUT) is missing" + seePack},
      {"NoVersion", "pack payload.bin -o out.fwu",
       "pack: --version MAJOR.MINOR is missing" + seePack},
      {"MinorAbove15", "pack payload.bin -o out.fwu --version 1.16",
       "pack: --version \"1.16\" is not MAJOR.MINOR with each number 0 to 15" + seePack},
      {"Byte2AboveAByte", "pack payload.bin -o out.fwu --version 1.2 --byte2 256",
       "pack: --byte2 \"256\" is not a byte (0 to 255)" + seePack},
      {"LengthReachingByte4", "pack payload.bin -o out.fwu --version 1.2 --length 0x1000000",
       "pack: --length \"0x1000000\" is not a length of at most 16,777,215 (header byte 4 must be "
       "0)" +
           seePack},
      {"ImageWithHeaderFields", "pack --image payload.bin -o out.fwu --version 1.2",
       "pack: --image encodes a whole image as it is and takes no payload, --version, --byte2 or "
       "--length" +
           seePack}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const ToolRun run = Run(c.arguments);
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_EQ(run.err, "tlx-fwu: " + c.message + "\n");
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(Snapshot(), before);
  }
}

TEST_F(FwuToolTest, HelpPrintsTheUsageOfTheCommandAndExits0) {
  const std::pair<const char*, std::string> helps[] = {
      {"--help", "usage: tlx-fwu COMMAND"},
      {"pack --help", "usage: tlx-fwu pack"},
      {"unpack -o x --help", "usage: tlx-fwu unpack"},
      {"info --help", "usage: tlx-fwu info"}};
  for (const auto& [arguments, usage] : helps) {
    const ToolRun run = Run(arguments);
    EXPECT_EQ(run.exitStatus, 0) << arguments;
    EXPECT_EQ(run.out.substr(0, usage.size()), usage);
    EXPECT_EQ(run.err, "") << arguments;
  }
}

}  // namespace
}  // namespace tlx
