#pragma once

#include <filesystem>
#include <system_error>

namespace kapred {

inline constexpr const char* kLockFile = "Kapred.lock";

// One running copy per program directory: an advisory lock on a file there. The kernel drops
// the lock when the process ends in any way, so a crash never blocks the next start.
class InstanceLock {
public:
    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // False when another process holds the lock, or when the lock file cannot be made or locked
    // (then fileError() says why).
    bool acquire(const std::filesystem::path& directory);
    void release();
    // Why the last acquire could not use the lock file; empty when it could (the lock is ours, or
    // another process holds it).
    std::error_code fileError() const { return fileError_; }

private:
    int fd_ = -1;
    std::error_code fileError_;
};

}  // namespace kapred
