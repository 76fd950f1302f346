#include "cli/standard_stream.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <iostream>

#include "cli/commands.h"
#include "data/engine/files.h"
#include "generation/directories.h"

namespace kapred::cli {

namespace {

void copy(int from, int to, const std::string& source) {
    char buffer[65536];
    for (ssize_t n; (n = ::read(from, buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR) {
            continue;
        }
        for (ssize_t done = 0; n > 0 && done < n;) {
            const ssize_t written = ::write(to, buffer + done, static_cast<std::size_t>(n - done));
            if (written <= 0) {
                throw CommandFailure("No se pudo copiar " + source + ".");
            }
            done += written;
        }
        if (n < 0) {
            throw CommandFailure("No se pudo leer " + source + ".");
        }
    }
}

}  // namespace

StandardStreamFile::StandardStreamFile(Context& context) {
    const std::string folder = DirWindows(context);
    std::string pattern = (std::filesystem::path(folder) / "estandar-XXXXXX").string();
    if (folder.empty() || ::mkdtemp(pattern.data()) == nullptr) {
        throw CommandFailure("No se puede usar la carpeta de trabajo del programa.");
    }
    folder_ = pattern;
    path_ = folder_ / "estandar.txt";
}

StandardStreamFile::~StandardStreamFile() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

void StandardStreamFile::fromStandardInput() {
    const db::FileHandle file(::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!file.valid()) {
        throw CommandFailure("No se puede crear el archivo de trabajo " + path_.string() + ".");
    }
    copy(STDIN_FILENO, file.get(), "la entrada estándar");
}

void StandardStreamFile::toStandardOutput() {
    std::cout.flush();
    const db::FileHandle written(::open(path_.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!written.valid()) {
        throw CommandFailure("No se puede leer el archivo de trabajo " + path_.string() + ".");
    }
    // A standard output that takes only part of the file is a failure, never a success.
    copy(written.get(), STDOUT_FILENO, "a la salida estándar");
}

}  // namespace kapred::cli
