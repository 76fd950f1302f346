#include "app/installation.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <system_error>

#include "data/app_database.h"
#include "data/engine/files.h"

namespace kapred {

namespace fs = std::filesystem;

namespace {

fs::path executableFolder() {
    return fs::read_symlink("/proc/self/exe").parent_path();
}

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

[[noreturn]] void fail(const std::string& what, const fs::path& path, int error) {
    throw fs::filesystem_error(what, path, std::error_code(error, std::generic_category()));
}

// Writes the bytes to a new file beside the target and links it in under the target's name: the
// link fails rather than replace anything there (a file or a link alike), and a copy cut short
// never appears under the real name.
void copyWithoutReplacing(const fs::path& from, const fs::path& to) {
    std::ifstream source(from, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(source), std::istreambuf_iterator<char>()};
    if (!source.good() && !source.eof()) {
        fail("No se puede leer", from, EIO);
    }
    const fs::path aside = to.string() + ".nuevo-" + std::to_string(::getpid());
    // The copy becomes one of the user's databases (it will hold the import formats): readable by
    // its owner only, as every database the program creates.
    const int file = ::open(aside.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (file < 0) {
        fail("No se puede crear", aside, errno);
    }
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(file, bytes.data() + written, bytes.size() - written);
        if (n <= 0) {
            const int error = n < 0 ? errno : EIO;
            ::close(file);
            ::unlink(aside.c_str());
            fail("No se puede escribir", to, error);
        }
        written += static_cast<std::size_t>(n);
    }
    const int syncError = db::syncData(file) ? 0 : errno;
    const int closeError = ::close(file) == 0 ? 0 : errno;
    const int linkError = syncError == 0 && closeError == 0 && ::link(aside.c_str(), to.c_str()) != 0 ? errno : 0;
    ::unlink(aside.c_str());
    if (syncError != 0 || closeError != 0) {
        fail("No se puede escribir", to, syncError != 0 ? syncError : closeError);
    }
    if (linkError != 0 && linkError != EEXIST) {
        fail("No se puede crear", to, linkError);
    }
}

}  // namespace

Installation installation() {
    const fs::path folder = executableFolder();
    // The installed paths go from bin, for the printing program in libexec/kapred too.
    const fs::path bin = (folder / KAPRED_INSTALL_BIN_FROM_PRINTING).lexically_normal();
    const fs::path programs = (bin / KAPRED_INSTALL_PRINTING).lexically_normal() == folder ? bin : folder;
    const fs::path templates = (programs / KAPRED_INSTALL_TEMPLATES).lexically_normal();
    std::error_code error;
    if (fs::is_directory(templates, error)) {
        return {templates, (programs / KAPRED_INSTALL_SYSTEM).lexically_normal(),
                (programs / KAPRED_INSTALL_PRINTING).lexically_normal()};
    }
    return {folder, folder / "sistema", folder};
}

fs::path defaultProgramDirectory() {
    fs::path data = environment("XDG_DATA_HOME");
    // A relative XDG_DATA_HOME is invalid and ignored, as the XDG base directory rules say.
    if (data.empty() || data.is_relative()) {
        data = fs::path(environment("HOME")) / ".local" / "share";
    }
    return data / "kapred" / "Kapred";
}

std::vector<std::string> prepareProgramDirectory(const fs::path& home, const fs::path& templates) {
    fs::create_directories(home);
    std::vector<std::string> copied;
    const std::string name = sSystemDatabaseName();
    std::error_code error;
    if (fs::exists(templates / name, error) && !fs::exists(fs::symlink_status(home / name, error))) {
        copyWithoutReplacing(templates / name, home / name);
        copied.push_back(name);
    }
    return copied;
}

}  // namespace kapred
