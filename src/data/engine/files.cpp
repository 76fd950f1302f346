#include "data/engine/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ext/stdio_filebuf.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <utility>
#include <vector>

namespace kapred::db {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kRandomCharacters = 6;

void syncFolder(const fs::path& folder) {
    const FileHandle directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.valid()) {
        ::fsync(directory.get());
    }
}

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

FileStream::~FileStream() {
    close();
}

void FileStream::open(FileHandle file) {
    close();
    clear();
    if (file.valid()) {
        buffer_ = std::make_unique<__gnu_cxx::stdio_filebuf<char>>(file.release(), std::ios::out | std::ios::binary);
        rdbuf(buffer_.get());
    }
}

bool FileStream::close() {
    if (buffer_ == nullptr) {
        return true;
    }
    const bool written = !fail() && buffer_->pubsync() == 0;
    const bool closed = buffer_->close() != nullptr;
    rdbuf(nullptr);
    buffer_.reset();
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

bool putInPlace(int fd, const fs::path& file, const fs::path& destination) {
    if (::fsync(fd) != 0 || ::rename(file.c_str(), destination.c_str()) != 0) {
        return false;
    }
    // A folder that cannot be synced loses nothing: the rename is done.
    syncFolder(folderOf(destination));
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
        default:
            return std::error_code(number, std::generic_category()).message();
    }
}

}  // namespace kapred::db
