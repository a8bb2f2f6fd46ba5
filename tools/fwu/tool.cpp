#include "tool.h"

#include <variant>

#include "arguments.h"
#include "commands.h"
#include "tool_error.h"

namespace tlx::fwu {
namespace {

struct Dispatch {
  std::ostream& out;
  std::ostream& err;

  int operator()(const PackPayloadRequest& request) const { return RunPackPayload(request, err); }
  int operator()(const PackImageRequest& request) const { return RunPackImage(request, err); }
  int operator()(const UnpackRequest& request) const { return RunUnpack(request, err); }
  int operator()(const InfoRequest& request) const { return RunInfo(request, out); }
  int operator()(const HelpRequest& request) const {
    out << request.text;
    return kExitSuccess;
  }
};

}  // namespace

int RunTool(std::span<const std::string_view> arguments, std::ostream& out, std::ostream& err) {
  try {
    return std::visit(Dispatch{out, err}, ParseArguments(arguments));
  } catch (const ToolError& error) {
    err << "tlx-fwu: " << error.what() << "\n";
    return kExitError;
  }
}

}  // namespace tlx::fwu
