#include "app/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

namespace kapred {

InstanceLock::~InstanceLock() {
    release();
}

bool InstanceLock::acquire(const std::filesystem::path& directory) {
    release();
    fileError_.clear();
    const auto path = directory / kLockFile;
    // The lock is never removed (another copy may hold it), so a link planted at its name is
    // refused rather than followed; the file is its owner's alone, as every file written here.
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd_ < 0) {
        fileError_ = std::error_code(errno, std::generic_category());
        return false;
    }
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        // Only a lock held elsewhere means another copy runs; any other failure is the file's.
        if (errno != EWOULDBLOCK) {
            fileError_ = std::error_code(errno, std::generic_category());
        }
        release();
        return false;
    }
    char mark = 0;
    previousRunUnfinished_ = ::pread(fd_, &mark, 1, 0) == 1;
    markDurable_ = false;
    // The mark of a run cut short stays as it is; a new one goes on disk only before this run
    // first writes the database (makeMarkDurable), so that a run that only reads waits for no disk.
    constexpr std::string_view kRunning = "en curso\n";
    if (!previousRunUnfinished_ &&
        ::pwrite(fd_, kRunning.data(), kRunning.size(), 0) != static_cast<ssize_t>(kRunning.size())) {
        fileError_ = std::error_code(errno, std::generic_category());
        release();
        return false;
    }
    return true;
}

bool InstanceLock::makeMarkDurable() {
    if (fd_ >= 0 && !markDurable_) {
        markDurable_ = ::fsync(fd_) == 0;
    }
    return markDurable_;
}

void InstanceLock::markFinished() {
    // Not synced: a mark that outlives a power cut only costs the next start a check.
    if (fd_ >= 0) {
        [[maybe_unused]] const int ignored = ::ftruncate(fd_, 0);
    }
}

void InstanceLock::release() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

}  // namespace kapred
