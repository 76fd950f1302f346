#include "generation/agency_libraries.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string_view>
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

// What the probe process is told: the library to load and the entry to call. Set only in the
// environment of the probe process, which is this same program started afresh.
constexpr const char* kProbeLibraryVariable = "KAPRED_PROBE_LIBRARY";
constexpr const char* kProbeEntryVariable = "KAPRED_PROBE_ENTRY";

// Calls the entry once with inputs that harm nothing: fifteen zeros for each text of the
// verification number; for the encryption, the scratch folder's file, the scratch folder being
// the probe's Windows directory, so that the encrypted file lands there and nowhere the user
// keeps files.
void callHarmlessly(const char* entry, void* address) {
    if (std::strcmp(entry, agency::kVerificationEntry) == 0) {
        const char* zeros = "000000000000000";
        entryAs<KapredVerificationEntry>(address)(zeros, zeros, zeros, zeros);
    } else if (std::strcmp(entry, agency::kEncryptionEntry) == 0) {
        const char* scratch = std::getenv(agency::kWindowsDirectoryVariable);
        if (scratch == nullptr) {
            ::_exit(1);
        }
        std::vector<char> path(SarquelLibrary::kPathCharacters + 1, '\0');
        std::vector<char> detail(SarquelLibrary::kDetailCharacters + 1, '\0');
        const std::string file = (std::filesystem::path(scratch) / ScratchFolder::kTrialFile).string();
        entryAs<KapredEncryptionEntry>(address)(file.c_str(), path.data(), SarquelLibrary::kPathCharacters,
                                                detail.data(), SarquelLibrary::kDetailCharacters);
    }
}

// The probe process's whole work, its exit status its verdict. It runs while the program's
// statics are set up, before main: no thread exists yet and nothing of the program has started.
bool servesProbe() {
    const char* library = std::getenv(kProbeLibraryVariable);
    const char* entry = std::getenv(kProbeEntryVariable);
    if (library == nullptr || entry == nullptr) {
        return false;
    }
    try {
        void* handle = ::dlopen(library, RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            ::_exit(1);
        }
        void* address = ::dlsym(handle, entry);
        if (address == nullptr) {
            ::_exit(2);
        }
        callHarmlessly(entry, address);
        ::_exit(0);
    } catch (...) {
        ::_exit(1);
    }
}
[[maybe_unused]] const bool kServedProbe = servesProbe();

// The environment of the probe process: this one's, with what the probe is told.
std::vector<std::string> probeEnvironment(const std::string& path, const char* entry,
                                          const std::filesystem::path& scratch) {
    const auto ours = [](std::string_view variable) {
        for (const char* name : {kProbeLibraryVariable, kProbeEntryVariable, agency::kWindowsDirectoryVariable}) {
            if (variable.starts_with(std::string(name) + "=")) {
                return true;
            }
        }
        return false;
    };
    std::vector<std::string> environment;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        if (!ours(*variable)) {
            environment.emplace_back(*variable);
        }
    }
    environment.push_back(std::string(kProbeLibraryVariable) + "=" + path);
    environment.push_back(std::string(kProbeEntryVariable) + "=" + entry);
    if (!scratch.empty()) {
        environment.push_back(std::string(agency::kWindowsDirectoryVariable) + "=" + scratch.string());
    }
    return environment;
}

// Starts this program afresh as the probe process, its standard streams on /dev/null; -1 when it
// cannot be started.
pid_t startProbe(const std::string& path, const char* entry, const std::filesystem::path& scratch) {
    std::vector<std::string> environment = probeEnvironment(path, entry, scratch);
    std::vector<char*> envp;
    for (std::string& variable : environment) {
        envp.push_back(variable.data());
    }
    envp.push_back(nullptr);
    std::string name = "kapred-sonda";
    char* argv[] = {name.data(), nullptr};
    posix_spawn_file_actions_t actions;
    if (::posix_spawn_file_actions_init(&actions) != 0) {
        return -1;
    }
    for (const int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        ::posix_spawn_file_actions_addopen(&actions, stream, "/dev/null", stream == STDIN_FILENO ? O_RDONLY : O_WRONLY,
                                           0);
    }
    pid_t child = -1;
    const int failed = ::posix_spawn(&child, "/proc/self/exe", &actions, nullptr, argv, envp.data());
    ::posix_spawn_file_actions_destroy(&actions);
    return failed == 0 ? child : -1;
}

// Loading a damaged library can end the whole process inside the loader, and a damaged entry can
// end it when called, before any error can be told. The library is therefore first loaded, and
// its entry looked up and called once, in another process whose death costs nothing; one that
// does not answer in time counts as unusable. That process is this program started afresh rather
// than a fork of it: a fork of a process with threads inherits the locks other threads held at
// that moment (the loader's among them), and loading a library there could wait for ever.
Probe probeInChild(const std::string& path, const char* entry) {
    const ScratchFolder scratch;
    const pid_t child = startProbe(path, entry, scratch.path());
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
