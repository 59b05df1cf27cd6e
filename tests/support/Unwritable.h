#pragma once

// A file or folder nothing can write to, also for root (which ignores the permission bits): the
// immutable attribute where the file system has it. Undone by the destructor.

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <utility>

namespace funzioni::test {

class Unwritable {
 public:
  // lockedMode while it lasts (e.g. 0444 for a file, 0555 for a folder), restoredMode after.
  Unwritable(std::filesystem::path path, mode_t lockedMode, mode_t restoredMode)
      : path_(std::move(path)), restoredMode_(restoredMode) {
    ::chmod(path_.c_str(), lockedMode);
    ok_ = ::access(path_.c_str(), W_OK) != 0 || (immutable_ = SetImmutable(true));
  }
  ~Unwritable() {
    if (immutable_) SetImmutable(false);
    ::chmod(path_.c_str(), restoredMode_);
  }
  Unwritable(const Unwritable&) = delete;
  Unwritable& operator=(const Unwritable&) = delete;

  // False where neither the permission bits nor the attribute could lock it.
  bool ok() const { return ok_; }

 private:
  bool SetImmutable(bool on) const {
    const int fd = ::open(path_.c_str(), O_RDONLY);
    if (fd < 0) return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
      flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
      done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
  }

  std::filesystem::path path_;
  mode_t restoredMode_;
  bool immutable_ = false;
  bool ok_ = false;
};

}  // namespace funzioni::test
