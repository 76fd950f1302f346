#pragma once

#include <gtest/gtest.h>
#include <sodium.h>

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/program_dir.h"

namespace kapred::test {

// The agency's demo key pair: the public key is installed beside the encryption library, the
// private key exists only here, for the tests to open what the library sealed.
using Key = std::array<unsigned char, 32>;

inline std::filesystem::path demoPrivateKeyFile() {
    return std::filesystem::path(KAPRED_RESOURCES_DIR) / ".." / "tests" / "generation" / "data" / "demo_agency.key";
}

// A key file: 64 hexadecimal digits.
inline Key readHexKey(const std::filesystem::path& file) {
    std::string text = readBytes(file);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    Key key{};
    std::size_t length = 0;
    EXPECT_EQ(sodium_hex2bin(key.data(), key.size(), text.data(), text.size(), nullptr, &length, nullptr), 0) << file;
    EXPECT_EQ(length, key.size()) << file;
    return key;
}

// Decodes the Base64 text and opens the sealed box with the agency's key pair.
inline std::optional<std::string> openSealed(const std::string& base64, const Key& publicKey, const Key& privateKey) {
    if (sodium_init() < 0) {
        return std::nullopt;
    }
    std::vector<unsigned char> sealed(base64.size());
    std::size_t length = 0;
    if (sodium_base642bin(sealed.data(), sealed.size(), base64.data(), base64.size(), nullptr, &length, nullptr,
                          sodium_base64_VARIANT_ORIGINAL) != 0 ||
        length < crypto_box_SEALBYTES) {
        return std::nullopt;
    }
    std::string plain(length - crypto_box_SEALBYTES, '\0');
    if (crypto_box_seal_open(reinterpret_cast<unsigned char*>(plain.data()), sealed.data(), length, publicKey.data(),
                             privateKey.data()) != 0) {
        return std::nullopt;
    }
    return plain;
}

// An encrypted file of the installation's system directory opened with the demo key pair.
inline std::optional<std::string> openEncryptedFile(const std::filesystem::path& file,
                                                    const std::filesystem::path& systemDirectory) {
    return openSealed(readBytes(file), readHexKey(systemDirectory / "agencia.pub"), readHexKey(demoPrivateKeyFile()));
}

}  // namespace kapred::test
