#include "generation/delivery.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>
#include <vector>

#include "app/context.h"
#include "data/engine/files.h"
#include "data/values/error.h"
#include "data/values/text.h"
#include "generation/agency_libraries.h"
#include "generation/declaration_records.h"
#include "generation/directories.h"
#include "generation/record_layout.h"
#include "generation/verification_number.h"

namespace kapred {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kBlock = 1024;
constexpr std::size_t kBlocksPerCall = 64;

ssize_t readSome(int fd, char* data, std::size_t size) {
    for (;;) {
        const ssize_t done = ::read(fd, data, size);
        if (done >= 0 || errno != EINTR) {
            return done;
        }
    }
}

bool pathIsTaken(const fs::path& path) {
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

// The library's first buffer as a name: control characters become blanks, blanks around are
// trimmed.
std::string cleanedPath(std::string path) {
    cleanRecord(path);
    return trimmed(path);
}

}  // namespace

bool ReemplazarArchivo(UserInterface& ui, const fs::path& path) {
    if (!pathIsTaken(path)) {
        return true;
    }
    return ui.askYesNo(MessageIcon::Question, kApplicationTitle, kReplaceQuestion);
}

bool DeleteArchivo(const fs::path& path) {
    std::error_code error;
    if (!fs::is_regular_file(fs::symlink_status(path, error)) && !fs::is_symlink(fs::symlink_status(path, error))) {
        return false;
    }
    return fs::remove(path, error);
}

CopyResult copyIntoPlace(const fs::path& source, const fs::path& destination,
                         const std::function<void(double)>& progress) {
    CopyResult result;
    const db::FileHandle input(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (input.get() < 0 || ::fstat(input.get(), &status) != 0) {
        result.error = "No se puede leer el archivo " + source.string() + ": " + db::systemError(errno) + ".";
        return result;
    }
    const auto total = static_cast<std::uintmax_t>(status.st_size);
    if (total == 0) {
        result.error = "El archivo " + source.string() + " está vacío: no hay nada que copiar.";
        return result;
    }

    const fs::path folder = destination.has_parent_path() ? destination.parent_path() : fs::path(".");
    fs::path pending;
    db::FileHandle output = db::createBeside(destination, pending, db::replacementMode(destination));
    if (!output.valid()) {
        result.error =
            "No se puede escribir en la carpeta de destino " + folder.string() + ": " + db::systemError(errno) + ".";
        return result;
    }
    const auto fail = [&](const std::string& what) {
        const int number = errno;
        output.close();
        ::unlink(pending.c_str());
        result.bytes = 0;
        result.error = what + ": " + db::systemError(number) + ".";
        return result;
    };

    // Read and written many blocks at a time, each block's progress told once its bytes are written:
    // a call to the system per kilobyte costs more than the copy itself.
    std::vector<char> buffer(kBlock * kBlocksPerCall);
    std::uintmax_t copied = 0;
    while (copied < total) {
        const auto wanted = static_cast<std::size_t>(std::min<std::uintmax_t>(buffer.size(), total - copied));
        const ssize_t read = readSome(input.get(), buffer.data(), wanted);
        if (read <= 0) {
            if (read == 0) {
                errno = EIO;
            }
            return fail("No se pudo leer el archivo " + source.string());
        }
        if (!db::writeAll(output.get(), buffer.data(), static_cast<std::size_t>(read))) {
            return fail("No se pudo escribir el archivo en el destino " + folder.string());
        }
        const std::uintmax_t before = copied;
        copied += static_cast<std::uintmax_t>(read);
        for (std::uintmax_t done = before; progress && done < copied;) {
            done = std::min(done + kBlock, copied);
            progress(100.0 - static_cast<double>((total - done) * 100 / total));
        }
    }
    if (!db::putInPlace(output.get(), pending, destination)) {
        return fail("No se pudo poner el archivo en el destino " + destination.string());
    }
    // Synced and in place: what the close could still report changes nothing.
    output.close();
    result.bytes = total;
    return result;
}

std::string EncriptarSarquel(Context& context, const std::string& file) {
    std::string result = kEncryptionError;
    const std::string windows = DirWindows(context);
    try {
        const std::string number = formatNumeroMagico(CalcularNumeroMagico(context));
        if (windows.empty()) {
            throw Error(err::kFileNotFound, "EncriptarSarquel", "No se puede usar la carpeta de trabajo del programa.");
        }
        const std::string handed = windows + number + "F0369.txt";
        db::FileHandle copy = db::createWorkFile(handed);
        if (!copy.valid() || !db::copyInto(file, copy.get()) || !copy.close()) {
            throw Error(
                err::kFileNotFound, "EncriptarSarquel",
                "No se pudo preparar el archivo " + handed + " para la encriptación: " + db::systemError(errno) + ".");
        }
        const SarquelLibrary::Result outcome = SarquelLibrary(context).encrypt(handed);
        const std::string path = cleanedPath(outcome.path);
        if (outcome.code != 0) {
            MsgError(context.ui, "El componente de encriptación no pudo generar el archivo (resultado " +
                                     std::to_string(outcome.code) +
                                     (outcome.detail.empty() ? std::string() : ": " + outcome.detail) +
                                     "). No se copió nada al destino.");
        } else if (path.size() <= windows.size() || path.compare(0, windows.size(), windows) != 0) {
            MsgError(context.ui, "El componente de encriptación informó el archivo \"" + path +
                                     "\", que no está en la carpeta de trabajo " + windows +
                                     ". No se copió nada al destino.");
        } else {
            result = path.substr(windows.size());
        }
    } catch (const Error& error) {
        MsgError(context.ui, error.description());
    }
    if (result == kEncryptionError) {
        DeleteArchivo(file);
    }
    if (!windows.empty()) {
        DeleteArchivo(windows + fs::path(file).filename().string());
    }
    return result;
}

}  // namespace kapred
