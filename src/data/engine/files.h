#pragma once

// Files the program writes: created only where nothing is, never through a symbolic link, with
// permissions chosen here, and put in place of another file in one rename.

#include <sys/types.h>

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string>

namespace kapred::db {

// A file descriptor closed when it goes out of scope.
class FileHandle {
public:
    explicit FileHandle(int fd = -1) : fd_(fd) {}
    ~FileHandle();
    FileHandle(FileHandle&& other) noexcept : fd_(other.release()) {}
    FileHandle& operator=(FileHandle&& other) noexcept;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Hands the descriptor over; this object no longer closes it.
    int release();
    // Closes now; false (errno set) when the close reported a failure.
    bool close();

private:
    int fd_;
};

// A stream that writes to a file this layer created, and keeps why a write failed.
class FileStream : public std::ostream {
public:
    FileStream() : std::ostream(&buffer_) {}
    ~FileStream() override;
    // Writes to the file from now on; the stream owns it. Invalid files leave the stream closed.
    void open(FileHandle file);
    bool is_open() const { return buffer_.fd >= 0; }
    // Flushes and closes; false when a write or the close failed (error() then says why).
    bool close();
    // The system error number of the first write or close that failed; 0 when none did.
    int error() const { return buffer_.error; }

private:
    struct Buffer : std::streambuf {
        Buffer();
        // Writes to `file` from now on, with nothing buffered and no error.
        void attach(int file);
        // Writes what is buffered; false, with `error` set, when the file refused it.
        bool flushBuffered();
        int_type overflow(int_type c) override;
        int sync() override;

        int fd = -1;
        int error = 0;
        std::array<char, 64 * 1024> bytes{};
    };
    Buffer buffer_;
};

// Creates a new file for writing at a fixed name of one of the program's own folders. Whatever
// is at the name (a work file of an earlier run, or a link planted there) is removed first,
// never what a link points to, and the file is then created exclusively. Invalid (errno set)
// when it cannot be created.
FileHandle createWorkFile(const std::filesystem::path& path, mode_t mode = 0600);

// Creates a new hidden file beside `destination`, named "." + its name + "." + six random
// characters, exclusively and with `mode`; `created` receives its path. Invalid (errno set)
// when it cannot be created.
FileHandle createBeside(const std::filesystem::path& destination, std::filesystem::path& created, mode_t mode);

// Removes the hidden files an interrupted createBeside left in `folder`: "." + a name that
// `named` accepts + "." + six characters. Only regular files; links are left alone.
void removeLeftoversBeside(const std::filesystem::path& folder, const std::function<bool(const std::string&)>& named);

// The permissions a file written in place of `path` gets: those of the file there, else what the
// user's file-creation mask gives a new file.
mode_t replacementMode(const std::filesystem::path& path);

// Flushes a finished file to the disk and renames it over `destination`, then makes the new
// name durable. False (errno set) when the flush or the rename failed; the file is then left.
bool putInPlace(int fd, const std::filesystem::path& file, const std::filesystem::path& destination);

// Flushes a file's data to the disk, as fsync does; false (errno set) when the disk did not
// take it. Every flush of a file the program writes goes through here.
bool syncData(int fd);

// For tests only, never set by the program: when set, syncData calls it instead of fsync (0 for
// success, -1 with errno set for a failure), to show what each operation does when the disk
// cannot keep a file.
extern int (*syncHook)(int fd);

// Makes a finished file durable; false (errno set) when it cannot be opened or flushed.
bool syncFile(const std::filesystem::path& path);
// Makes the names of a folder durable after a rename; a folder that cannot be synced loses
// nothing, the rename being done.
void syncDirectory(const std::filesystem::path& directory);

// Writes every byte, going on after an interrupted write; false (errno set) on an error.
bool writeAll(int fd, const char* data, std::size_t size);

// Copies a whole file into a descriptor; false (errno set) on a read or write error.
bool copyInto(const std::filesystem::path& source, int fd);

// Why `path` cannot be read as a file: it cannot be reached, or it is a folder, a device or a
// pipe; nothing when it is a regular file (or a link to one).
std::optional<std::string> whyNotAFile(const std::filesystem::path& path);

// The text of a system error number, as the user reads it.
std::string systemError(int number);

}  // namespace kapred::db
