#pragma once

#include <filesystem>
#include <system_error>

namespace kapred {

inline constexpr const char* kLockFile = "Kapred.lock";

// One running copy per program directory: an advisory lock on a file there. The kernel drops
// the lock when the process ends in any way, so a crash never blocks the next start. The file
// holds a mark while a copy runs, which only its normal exit removes: a run that crashed, was
// killed or lost its power leaves it for the next start to find.
class InstanceLock {
public:
    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // False when another process holds the lock, or when the lock file cannot be made or locked
    // (then fileError() says why). Once locked, it notes the mark of the copy before and marks
    // this one as running.
    bool acquire(const std::filesystem::path& directory);
    void release();
    // Puts this copy's mark on disk, once; needed before the database is first written, so that a
    // power cut after that still leaves the mark. False when the disk refused it.
    bool makeMarkDurable();
    // Whether the copy that held the lock before ended without its normal exit.
    bool previousRunUnfinished() const { return previousRunUnfinished_; }
    // The normal exit: removes this copy's mark.
    void markFinished();
    // Why the last acquire could not use the lock file; empty when it could (the lock is ours, or
    // another process holds it).
    std::error_code fileError() const { return fileError_; }

private:
    int fd_ = -1;
    std::error_code fileError_;
    bool previousRunUnfinished_ = false;
    bool markDurable_ = false;
};

}  // namespace kapred
