#include "several_boards.h"

#include <iostream>
#include <memory>

#include "app/session_log.h"
#include "platform.h"
#include "terminal/boards_run.h"
#include "terminal/exit_status.h"
#include "terminal/json_boards_report.h"
#include "terminal/json_report.h"
#include "terminal/lines_boards_report.h"
#include "terminal/list_command.h"
#include "terminal/live_boards_report.h"
#include "terminal/output_columns.h"

namespace tlx::update_program {
namespace {

using namespace tlx::terminal;

std::unique_ptr<BoardsReport> ReportFor(const SeveralBoardsSettings& settings,
                                        const std::vector<ListedBoard>& boards) {
  if (settings.json) return std::make_unique<JsonBoardsReport>(std::cout, std::cerr, boards);
  if (OutputIsTerminal())
    return std::make_unique<LiveBoardsReport>(std::cout, boards, OutputColumns);
  return std::make_unique<LinesBoardsReport>(std::cout, std::cerr, boards);
}

int Refuse(const SeveralBoardsSettings& settings, const std::string& sentence) {
  if (settings.json) {
    JsonReport(std::cout, std::cerr).Result(kExitRefused, sentence);
  }
  std::cerr << sentence << std::endl;
  return kExitRefused;
}

}  // namespace

std::optional<int> RunSeveralBoards(const BoardsWiring& wiring,
                                    const SeveralBoardsSettings& settings,
                                    CloseRequests& closeRequests) {
  std::vector<ListedBoard> listed;
  const FT_STATUS status = ListBoards(wiring.lister, listed);
  if (settings.list) {
    if (status != FT_OK)
      return Refuse(settings, "tlx-update: the list of USB devices cannot be read (D2XX status " +
                                  std::to_string(status) + ").");
    ListCommand(listed, wiring.connector, settings.json, NoAccessAdvice(), std::cout, std::cerr);
    return kExitComplete;
  }
  // --skip-current needs the multi-board run's judgement, even for one board; no board at all
  // is the single-board run's "not found".
  const bool single = listed.size() <= 1 && !(settings.skipCurrent && listed.size() == 1);
  if (!settings.choice.Made() && single) return std::nullopt;
  const Selection selection = SelectBoards(listed, settings.choice);
  if (!selection.refusal.empty()) return Refuse(settings, selection.refusal);

  const std::unique_ptr<BoardsReport> report = ReportFor(settings, selection.boards);
  const std::unique_ptr<ProcessServices> process = MakeProcessServices(wiring.simulated, std::cerr);
  BoardsRun run(selection.boards, wiring.connector, *process,
                std::make_shared<SessionLogFile>(process->SessionLogPath(), std::cerr), *report,
                closeRequests, {settings.file, settings.yes, settings.skipCurrent});
  return run.Run();
}

}  // namespace tlx::update_program
