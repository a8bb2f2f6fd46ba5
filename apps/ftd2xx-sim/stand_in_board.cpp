#include "stand_in_board.h"

#include <CLI/CLI.hpp>

#include <cstdlib>
#include <iostream>

#include "options/board_options.h"

namespace tlx::ftd2xx_sim {

StandInBoard& StandInBoard::Instance() {
  static StandInBoard board;
  return board;
}

StandInBoard::StandInBoard() {
  CLI::App app("the simulated board behind the stand-in ftd2xx.dll", kSettingsVariable);
  options::AddBoardOptions(app, settings_);
  const char* text = std::getenv(kSettingsVariable);
  try {
    app.parse(text == nullptr ? "" : text, false);
  } catch (const CLI::ParseError& error) {
    std::cerr << "ftd2xx.dll (simulated board): " << kSettingsVariable << ": " << error.what()
              << "; no board is attached.\n";
    return;
  }
  board_ = sim::BuildBoards(settings_);
}

void StandInBoard::WriteOutputs() {
  if (board_) options::WriteBoardOutputs(settings_, *board_, std::cerr);
}

}  // namespace tlx::ftd2xx_sim
