#include "arguments.h"

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "help_text.h"
#include "text_format.h"
#include "tool_error.h"

namespace tlx::fwu {
namespace {

constexpr std::uint64_t kLargestLength = 0xFFFFFF;  // header byte 4, the top byte, stays 0
constexpr std::uint64_t kLargestNibble = 15;

struct OptionSpec {
  std::string_view name;
  bool takesValue;
};

constexpr OptionSpec kPackOptions[] = {{"--output", true}, {"--version", true}, {"--byte2", true},
                                       {"--length", true}, {"--image", true},   {"--force", false}};
constexpr OptionSpec kUnpackOptions[] = {
    {"--output", true}, {"--payload", false}, {"--force", false}};

// One command's arguments, split into plain arguments and options; a flag maps to "".
struct ScannedCommand {
  std::string_view command;
  std::vector<std::string_view> plain;
  std::map<std::string_view, std::string_view> options;

  bool Has(std::string_view name) const { return options.contains(name); }

  [[noreturn]] void Refuse(const std::string& problem) const {
    throw ToolError(std::string(command) + ": " + problem + "; see " +
                    Quoted("tlx-fwu " + std::string(command) + " --help") + ".");
  }
};

ScannedCommand Scan(std::string_view command, std::span<const std::string_view> arguments,
                    std::span<const OptionSpec> specs) {
  ScannedCommand scanned{command, {}, {}};
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view argument = arguments[i];
    if (!argument.starts_with('-') || argument == "-") {
      scanned.plain.push_back(argument);
      continue;
    }
    const std::string_view name = argument == "-o" ? "--output" : argument;
    const auto spec = std::ranges::find(specs, name, &OptionSpec::name);
    if (spec == specs.end()) {
      scanned.Refuse("unknown option " + Quoted(argument));
    }
    if (scanned.Has(name)) {
      scanned.Refuse("option " + Quoted(argument) + " is given twice");
    }
    if (spec->takesValue && i + 1 == arguments.size()) {
      scanned.Refuse("option " + Quoted(argument) + " needs a value");
    }
    scanned.options[name] = spec->takesValue ? arguments[++i] : "";
  }
  return scanned;
}

bool AsksForHelp(std::span<const std::string_view> arguments) {
  return std::ranges::any_of(arguments, [](auto a) { return a == "--help" || a == "-h"; });
}

std::filesystem::path TheOneFile(const ScannedCommand& scanned, std::string_view what) {
  if (scanned.plain.empty()) {
    scanned.Refuse("the " + std::string(what) + " is missing");
  }
  if (scanned.plain.size() > 1) {
    scanned.Refuse("only one " + std::string(what) + " is taken, but " + Quoted(scanned.plain[1]) +
                   " follows " + Quoted(scanned.plain[0]));
  }
  return scanned.plain.front();
}

std::filesystem::path TheOutput(const ScannedCommand& scanned) {
  if (!scanned.Has("--output")) {
    scanned.Refuse("the output file (-o OUT) is missing");
  }
  return scanned.options.at("--output");
}

std::uint8_t VersionByte(const ScannedCommand& scanned) {
  if (!scanned.Has("--version")) {
    scanned.Refuse("--version MAJOR.MINOR is missing");
  }
  const std::string_view text = scanned.options.at("--version");
  const std::size_t dot = text.find('.');
  const auto major = ParseDecimal(text.substr(0, dot));
  const auto minor =
      dot == std::string_view::npos ? std::nullopt : ParseDecimal(text.substr(dot + 1));
  if (!major || !minor || *major > kLargestNibble || *minor > kLargestNibble) {
    scanned.Refuse("--version " + Quoted(text) + " is not MAJOR.MINOR with each number 0 to 15");
  }
  return static_cast<std::uint8_t>(*major << 4 | *minor);
}

std::optional<std::uint64_t> NumberOption(const ScannedCommand& scanned, std::string_view name,
                                          std::uint64_t largest, std::string_view rule) {
  if (!scanned.Has(name)) {
    return std::nullopt;
  }
  const std::string_view text = scanned.options.at(name);
  const auto value = ParseNumber(text);
  if (!value || *value > largest) {
    scanned.Refuse(std::string(name) + " " + Quoted(text) + " is not " + std::string(rule));
  }
  return value;
}

Request ParsePack(std::span<const std::string_view> arguments) {
  const ScannedCommand scanned = Scan("pack", arguments, kPackOptions);
  if (scanned.Has("--image")) {
    if (!scanned.plain.empty() || scanned.Has("--version") || scanned.Has("--byte2") ||
        scanned.Has("--length")) {
      scanned.Refuse(
          "--image encodes a whole image as it is and takes no payload, --version, "
          "--byte2 or --length");
    }
    return PackImageRequest{scanned.options.at("--image"), TheOutput(scanned),
                            scanned.Has("--force")};
  }
  PackPayloadRequest request;
  request.payload = TheOneFile(scanned, "payload file");
  request.output = TheOutput(scanned);
  request.versionByte = VersionByte(scanned);
  request.byte2 = static_cast<std::uint8_t>(
      NumberOption(scanned, "--byte2", 0xFF, "a byte (0 to 255)").value_or(0));
  if (const auto length =
          NumberOption(scanned, "--length", kLargestLength,
                       "a length of at most 16,777,215 (header byte 4 must be 0)")) {
    request.length = static_cast<std::uint32_t>(*length);
  }
  request.force = scanned.Has("--force");
  return request;
}

Request ParseUnpack(std::span<const std::string_view> arguments) {
  const ScannedCommand scanned = Scan("unpack", arguments, kUnpackOptions);
  return UnpackRequest{TheOneFile(scanned, "container file"), TheOutput(scanned),
                       scanned.Has("--payload"), scanned.Has("--force")};
}

Request ParseInfo(std::span<const std::string_view> arguments) {
  const ScannedCommand scanned = Scan("info", arguments, {});
  return InfoRequest{TheOneFile(scanned, "container file")};
}

}  // namespace

Request ParseArguments(std::span<const std::string_view> arguments) {
  if (arguments.empty()) {
    throw ToolError("no command given; see \"tlx-fwu --help\".");
  }
  const std::string_view command = arguments.front();
  const auto rest = arguments.subspan(1);
  if (command == "--help" || command == "-h" || command == "help") {
    return HelpRequest{kToolHelp};
  }
  if (command == "pack") {
    return AsksForHelp(rest) ? Request{HelpRequest{kPackHelp}} : ParsePack(rest);
  }
  if (command == "unpack") {
    return AsksForHelp(rest) ? Request{HelpRequest{kUnpackHelp}} : ParseUnpack(rest);
  }
  if (command == "info") {
    return AsksForHelp(rest) ? Request{HelpRequest{kInfoHelp}} : ParseInfo(rest);
  }
  throw ToolError("unknown command " + Quoted(command) +
                  "; the commands are pack, unpack and info (see \"tlx-fwu --help\").");
}

}  // namespace tlx::fwu
