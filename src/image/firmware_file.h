// Reading a firmware file: the name's ending and the container's bytes, as the updater takes
// them from disk.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tlx {

// Only the last three characters count, in any case: "imagefwu" passes, "image.fwu.bak" does
// not.
bool EndsWithFwu(const std::string& path);

// Reads the first container's worth of bytes of a regular file (a folder counts as missing)
// into fileBuffer, which holds exactly one container. The buffer is written only when all of
// them arrived: a short file must not leave a mix of two files behind for the decoder. A
// longer file's tail is ignored.
bool ReadContainer(const std::filesystem::path& path, std::vector<std::uint8_t>& fileBuffer);

}  // namespace tlx
