// tlx-fwu as the firmware engineer meets it: the real binary, real files, exit statuses and
// the exact sentences it prints.
#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <fstream>
#include <future>
#include <map>

#include "firmware_files.h"
#include "image/firmware_image.h"

namespace tlx {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct ToolRun {
  int exitStatus;
  std::string out, err;
};

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Runs the tool in a working folder of its own; what it prints goes beside that folder.
class FwuToolTest : public ::testing::Test {
 protected:
  FwuToolTest() { std::filesystem::create_directory(work); }

  // The arguments go to the shell as written: tests pass plain words only. A tool that hangs
  // is stopped after 20 seconds and exits with 124.
  ToolRun Run(const std::string& arguments) const {
    const std::string command = "cd '" + work.string() + "' && timeout 20 '" TLX_FWU_PATH "' " +
                                arguments + " >../out 2>../err";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(root / "out"),
            ReadText(root / "err")};
  }

  // Every entry of the working folder, temporary files included, with a regular file's bytes.
  std::map<std::string, std::string> Snapshot() const {
    std::map<std::string, std::string> entries;
    for (const auto& entry : std::filesystem::directory_iterator(work)) {
      entries[entry.path().filename()] = entry.is_regular_file() ? ReadText(entry.path()) : "";
    }
    return entries;
  }

  test::TempFolder root;
  std::filesystem::path work = root / "work";
};

TEST_F(FwuToolTest, PackInfoUnpackAndHelpWorkAndForceKeepsTheReplacedFilesMode) {
  test::WriteBytes(work / "p.bin", Bytes(1000, 'Z'));
  ASSERT_EQ(Run("pack p.bin -o fw.fwu --version 1.2 --byte2 010").err, "");
  std::ofstream(work / "fw.fwu", std::ios::app) << "ten bytes!";
  const ToolRun info = Run("info fw.fwu");
  EXPECT_EQ(info.exitStatus, 0);
  EXPECT_EQ(info.out,
            "container:  fw.fwu, 262,186 bytes (the updater reads the first 262,176)\n"
            "signature:  \"FW\" (46 57)\nbyte 2:     0x0a\nversion:    1.2 (0x12)\n"
            "length:     1,000 (00 00 03 e8)\nupdater:    would accept this container\n");
  EXPECT_EQ(Run("unpack fw.fwu --payload -o p.out").err,
            "tlx-fwu: note: \"fw.fwu\" has 262,186 bytes; only the first 262,176 were decoded, "
            "as the updater does.\n");
  EXPECT_EQ(ReadText(work / "p.out"),
            std::string(1000, 'Z') + std::string(kFlashBytes - 1000, '\xFF'));

  test::WriteBytes(work / "image.bin", test::MakeImage({.version = 0x11}));
  ::chmod((work / "fw.fwu").c_str(), 0640);
  const ToolRun repack = Run("pack --image image.bin -o fw.fwu --force");
  EXPECT_EQ(repack.exitStatus, 0);
  EXPECT_EQ(repack.err,
            "tlx-fwu: warning: the updater would refuse \"fw.fwu\": version 1.1 is below 1.2.\n");
  EXPECT_EQ(std::filesystem::status(work / "fw.fwu").permissions(), std::filesystem::perms(0640));
  ASSERT_EQ(Run("unpack fw.fwu -o image.out").exitStatus, 0);
  EXPECT_EQ(ReadText(work / "image.out"), ReadText(work / "image.bin"));

  const ToolRun help = Run("unpack -o x --help");
  EXPECT_EQ(help.exitStatus, 0);
  EXPECT_NE(help.out.find("Usage: tlx-fwu unpack [OPTIONS] IN.fwu"), std::string::npos);
  EXPECT_EQ(help.err, "");
}

TEST_F(FwuToolTest, InfoNamesEveryReasonWhyTheUpdaterWouldRefuseAContainer) {
  Bytes container = test::EncodeImage(test::MakeImage({0x10, 1, {0, 'W'}}));
  container.pop_back();
  test::WriteBytes(work / "refused.fwu", container);
  const ToolRun refused = Run("info refused.fwu");
  EXPECT_EQ(refused.exitStatus, 1);
  EXPECT_EQ(refused.out.substr(refused.out.find("updater:")),
            "updater:    would refuse this container:\n"
            "            - the signature is \".W\" (00 57), not \"FW\"\n"
            "            - header byte 4 is 0x01, not 0\n            - version 1.0 is below 1.2\n"
            "            - the container has 262,175 bytes, fewer than the 262,176 of a whole "
            "container\n");
}

