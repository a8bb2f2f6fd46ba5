// tlx-update: the updater's window logic from a terminal, for a real board on USB or, with
// --sim, a simulated one. This file reads the command line and builds the objects.
#include <iostream>
#include <memory>

#include "app/frm_start.h"
#include "options/board_options.h"
#include "options/command_line.h"
#include "platform.h"
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
};

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
  return TerminalSession(form, window, *process, report, closeRequests, settings.yes).Run();
}

int Run(const UpdateSettings& settings, const BoardSettings& boardSettings) {
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
    outcome = Update(*boards, settings, *report, closeRequests);
    if (!WriteBoardOutputs(boardSettings, *boards, std::cerr))
      outcome = {kExitBadCommandLine, "the simulated board's outputs could not be written"};
  } else {
    const std::unique_ptr<UsbBoards> boards = OpenUsbBoards();
    outcome = Update(boards->Port(), settings, *report, closeRequests);
    if (const std::string advice = boards->Advice(); !advice.empty()) report->Notice(advice);
  }
  report->Result(outcome.exitStatus, outcome.text);
  return outcome.exitStatus;
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
  for (CLI::Option* option : AddBoardOptions(app, boardSettings)) option->needs(sim);
  if (const auto exitStatus = ParseCommandLine(app, argc, argv)) return *exitStatus;
  return Run(settings, boardSettings);
}
