#pragma once

#include <filesystem>

namespace kapred {

// One running copy per program directory: an advisory lock on a file there. The kernel drops
// the lock when the process ends in any way, so a crash never blocks the next start.
class InstanceLock {
public:
    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // False when another process holds the lock (or the lock file cannot be made).
    bool acquire(const std::filesystem::path& directory);
    void release();

private:
    int fd_ = -1;
};

}  // namespace kapred
