#include "sim/trace.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <iterator>

namespace tlx::sim {
namespace {

std::string Hex(const std::vector<std::uint8_t>& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (std::uint8_t byte : bytes) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
  }
  return text;
}

// Descriptions come from the host and may hold any byte. Each byte is taken as the character
// of the same number, so that non-ASCII bytes are written as \u00XX and every line stays valid
// JSON whatever the host sent.
std::string AsCharacters(const std::string& bytes) {
  std::string utf8;
  for (const unsigned char c : bytes) {
    if (c < 0x80) {
      utf8 += static_cast<char>(c);
    } else {
      utf8 += static_cast<char>(0xC0 | (c >> 6));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return utf8;
}

void AddCallFields(nlohmann::ordered_json& line, const TraceEntry& entry) {
  switch (entry.call) {
    case D2xxCall::OpenEx:
      line["description"] = AsCharacters(entry.description);
      line["flags"] = entry.flags;
      return;
    case D2xxCall::SetTimeouts:
      line["read"] = entry.readTimeout;
      line["write"] = entry.writeTimeout;
      return;
    case D2xxCall::SetLatencyTimer:
      line["ms"] = entry.latencyMs;
      return;
    case D2xxCall::SetUSBParameters:
      line["in"] = entry.inSize;
      line["out"] = entry.outSize;
      return;
    case D2xxCall::Write:
      line["data"] = Hex(entry.data);
      line["written"] = entry.written;
      return;
    case D2xxCall::Read:
      line["requested"] = entry.requested;
      line["data"] = Hex(entry.data);
      return;
    case D2xxCall::Purge:
      line["mask"] = entry.mask;
      return;
    case D2xxCall::Close:
      return;
  }
}

}  // namespace

const char* CallName(D2xxCall call) {
  switch (call) {
    case D2xxCall::OpenEx:
      return "FT_OpenEx";
    case D2xxCall::SetTimeouts:
      return "FT_SetTimeouts";
    case D2xxCall::SetLatencyTimer:
      return "FT_SetLatencyTimer";
    case D2xxCall::SetUSBParameters:
      return "FT_SetUSBParameters";
    case D2xxCall::Write:
      return "FT_Write";
    case D2xxCall::Read:
      return "FT_Read";
    case D2xxCall::Purge:
      return "FT_Purge";
    case D2xxCall::Close:
      return "FT_Close";
  }
  return "?";
}

void Trace::Record(TraceEntry entry) {
  entries_.push_back(std::move(entry));
}

void Trace::RecordProgramming(std::uint32_t flashAddress) {
  programmed_.push_back({flashAddress, entries_.size()});
}

std::vector<TraceEntry> Trace::Of(D2xxCall call) const {
  std::vector<TraceEntry> matching;
  std::copy_if(entries_.begin(), entries_.end(), std::back_inserter(matching),
               [call](const TraceEntry& entry) { return entry.call == call; });
  return matching;
}

std::string Trace::JsonLines() const {
  std::string lines;
  for (const TraceEntry& entry : entries_) {
    nlohmann::ordered_json line{{"call", CallName(entry.call)}, {"status", entry.status}};
    AddCallFields(line, entry);
    lines += line.dump(-1, ' ', true) + "\n";
  }
  return lines;
}

}  // namespace tlx::sim
