#include "cli/board_options.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string_view>
#include <variant>

#include "link/number_text.h"
#include "sim/fault_spec.h"

namespace tlx::cli {
namespace {

constexpr char kBoardGroup[] = "Simulated board";

// Decimal, or hexadecimal after "0x".
std::optional<std::uint64_t> WholeUpTo(std::string_view text, std::uint64_t low,
                                       std::uint64_t high) {
  const auto value = ParseWholeNumber(text);
  if (!value || *value < low || *value > high) return {};
  return value;
}

std::optional<double> Rate(std::string_view text) {
  double rate = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), rate);
  if (error != std::errc() || end != text.data() + text.size() || !(rate >= 0 && rate <= 1))
    return {};
  return rate;
}

std::optional<sim::Pace> PaceNamed(std::string_view text) {
  if (text == "instant") return sim::Pace::Instant;
  if (text == "realistic") return sim::Pace::Realistic;
  return {};
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

bool WriteWhole(const std::string& path, std::string_view bytes, std::ostream& errors) {
  std::string temporary = path + ".XXXXXX";
  const int file = mkstemp(temporary.data());
  bool written = file >= 0;
  if (written) {
    const mode_t mask = umask(0);
    umask(mask);
    written = fchmod(file, 0666 & ~mask) == 0 &&
              write(file, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    written = close(file) == 0 && written && std::rename(temporary.c_str(), path.c_str()) == 0;
  }
  if (written) return true;
  errors << "Could not write " << path << ": " << std::strerror(errno) << ".\n";
  if (file >= 0) unlink(temporary.c_str());
  return false;
}

}  // namespace

std::vector<CLI::Option*> AddBoardOptions(CLI::App& app, BoardSettings& settings) {
  const auto wholeUpTo = [](std::uint64_t low, std::uint64_t high) {
    return [low, high](std::string_view text) { return WholeUpTo(text, low, high); };
  };
  const std::string version = "a version X.Y with X and Y from 0 to 15";
  return {
      AddRead(app, "hardware", settings.board.hardwareByte, ParseVersionByte, "X.Y", version,
              "Hardware version of the board (default 2.1)."),
      AddRead(app, "firmware", settings.board.firmwareByte, ParseVersionByte, "X.Y", version,
              "Firmware version running on the board (default 1.1)."),
      AddRead(app, "pace", settings.pace, PaceNamed, "PACE", "instant or realistic",
              "instant, or realistic: as fast as a real board (default)."),
      AddRead(app, "seed", settings.seed, wholeUpTo(0, std::numeric_limits<std::uint64_t>::max()),
              "N", "a whole number", "Seed of the random faults (default 1)."),
      AddRead(app, "fault-rate", settings.faultRate, Rate, "P", "a probability from 0 to 1",
              "Probability, 0 to 1, of each kind of random fault per call."),
      AddRead(app, "stuck-byte", settings.stuckByte, wholeUpTo(0, sim::kFlashBytes - 1), "OFFSET",
              "a flash byte offset from 0 to 65535",
              "This flash byte always programs with its lowest bit inverted."),
      AddRead(app, "unplug-at", settings.unplugAt, wholeUpTo(1, std::numeric_limits<int>::max()),
              "N", "a call number from 1",
              "The board is gone from the Nth D2XX call on (1 = the first)."),
      app.add_option("--dump-flash", settings.dumpFlash,
                     "Write the board's 65536 flash bytes to FILE at exit.")
          ->option_text("FILE")
          ->group(kBoardGroup),
      app.add_option("--trace", settings.trace,
                     "Write every D2XX call to FILE at exit, as JSON Lines.")
          ->option_text("FILE")
          ->group(kBoardGroup),
      AddFaultOption(app, settings.faults),
  };
}

void ApplyBoardSettings(const BoardSettings& settings, sim::SimulatedBoard& board) {
  sim::FaultPlan& faults = board.Faults();
  if (settings.faultRate) {
    const double rate = *settings.faultRate;
    faults.SetRandom(settings.seed, {.failStatus = rate,
                                     .ioErrorWithBytes = rate,
                                     .noData = rate,
                                     .splitReply = rate,
                                     .bitFlip = rate,
                                     .badProgram = rate,
                                     .partialWrite = rate});
  }
  for (const sim::ScriptedFault& fault : settings.faults) faults.Add(fault);
  if (settings.stuckByte) faults.StickByte(*settings.stuckByte);
  if (settings.unplugAt) faults.UnplugAt(*settings.unplugAt);
}

bool WriteBoardOutputs(const BoardSettings& settings, const sim::SimulatedBoard& board,
                       std::ostream& errors) {
  bool written = true;
  if (!settings.dumpFlash.empty()) {
    const auto flash = board.Flash();
    written &= WriteWhole(settings.dumpFlash,
                          {reinterpret_cast<const char*>(flash.data()), flash.size()}, errors);
  }
  if (!settings.trace.empty())
    written &= WriteWhole(settings.trace, board.CallTrace().JsonLines(), errors);
  return written;
}

}  // namespace tlx::cli
