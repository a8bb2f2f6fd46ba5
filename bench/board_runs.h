// What the benchmarks share that measure over several runs: the median they report, and the
// runs and board counts that follow the program on the command line of those that run one.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace tlx::bench {

struct BoardRuns {
  int runs = 5;
  std::vector<int> counts;  // numbers of boards, one row each
};

// "1,2,4" -> {1, 2, 4}.
inline std::vector<int> ParseCounts(const std::string& text) {
  std::vector<int> counts;
  std::istringstream list(text);
  for (std::string item; std::getline(list, item, ',');) counts.push_back(std::stoi(item));
  return counts;
}

// [--runs R] [--boards N,N,...] from argv[2] on; counts without --boards.
inline BoardRuns ParseBoardRuns(int argc, char** argv, std::vector<int> counts) {
  BoardRuns parsed{5, std::move(counts)};
  for (int i = 2; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--runs") parsed.runs = std::atoi(argv[i + 1]);
    if (option == "--boards") parsed.counts = ParseCounts(argv[i + 1]);
  }
  return parsed;
}

inline double Median(std::vector<double> values) {
  std::ranges::sort(values);
  return values[values.size() / 2];
}

}  // namespace tlx::bench
