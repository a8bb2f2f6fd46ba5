// tlx-update: the updater's window logic from a terminal, for a real board on USB or, with
// --sim, a simulated one. This file reads the command line and builds the objects.
#include <iostream>
#include <memory>

#include "app/frm_start.h"
#include "link/pinned_d2xx.h"
#include "options/board_options.h"
#include "options/command_line.h"
#include "platform.h"
#include "several_boards.h"
#include "terminal/close_requests.h"
#include "terminal/exit_status.h"
#include "terminal/json_report.h"
#include "terminal/terminal_session.h"
#include "terminal/text_report.h"

namespace tlx::update_program {
namespace {

using namespace tlx::terminal;
using options::AddBoardOptions;
using options::kExitBadCommandLine;
using options::ParseCommandLine;
using options::WriteBoardOutputs;
using sim::BoardSettings;

struct UpdateSettings {
  std::string file;
  bool yes = false;
  bool json = false;
  bool sim = false;
  SeveralBoardsSettings boards;
};

// Each board's own connection: on the simulated bus, the bus itself, pinned to the board.
class SimulatedBoards : public BoardConnector {
 public:
  explicit SimulatedBoards(D2xx& bus) : bus_(bus) {}
  std::shared_ptr<D2xx> Connect(const ListedBoard& board) override {
    return std::make_shared<PinnedD2xx>(bus_, board.locId, board.serial);
  }

 private:
  D2xx& bus_;
};

// On USB, a library context of the board's own, pinned to the board.
class UsbBoards : public BoardConnector {
 public:
  std::shared_ptr<D2xx> Connect(const ListedBoard& board) override {
    const auto own = std::make_shared<OwnContext>(board);
    return {own, &own->pinned};
  }

 private:
  struct OwnContext {
    explicit OwnContext(const ListedBoard& board)
        : usb(OpenUsbPort()), pinned(usb->Port(), board.locId, board.serial) {}
    std::unique_ptr<UsbPort> usb;
    PinnedD2xx pinned;
  };
};

void AddBoardChoiceOptions(CLI::App& app, SeveralBoardsSettings& settings) {
  app.add_flag("--list", settings.list,
               "List the attached boards by port: serial, whether they are free,\n"
               "and the bootloader's versions; nothing is written.");
  app.add_option("--serial", settings.choice.serials,
                 "Update the board with this serial number; repeatable.")
      ->type_name("S");
  app.add_option("--port", settings.choice.ports,
                 "Update the board at this USB port, such as 1-4.2; repeatable.\n"
                 "For boards whose serial is missing or repeated.")
      ->type_name("P");
  app.add_flag("--all", settings.choice.all, "Update every attached board that is free.");
  app.add_flag("--skip-current", settings.skipCurrent,
               "Leave a board that already has the file's firmware version\n"
               "unwritten, reported as already current.");
}

CLI::Option* AddUpdateOptions(CLI::App& app, UpdateSettings& settings) {
  app.add_option("FILE", settings.file,
                 "The firmware file; its name must end in fwu\n"
                 "(default: TLX.fwu in the working folder).")
      ->type_name("");
  app.add_flag("-y,--yes", settings.yes, "Flash without asking.");
  app.add_flag("--json", settings.json,
               "One JSON object per line on stdout: each status, progress\n"
               "value and message, and the result.");
  return app.add_flag("--sim", settings.sim,
                      "Update a simulated board, set up by the options below,\n"
                      "instead of one on USB.");
}

SessionOutcome Update(D2xx& d2xx, const UpdateSettings& settings, UpdateReport& report,
                      CloseRequests& closeRequests) {
  const std::unique_ptr<ProcessServices> process = MakeProcessServices(settings.sim, std::cerr);
  SessionLog log(process->SessionLogPath(), std::cerr);
  TerminalWindow window(report);
  frmStart form(window, *process, d2xx, log);
  form.Loader.GivenFile = settings.file;
  return TerminalSession(form, window, *process, report, &closeRequests, settings.yes).Run();
}

constexpr char kOutputsNotWritten[] = "the simulated board's outputs could not be written";

// A single board's run ends with its result; several boards' report has ended already.
int ReportEnd(UpdateReport& report, std::optional<int> several, const SessionOutcome& outcome) {
  if (!several) report.Result(outcome.exitStatus, outcome.text);
  return outcome.exitStatus;
}

int Run(UpdateSettings settings, const BoardSettings& boardSettings) {
  settings.boards.file = settings.file;
  settings.boards.yes = settings.yes;
  settings.boards.json = settings.json;
  PrepareConsole();
  CloseRequests closeRequests;
  std::unique_ptr<UpdateReport> report;
  if (settings.json) {
    report = std::make_unique<JsonReport>(std::cout, std::cerr);
  } else {
    report = std::make_unique<TextReport>(std::cout, std::cerr, OutputIsTerminal());
  }
  SessionOutcome outcome;
  if (settings.sim) {
    const auto boards = sim::BuildBoards(boardSettings);
    SimulatedBoards connector(*boards);
    const std::optional<int> several =
        RunSeveralBoards({*boards, connector, true}, settings.boards, closeRequests);
    if (!several) outcome = Update(*boards, settings, *report, closeRequests);
    if (!WriteBoardOutputs(boardSettings, *boards, std::cerr))
      return ReportEnd(*report, several, {kExitBadCommandLine, kOutputsNotWritten});
    if (several) return *several;
  } else {
    const std::unique_ptr<UsbPort> usb = OpenUsbPort();
    UsbBoards connector;
    if (const std::optional<int> several =
            RunSeveralBoards({usb->Port(), connector, false}, settings.boards, closeRequests))
      return *several;
    outcome = Update(usb->Port(), settings, *report, closeRequests);
    if (const std::string advice = usb->Advice(); !advice.empty()) report->Notice(advice);
  }
  return ReportEnd(*report, std::nullopt, outcome);
}

}  // namespace
}  // namespace tlx::update_program

int main(int argc, char** argv) {
  using namespace tlx::update_program;
  CLI::App app("Updates the firmware of a Tambrelux Pro board from a terminal.", "tlx-update");
  app.footer(
      "Exit status: 0 Flash Complete!; 1 the update failed; 2 a wrong command line;\n"
      "3 refused before writing anything (no board, not in update mode, a bad firmware file);\n"
      "4 another updater is running; 5 declined, or stopped before the update began.");
  UpdateSettings settings;
  BoardSettings boardSettings;
  CLI::Option* sim = AddUpdateOptions(app, settings);
  AddBoardChoiceOptions(app, settings.boards);
  for (CLI::Option* option : AddBoardOptions(app, boardSettings)) option->needs(sim);
  if (const auto exitStatus = ParseCommandLine(app, CommandArguments(argc, argv)))
    return *exitStatus;
  return Run(settings, boardSettings);
}
