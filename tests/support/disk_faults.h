#pragma once

#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <string>

#include "data/engine/files.h"

namespace kapred::test {

// The disk takes no more than `bytes` of any file while the object lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : handler_(std::signal(SIGXFSZ, SIG_IGN)) {
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        struct rlimit small = previous_;
        small.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, handler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    struct rlimit previous_ {};
    void (*handler_)(int);
};

// While the object lives, the disk refuses to flush any file whose name begins with `prefix`
// (ENOSPC, as a full disk does); other files are flushed as usual. With `exit`, the process
// ends there instead, as a killed program does.
class FailingSync {
public:
    explicit FailingSync(std::string prefix, bool exit = false) {
        prefix_() = std::move(prefix);
        exit_() = exit;
        refused_() = 0;
        db::syncHook = &sync;
    }
    ~FailingSync() { db::syncHook = nullptr; }
    FailingSync(const FailingSync&) = delete;
    FailingSync& operator=(const FailingSync&) = delete;

    // How many flushes were refused.
    static int refused() { return refused_(); }

private:
    static int sync(int fd) {
        std::error_code error;
        const auto name = std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(fd), error).filename();
        if (!error && name.string().starts_with(prefix_())) {
            if (exit_()) {
                ::_exit(9);
            }
            ++refused_();
            errno = ENOSPC;
            return -1;
        }
        return ::fsync(fd);
    }
    static std::string& prefix_() {
        static std::string prefix;
        return prefix;
    }
    static bool& exit_() {
        static bool exit = false;
        return exit;
    }
    static int& refused_() {
        static int refused = 0;
        return refused;
    }
};

}  // namespace kapred::test
