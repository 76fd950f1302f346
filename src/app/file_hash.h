#pragma once

#include <cstdint>
#include <filesystem>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

namespace kapred {

// The SHA-256 of some bytes, as 64 lower-case hexadecimal digits (what sha256sum prints).
std::string sha256Hex(std::string_view bytes);
// The same of a file's bytes, read in blocks; nothing when it cannot be read.
std::optional<std::string> sha256OfFile(const std::filesystem::path& path);
// The same of the next `size` bytes of a stream; nothing when it has fewer.
std::optional<std::string> sha256OfStream(std::istream& in, std::uintmax_t size);

}  // namespace kapred
