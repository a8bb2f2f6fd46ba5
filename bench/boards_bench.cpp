// Several simulated boards at the realistic pace, updated in one run of the real tlx-update
// (--sim --boards N --all --yes): the elapsed time against one board alone, and per board the
// processor time and the resident memory the run needs beyond one board. Boards wait on their
// own wires, never on each other, so the elapsed time should hardly grow with N. Prints one
// row per N, each the median of the runs.
//
//   boards_bench TLX_UPDATE [--runs R] [--boards 1,2,4,...]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "board_runs.h"

namespace {

namespace fs = std::filesystem;

struct Sample {
  double elapsedMs = 0;
  double cpuMs = 0;
  double maxResidentKb = 0;
  int status = -1;
};

double Ms(const timeval& time) {
  return time.tv_sec * 1000.0 + time.tv_usec / 1000.0;
}

// One run in folder, its output thrown away, measured by the kernel's account of the child.
Sample RunOnce(const std::string& program, const fs::path& folder, int boards) {
  const std::string count = std::to_string(boards);
  std::vector<std::string> args{program, "--sim",  "--boards",  count,   "--all",
                                "--yes", "--pace", "realistic", "--json"};
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  std::fflush(stdout);
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    if (chdir(folder.c_str()) != 0 || !freopen("/dev/null", "w", stdout) ||
        !freopen("/dev/null", "w", stderr) || !freopen("/dev/null", "r", stdin))
      _exit(127);
    setenv("XDG_STATE_HOME", (folder / "state").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  Sample sample;
  sample.elapsedMs =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  sample.cpuMs = Ms(usage.ru_utime) + Ms(usage.ru_stime);
  sample.maxResidentKb = static_cast<double>(usage.ru_maxrss);
  sample.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return sample;
}

Sample MedianOf(const std::vector<Sample>& samples) {
  const auto of = [&](double Sample::*field) {
    std::vector<double> values;
    for (const Sample& sample : samples) values.push_back(sample.*field);
    return tlx::bench::Median(values);
  };
  Sample median{of(&Sample::elapsedMs), of(&Sample::cpuMs), of(&Sample::maxResidentKb), 0};
  for (const Sample& sample : samples)
    if (sample.status != 0) median.status = sample.status;
  return median;
}

// A firmware file of version 2.0 in the folder: the header, a random payload, encoded as the
// program's own packer would; written by tlx-fwu beside the program.
bool WriteFirmware(const std::string& program, const fs::path& folder) {
  std::ofstream payload(folder / "fw.bin", std::ios::binary);
  std::mt19937 random(7);
  for (int i = 0; i < 65536; ++i) payload.put(static_cast<char>(random()));
  payload.close();
  const fs::path packer = fs::path(program).parent_path() / ".." / "tlx-fwu" / "tlx-fwu";
  const std::string command = packer.string() + " pack " + (folder / "fw.bin").string() + " -o " +
                              (folder / "TLX.fwu").string() + " --version 2.0 --force >/dev/null";
  return std::system(command.c_str()) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: boards_bench TLX_UPDATE [--runs R] [--boards 1,2,4,...]\n");
    return 2;
  }
  const std::string program = fs::absolute(argv[1]).string();
  const auto [runs, counts] = tlx::bench::ParseBoardRuns(argc, argv, {1, 2, 4, 8, 16, 32});
  const fs::path folder = fs::temp_directory_path() / ("boards_bench." + std::to_string(getpid()));
  fs::create_directories(folder);
  if (!WriteFirmware(program, folder)) {
    std::fprintf(stderr, "boards_bench: tlx-fwu could not write the firmware file\n");
    return 1;
  }
  std::printf("%6s %12s %10s %14s %12s %16s\n", "boards", "elapsed ms", "÷ one", "CPU ms/board",
              "resident MB", "extra MB/board");
  Sample one;
  int failures = 0;
  for (const int boards : counts) {
    std::vector<Sample> samples;
    for (int run = 0; run < runs; ++run) samples.push_back(RunOnce(program, folder, boards));
    const Sample median = MedianOf(samples);
    if (boards == counts.front()) one = median;
    const double extraPerBoard =
        boards > 1 ? (median.maxResidentKb - one.maxResidentKb) / 1024.0 / (boards - 1) : 0.0;
    std::printf("%6d %12.0f %10.3f %14.1f %12.1f %16.3f%s\n", boards, median.elapsedMs,
                median.elapsedMs / one.elapsedMs, median.cpuMs / boards,
                median.maxResidentKb / 1024.0, extraPerBoard,
                median.status == 0 ? "" : "  (a run failed)");
    if (median.status != 0) ++failures;
  }
  fs::remove_all(folder);
  return failures == 0 ? 0 : 1;
}
