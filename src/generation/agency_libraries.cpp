#include "generation/agency_libraries.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <optional>
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

// The child's status once it ended, waiting no longer than the deadline; nothing while it still
// runs then. Its process descriptor turns readable when it ends, so the wait wakes only then.
std::optional<int> statusOnEnd(pid_t child, std::chrono::steady_clock::time_point deadline) {
    int status = 0;
    const int descriptor = static_cast<int>(::syscall(SYS_pidfd_open, child, 0));
    if (descriptor >= 0) {
        pollfd watch{descriptor, POLLIN, 0};
        int ready = 0;
        do {
            const auto left =
                std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
            ready = ::poll(&watch, 1, static_cast<int>(std::max<long long>(left, 0)));
        } while (ready < 0 && errno == EINTR);
        ::close(descriptor);
        if (ready == 0) {
            return std::nullopt;
        }
        if (ready > 0) {
            ::waitpid(child, &status, 0);
            return status;
        }
    }
    // A kernel without process descriptors: asked every millisecond.
    while (::waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return status;
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
    const auto status = statusOnEnd(child, std::chrono::steady_clock::now() + std::chrono::seconds(10));
    if (!status) {
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        return Probe::Unusable;
    }
    if (!WIFEXITED(*status)) {
        return Probe::Unusable;
    }
    return WEXITSTATUS(*status) == 0   ? Probe::Usable
           : WEXITSTATUS(*status) == 2 ? Probe::WithoutEntry
                                       : Probe::Unusable;
}

// What tells a library file apart from the one it replaced or that was rewritten since.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    bool operator==(const FileIdentity& other) const {
        const auto same = [](const timespec& a, const timespec& b) {
            return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
        };
        return device == other.device && inode == other.inode && size == other.size && same(modified, other.modified) &&
               same(changed, other.changed);
    }
};

std::optional<FileIdentity> identityOf(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return FileIdentity{status.st_dev, status.st_ino, status.st_size, status.st_mtim, status.st_ctim};
}

// The libraries a probe found usable in this run. The same file with the same entry is loaded
// again without another probe: starting the program afresh costs more than a generation of
// thousands of records, and a file replaced or rewritten since is probed anew.
class UsableLibraries {
public:
    bool contains(const std::string& path, const char* entry, const FileIdentity& file) {
        const std::lock_guard lock(mutex_);
        for (const Known& each : known_) {
            if (each.path == path && each.entry == entry && each.file == file) {
                return true;
            }
        }
        return false;
    }
    void add(const std::string& path, const char* entry, const FileIdentity& file) {
        const std::lock_guard lock(mutex_);
        known_.push_back({path, entry, file});
    }

private:
    struct Known {
        std::string path;
        std::string entry;
        FileIdentity file;
    };
    std::mutex mutex_;
    std::vector<Known> known_;
};

Probe probe(const std::string& path, const char* entry) {
    static UsableLibraries usable;
    const auto before = identityOf(path);
    if (before && usable.contains(path, entry, *before)) {
        return Probe::Usable;
    }
    const Probe verdict = probeInChild(path, entry);
    // A file that changed while it was probed is not vouched for.
    if (verdict == Probe::Usable && before && identityOf(path) == before) {
        usable.add(path, entry, *before);
    }
    return verdict;
}

// A path with a "/" in it: the library is never looked for anywhere else.
std::string loadablePath(const std::filesystem::path& file) {
    return file.has_parent_path() ? file.string() : "./" + file.string();
}

}  // namespace

bool AgencyLibrary::loads(const std::filesystem::path& file, const char* entry) {
    std::error_code error;
    return std::filesystem::is_regular_file(file, error) && probe(loadablePath(file), entry) == Probe::Usable;
}

AgencyLibrary::AgencyLibrary(const std::filesystem::path& file, const char* entry, std::string source)
    : file_(file), source_(std::move(source)) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(file_, error)) {
        throw Error(kErrLibraryNotFound, source_, "No se encontró el archivo: " + file_.string());
    }
    const std::string path = loadablePath(file_);
    if (probe(path, entry) == Probe::Unusable || (handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) == nullptr) {
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
