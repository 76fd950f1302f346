#include "app/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace kapred {

InstanceLock::~InstanceLock() {
    release();
}

bool InstanceLock::acquire(const std::filesystem::path& directory) {
    release();
    const auto path = directory / "Kapred.lock";
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        return false;
    }
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
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
