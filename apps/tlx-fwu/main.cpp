// tlx-fwu: packs, unpacks and inspects .fwu firmware containers. This file reads the command
// line; commands.cpp does the work.
#include <CLI/CLI.hpp>

#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "commands.h"
#include "common/number_text.h"
#include "common/utf8_path.h"
#include "messages.h"
#include "platform.h"

namespace tlx::fwu {
namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitRefused = 1;  // info: the updater would refuse the container
constexpr int kExitError = 2;    // a wrong command line or a file that failed

constexpr char kExitStatuses[] =
    "Exit status: 0 done; 1 (info only) the updater would refuse the container;\n"
    "2 a wrong command line or a file that could not be read or written.";

// Takes a number up to `largest`, decimal or hexadecimal after "0x", and hands it on in
// decimal: left to itself, CLI11 would read a leading 0 as octal.
CLI::Validator Number(std::uint64_t largest, const std::string& rule) {
  return CLI::Validator(
      [largest, rule](std::string& text) -> std::string {
        const auto value = ParseWholeNumber(text);
        if (!value || *value > largest) {
          return Quoted(text) + " is not " + rule;
        }
        text = std::to_string(*value);
        return "";
      },
      "");
}

// Takes MAJOR.MINOR and hands on the header's version byte, the major in the high nibble.
CLI::Validator VersionByte() {
  return CLI::Validator(
      [](std::string& text) -> std::string {
        const auto versionByte = ParseVersionByte(text);
        if (!versionByte) {
          return Quoted(text) + " is not MAJOR.MINOR with each number 0 to 15";
        }
        text = std::to_string(*versionByte);
        return "";
      },
      "");
}

// What the command line asks for, filled in by CLI11.
struct Settings {
  std::filesystem::path input;
  std::filesystem::path image;
  HeaderFields header;
  bool payloadOnly = false;
  Output output;
};

// A file named on the command line, whose text is UTF-8 on every system.
CLI::Option* AddFileOption(CLI::App& command, const std::string& name, std::filesystem::path& file,
                           const std::string& description) {
  return command.add_option_function<std::string>(
      name, [&file](const std::string& text) { file = Utf8Path(text); }, description);
}

void AddOutputOptions(CLI::App& command, Output& output, const std::string& file) {
  AddFileOption(command, "-o,--output", output.path, "the file to write")
      ->required()
      ->option_text(file);
  command.add_flag("--force", output.replace, "replace " + file + " if it exists");
}

void AddPack(CLI::App& tool, Settings& settings) {
  CLI::App& pack =
      *tool.add_subcommand("pack", "build a container from a flash payload or from a whole image");
  pack.footer(
      "Puts the 8-byte header (\"FW\", byte 2, the version byte, the big-endian length field)\n"
      "in front of a flash payload of at most 65,536 bytes, pads a shorter payload with 0xFF\n"
      "(erased flash), and encodes the 65,544-byte image into a 262,176-byte container with\n"
      "fresh random fillers. With --image, encodes a whole 65,544-byte image as it is.\n"
      "Numbers are decimal, or hexadecimal after \"0x\".");
  CLI::Option* payload =
      AddFileOption(pack, "PAYLOAD.bin", settings.input, "the flash payload, at most 65,536 bytes")
          ->option_text("(or --image)");
  AddOutputOptions(pack, settings.output, "OUT.fwu");
  CLI::Option* version = pack.add_option("--version", settings.header.versionByte,
                                         "the image's version, each number 0 to 15;\n"
                                         "the updater needs 1.2 or later")
                             ->transform(VersionByte())
                             ->option_text("MAJOR.MINOR");
  CLI::Option* byte2 =
      pack.add_option("--byte2", settings.header.byte2, "header byte 2, 0 to 255 (default 0)")
          ->transform(Number(0xFF, "a byte (0 to 255)"))
          ->option_text("N");
  CLI::Option* length =
      pack.add_option("--length", settings.header.length,
                      "the length field, at most 16,777,215 so that byte 4 is 0\n"
                      "(default: the payload's size in bytes)")
          ->transform(Number(0xFFFFFF, "a length of at most 16,777,215 (header byte 4 must be 0)"))
          ->option_text("N");
  CLI::Option* image = AddFileOption(pack, "--image", settings.image,
                                     "encode this whole image instead of building one")
                           ->excludes(payload, version, byte2, length)
                           ->option_text("IMAGE.bin");
  pack.callback([&settings, payload, version, image] {
    if (*image) {
      PackImage(settings.image, settings.output);
    } else if (!*payload) {
      throw CLI::RequiredError("PAYLOAD.bin (or --image)");
    } else if (!*version) {
      throw CLI::RequiredError("--version MAJOR.MINOR");
    } else {
      PackPayload(settings.input, settings.header, settings.output);
    }
  });
}

void AddUnpack(CLI::App& tool, Settings& settings) {
  CLI::App& unpack = *tool.add_subcommand("unpack", "decode a container into its image or payload");
  unpack.footer(
      "Decodes the first 262,176 bytes of a container, as the updater does, and writes the\n"
      "65,544-byte image, header included.");
  AddFileOption(unpack, "IN.fwu", settings.input, "the container")->required()->type_name("");
  AddOutputOptions(unpack, settings.output, "OUT.bin");
  unpack.add_flag("--payload", settings.payloadOnly,
                  "write only the 65,536-byte flash payload, without the header");
  unpack.callback([&settings] { Unpack(settings.input, settings.payloadOnly, settings.output); });
}

void AddInfo(CLI::App& tool, Settings& settings, int& status) {
  CLI::App& info = *tool.add_subcommand(
      "info", "show a container's header and whether the updater would accept it");
  info.footer("Exits with 0 when the updater would accept the container and with 1 when not.");
  AddFileOption(info, "IN.fwu", settings.input, "the container")->required()->type_name("");
  info.callback(
      [&settings, &status] { status = Info(settings.input) ? kExitSuccess : kExitRefused; });
}

// CLI11's sentence, with the command it is about and where to read that command's usage.
std::string WrongCommandLine(const CLI::App& tool, const CLI::ParseError& error) {
  const std::vector<CLI::App*> commands = tool.get_subcommands();
  if (commands.empty()) {
    return std::string(error.what()) +
           "; the commands are pack, unpack and info (see \"tlx-fwu --help\").";
  }
  const std::string command = commands.front()->get_name();
  return command + ": " + error.what() + "; see " + Quoted("tlx-fwu " + command + " --help") + ".";
}

int Run(std::vector<std::string> arguments) {
  CLI::App tool("Makes and inspects .fwu firmware containers for the Tambrelux Pro Updater.",
                "tlx-fwu");
  tool.footer(std::string("\"tlx-fwu COMMAND --help\" lists the options of a command.\n") +
              kExitStatuses);
  tool.get_formatter()->column_width(30);
  tool.require_subcommand(0, 1);
  Settings settings;
  int status = kExitSuccess;
  AddPack(tool, settings);
  AddUnpack(tool, settings);
  AddInfo(tool, settings, status);
  try {
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    tool.parse(static_cast<int>(argv.size()), argv.data());
    if (tool.get_subcommands().empty()) {
      throw CLI::RequiredError("A command");
    }
    return status;
  } catch (const CLI::CallForHelp&) {
    std::cout << tool.help();
    return kExitSuccess;
  } catch (const CLI::ParseError& error) {
    std::cerr << "tlx-fwu: " << WrongCommandLine(tool, error) << "\n";
  } catch (const ToolError& error) {
    std::cerr << "tlx-fwu: " << error.what() << "\n";
  }
  return kExitError;
}

}  // namespace
}  // namespace tlx::fwu

int main(int argc, char** argv) {
  return tlx::fwu::Run(tlx::fwu::CommandArguments(argc, argv));
}
