// The real tlx-update program as a child on a simulated board: its exit statuses, messages,
// JSON lines and the flash it leaves, Ctrl-C, the instance lock and the session log.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <functional>
#include <iterator>
#include <nlohmann/json.hpp>
#include <optional>

#include "firmware_files.h"
#include "process/instance_lock.h"

namespace tlx::cli {
namespace {

using nlohmann::json;
namespace fs = std::filesystem;

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

// Calls a watch with the child's id and its output so far, whenever more arrives.
using Watch = std::function<void(pid_t, const Outcome&)>;

std::string ReadText(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

class TlxUpdateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::signal(SIGPIPE, SIG_IGN);
    fs::create_directory(work / "run");
    setenv("XDG_RUNTIME_DIR", (work / "run").c_str(), 1);
    setenv("XDG_STATE_HOME", (work / "state").c_str(), 1);
  }

  // tlx-update --sim --dump-flash flash.bin, at the instant pace unless args name one, run in
  // the work folder. Its input stays open until it ends, as a terminal's would.
  Outcome Run(std::vector<std::string> args, const std::string& input = "",
              const Watch& watch = {}) {
    args.insert(args.begin(), {TLX_UPDATE_PROGRAM, "--sim", "--dump-flash", "flash.bin"});
    if (std::ranges::find(args, "--pace") == args.end())
      args.insert(args.end(), {"--pace", "instant"});
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    int in[2], out[2], err[2];
    if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) return {};
    const pid_t child = fork();
    if (child == 0) {
      dup2(in[0], 0), dup2(out[1], 1), dup2(err[1], 2);
      if (chdir(work.Path().c_str()) == 0) execv(argv[0], argv.data());
      _exit(127);
    }
    close(in[0]), close(out[1]), close(err[1]);
    Outcome outcome;
    pollfd streams[] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* texts[] = {&outcome.out, &outcome.err};
    // A child that ends before it reads its input leaves the pipe without a reader: the write
    // then fails with EPIPE (SIGPIPE is ignored) and the output is gathered all the same.
    [[maybe_unused]] const ssize_t given = write(in[1], input.data(), input.size());
    while ((streams[0].fd >= 0 || streams[1].fd >= 0) && poll(streams, 2, -1) > 0) {
      for (int i : {0, 1}) {
        char bytes[4096];
        const ssize_t length = streams[i].revents ? read(streams[i].fd, bytes, sizeof bytes) : 0;
        if (streams[i].revents && length <= 0) close(streams[i].fd), streams[i].fd = -1;
        if (length > 0) texts[i]->append(bytes, length);
        if (length > 0 && watch) watch(child, outcome);
      }
    }
    close(in[1]);
    int status = 0;
    waitpid(child, &status, 0);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
  }

  // With several boards, board K's flash is in flash.K.bin.
  std::vector<std::uint8_t> Flash(const std::string& name = "flash.bin") const {
    const std::string bytes = ReadText(work / name);
    return {bytes.begin(), bytes.end()};
  }
  bool FlashUntouched(const std::string& name = "flash.bin") const {
    return std::ranges::all_of(Flash(name), [](std::uint8_t byte) { return byte == 0xFF; });
  }
  fs::path LogFolder() const { return work / "state" / "tambrelux-updater"; }

  test::TempFolder work;
  std::vector<std::uint8_t> image = test::WriteFirmware(work / "TLX.fwu", {.version = 0x13});
};

// Flash bytes 2,048 to 4,095 are written only for boards on firmware 1.1 or older.
TEST_F(TlxUpdateTest, FlashesABoardOnFirmware12WithJsonLines) {
  const Outcome run = Run({"--yes", "--json", "--firmware", "1.2"});
  EXPECT_EQ(run.status, 0) << run.err;
  std::vector<json> lines;
  std::istringstream out(run.out);
  for (std::string line; std::getline(out, line);) lines.push_back(json::parse(line));
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), (json{{"event", "result"}, {"exit", 0}, {"text", "Flash Complete!"}}));
  EXPECT_EQ(std::ranges::count(lines, "result", [](auto& line) { return line["event"]; }), 1);
  EXPECT_EQ(std::ranges::count(lines, "Firmware: v1.2  -  Upgrading to: v1.3",
                               [](auto& line) { return line.value("text", ""); }),
            1);
  std::vector<std::uint8_t> expected(image.begin() + 8, image.end());
  std::fill(expected.begin() + 2048, expected.begin() + 4096, 0xFF);
  EXPECT_EQ(Flash(), expected);
}

