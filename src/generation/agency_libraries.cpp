#include "generation/agency_libraries.h"

#include <dlfcn.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include <cstring>
#include <system_error>
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

// Loading a damaged library can end the whole process inside the loader, before any error can
// be told. The library is therefore first loaded, and its entry looked up, in a child process
// whose death costs nothing; one that does not answer in time counts as not loadable.
bool loadsInChild(const std::string& path, const char* entry) {
    const pid_t child = ::fork();
    if (child == 0) {
        void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        ::_exit(handle != nullptr && (entry == nullptr || ::dlsym(handle, entry) != nullptr) ? 0 : 1);
    }
    if (child < 0) {
        return false;
    }
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (::waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A path with a "/" in it: the library is never looked for anywhere else.
std::string loadablePath(const std::filesystem::path& file) {
    return file.has_parent_path() ? file.string() : "./" + file.string();
}

}  // namespace

bool AgencyLibrary::loads(const std::filesystem::path& file, const char* entry) {
    std::error_code error;
    return std::filesystem::is_regular_file(file, error) && loadsInChild(loadablePath(file), entry);
}

AgencyLibrary::AgencyLibrary(const std::filesystem::path& file, std::string source)
    : file_(file), source_(std::move(source)) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(file_, error)) {
        throw Error(kErrLibraryNotFound, source_, "No se encontró el archivo: " + file_.string());
    }
    const std::string path = loadablePath(file_);
    if (!loadsInChild(path, nullptr) || (handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) == nullptr) {
        throw Error(kErrLibraryNotLoaded, source_, "Error al cargar la DLL: " + file_.string());
    }
}

AgencyLibrary::~AgencyLibrary() {
    if (handle_ != nullptr) {
        ::dlclose(handle_);
    }
}

void* AgencyLibrary::entry(const char* name) const {
    void* address = ::dlsym(handle_, name);
    if (address == nullptr) {
        throw Error(kErrEntryNotFound, source_,
                    std::string("No se encontró el punto de entrada ") + name + " en la DLL " + file_.string());
    }
    return address;
}

std::int16_t CallVerificationLibrary(const std::string& systemDirectory, const std::string& cuit,
                                     const std::string& declaration, const std::string& amount,
                                     const std::string& timeStamp, const std::string& source) {
    const AgencyLibrary library(std::filesystem::path(systemDirectory) / agency::kVerificationLibrary, source);
    const auto call = entryAs<KapredVerificationEntry>(library.entry(agency::kVerificationEntry));
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
    const AgencyLibrary library(this->file(), "EncriptarSarquel");
    const auto call = entryAs<KapredEncryptionEntry>(library.entry(agency::kEncryptionEntry));
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
