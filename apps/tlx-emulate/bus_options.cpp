#include "bus_options.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <memory>
#include <string_view>
#include <variant>

#include "common/number_text.h"
#include "sim/board_identity.h"

namespace tlx::emulate_program {
namespace {

constexpr char kBoardGroup[] = "Boards";
constexpr double kMaxUnplugSeconds = 86400;

using Apply = std::function<void(BoardPlan&)>;

// One board's setting, checked as typed and applied once the boards exist.
struct BoardSetting {
  int board;
  std::string text;  // as typed, for the message if there is no such board
  Apply apply;
};

struct Typed {
  int boards = 1;
  std::optional<std::uint8_t> hardware;
  std::optional<std::uint8_t> firmware;
  std::vector<BoardSetting> settings;
};

CLI::ValidationError Refusal(const std::string& option, const std::string& expected,
                             std::string_view text) {
  return CLI::ValidationError(option + " takes " + expected + ", not \"" + std::string(text) +
                              "\"");
}

std::string DefaultSerial(int board) {
  char serial[16];
  std::snprintf(serial, sizeof serial, "EMU%04d", board);
  return serial;
}

std::optional<std::chrono::milliseconds> ParseSeconds(std::string_view text) {
  double seconds = 0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), seconds, std::chars_format::fixed);
  if (error != std::errc() || end != text.data() + text.size() || !(seconds >= 0) ||
      seconds > kMaxUnplugSeconds)
    return std::nullopt;
  return std::chrono::milliseconds(std::lround(seconds * 1000));
}

// "K:REST" with K a board number; REST is left to the caller.
std::optional<std::pair<int, std::string_view>> SplitBoard(std::string_view text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const auto board = ParseWholeNumber(text.substr(0, colon));
  if (!board || *board < 1 || *board > sim::kMaxBoards) return std::nullopt;
  return std::pair{static_cast<int>(*board), text.substr(colon + 1)};
}

// One SETTING=VALUE of --board: what it does to its board, or why it is refused.
std::variant<Apply, std::string> ReadBoardSetting(std::string_view setting) {
  const std::size_t equals = setting.find('=');
  const std::string name(setting.substr(0, equals));
  const std::string value(equals == std::string_view::npos ? "" : setting.substr(equals + 1));
  if (name != "serial" && name != "firmware" && name != "hardware")
    return "there is no board setting \"" + name +
           "\"; the settings are serial, firmware and hardware";
  if (equals == std::string_view::npos) return name + " needs a value after \"=\"";
  if (name == "serial") {
    if (!sim::IsSerial(value))
      return "serial takes up to 15 printable characters without blanks, not \"" + value + "\"";
    return [value](BoardPlan& plan) { plan.spec.serial = value; };
  }
  const auto version = ParseVersionByte(value);
  if (!version)
    return name + " takes a version X.Y with X and Y from 0 to 15, not \"" + value + "\"";
  if (name == "hardware") return [v = *version](BoardPlan& plan) { plan.spec.hardwareByte = v; };
  return [v = *version](BoardPlan& plan) { plan.spec.firmwareByte = v; };
}

void AddBoard(Typed& typed, const std::string& text) {
  const auto split = SplitBoard(text);
  if (!split) throw Refusal("--board", "K:SETTING with a board number K from 1 to 32", text);
  auto setting = ReadBoardSetting(split->second);
  if (const auto* error = std::get_if<std::string>(&setting))
    throw CLI::ValidationError("--board: board " + std::to_string(split->first) + ": " + *error);
  typed.settings.push_back({split->first, "--board " + text, std::get<Apply>(std::move(setting))});
}

void AddUnplug(Typed& typed, const std::string& text) {
  const std::string expected = "K:after=SECONDS or K:write=N with K from 1 to 32";
  const auto split = SplitBoard(text);
  if (!split) throw Refusal("--unplug", expected, text);
  const std::string_view rest = split->second;
  Apply apply;
  if (rest.starts_with("after=")) {
    if (const auto after = ParseSeconds(rest.substr(6)))
      apply = [after](BoardPlan& plan) { plan.unplugAfter = after; };
  } else if (rest.starts_with("write=")) {
    const auto write = ParseWholeNumber(rest.substr(6));
    if (write && *write >= 1 && *write <= std::numeric_limits<int>::max())
      apply = [n = static_cast<int>(*write)](BoardPlan& plan) { plan.unplugAtWrite = n; };
  }
  if (!apply) throw Refusal("--unplug", expected, text);
  typed.settings.push_back({split->first, "--unplug " + text, std::move(apply)});
}

// Every board gets the versions given for all, then what was given for it alone.
void Plan(const Typed& typed, BusPlan& plan) {
  plan.boards.clear();
  for (int board = 1; board <= typed.boards; ++board) {
    BoardPlan& added = plan.boards.emplace_back();
    added.spec.serial = DefaultSerial(board);
    if (typed.hardware) added.spec.hardwareByte = *typed.hardware;
    if (typed.firmware) added.spec.firmwareByte = *typed.firmware;
  }
  for (const BoardSetting& setting : typed.settings) {
    if (setting.board > typed.boards)
      throw CLI::ValidationError(setting.text + ": there is no board " +
                                 std::to_string(setting.board) + " among " +
                                 std::to_string(typed.boards) + " (--boards)");
    setting.apply(plan.boards[setting.board - 1]);
  }
}

CLI::Option* AddVersion(CLI::App& app, const std::string& name, std::optional<std::uint8_t>& into,
                        const std::string& help) {
  auto store = [&into, name](const std::string& text) {
    into = ParseVersionByte(text);
    if (!into) throw Refusal("--" + name, "a version X.Y with X and Y from 0 to 15", text);
  };
  return app.add_option_function<std::string>("--" + name, store, help)
      ->option_text("X.Y")
      ->group(kBoardGroup);
}

}  // namespace

void AddBusOptions(CLI::App& app, BusPlan& plan) {
  auto typed = std::make_shared<Typed>();
  app.add_option("--boards", typed->boards, "How many boards are plugged in (1 to 32, default 1).")
      ->option_text("N")
      ->check(CLI::Range(1, sim::kMaxBoards))
      ->group(kBoardGroup);
  AddVersion(app, "hardware", typed->hardware, "Hardware version of every board (default 2.1).");
  AddVersion(app, "firmware", typed->firmware, "Firmware version of every board (default 1.1).");
  app.add_option_function<std::vector<std::string>>(
         "--board",
         [typed](const std::vector<std::string>& texts) {
           for (const std::string& text : texts) AddBoard(*typed, text);
         },
         "Board K's own setting, repeatable, over the shared ones:\n"
         "K:firmware=X.Y, K:hardware=X.Y, K:serial=TEXT (K:serial= for\n"
         "none; default EMU0001, EMU0002, ...; boards may share one).")
      ->option_text("K:SETTING")
      ->allow_extra_args(false)
      ->group(kBoardGroup);
  app.add_option_function<std::vector<std::string>>(
         "--unplug",
         [typed](const std::vector<std::string>& texts) {
           for (const std::string& text : texts) AddUnplug(*typed, text);
         },
         "Pull board K out, repeatable: after=SECONDS after the program\n"
         "starts (2.5 for two and a half), or write=N with the Nth bulk\n"
         "write to it, whose bytes never reach the board.")
      ->option_text("K:WHEN")
      ->allow_extra_args(false)
      ->group(kBoardGroup);
  app.add_option("PROGRAM", plan.command, "The program to run, after --, with its arguments.")
      ->required()
      ->type_name("");
  app.callback([typed, &plan] { Plan(*typed, plan); });
}

}  // namespace tlx::emulate_program
