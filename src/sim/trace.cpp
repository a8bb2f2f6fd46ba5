#include "sim/trace.h"

#include <algorithm>
#include <cstdio>
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

// Descriptions come from the host and may hold any byte; each non-printable or non-ASCII
// byte is written as \u00XX so every line stays valid JSON.
std::string JsonString(const std::string& text) {
  std::string quoted = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      quoted += escaped;
    } else {
      quoted += static_cast<char>(c);
    }
  }
  return quoted + "\"";
}

std::string Field(const char* key, const std::string& jsonValue) {
  return std::string(",\"") + key + "\":" + jsonValue;
}

std::string Field(const char* key, DWORD value) {
  return Field(key, std::to_string(value));
}

std::string CallFields(const TraceEntry& entry) {
  switch (entry.call) {
    case D2xxCall::OpenEx:
      return Field("description", JsonString(entry.description)) + Field("flags", entry.flags);
    case D2xxCall::SetTimeouts:
      return Field("read", entry.readTimeout) + Field("write", entry.writeTimeout);
    case D2xxCall::SetLatencyTimer:
      return Field("ms", entry.latencyMs);
    case D2xxCall::SetUSBParameters:
      return Field("in", entry.inSize) + Field("out", entry.outSize);
    case D2xxCall::Write:
      return Field("data", JsonString(Hex(entry.data))) + Field("written", entry.written);
    case D2xxCall::Read:
      return Field("requested", entry.requested) + Field("data", JsonString(Hex(entry.data)));
    case D2xxCall::Purge:
      return Field("mask", entry.mask);
    case D2xxCall::Close:
      return {};
  }
  return {};
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
    lines += std::string("{\"call\":\"") + CallName(entry.call) + "\"";
    lines += Field("status", entry.status);
    lines += CallFields(entry);
    lines += "}\n";
  }
  return lines;
}

}  // namespace tlx::sim
