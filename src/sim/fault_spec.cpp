#include "sim/fault_spec.h"

#include <array>
#include <climits>
#include <optional>

#include "common/number_text.h"

namespace tlx::sim {
namespace {

struct KindForm {
  std::string_view shape;  // the kind as written, with ":K" where it takes a byte count
  D2xxCall call;           // the calls it strikes; an unplug strikes none

  FaultKind kind;
  std::string_view help;
};

constexpr std::array<KindForm, 10> kKinds{{
    {"write-error", D2xxCall::Write, FaultKind::FailStatus,
     "FT_Write fails with status 4; nothing reaches the board"},
    {"partial-write:K", D2xxCall::Write, FaultKind::PartialWrite,
     "FT_Write passes its first K bytes on and fails with status 4"},
    {"read-error", D2xxCall::Read, FaultKind::FailStatus,
     "FT_Read fails with status 4 and delivers nothing"},
    {"read-io-error", D2xxCall::Read, FaultKind::IoErrorWithBytes,
     "FT_Read delivers its bytes but returns status 4"},
    {"no-data", D2xxCall::Read, FaultKind::NoData,
     "FT_Read delivers nothing, status 0, after the read timeout"},
    {"split-reply", D2xxCall::Read, FaultKind::SplitReply,
     "FT_Read delivers only the first byte it could"},
    {"bit-flip", D2xxCall::Read, FaultKind::BitFlip, "FT_Read delivers one bit inverted"},
    {"purge-error", D2xxCall::Purge, FaultKind::FailStatus,
     "FT_Purge fails with status 4 and purges nothing"},
    {"close-error", D2xxCall::Close, FaultKind::FailStatus,
     "FT_Close fails with status 4; the board stays open"},
    {"unplug", D2xxCall::OpenEx, FaultKind::Unplug,
     "the board is gone from call CALL on (takes no xCOUNT)"},
}};

constexpr std::string_view kForm = "KIND@CALL or KIND@CALLxCOUNT";

std::string Quoted(std::string_view text) {
  std::string quoted(1, '"');
  quoted += text;
  return quoted += '"';
}

// A whole number from 1 that fits an int, and nothing else.
std::optional<int> Positive(std::string_view digits) {
  const std::optional<std::uint64_t> value = ParseWholeNumber(digits);
  if (!value || *value < 1 || *value > static_cast<std::uint64_t>(INT_MAX)) return std::nullopt;
  return static_cast<int>(*value);
}

std::string_view NameOf(std::string_view shape) {
  return shape.substr(0, shape.find(':'));
}

const KindForm* KindNamed(std::string_view name) {
  for (const KindForm& form : kKinds)
    if (NameOf(form.shape) == name) return &form;
  return nullptr;
}

std::string KindList() {
  std::string list;
  for (const KindForm& form : kKinds) list += (list.empty() ? "" : ", ") + std::string(form.shape);
  return list;
}

FaultSpecError Error(std::string sentence) {
  return {std::move(sentence)};
}

}  // namespace

std::variant<ScriptedFault, FaultSpecError> ParseFaultSpec(std::string_view text) {
  const std::size_t at = text.find('@');
  if (at == std::string_view::npos)
    return Error(Quoted(text) + " names no call: write a fault as " + std::string(kForm) + ".");
  const std::string_view kindPart = text.substr(0, at);
  const std::string_view callPart = text.substr(at + 1);
  const std::size_t colon = kindPart.find(':');
  const std::string_view name = NameOf(kindPart);
  const KindForm* form = KindNamed(name);
  if (form == nullptr)
    return Error(Quoted(name) + " is not a fault kind; the kinds are " + KindList() + ".");

  ScriptedFault fault{.call = form->call, .kind = form->kind};
  if (form->kind == FaultKind::PartialWrite) {
    const std::optional<int> bytes =
        colon == std::string_view::npos ? std::nullopt : Positive(kindPart.substr(colon + 1));
    if (!bytes)
      return Error("partial-write needs the bytes it passes as partial-write:K, K from 1, not " +
                   Quoted(kindPart) + ".");
    fault.bytesPassed = static_cast<std::uint32_t>(*bytes);
  } else if (colon != std::string_view::npos) {
    return Error(std::string(name) + " takes no \":K\", as in " + Quoted(text) + ".");
  }

  const std::size_t times = callPart.find('x');
  const std::optional<int> call = Positive(callPart.substr(0, times));
  if (!call)
    return Error("The call in " + Quoted(text) + " must be a whole number from 1, as in " +
                 std::string(kForm) + ".");
  fault.fromCall = *call;
  if (times == std::string_view::npos) return fault;
  if (form->kind == FaultKind::Unplug)
    return Error("unplug takes no count: the board stays gone from its call on.");
  const std::optional<int> count = Positive(callPart.substr(times + 1));
  if (!count) return Error("The count in " + Quoted(text) + " must be a whole number from 1.");
  fault.count = *count;
  return fault;
}

std::string FaultKindsHelp() {
  std::string help;
  for (const KindForm& form : kKinds) {
    std::string shape(form.shape);
    shape.resize(18, ' ');
    help += "  " + shape + std::string(form.help) + "\n";
  }
  return help;
}

}  // namespace tlx::sim
