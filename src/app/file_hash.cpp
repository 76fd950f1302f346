#include "app/file_hash.h"

#include <sodium.h>

#include <algorithm>
#include <array>
#include <fstream>

namespace kapred {

namespace {

std::string hex(const std::array<unsigned char, crypto_hash_sha256_BYTES>& digest) {
    std::string text(digest.size() * 2 + 1, '\0');
    sodium_bin2hex(text.data(), text.size(), digest.data(), digest.size());
    text.pop_back();
    return text;
}

}  // namespace

std::string sha256Hex(std::string_view bytes) {
    std::array<unsigned char, crypto_hash_sha256_BYTES> digest{};
    crypto_hash_sha256(digest.data(), reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    return hex(digest);
}

std::optional<std::string> sha256OfStream(std::istream& in, std::uintmax_t size) {
    crypto_hash_sha256_state state;
    crypto_hash_sha256_init(&state);
    std::array<char, 64 * 1024> block{};
    while (size > 0) {
        const auto wanted = static_cast<std::streamsize>(std::min<std::uintmax_t>(size, block.size()));
        if (!in.read(block.data(), wanted)) {
            return std::nullopt;
        }
        crypto_hash_sha256_update(&state, reinterpret_cast<const unsigned char*>(block.data()),
                                  static_cast<unsigned long long>(wanted));
        size -= static_cast<std::uintmax_t>(wanted);
    }
    std::array<unsigned char, crypto_hash_sha256_BYTES> digest{};
    crypto_hash_sha256_final(&state, digest.data());
    return hex(digest);
}

std::optional<std::string> sha256OfFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (!in.is_open() || error) {
        return std::nullopt;
    }
    return sha256OfStream(in, size);
}

}  // namespace kapred
