// The three commands of tlx-fwu. Each returns its exit status; a failure it cannot get past
// is thrown as a ToolError. Notes for the user go to `err`, reports to `out`.
#pragma once

#include <ostream>

#include "requests.h"

namespace tlx::fwu {

int RunPackPayload(const PackPayloadRequest& request, std::ostream& err);
int RunPackImage(const PackImageRequest& request, std::ostream& err);
int RunUnpack(const UnpackRequest& request, std::ostream& err);
int RunInfo(const InfoRequest& request, std::ostream& out);

}  // namespace tlx::fwu
