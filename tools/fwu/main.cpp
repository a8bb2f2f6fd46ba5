// tlx-fwu: packs, unpacks and inspects .fwu firmware containers.
#include <iostream>
#include <string_view>
#include <vector>

#include "tool.h"

int main(int argc, char** argv) {
  const std::vector<std::string_view> arguments(argv + 1, argv + argc);
  return tlx::fwu::RunTool(arguments, std::cout, std::cerr);
}
