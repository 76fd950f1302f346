#include "data/engine/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <utility>
#include <vector>

namespace kapred::db {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kRandomCharacters = 6;

fs::path folderOf(const fs::path& path) {
    return path.has_parent_path() ? path.parent_path() : fs::path(".");
}

}  // namespace

FileHandle::~FileHandle() {
    close();
}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = other.release();
    }
    return *this;
}

int FileHandle::release() {
    return std::exchange(fd_, -1);
}

bool FileHandle::close() {
    const int fd = release();
    return fd < 0 || ::close(fd) == 0;
}

FileStream::Buffer::Buffer() {
    attach(-1);
}

void FileStream::Buffer::attach(int file) {
    fd = file;
    error = 0;
    setp(bytes.data(), bytes.data() + bytes.size());
}

bool FileStream::Buffer::flushBuffered() {
    if (error != 0) {
        return false;
    }
    if (!writeAll(fd, pbase(), static_cast<std::size_t>(pptr() - pbase()))) {
        error = errno;
        return false;
    }
    setp(bytes.data(), bytes.data() + bytes.size());
    return true;
}

FileStream::Buffer::int_type FileStream::Buffer::overflow(int_type c) {
    if (!flushBuffered()) {
        return traits_type::eof();
    }
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

int FileStream::Buffer::sync() {
    return flushBuffered() ? 0 : -1;
}

FileStream::~FileStream() {
    close();
}

void FileStream::open(FileHandle file) {
    close();
    clear();
    buffer_.attach(file.release());
}

bool FileStream::close() {
    if (buffer_.fd < 0) {
        return true;
    }
    const bool written = buffer_.flushBuffered() && !fail();
    FileHandle file(std::exchange(buffer_.fd, -1));
    const bool closed = file.close();
    if (!closed && buffer_.error == 0) {
        buffer_.error = errno;
    }
    return written && closed;
}

FileHandle createWorkFile(const fs::path& path, mode_t mode) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
        return FileHandle();
    }
    FileHandle file(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
    // The mode is set whatever the creation mask took from it.
    if (file.valid() && ::fchmod(file.get(), mode) != 0) {
        const int number = errno;
        file.close();
        ::unlink(path.c_str());
        errno = number;
        return FileHandle();
    }
    return file;
}

FileHandle createBeside(const fs::path& destination, fs::path& created, mode_t mode) {
    std::string name =
        (folderOf(destination) / ("." + destination.filename().string() + "." + std::string(kRandomCharacters, 'X')))
            .string();
    FileHandle file(::mkostemp(name.data(), O_CLOEXEC));
    if (!file.valid()) {
        return file;
    }
    if (::fchmod(file.get(), mode) != 0) {
        const int number = errno;
        file.close();
        ::unlink(name.c_str());
        errno = number;
        return FileHandle();
    }
    created = name;
    return file;
}

void removeLeftoversBeside(const fs::path& folder, const std::function<bool(const std::string&)>& named) {
    std::error_code error;
    std::vector<fs::path> found;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        const auto dot = name.rfind('.');
        if (name.size() > kRandomCharacters + 2 && name[0] == '.' && dot == name.size() - kRandomCharacters - 1 &&
            named(name.substr(1, dot - 1)) && it->is_regular_file(error) && !it->is_symlink(error)) {
            found.push_back(it->path());
        }
    }
    for (const fs::path& path : found) {
        fs::remove(path, error);
    }
}

mode_t replacementMode(const fs::path& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode)) {
        return status.st_mode & 07777;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t done = ::write(fd, data, size);
        if (done < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += done;
        size -= static_cast<std::size_t>(done);
    }
    return true;
}

int (*syncHook)(int fd) = nullptr;

bool syncData(int fd) {
    return (syncHook != nullptr ? syncHook(fd) : ::fsync(fd)) == 0;
}

bool syncFile(const fs::path& path) {
    const FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    return file.valid() && syncData(file.get());
}

void syncDirectory(const fs::path& directory) {
    const FileHandle folder(
        ::open((directory.empty() ? fs::path(".") : directory).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.valid()) {
        ::fsync(folder.get());
    }
}

bool putInPlace(int fd, const fs::path& file, const fs::path& destination) {
    if (!syncData(fd) || ::rename(file.c_str(), destination.c_str()) != 0) {
        return false;
    }
    syncDirectory(folderOf(destination));
    return true;
}

bool copyInto(const fs::path& source, int fd) {
    const FileHandle input(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (!input.valid()) {
        return false;
    }
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        const ssize_t read = ::read(input.get(), buffer.data(), buffer.size());
        if (read < 0 && errno == EINTR) {
            continue;
        }
        if (read <= 0) {
            return read == 0;
        }
        if (!writeAll(fd, buffer.data(), static_cast<std::size_t>(read))) {
            return false;
        }
    }
}

std::optional<std::string> whyNotAFile(const fs::path& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return systemError(errno);
    }
    if (S_ISREG(status.st_mode)) {
        return std::nullopt;
    }
    if (S_ISDIR(status.st_mode)) {
        return "es una carpeta, no un archivo";
    }
    if (S_ISFIFO(status.st_mode)) {
        return "es una tubería, no un archivo";
    }
    if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode)) {
        return "es un dispositivo, no un archivo";
    }
    return "no es un archivo común";
}

std::string systemError(int number) {
    switch (number) {
        case ENOENT:
            return "no existe";
        case EACCES:
        case EPERM:
            return "no tiene permiso";
        case EROFS:
            return "está en un medio de solo lectura";
        case ENOSPC:
        case EDQUOT:
            return "no queda espacio en el disco";
        case EFBIG:
            return "el archivo superó el tamaño permitido";
        case EISDIR:
            return "es una carpeta";
        case ENOTDIR:
            return "una parte de la ruta no es una carpeta";
        case EEXIST:
            return "ya existe";
        case ELOOP:
            return "es un enlace simbólico";
        case EIO:
            return "error de entrada o salida del disco";
        case ENAMETOOLONG:
            return "el nombre es demasiado largo";
        case EMFILE:
        case ENFILE:
            return "hay demasiados archivos abiertos";
        case EBUSY:
        case ETXTBSY:
            return "está en uso";
        case ENXIO:
        case ENODEV:
            return "el dispositivo no está disponible";
        case EXDEV:
            return "está en otro disco";
        default:
            return "error del sistema número " + std::to_string(number);
    }
}

}  // namespace kapred::db
