#include "options/command_line.h"

#include <iostream>
#include <string>

namespace tlx::options {

std::optional<int> ParseCommandLine(CLI::App& app, int argc, char** argv) {
  app.set_help_flag("-h,--help", "Show this help and exit.");
  app.set_version_flag("--version", app.get_name() + " " + TLX_VERSION,
                       "Show the version and exit.");
  try {
    app.parse(argc, argv);
    return std::nullopt;
  } catch (const CLI::CallForHelp&) {
    std::cout << app.help();
  } catch (const CLI::CallForVersion& version) {
    std::cout << version.what() << "\n";
  } catch (const CLI::ParseError& error) {
    std::string sentence = error.what();
    if (sentence.ends_with('.')) sentence.pop_back();
    std::cerr << app.get_name() << ": " << sentence << "; see \"" << app.get_name()
              << " --help\".\n";
    return kExitBadCommandLine;
  }
  return 0;
}

std::optional<int> ParseCommandLine(CLI::App& app, std::vector<std::string> arguments) {
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  return ParseCommandLine(app, static_cast<int>(argv.size()), argv.data());
}

}  // namespace tlx::options
