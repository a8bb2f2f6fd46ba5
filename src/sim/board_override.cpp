#include "sim/board_override.h"

#include <climits>
#include <variant>

#include "common/number_text.h"
#include "sim/board_identity.h"
#include "sim/fault_spec.h"

namespace tlx::sim {
namespace {

// Applies one SETTING[=VALUE]; the sentence for a value it refuses.
std::optional<std::string> Apply(std::string_view setting, std::optional<std::string_view> value,
                                 BoardOverride& board) {
  const std::string name(setting);
  if (setting == "busy") {
    if (value) return "busy takes no value";
    board.busy = true;
    return {};
  }
  if (!value) return name + " needs a value after \"=\"";
  const std::string text(*value);
  if (setting == "firmware" || setting == "hardware") {
    const auto version = ParseVersionByte(text);
    if (!version)
      return name + " takes a version X.Y with X and Y from 0 to 15, not \"" + text + "\"";
    (setting == "firmware" ? board.firmwareByte : board.hardwareByte) = *version;
    return {};
  }
  if (setting == "serial") {
    if (!IsSerial(text))
      return "serial takes up to 15 printable characters without blanks, not \"" + text + "\"";
    board.serial = text;
    return {};
  }
  if (setting == "unplug-at") {
    const auto call = ParseWholeNumber(text);
    if (!call || *call < 1 || *call > INT_MAX)
      return "unplug-at takes a call number from 1, not \"" + text + "\"";
    board.unplugAt = static_cast<int>(*call);
    return {};
  }
  if (setting == "fault") {
    auto fault = ParseFaultSpec(text);
    if (const auto* error = std::get_if<FaultSpecError>(&fault)) return error->sentence;
    board.faults.push_back(std::get<ScriptedFault>(fault));
    return {};
  }
  return "there is no board setting \"" + name +
         "\"; the settings are firmware, hardware, serial, busy, unplug-at and fault";
}

}  // namespace

std::optional<std::string> AddBoardOverride(std::string_view text, BoardOverrides& overrides) {
  const std::size_t colon = text.find(':');
  const auto board = ParseWholeNumber(text.substr(0, colon));
  if (colon == std::string_view::npos || !board || *board < 1 || *board > kMaxBoards)
    return "it takes K:SETTING with a board number K from 1 to " + std::to_string(kMaxBoards) +
           ", not \"" + std::string(text) + "\"";
  const std::string_view rest = text.substr(colon + 1);
  const std::size_t equals = rest.find('=');
  std::optional<std::string_view> value;
  if (equals != std::string_view::npos) value = rest.substr(equals + 1);
  const int number = static_cast<int>(*board);
  const auto found = overrides.find(number);
  BoardOverride updated = found == overrides.end() ? BoardOverride{} : found->second;
  if (auto error = Apply(rest.substr(0, equals), value, updated))
    return "board " + std::to_string(number) + ": " + *error;
  overrides[number] = std::move(updated);
  return {};
}

}  // namespace tlx::sim
