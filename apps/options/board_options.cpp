#include "options/board_options.h"

#include <cstring>
#include <limits>
#include <string_view>
#include <variant>

#include "common/number_text.h"
#include "common/whole_file.h"
#include "sim/fault_spec.h"

namespace tlx::options {
namespace {

constexpr char kBoardGroup[] = "Simulated board";

// Decimal, or hexadecimal after "0x".
std::optional<std::uint64_t> WholeUpTo(std::string_view text, std::uint64_t low,
                                       std::uint64_t high) {
  const auto value = ParseWholeNumber(text);
  if (!value || *value < low || *value > high) return {};
  return value;
}

// --NAME VALUE, read into target by read, which answers nothing for a text it refuses.
template <typename Target, typename Read>
CLI::Option* AddRead(CLI::App& app, const std::string& name, Target& target, Read read,
                     const std::string& valueName, const std::string& expected,
                     const std::string& help) {
  const std::string option = "--" + name;
  auto store = [&target, read, option, expected](const std::string& text) {
    const auto value = read(text);
    if (!value)
      throw CLI::ValidationError(option + " takes " + expected + ", not \"" + text + "\"");
    target = *value;
  };
  return app.add_option_function<std::string>(option, store, help)
      ->option_text(valueName)
      ->group(kBoardGroup);
}

// Scripted faults, KIND@CALL[xCOUNT], repeatable; the kinds are listed after the options.
CLI::Option* AddFaultOption(CLI::App& app, std::vector<sim::ScriptedFault>& faults) {
  auto store = [&faults](const std::vector<std::string>& texts) {
    for (const std::string& text : texts) {
      auto fault = sim::ParseFaultSpec(text);
      if (const auto* error = std::get_if<sim::FaultSpecError>(&fault))
        throw CLI::ValidationError("--fault: " + error->sentence);
      faults.push_back(std::get<sim::ScriptedFault>(fault));
    }
  };
  app.footer([] {
    return "Fault kinds for --fault; CALL counts every D2XX call from 1, as the lines of the\n"
           "--trace file do, and the fault strikes the first COUNT (default 1) calls of its\n"
           "kind from there on:\n" +
           sim::FaultKindsHelp();
  });
  return app
      .add_option_function<std::vector<std::string>>("--fault", store,
                                                     "A scripted fault, repeatable; kinds below.")
      ->option_text("KIND@CALL[xCOUNT]")
      ->group(kBoardGroup);
}

// Per-board settings, K:SETTING, repeatable.
CLI::Option* AddBoardOverrideOption(CLI::App& app, sim::BoardOverrides& overrides) {
  auto store = [&overrides](const std::vector<std::string>& texts) {
    for (const std::string& text : texts)
      if (const auto error = sim::AddBoardOverride(text, overrides))
        throw CLI::ValidationError("--board: " + *error);
  };
  return app
      .add_option_function<std::vector<std::string>>(
          "--board", store,
          "Board K's own setting, repeatable, over the shared ones:\n"
          "K:firmware=X.Y, K:hardware=X.Y, K:serial=TEXT (K:serial= for\n"
          "none; default SIM0001, SIM0002, ...), K:busy (open in another\n"
          "program), K:unplug-at=N, K:fault=KIND@CALL[xCOUNT] (board K's\n"
          "faults then replace those of --fault).")
      ->option_text("K:SETTING")
      ->group(kBoardGroup);
}

bool WriteWhole(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                std::ostream& errors) {
  const int error = WriteWholeFile(path, bytes, true);
  if (error == 0) return true;
  errors << "Could not write " << path.string() << ": " << std::strerror(error) << ".\n";
  return false;
}

}  // namespace

std::vector<CLI::Option*> AddBoardOptions(CLI::App& app, sim::BoardSettings& settings) {
  const auto wholeUpTo = [](std::uint64_t low, std::uint64_t high) {
    return [low, high](std::string_view text) { return WholeUpTo(text, low, high); };
  };
  const std::string version = "a version X.Y with X and Y from 0 to 15";
  app.final_callback([&settings] {
    if (const auto error = sim::CheckBoardNumbers(settings)) throw CLI::ValidationError(*error);
  });
  return {
      AddRead(app, "boards", settings.boards, wholeUpTo(1, sim::kMaxBoards), "N",
              "a number of boards from 1 to " + std::to_string(sim::kMaxBoards),
              "How many boards are plugged in, 1 to 32 (default 1); the\n"
              "options below apply to each, unless --board says otherwise."),
      AddBoardOverrideOption(app, settings.overrides),
      AddRead(app, "hardware", settings.board.hardwareByte, ParseVersionByte, "X.Y", version,
              "Hardware version of the board (default 2.1)."),
      AddRead(app, "firmware", settings.board.firmwareByte, ParseVersionByte, "X.Y", version,
              "Firmware version running on the board (default 1.1)."),
      AddRead(app, "pace", settings.pace, sim::ParsePace, "PACE", "instant or realistic",
              "instant, or realistic: as fast as a real board (default)."),
      AddRead(app, "seed", settings.seed, wholeUpTo(0, std::numeric_limits<std::uint64_t>::max()),
              "N", "a whole number", "Seed of the random faults (default 1); board K's is N+K-1."),
      AddRead(app, "fault-rate", settings.faultRate, sim::ParseRate, "P",
              "a probability from 0 to 1",
              "Probability, 0 to 1, of each kind of random fault per call."),
      AddRead(app, "stuck-byte", settings.stuckByte, wholeUpTo(0, kFlashBytes - 1), "OFFSET",
              "a flash byte offset from 0 to 65535",
              "This flash byte always programs with its lowest bit inverted."),
      AddRead(app, "unplug-at", settings.unplugAt, wholeUpTo(1, std::numeric_limits<int>::max()),
              "N", "a call number from 1",
              "The board is gone from the Nth D2XX call on (1 = the first)."),
      app.add_option("--dump-flash", settings.dumpFlash,
                     "Write the board's 65536 flash bytes to FILE at exit; with\n"
                     "several boards, board K's to FILE with .K before its extension.")
          ->option_text("FILE")
          ->group(kBoardGroup),
      app.add_option("--trace", settings.trace,
                     "Write every D2XX call to FILE at exit, as JSON Lines; with\n"
                     "several boards, board K's to FILE with .K before its extension.")
          ->option_text("FILE")
          ->group(kBoardGroup),
      AddFaultOption(app, settings.faults),
  };
}

bool WriteBoardOutputs(const sim::BoardSettings& settings, const sim::SimulatedBus& boards,
                       std::ostream& errors) {
  bool written = true;
  const int count = static_cast<int>(boards.Count());
  for (int number = 1; number <= count; ++number) {
    const sim::SimulatedBoard& board = boards.Board(static_cast<std::size_t>(number - 1));
    if (!settings.dumpFlash.empty())
      written &=
          WriteWhole(sim::OutputPathFor(settings.dumpFlash, number, count), board.Flash(), errors);
    if (!settings.trace.empty()) {
      const std::string lines = board.CallTrace().JsonLines();
      const auto* bytes = reinterpret_cast<const std::uint8_t*>(lines.data());
      written &= WriteWhole(sim::OutputPathFor(settings.trace, number, count),
                            {bytes, lines.size()}, errors);
    }
  }
  return written;
}

}  // namespace tlx::options
