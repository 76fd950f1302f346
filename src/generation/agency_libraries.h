#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace kapred {

struct Context;

// Errors raised when an agency library cannot be used, with the numbers the program has always
// shown for them.
inline constexpr long kErrLibraryNotFound = 53;   // no such file in the system directory
inline constexpr long kErrLibraryNotLoaded = 48;  // the file is not a loadable library
inline constexpr long kErrEntryNotFound = 453;    // the library lacks the entry

// One of the agency's libraries, loaded from a file for as long as the object lives, with the
// entry the program calls. Before it is loaded here, another process (this program started
// afresh) loads it and calls the entry once with harmless inputs: a library that dies or hangs
// then costs only that process.
class AgencyLibrary {
public:
    // Raises kErrLibraryNotFound when there is no such file, kErrLibraryNotLoaded when it cannot
    // be loaded or its entry does not survive the trial call, and kErrEntryNotFound when it lacks
    // the entry; `source` names the procedure in the raised error.
    AgencyLibrary(const std::filesystem::path& file, const char* entry, std::string source);
    ~AgencyLibrary();
    AgencyLibrary(const AgencyLibrary&) = delete;
    AgencyLibrary& operator=(const AgencyLibrary&) = delete;

    // The file is there and loads, and the named entry answers a harmless call, all without harm
    // to this process.
    static bool loads(const std::filesystem::path& file, const char* entry);

    // The address of the entry.
    void* address() const { return address_; }

private:
    std::filesystem::path file_;
    std::string source_;
    void* handle_ = nullptr;
    void* address_ = nullptr;
};

// Calls the verification-number library installed in the system directory with the four texts
// of 15 digits and gives back its signed 16-bit result. Raises the errors of AgencyLibrary.
std::int16_t CallVerificationLibrary(const std::string& systemDirectory, const std::string& cuit,
                                     const std::string& declaration, const std::string& amount,
                                     const std::string& timeStamp, const std::string& source);

// The encryption library, looked for in the system directory. The delivery step asks it to
// encrypt a file lying in the Windows directory.
class SarquelLibrary {
public:
    static constexpr std::int32_t kPathCharacters = 1000;
    static constexpr std::int32_t kDetailCharacters = 2000;

    struct Result {
        std::int16_t code = 0;  // the library's result: 0 on success
        std::string path;       // the first buffer up to its first NUL: the encrypted file's path
        std::string detail;     // the second buffer up to its first NUL (not needed by the program)
    };

    explicit SarquelLibrary(std::string systemDirectory);
    explicit SarquelLibrary(const Context& context);

    std::filesystem::path file() const;
    // The library file is in the system directory (it is not loaded to find out).
    bool installed() const;

    // Loads the library and calls its entry with the file, a first buffer of 1001 NUL characters
    // and the number 1000, a second one of 2001 and the number 2000. A missing library or entry
    // raises the errors of AgencyLibrary; a failure of the library itself is a non-zero code.
    Result encrypt(const std::string& file) const;

private:
    std::string systemDirectory_;
};

// The component check of the generate dialog: both libraries of the agency are installed, load
// with their entries and answer a harmless call (a damaged or foreign file does not).
bool bSarquelInstalado(const Context& context);

}  // namespace kapred
