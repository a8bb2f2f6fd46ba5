#include "stand_in_board.h"

#include <CLI/CLI.hpp>

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "options/board_options.h"
#include "windows/text.h"

namespace tlx::ftd2xx_sim {
namespace {

// In UTF-8, as the programs take file names: the narrow environment holds only what the ANSI
// code page can spell.
std::string SettingsText() {
  const std::wstring name(kSettingsVariable, kSettingsVariable + std::strlen(kSettingsVariable));
  const wchar_t* text = _wgetenv(name.c_str());
  return text == nullptr ? "" : windows::Utf8(text);
}

}  // namespace

StandInBoards& StandInBoards::Instance() {
  static StandInBoards boards;
  return boards;
}

StandInBoards::StandInBoards() {
  CLI::App app("the simulated boards behind the stand-in ftd2xx.dll", kSettingsVariable);
  options::AddBoardOptions(app, settings_);
  try {
    app.parse(SettingsText(), false);
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
