#include "app/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

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
    return true;
}

void InstanceLock::release() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

}  // namespace kapred
