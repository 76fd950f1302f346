// Stand-in for the tax agency's encryption library.
//
// Entry: sarquel(file, path, pathSize, detail, detailSize), returning a signed 16-bit result,
// 0 on success (the other results are listed in generation/agency_interface.h).
//
// It reads the whole file and seals it to the agency's public key with libsodium's sealed box
// (crypto_box_seal: an ephemeral X25519 key pair, XSalsa20-Poly1305; only the holder of the
// agency's private key can open it). The public key is read on every call from the file
// "agencia.pub" in the folder the library was loaded from. The sealed box is written encoded in
// Base64 (standard alphabet with padding, on one line without a line end) into the Windows
// directory, under the file's name with its extension replaced by ".B64"; "012345F0369.txt"
// gives "012345F0369.B64". The Windows directory is KAPRED_WINDIR when that variable is set,
// else the folder of the given file (see agency_interface.h). The full path of the encrypted
// file goes into `path`, which must hold it within pathSize characters besides the terminating
// NUL; `detail`, when given, receives a short description of the outcome within detailSize
// characters. Nothing is written to the Windows directory when the call fails.

#include <dlfcn.h>
#include <sodium.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "generation/agency_interface.h"

namespace {

namespace fs = std::filesystem;
using namespace kapred::agency;

using PublicKey = std::array<unsigned char, crypto_box_PUBLICKEYBYTES>;

// Any object of the library: its address tells where the library was loaded from.
const int kAnchor = 0;

fs::path libraryDirectory() {
    Dl_info info{};
    if (dladdr(&kAnchor, &info) == 0 || info.dli_fname == nullptr) {
        return {};
    }
    return fs::path(info.dli_fname).parent_path();
}

void copyText(const std::string& text, char* buffer, std::int32_t size) {
    if (buffer == nullptr || size < 0) {
        return;
    }
    const std::size_t count = std::min(text.size(), static_cast<std::size_t>(size));
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
}

std::optional<std::string> readFile(const fs::path& path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) {
        return std::nullopt;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (file.bad()) {
        return std::nullopt;
    }
    return bytes;
}

struct Outcome {
    std::int16_t result;
    std::string detail;
};

// The key: 64 hexadecimal digits, blanks and line ends around them allowed.
std::optional<PublicKey> parseKey(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return std::nullopt;
    }
    const auto last = text.find_last_not_of(" \t\r\n");
    const std::string digits = text.substr(first, last - first + 1);
    if (digits.size() != 2 * crypto_box_PUBLICKEYBYTES) {
        return std::nullopt;
    }
    PublicKey key{};
    std::size_t length = 0;
    const char* end = nullptr;
    if (sodium_hex2bin(key.data(), key.size(), digits.data(), digits.size(), nullptr, &length, &end) != 0 ||
        length != key.size() || end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    return key;
}

Outcome encrypt(const char* file, char* path, std::int32_t pathSize) {
    if (file == nullptr || *file == '\0' || path == nullptr || pathSize <= 0) {
        return {kEncryptionBadArguments, "Argumentos incorrectos."};
    }
    const fs::path keyPath = libraryDirectory() / kAgencyKeyFile;
    const auto keyText = readFile(keyPath);
    if (!keyText) {
        return {kEncryptionNoKey, "No se puede leer la clave " + keyPath.string() + "."};
    }
    const auto key = parseKey(*keyText);
    if (!key) {
        return {kEncryptionBadKey, "La clave " + keyPath.string() + " no es válida."};
    }
    const fs::path input(file);
    const auto plain = readFile(input);
    if (!plain) {
        return {kEncryptionNoInput, "No se puede leer el archivo " + input.string() + "."};
    }
    const std::string output = windowsDirectory(input.parent_path()) + input.stem().string() + kEncryptedExtension;
    if (output.size() > static_cast<std::size_t>(pathSize)) {
        return {kEncryptionPathTooLong, "La ruta del archivo encriptado es demasiado larga."};
    }
    if (sodium_init() < 0) {
        return {kEncryptionFailed, "No se pudo iniciar la encriptación."};
    }
    std::vector<unsigned char> sealed(plain->size() + crypto_box_SEALBYTES);
    if (crypto_box_seal(sealed.data(), reinterpret_cast<const unsigned char*>(plain->data()), plain->size(),
                        key->data()) != 0) {
        return {kEncryptionFailed, "La encriptación falló."};
    }
    std::string encoded(sodium_base64_ENCODED_LEN(sealed.size(), sodium_base64_VARIANT_ORIGINAL), '\0');
    sodium_bin2base64(encoded.data(), encoded.size(), sealed.data(), sealed.size(), sodium_base64_VARIANT_ORIGINAL);
    encoded.resize(std::strlen(encoded.c_str()));
    {
        std::ofstream out(output, std::ios::binary | std::ios::trunc);
        out.write(encoded.data(), static_cast<std::streamsize>(encoded.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            fs::remove(output, ignored);
            return {kEncryptionNotWritten, "No se puede escribir el archivo " + output + "."};
        }
    }
    copyText(output, path, pathSize);
    return {kEncryptionOk, "Archivo encriptado."};
}

}  // namespace

extern "C" __attribute__((visibility("default"))) std::int16_t sarquel(const char* file, char* path,
                                                                       std::int32_t pathSize, char* detail,
                                                                       std::int32_t detailSize) {
    Outcome outcome{kEncryptionFailed, "Error inesperado."};
    try {
        outcome = encrypt(file, path, pathSize);
    } catch (...) {
        // Nothing may cross the C boundary; the result says the call failed.
    }
    copyText(outcome.detail, detail, detailSize);
    return outcome.result;
}

// The entry keeps the signature the program calls it with.
[[maybe_unused]] static constexpr KapredEncryptionEntry kEntry = &sarquel;
