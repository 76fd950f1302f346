#include "generation/agency_libraries.h"

#include <dlfcn.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <system_error>
#include <thread>
#include <vector>

#include "app/context.h"
#include "data/values/error.h"
#include "generation/agency_interface.h"
#include "generation/directories.h"

namespace kapred {

namespace {

template <typename Function>
Function entryAs(void* address) {
    static_assert(sizeof(Function) == sizeof(void*));
    Function function = nullptr;
    std::memcpy(&function, &address, sizeof function);
    return function;
}

std::string untilNul(const std::vector<char>& buffer) {
    return std::string(buffer.data(), ::strnlen(buffer.data(), buffer.size()));
}

// What the child process tells of a library.
enum class Probe { Unusable, WithoutEntry, Usable };

// A folder of its own for the trial encryption, removed with what the library wrote in it.
class ScratchFolder {
public:
    ScratchFolder() {
        std::error_code error;
        std::string pattern = (std::filesystem::temp_directory_path(error) / "kapred-sonda-XXXXXX").string();
        if (!error && ::mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
            std::ofstream(path_ / kTrialFile, std::ios::binary) << "sonda";
        }
    }
    ~ScratchFolder() {
        std::error_code ignored;
        if (!path_.empty()) {
            std::filesystem::remove_all(path_, ignored);
        }
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    static constexpr const char* kTrialFile = "sonda.txt";
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Calls the entry once with inputs that harm nothing: fifteen zeros for each text of the
// verification number; for the encryption, the scratch folder's file, with the Windows directory
// moved to that folder so that the encrypted file lands there and nowhere the user keeps files.
// Runs in the child only: the environment it changes is the child's.
void callHarmlessly(const char* entry, void* address, const std::filesystem::path& scratch) {
    if (std::strcmp(entry, agency::kVerificationEntry) == 0) {
        const char* zeros = "000000000000000";
        entryAs<KapredVerificationEntry>(address)(zeros, zeros, zeros, zeros);
    } else if (std::strcmp(entry, agency::kEncryptionEntry) == 0) {
        if (scratch.empty() || ::setenv(agency::kWindowsDirectoryVariable, scratch.c_str(), 1) != 0) {
            ::_exit(1);
        }
        std::vector<char> path(SarquelLibrary::kPathCharacters + 1, '\0');
        std::vector<char> detail(SarquelLibrary::kDetailCharacters + 1, '\0');
        const std::string file = (scratch / ScratchFolder::kTrialFile).string();
        entryAs<KapredEncryptionEntry>(address)(file.c_str(), path.data(), SarquelLibrary::kPathCharacters,
                                                detail.data(), SarquelLibrary::kDetailCharacters);
    }
}

// The child's part: its exit status is its verdict, and nothing it does reaches the parent.
[[noreturn]] void triesInChild(const std::string& path, const char* entry, const std::filesystem::path& scratch) {
    try {
        void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            ::_exit(1);
        }
        void* address = ::dlsym(handle, entry);
        if (address == nullptr) {
            ::_exit(2);
        }
        callHarmlessly(entry, address, scratch);
        ::_exit(0);
    } catch (...) {
        ::_exit(1);
    }
}

// Loading a damaged library can end the whole process inside the loader, and a damaged entry can
// end it when called, before any error can be told. The library is therefore first loaded, and
// its entry looked up and called once, in a child process whose death costs nothing; one that
// does not answer in time counts as unusable.
Probe probeInChild(const std::string& path, const char* entry) {
    const ScratchFolder scratch;
    const pid_t child = ::fork();
    if (child == 0) {
        triesInChild(path, entry, scratch.path());
    }
    if (child < 0) {
        return Probe::Unusable;
    }
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (::waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return Probe::Unusable;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (!WIFEXITED(status)) {
        return Probe::Unusable;
    }
    return WEXITSTATUS(status) == 0 ? Probe::Usable : WEXITSTATUS(status) == 2 ? Probe::WithoutEntry : Probe::Unusable;
}

// A path with a "/" in it: the library is never looked for anywhere else.
std::string loadablePath(const std::filesystem::path& file) {
    return file.has_parent_path() ? file.string() : "./" + file.string();
}

}  // namespace

bool AgencyLibrary::loads(const std::filesystem::path& file, const char* entry) {
    std::error_code error;
    return std::filesystem::is_regular_file(file, error) && probeInChild(loadablePath(file), entry) == Probe::Usable;
}

AgencyLibrary::AgencyLibrary(const std::filesystem::path& file, const char* entry, std::string source)
    : file_(file), source_(std::move(source)) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(file_, error)) {
        throw Error(kErrLibraryNotFound, source_, "No se encontró el archivo: " + file_.string());
    }
    const std::string path = loadablePath(file_);
    if (probeInChild(path, entry) == Probe::Unusable ||
        (handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) == nullptr) {
        throw Error(kErrLibraryNotLoaded, source_, "Error al cargar la DLL: " + file_.string());
    }
    address_ = ::dlsym(handle_, entry);
    if (address_ == nullptr) {
        ::dlclose(handle_);
        throw Error(kErrEntryNotFound, source_,
                    std::string("No se encontró el punto de entrada ") + entry + " en la DLL " + file_.string());
    }
}

AgencyLibrary::~AgencyLibrary() {
    ::dlclose(handle_);
}

std::int16_t CallVerificationLibrary(const std::string& systemDirectory, const std::string& cuit,
                                     const std::string& declaration, const std::string& amount,
                                     const std::string& timeStamp, const std::string& source) {
    const AgencyLibrary library(std::filesystem::path(systemDirectory) / agency::kVerificationLibrary,
                                agency::kVerificationEntry, source);
    const auto call = entryAs<KapredVerificationEntry>(library.address());
    return call(cuit.c_str(), declaration.c_str(), amount.c_str(), timeStamp.c_str());
}

SarquelLibrary::SarquelLibrary(std::string systemDirectory) : systemDirectory_(std::move(systemDirectory)) {}

SarquelLibrary::SarquelLibrary(const Context& context) : SarquelLibrary(DirWinSystem(context)) {}

std::filesystem::path SarquelLibrary::file() const {
    return std::filesystem::path(systemDirectory_) / agency::kEncryptionLibrary;
}

bool SarquelLibrary::installed() const {
    std::error_code error;
    return std::filesystem::is_regular_file(file(), error);
}

SarquelLibrary::Result SarquelLibrary::encrypt(const std::string& file) const {
    const AgencyLibrary library(this->file(), agency::kEncryptionEntry, "EncriptarSarquel");
    const auto call = entryAs<KapredEncryptionEntry>(library.address());
    std::vector<char> path(kPathCharacters + 1, '\0');
    std::vector<char> detail(kDetailCharacters + 1, '\0');
    Result result;
    result.code = call(file.c_str(), path.data(), kPathCharacters, detail.data(), kDetailCharacters);
    result.path = untilNul(path);
    result.detail = untilNul(detail);
    return result;
}

bool bSarquelInstalado(const Context& context) {
    const std::filesystem::path system = DirWinSystem(context);
    return AgencyLibrary::loads(system / agency::kEncryptionLibrary, agency::kEncryptionEntry) &&
           AgencyLibrary::loads(system / agency::kVerificationLibrary, agency::kVerificationEntry);
}

}  // namespace kapred