TEST_F(TlxUpdateTest, StuckByteInStep1IsAVerifyFailureWhoseDetailsAreLogged) {
  const Outcome run = Run({"--yes", "--stuck-byte", "40000"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("Verify Failure!: Step 1 - Device verify error!  Data is corrupted!  "
                         "Re-try update!\n"),
            std::string::npos);
  char details[64];
  std::snprintf(details, sizeof details, "expected 0x%02x, read 0x%02x", image[8 + 40000],
                image[8 + 40000] ^ 1);
  const std::string log = ReadText(LogFolder() / "updater.log");
  EXPECT_NE(log.find("differs first at flash address 0x4e20"), std::string::npos) << log;
  EXPECT_NE(log.find(details), std::string::npos) << log;
}

TEST_F(TlxUpdateTest, RefusalsSayWhyAndWriteNothing) {
  test::WriteFirmware(work / "bad.fwu", {.signature = {'X', 'W'}});
  test::WriteFirmware(work / "old.fwu", {.version = 0x11});
  fs::copy_file(work / "TLX.fwu", work / "TLX.fwu.bak");
  struct Refusal {
    std::vector<std::string> args;
    int status;
    std::string message;
  };
  const Refusal refusals[] = {
      {{"--unplug-at", "1"}, 3, "USB Error!: Tambrelux Pro hardware not found!"},
      {{"--hardware", "0.0"}, 3, "Tambrelux Pro Updater: Tambrelux Not in update mode! "},
      {{"--fault", "unplug@7"}, 3, "USB Error: USB Connection Failure!"},
      {{"absent.fwu"}, 3, "Unable to update!: Invalid or missing firmware file!"},
      {{"TLX.fwu.bak"}, 3, "Unable to update!: Invalid or missing firmware file!"},
      {{"bad.fwu"}, 3, "Device not supported!: Device not currently supported for upgrading!"},
      {{"old.fwu"}, 3, "Firmware is too old to update! Contact support@tambrelux.example!"},
      {{"--pace", "fast"}, 2, R"(tlx-update: --pace takes instant or realistic, not "fast"; see)"},
      {{}, 5, "Abort Flash: nothing was written."},
  };
  for (const Refusal& refusal : refusals) {
    fs::remove(work / "flash.bin");
    const Outcome run = Run(refusal.args, "n\n");
    EXPECT_EQ(run.status, refusal.status) << refusal.message;
    EXPECT_NE(run.err.find(refusal.message), std::string::npos) << run.err;
    EXPECT_TRUE(FlashUntouched()) << refusal.message;
  }
}

TEST_F(TlxUpdateTest, CtrlCIsRefusedOnceDuringTheUpdateAndStopsItBefore) {
  int sent = 0;
  const Watch whileFlashing = [&](pid_t child, const Outcome& so) {
    if (sent == 0 && so.out.find("Progress: ") != std::string::npos) kill(child, SIGINT), ++sent;
    if (sent == 1 && so.out.find("Progress: 50%") != std::string::npos)
      kill(child, SIGTERM), ++sent;
  };
  for (const std::vector<std::string>& boards :
       {std::vector<std::string>{}, std::vector<std::string>{"--boards", "2", "--all"}}) {
    sent = 0;
    std::vector<std::string> args{"--yes", "--pace", "realistic"};
    args.insert(args.end(), boards.begin(), boards.end());
    const Outcome during = Run(args, "", whileFlashing);
    EXPECT_EQ(during.status, 0) << during.err;
    EXPECT_EQ(sent, 2);
    EXPECT_EQ(Count(during.err, "it goes on."), 1u) << during.err;
    EXPECT_NE(during.out.find("Flash Complete!"), std::string::npos);
  }

  const Watch atPrompt = [](pid_t child, const Outcome& so) {
    if (so.err.ends_with("Flash Device? [y/N] ")) kill(child, SIGINT);
  };
  const Outcome before = Run({"--trace", "trace.jsonl"}, "", atPrompt);
  EXPECT_EQ(before.status, 5);
  EXPECT_TRUE(FlashUntouched());
  EXPECT_TRUE(ReadText(work / "trace.jsonl").ends_with("{\"call\":\"FT_Close\",\"status\":0}\n"));
}

// The holder is the simulator window program, which shares tlx-update --sim's lock.
TEST_F(TlxUpdateTest, AnotherHolderOfTheLockIsNamedAndACrashedOneBlocksNothing) {
  auto holder =
      std::make_optional<process::InstanceLock>(work / "run" / "tambrelux-updater-sim.lock");
  ASSERT_EQ(holder->Acquire("tambrelux-updater-sim"), process::LockState::Held);
  const Outcome refused = Run({"--yes"});
  EXPECT_EQ(refused.status, 4);
  EXPECT_NE(refused.err.find("Tambrelux Pro Updater: tambrelux-updater-sim already running! \n"),
            std::string::npos)
      << refused.err;
  holder.reset();
  EXPECT_EQ(Run({"--yes"}).status, 0);
}

TEST_F(TlxUpdateTest, NoRuntimeFolderAndNoLogFolderWarnAndTheUpdateGoesOn) {
  setenv("XDG_RUNTIME_DIR", (work / "TLX.fwu" / "run").c_str(), 1);
  setenv("XDG_STATE_HOME", (work / "TLX.fwu" / "state").c_str(), 1);
  const Outcome run = Run({"--yes"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Count(run.err, "warning: the instance lock"), 1u) << run.err;
  EXPECT_EQ(Count(run.err, "warning: the session log"), 1u) << run.err;
}

TEST_F(TlxUpdateTest, LogStaysBelowOneMegabyteAndKeepsOneOlderFile) {
  fs::create_directories(LogFolder());
  std::ofstream(LogFolder() / "updater.log.1") << "oldest\n";
  std::ofstream(LogFolder() / "updater.log") << std::string(1024 * 1024 - 100, 'x');
  ASSERT_EQ(Run({"--yes"}).status, 0);
  EXPECT_EQ(fs::file_size(LogFolder() / "updater.log.1"), 1024u * 1024 - 100);
  const std::string log = ReadText(LogFolder() / "updater.log");
  EXPECT_TRUE(log.starts_with("== ") && log.ends_with("result: Flash Complete!\n")) << log;
}

// Boards 1 and 2 share a serial, board 3 has none, board 4 is open in another program.
TEST_F(TlxUpdateTest, BoardsASerialCannotPickAreListedAndRefusedButTheirPortsPickThem) {
  const std::vector<std::string> bus{"--boards", "4",         "--board", "2:serial=SIM0001",
                                     "--board",  "3:serial=", "--board", "4:busy"};
  const auto with = [&](std::vector<std::string> args) {
    args.insert(args.begin(), bus.begin(), bus.end());
    return args;
  };
  const Outcome list = Run(with({"--list"}));
  EXPECT_EQ(list.status, 0);
  EXPECT_EQ(Count(list.out, "serial repeated: pick it with --port 1-"), 2u) << list.out;
  EXPECT_EQ(Count(list.out, "no serial: pick it with --port 1-3"), 1u) << list.out;
  EXPECT_EQ(Count(list.out, "open in another program"), 1u) << list.out;
  EXPECT_EQ(Count(list.out, "hardware 2.1, firmware 1.1"), 3u) << list.out;

  struct Refusal {
    std::vector<std::string> args;
    std::string sentence;
  };
  const Refusal refusals[] = {
      {{"--yes"}, "4 boards are attached (port 1-1, serial SIM0001; port 1-2, serial SIM0001; "},
      {{"--yes", "--serial", "SIM0001"},
       "serial SIM0001 is on 2 boards (port 1-1, serial SIM0001; port 1-2, serial SIM0001): "
       "pick them with --port"},
      {{"--yes", "--port", "1-3", "--port", "1-4"},
       "the board at port 1-4, serial SIM0004 is open in another program"},
  };
  for (const Refusal& refusal : refusals) {
    const Outcome run = Run(with(refusal.args));
    EXPECT_EQ(run.status, 3) << refusal.sentence;
    EXPECT_NE(run.err.find(refusal.sentence), std::string::npos) << run.err;
    for (const char* board : {"flash.1.bin", "flash.2.bin", "flash.3.bin"})
      EXPECT_TRUE(FlashUntouched(board)) << refusal.sentence;
  }
  const std::vector<std::uint8_t> expected(image.begin() + 8, image.end());
  for (const std::string port : {"1-1", "1-2", "1-3"}) {
    const Outcome run = Run(with({"--yes", "--port", port}));
    EXPECT_EQ(run.status, 0) << run.err;
    for (const std::string board : {"1", "2", "3"})
      EXPECT_EQ(Flash("flash." + board + ".bin") == expected, port.ends_with(board)) << port;
  }
}

// Eight boards, the third unplugged during its block writes: its failure is its own.
TEST_F(TlxUpdateTest, EightBoardsAtOnceReportEachBoardAndOneSummary) {
  const Outcome run =
      Run({"--boards", "8", "--board", "3:unplug-at=30", "--all", "--json", "--yes"});
  EXPECT_EQ(run.status, 1) << run.err;
  std::vector<json> lines;
  std::istringstream out(run.out);
  for (std::string line; std::getline(out, line);) lines.push_back(json::parse(line));
  ASSERT_FALSE(lines.empty());
  for (std::size_t index = 0; index + 1 < lines.size(); ++index)
    EXPECT_TRUE(lines[index]["board"]["serial"].is_string()) << lines[index];
  EXPECT_EQ(lines.back()["event"], "summary");
  EXPECT_EQ(lines.back()["complete"], 7);
  EXPECT_EQ(lines.back()["failed"], 1);
  EXPECT_EQ(lines.back()["exit"], 1);
  const std::string log = ReadText(LogFolder() / "updater.log");
  const std::vector<std::uint8_t> expected(image.begin() + 8, image.end());
  for (int board = 1; board <= 8; ++board) {
    const std::string name = "board at 1-" + std::to_string(board) + ", serial SIM000";
    EXPECT_EQ(Count(log, name), 1u) << name;
    EXPECT_EQ(Flash("flash." + std::to_string(board) + ".bin") == expected, board != 3) << board;
  }
  EXPECT_EQ(Count(log, "result: Flash Complete!"), 7u) << log;
}

}  // namespace
}  // namespace tlx::cli
