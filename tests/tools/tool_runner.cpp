#include "tool_runner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

extern char** environ;

namespace tlx::fwu {
namespace {

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace

ToolFolder::ToolFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tlx-fwu-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("cannot create a temporary folder");
  }
  root_ = pattern;
  work_ = root_ / "work";
  std::filesystem::create_directory(work_);
}

ToolFolder::~ToolFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(root_, ignored);
}

ToolRun ToolFolder::Run(const std::vector<std::string>& arguments) const {
  const std::string program = TLX_FWU_PATH;
  const std::string outPath = (root_ / "stdout").string();
  const std::string errPath = (root_ / "stderr").string();
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_addchdir_np(&actions, work_.c_str());
  pid_t child = 0;
  const int spawned =
      ::posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    throw std::runtime_error("cannot start " + program);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(outPath), ReadText(errPath)};
}

void ToolFolder::Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
  std::ofstream file(PathOf(name), std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> ToolFolder::Read(const std::string& name) const {
  const std::string text = ReadText(PathOf(name));
  return {text.begin(), text.end()};
}

std::set<std::string> ToolFolder::Names() const {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(work_)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

}  // namespace tlx::fwu
