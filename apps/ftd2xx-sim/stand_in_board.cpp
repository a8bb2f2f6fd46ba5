#include "stand_in_board.h"

#include <CLI/CLI.hpp>

#include <cstdlib>
#include <iostream>

#include "options/board_options.h"

namespace tlx::ftd2xx_sim {

StandInBoards& StandInBoards::Instance() {
  static StandInBoards boards;
  return boards;
}

StandInBoards::StandInBoards() {
  CLI::App app("the simulated boards behind the stand-in ftd2xx.dll", kSettingsVariable);
  options::AddBoardOptions(app, settings_);
  const char* text = std::getenv(kSettingsVariable);
  try {
    app.parse(text == nullptr ? "" : text, false);
  } catch (const CLI::ParseError& error) {
    std::cerr << "ftd2xx.dll (simulated boards): " << kSettingsVariable << ": " << error.what()
              << "; no board is attached.\n";
    return;
  }
  boards_ = sim::BuildBoards(settings_);
}

void StandInBoards::WriteOutputs() {
  if (boards_) options::WriteBoardOutputs(settings_, *boards_, std::cerr);
}

}  // namespace tlx::ftd2xx_sim