TEST_F(FwuToolTest, FailuresPrintOneSentenceExitWith2AndLeaveTheFolderAsItWas) {
  test::WriteBytes(work / "p.bin", Bytes(100));
  test::WriteBytes(work / "big.bin", Bytes(kFlashBytes + 1));
  test::WriteBytes(work / "short.fwu", Bytes(kContainerSize - 1));
  test::WriteBytes(work / "old.fwu", {'o', 'l', 'd'});
  std::filesystem::create_directory(work / "dir");
  ::mkfifo((work / "pipe").c_str(), 0644);
  const auto before = Snapshot();
  const std::string pack = "pack p.bin -o o.fwu ", seePack = "; see \"tlx-fwu pack --help\".";
  const std::pair<std::string, std::string> cases[] = {
      {"info none", "cannot read \"none\": the file does not exist."},
      {"info dir", "cannot read \"dir\": it is a folder, not a file."},
      {"info pipe", "cannot read \"pipe\": it is not a regular file."},
      {"pack big.bin -o o.fwu --version 1.2",
       "payload \"big.bin\" has 65,537 bytes; a payload holds at most 65,536."},
      {"pack --image p.bin -o o.fwu",
       "image \"p.bin\" has 100 bytes; an image has exactly 65,544."},
      {"unpack short.fwu -o o",
       "container \"short.fwu\" has 262,175 bytes; a container has 262,176."},
      {"pack p.bin -o old.fwu --version 1.2",
       "\"old.fwu\" already exists; add --force to replace it."},
      {"pack p.bin -o p.bin/o --version 1.2",
       "cannot write \"p.bin/o\": a part of its folder path is a file, not a folder."},
      {"pack p.bin -o none/o --version 1.2", "cannot write \"none/o\": its folder does not exist."},
      {"list",
       "The following argument was not expected: list; the commands are pack, unpack and "
       "info (see \"tlx-fwu --help\")."},
      {pack, "pack: --version MAJOR.MINOR is required" + seePack},
      {pack + "--version 1.16",
       "pack: --version: \"1.16\" is not MAJOR.MINOR with each number 0 to 15" + seePack},
      {pack + "--version 1.2 --byte2 256",
       "pack: --byte2: \"256\" is not a byte (0 to 255)" + seePack},
      {pack + "--version 1.2 --length 0x1000000",
       "pack: --length: \"0x1000000\" is not a length of "
       "at most 16,777,215 (header byte 4 must be 0)" +
           seePack},
      {"pack --image p.bin -o o.fwu --version 1.2", "pack: --version excludes --image" + seePack}};
  for (const auto& [arguments, message] : cases) {
    const ToolRun run = Run(arguments);
    EXPECT_EQ(run.exitStatus, 2) << arguments;
    EXPECT_EQ(run.err, "tlx-fwu: " + message + "\n");
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(Snapshot(), before) << arguments;
  }
}

// The test creates the output as soon as the tool has created its temporary file.
TEST_F(FwuToolTest, AnOutputThatAppearsWhileTheToolWritesIsNotReplaced) {
  test::WriteBytes(work / "p.bin", Bytes(100));
  const int events = ::inotify_init1(IN_CLOEXEC);
  ::inotify_add_watch(events, work.c_str(), IN_CREATE);
  auto run =
      std::async(std::launch::async, [&] { return Run("pack p.bin -o o.fwu --version 1.2"); });
  pollfd created{events, POLLIN, 0};
  ASSERT_EQ(::poll(&created, 1, 20000), 1);
  const int output = ::open((work / "o.fwu").c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  const ToolRun result = run.get();
  ::close(events);
  if (output < 0) GTEST_SKIP() << "the tool had finished before the output could be created";
  ::close(output);
  EXPECT_EQ(result.exitStatus, 2);
  EXPECT_EQ(result.err, "tlx-fwu: \"o.fwu\" already exists; add --force to replace it.\n");
  EXPECT_EQ(Snapshot(),
            (std::map<std::string, std::string>{{"p.bin", std::string(100, '\0')}, {"o.fwu", ""}}));
}

}  // namespace
}  // namespace tlx
