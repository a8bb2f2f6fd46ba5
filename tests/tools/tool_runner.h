// Runs the real tlx-fwu binary in a fresh temporary folder and collects what it printed.
#pragma once

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace tlx::fwu {

struct ToolRun {
  int exitStatus = -1;
  std::string out;
  std::string err;
};

class ToolFolder {
 public:
  ToolFolder();
  ~ToolFolder();
  ToolFolder(const ToolFolder&) = delete;
  ToolFolder& operator=(const ToolFolder&) = delete;

  // Runs tlx-fwu with the folder as its working directory.
  ToolRun Run(const std::vector<std::string>& arguments) const;

  std::filesystem::path PathOf(const std::string& name) const { return work_ / name; }
  void Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;
  std::vector<std::uint8_t> Read(const std::string& name) const;
  std::set<std::string> Names() const;  // what the folder holds, temporary files included

 private:
  std::filesystem::path root_;  // holds the working folder and the captured output
  std::filesystem::path work_;
};

}  // namespace tlx::fwu
