#include "terminal/json_line.h"

namespace tlx::terminal {

std::string JsonLine(const JsonFields& fields, const ListedBoard* board) {
  JsonFields line;
  for (auto field = fields.begin(); field != fields.end(); ++field) {
    line[field.key()] = field.value();
    if (field == fields.begin() && board != nullptr)
      line["board"] = {{"port", board->port}, {"serial", board->serial}};
  }
  return line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace tlx::terminal
