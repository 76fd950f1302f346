#pragma once

// What the program and the tax agency's two libraries agree on: the file and entry names, the
// entries' signatures, the public key file and the rule for the two directories involved. The
// libraries under agency/ include this header as well, so neither side can drift from the other.
// It depends on nothing but the standard library.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

extern "C" {

// The verification-number entry: four texts of 15 digits (CUIT, declaration code, amount to pay
// in cents, time stamp "HHMMSS"), and a 16-bit value that depends only on those four texts.
typedef std::int16_t (*KapredVerificationEntry)(const char* cuit, const char* declaration, const char* amount,
                                                const char* timeStamp);

// The encryption entry: the path of the file to encrypt; a buffer that receives the full path of
// the encrypted file and the number of characters it holds besides its terminating NUL (1000); a
// second buffer and its size (2000) that receives a short description of the outcome. Returns 0
// on success.
typedef std::int16_t (*KapredEncryptionEntry)(const char* file, char* path, std::int32_t pathSize, char* detail,
                                              std::int32_t detailSize);
}

namespace kapred::agency {

// The verification-number library and its entry.
inline constexpr const char* kVerificationLibrary = "libpivel32.so";
inline constexpr const char* kVerificationEntry = "pivel_numero_verificacion";

// The encryption library, its entry and the agency's public key installed beside it: the
// 32-byte key written as 64 hexadecimal digits (blanks and line ends around them are allowed).
inline constexpr const char* kEncryptionLibrary = "libsarquel2.so";
inline constexpr const char* kEncryptionEntry = "sarquel";
inline constexpr const char* kAgencyKeyFile = "agencia.pub";
// The extension of the encrypted files the encryption library writes.
inline constexpr const char* kEncryptedExtension = ".B64";

// Results of the encryption entry besides 0.
enum EncryptionResult : std::int16_t {
    kEncryptionOk = 0,
    kEncryptionBadArguments = 1,  // no file name or no first buffer
    kEncryptionNoKey = 2,         // the key file is missing or unreadable
    kEncryptionBadKey = 3,        // the key file does not hold a 32-byte key
    kEncryptionNoInput = 4,       // the file to encrypt cannot be read
    kEncryptionFailed = 5,        // the cryptographic library could not start or failed
    kEncryptionNotWritten = 6,    // the encrypted file could not be written
    kEncryptionPathTooLong = 7,   // the full path does not fit the first buffer
};

// The two directories. Each may be moved by an environment variable; otherwise the system
// directory is the folder "sistema" of the program directory (where the build installs the
// libraries and the key, see resources/CMakeLists.txt) and the Windows directory, the program's
// private work folder, is the folder "windows" of the program directory.
inline constexpr const char* kSystemDirectoryVariable = "KAPRED_SYSDIR";
inline constexpr const char* kWindowsDirectoryVariable = "KAPRED_WINDIR";
inline constexpr const char* kSystemFolder = "sistema";
inline constexpr const char* kWindowsFolder = "windows";

// A directory as text ending in exactly one "/" when it did not end in one already.
inline std::string withTrailingSeparator(std::string directory) {
    if (!directory.empty() && directory.back() != '/') {
        directory.push_back('/');
    }
    return directory;
}

// The directory an environment variable names, trimmed of blanks on the right, or the fallback
// when the variable is not set or blank; as text ending in "/".
inline std::string directoryFor(const char* variable, const std::filesystem::path& fallback) {
    std::string value;
    if (const char* set = std::getenv(variable)) {
        value = set;
    }
    while (!value.empty() && value.back() == ' ') {
        value.pop_back();
    }
    if (value.empty()) {
        value = fallback.empty() ? std::string(".") : fallback.string();
    }
    return withTrailingSeparator(std::move(value));
}

// The Windows directory. The program passes its program directory's "windows" folder as the
// fallback. The encryption library, which does not know the program directory, passes the
// folder of the file it is given: the program always hands it a file that lies in its Windows
// directory, so both arrive at the same text.
inline std::string windowsDirectory(const std::filesystem::path& fallback) {
    return directoryFor(kWindowsDirectoryVariable, fallback);
}

inline std::string systemDirectory(const std::filesystem::path& programDirectory) {
    return directoryFor(kSystemDirectoryVariable, programDirectory / kSystemFolder);
}

}  // namespace kapred::agency
