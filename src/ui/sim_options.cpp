#include "ui/sim_options.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <limits>

#include "sim/fault_spec.h"

namespace tlx::ui {
namespace {

constexpr std::uint32_t kLastFlashOffset = 65535;

const QList<QCommandLineOption>& Options() {
  static const QList<QCommandLineOption> options = {
      {{"h", "help"}, "Show this help and exit."},
      {"hardware", "Hardware version of the board (default 2.1).", "X.Y"},
      {"firmware", "Firmware version running on the board (default 1.1).", "X.Y"},
      {"pace", "instant, or realistic: as fast as a real board (default).", "PACE"},
      {"seed", "Seed of the random faults (default 1).", "N"},
      {"fault-rate", "Probability, 0 to 1, of each kind of random fault per call.", "P"},
      {"stuck-byte", "This flash byte (0 to 65535) always programs with its lowest bit inverted.",
       "OFFSET"},
      {"unplug-at", "The board is gone from the Nth D2XX call on (1 = the first).", "N"},
      {"fault", "A scripted fault KIND@CALL[xCOUNT], repeatable; kinds below.", "FAULT"},
      {"dump-flash", "Write the board's 65536 flash bytes to FILE at exit.", "FILE"},
      {"trace", "Write every D2XX call to FILE at exit, as JSON Lines.", "FILE"},
      {"autopilot", "Act as the user: find, flash, confirm, close. Exit 0 on \"Flash Complete!\"."},
      {"screenshots", "Save a PNG of every window state and message box in DIR.", "DIR"},
  };
  return options;
}

// "X.Y" with both numbers 0 to 15, as the board's version byte.
std::optional<std::uint8_t> VersionByte(const QString& text) {
  static const QRegularExpression pattern(R"(^(\d{1,2})\.(\d{1,2})$)");
  const QRegularExpressionMatch match = pattern.match(text);
  if (!match.hasMatch()) return std::nullopt;
  const int major = match.captured(1).toInt();
  const int minor = match.captured(2).toInt();
  if (major > 15 || minor > 15) return std::nullopt;
  return static_cast<std::uint8_t>(major << 4 | minor);
}

// Reads one option each; an option that is absent reads as nothing, one that is malformed
// as nothing plus the first error.
class Reader {
 public:
  explicit Reader(const QCommandLineParser& parser) : parser_(parser) {}

  std::optional<std::uint8_t> Version(const char* name) {
    if (!parser_.isSet(name)) return std::nullopt;
    return Checked(name, VersionByte(parser_.value(name)),
                   "a version X.Y with X and Y from 0 to 15");
  }

  template <typename Number>
  std::optional<Number> Whole(const char* name, std::uint64_t low, std::uint64_t high) {
    if (!parser_.isSet(name)) return std::nullopt;
    bool ok = false;
    const qulonglong number = parser_.value(name).toULongLong(&ok, 0);
    std::optional<Number> value;
    if (ok && number >= low && number <= high) value = static_cast<Number>(number);
    return Checked(name, value, QString("a whole number from %1 to %2").arg(low).arg(high));
  }

  std::optional<double> Rate(const char* name) {
    if (!parser_.isSet(name)) return std::nullopt;
    bool ok = false;
    const double rate = parser_.value(name).toDouble(&ok);
    std::optional<double> value;
    if (ok && rate >= 0.0 && rate <= 1.0) value = rate;
    return Checked(name, value, "a probability from 0 to 1");
  }

  std::optional<sim::Pace> Pace() {
    if (!parser_.isSet("pace")) return std::nullopt;
    const QString pace = parser_.value("pace");
    std::optional<sim::Pace> value;
    if (pace == "instant") value = sim::Pace::Instant;
    if (pace == "realistic") value = sim::Pace::Realistic;
    return Checked("pace", value, "instant or realistic");
  }

  const QString& Error() const { return error_; }

 private:
  template <typename Value>
  std::optional<Value> Checked(const char* name, std::optional<Value> value,
                               const QString& expected) {
    if (!value && error_.isEmpty())
      error_ = QString("--%1 takes %2, not \"%3\".").arg(name, expected, parser_.value(name));
    return value;
  }

  const QCommandLineParser& parser_;
  QString error_;
};

}  // namespace

std::variant<SimOptions, OptionsError> ParseSimOptions(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.addOptions(Options());
  if (!parser.parse(arguments)) return OptionsError{parser.errorText() + "."};
  if (!parser.positionalArguments().isEmpty())
    return OptionsError{"Unexpected argument \"" + parser.positionalArguments().first() + "\"."};

  SimOptions options;
  options.help = parser.isSet("help");
  Reader read(parser);
  options.board.hardwareByte = read.Version("hardware").value_or(options.board.hardwareByte);
  options.board.firmwareByte = read.Version("firmware").value_or(options.board.firmwareByte);
  options.pace = read.Pace().value_or(options.pace);
  options.seed = read.Whole<std::uint64_t>("seed", 0, std::numeric_limits<std::uint64_t>::max())
                     .value_or(options.seed);
  options.faultRate = read.Rate("fault-rate");
  options.stuckByte = read.Whole<std::uint32_t>("stuck-byte", 0, kLastFlashOffset);
  options.unplugAt = read.Whole<int>("unplug-at", 1, std::numeric_limits<int>::max());
  if (!read.Error().isEmpty()) return OptionsError{read.Error()};
  for (const QString& text : parser.values("fault")) {
    auto fault = sim::ParseFaultSpec(text.toStdString());
    if (auto* error = std::get_if<sim::FaultSpecError>(&fault))
      return OptionsError{"--fault: " + QString::fromStdString(error->sentence)};
    options.faults.push_back(std::get<sim::ScriptedFault>(fault));
  }

  options.dumpFlash = parser.value("dump-flash");
  options.trace = parser.value("trace");
  options.autopilot = parser.isSet("autopilot");
  options.screenshots = parser.value("screenshots");
  return options;
}

QString SimHelpText() {
  QString text =
      "Usage: tambrelux-updater-sim [options]\n"
      "The Tambrelux Pro Updater window with a simulated board attached. It flashes\n"
      "TLX.fwu from the current folder, or a file chosen under Firmware Version > Custom.\n\n"
      "Options:\n";
  for (const QCommandLineOption& option : Options()) {
    QString names;
    for (const QString& name : option.names())
      names += (names.isEmpty() ? "" : ", ") + QString(name.size() == 1 ? "-" : "--") + name;
    if (!option.valueName().isEmpty()) names += " " + option.valueName();
    text += QString("  %1%2\n").arg(names, -22).arg(option.description());
  }
  text +=
      "\nFault kinds for --fault; CALL counts every D2XX call from 1, as the lines of the\n"
      "--trace file do, and the fault strikes the first COUNT (default 1) calls of its\n"
      "kind from there on:\n";
  return text + QString::fromStdString(sim::FaultKindsHelp());
}

void ApplyFaults(const SimOptions& options, sim::SimulatedBoard& board) {
  sim::FaultPlan& faults = board.Faults();
  if (options.faultRate) {
    const double rate = *options.faultRate;
    faults.SetRandom(options.seed, {.failStatus = rate,
                                    .ioErrorWithBytes = rate,
                                    .noData = rate,
                                    .splitReply = rate,
                                    .bitFlip = rate,
                                    .badProgram = rate,
                                    .partialWrite = rate});
  }
  for (const sim::ScriptedFault& fault : options.faults) faults.Add(fault);
  if (options.stuckByte) faults.StickByte(*options.stuckByte);
  if (options.unplugAt) faults.UnplugAt(*options.unplugAt);
}

}  // namespace tlx::ui
